// upgtool list: what a package holds, read exactly as the applicator reads
// it, and the first reason it cannot be used.
#include <cstdio>
#include <cstring>
#include <string>

#include "package/upgrade_session.h"
#include "platform/resources.h"
#include "tools/upgtool/arguments.h"
#include "tools/upgtool/commands.h"
#include "tools/upgtool/json_writer.h"
#include "tools/upgtool/package_problem.h"
#include "tools/upgtool/signature_option.h"
#include "tools/upgtool/stamp_text.h"
#include "ui/printable_text.h"

namespace upgtool {

namespace {

std::int32_t ReadableEntries(const package::UpgradeSession& session) {
  return session.totalBytes == 0 ? 0 : session.entryCount;
}

std::string MagicText(const package::UpgradeSession& session) {
  char magic[sizeof session.magic + 1] = {};
  std::memcpy(magic, session.magic, sizeof session.magic);
  return magic;
}

const char* KindName(const package::UpgradeSession& session) {
  return session.Kind() == package::PackageKind::kExtended ? "extended" : "classic";
}

void PrintJson(const char* path, const package::UpgradeSession& session, bool usable) {
  JsonWriter json;
  const SignatureSummary signature = SummarizeSignature(path);
  json.BeginObject()
      .String("path", path)
      .Bool("compressed", session.IsCompressed())
      .String("signature", signature.state.c_str())
      .String("signatureKey", signature.keyId.c_str())
      .Bool("valid", usable)
      .String("magic", MagicText(session).c_str())
      .String("kind", KindName(session))
      .Number("version", session.version)
      .Number("entryCount", session.entryCount)
      .String("title", session.title.get())
      .String("description", session.description.get())
      .Number("totalBytes", session.totalBytes);
  json.BeginArray("entries");
  for (std::int32_t i = 0; i < ReadableEntries(session); ++i) {
    const package::PackageEntry& entry = *session.entries[i];
    json.BeginObject()
        .Number("index", i)
        .Number("operation", static_cast<int>(entry.operation))
        .String("operationName", package::OperationName(entry.operation))
        .Number("warningPolicy", static_cast<int>(entry.warningPolicy))
        .Number("errorPolicy", static_cast<int>(entry.errorPolicy))
        .String("fileName", entry.fileName)
        .String("description", entry.description);
    WriteStampJson(json, "oldStamp", entry.oldStamp);
    WriteStampJson(json, "newStamp", entry.newStamp);
    json.EndObject();
  }
  json.EndArray().EndObject();
  std::printf("%s\n", json.text().c_str());
}

void PrintText(const char* path, const package::UpgradeSession& session, bool usable) {
  std::printf("Package:      %s\n", ui::ConsoleText(path).c_str());
  std::printf("Compressed:   %s\n", session.IsCompressed() ? "yes" : "no");
  const SignatureSummary signature = SummarizeSignature(path);
  std::printf("Signature:    %s%s\n", signature.state.c_str(),
              signature.keyId.empty() ? "" : (", key " + signature.keyId).c_str());
  std::printf("Valid:        %s\n", usable ? "yes" : "no");
  std::printf("Magic:        %s\n", ui::ConsoleText(MagicText(session)).c_str());
  std::printf("Kind:         %s\n", KindName(session));
  std::printf("Version:      %u\n", session.version);
  std::printf("Entries:      %d\n", session.entryCount);
  std::printf("Title:        %s\n", ui::ConsoleText(session.title.get()).c_str());
  std::printf("Description:  %s\n",
              ui::ConsoleText(session.description.get(), ui::TextLayout::kLines).c_str());
  std::printf("Total bytes:  %lu\n", static_cast<unsigned long>(session.totalBytes));
  for (std::int32_t i = 0; i < ReadableEntries(session); ++i) {
    const package::PackageEntry& entry = *session.entries[i];
    std::printf("\n[%d] %s (%u), warning %s (%u), error %s (%u)\n", i,
                package::OperationName(entry.operation), static_cast<unsigned>(entry.operation),
                package::PolicyName(entry.warningPolicy),
                static_cast<unsigned>(entry.warningPolicy), package::PolicyName(entry.errorPolicy),
                static_cast<unsigned>(entry.errorPolicy));
    std::printf("    File:        %s\n", ui::ConsoleText(entry.fileName).c_str());
    std::printf("    Description: %s\n", ui::ConsoleText(entry.description).c_str());
    std::printf("    Old stamp:   %s\n", StampText(entry.oldStamp).c_str());
    std::printf("    New stamp:   %s\n", StampText(entry.newStamp).c_str());
  }
}

}  // namespace

int RunList(int argc, char** argv) {
  const Arguments arguments(argc, argv, {"--json"});
  if (!arguments.parsed || arguments.operands.size() != 1) return UsageError(kListUsage);
  const char* path = arguments.operands[0].c_str();
  const package::UpgradeSession session(platform::ProgramInstance(), nullptr, path, "");
  const std::string problem = PackageProblemText(session);
  const bool usable = problem.empty();
  if (arguments.Has("--json")) {
    PrintJson(path, session, usable);
  } else {
    PrintText(path, session, usable);
  }
  if (!usable) {
    std::fprintf(stderr, "upgtool: %s: %s\n", ui::ConsoleText(path).c_str(), problem.c_str());
    return 1;
  }
  return 0;
}

}  // namespace upgtool
