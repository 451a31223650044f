// upgtool: builds upgrade packages and inspects them and the files they
// apply to.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "tools/upgtool/arguments.h"
#include "tools/upgtool/commands.h"

namespace {

constexpr char kVersion[] = "upgtool 3.0";

const upgtool::Command kCommands[] = {
    {"build", upgtool::RunBuild,
     "build [options] OLD_FOLDER NEW_FOLDER -o PACKAGE (options: build --help)"},
    {"list", upgtool::RunList, upgtool::kListUsage},
    {"stamp", upgtool::RunStamp, upgtool::kStampUsage},
    {"check", upgtool::RunCheck, upgtool::kCheckUsage},
    {"apply", upgtool::RunApply, upgtool::kApplyUsage},
    {"keygen", upgtool::RunKeygen, upgtool::kKeygenUsage},
    {"sign", upgtool::RunSign, upgtool::kSignUsage},
    {"verify", upgtool::RunVerify, upgtool::kVerifyUsage},
};

void PrintHelp() {
  std::printf("%s: build and inspect upgrade packages\n\nusage:\n", kVersion);
  for (const upgtool::Command& command : kCommands) std::printf("  upgtool %s\n", command.usage);
  std::printf("  upgtool --help\n  upgtool --version\n\n");
  std::printf(
      "Every command takes --codepage N: the Windows code page of package texts\n"
      "(names, titles, descriptions); by default %u.\n",
      platform::PackageCodePage());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    PrintHelp();
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("%s\n", kVersion);
    return 0;
  }
  if (argc >= 2) {
    for (const upgtool::Command& command : kCommands) {
      if (std::strcmp(argv[1], command.name) != 0) continue;
      std::vector<std::string> arguments;
      std::string problem;
      if (!upgtool::ArgumentsInCodePage(argc - 2, argv + 2, &arguments, &problem)) {
        std::fprintf(stderr, "upgtool: %s\n", problem.c_str());
        return 2;
      }
      std::vector<char*> pointers;
      for (std::string& argument : arguments) pointers.push_back(&argument[0]);
      pointers.push_back(nullptr);
      return command.run(static_cast<int>(arguments.size()), pointers.data());
    }
  }
  std::fprintf(stderr, "usage: upgtool COMMAND ... (upgtool --help lists the commands)\n");
  return 2;
}
