#include "tools/upgtool/arguments.h"

#include "platform/code_page.h"

namespace upgtool {

namespace {

bool Listed(std::initializer_list<const char*> names, const std::string& name) {
  for (const char* listed : names) {
    if (name == listed) return true;
  }
  return false;
}

}  // namespace

std::string Arguments::Value(const char* option, const char* fallback) const {
  const auto found = values.find(option);
  return found == values.end() ? fallback : found->second;
}

Arguments::Arguments(int argc, char** argv, std::initializer_list<const char*> flags,
                     std::initializer_list<const char*> withValue) {
  for (int i = 0; i < argc; ++i) {
    const std::string argument = argv[i];
    const std::string::size_type equals = argument.find('=');
    if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos &&
        Listed(withValue, argument.substr(0, equals))) {
      values[argument.substr(0, equals)] = argument.substr(equals + 1);
      continue;
    }
    if (Listed(withValue, argument)) {
      if (i + 1 == argc) {
        parsed = false;
        return;
      }
      values[argument] = argv[++i];
      continue;
    }
    if (argument.compare(0, 2, "--") != 0 || argument.size() == 2) {
      operands.push_back(argument);
      continue;
    }
    if (!Listed(flags, argument)) {
      parsed = false;
      return;
    }
    options.insert(argument);
  }
}

bool ArgumentsInCodePage(int argc, char** argv, std::vector<std::string>* arguments,
                         std::string* problem) {
  std::vector<std::string> given;
  std::string codePage;
  for (int i = 0; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--codepage" && i + 1 < argc) {
      codePage = argv[++i];
    } else if (argument.compare(0, 11, "--codepage=") == 0) {
      codePage = argument.substr(11);
    } else {
      given.push_back(argument);
    }
  }
  if (!codePage.empty()) {
    const bool number =
        codePage.size() <= 5 && codePage.find_first_not_of("0123456789") == std::string::npos;
    if (!number) {
      *problem = "--codepage " + codePage + ": a code page is a number such as 1252";
      return false;
    }
    if (!platform::SelectPackageCodePage(static_cast<unsigned>(std::stoul(codePage)), problem))
      return false;
  }
  arguments->clear();
  for (const std::string& argument : given) {
    std::string converted;
    if (!platform::SystemTextToPackageText(argument, &converted)) {
      *problem = "\"" + argument + "\" cannot be written in code page " +
                 std::to_string(platform::PackageCodePage()) +
                 ", the code page of package texts (--codepage chooses another)";
      return false;
    }
    arguments->push_back(converted);
  }
  return true;
}

}  // namespace upgtool
