#include "ui/startup.h"

#include <cstring>

#include "platform/bounded_text.h"
#include "platform/path_separator.h"
#include "streams/file_utilities.h"
#include "ui/folder_path.h"

namespace ui {

namespace {

// The position just after the last separator: where the file name begins.
std::size_t NameStart(const char* path) {
  std::size_t start = 0;
  for (std::size_t i = 0; path[i] != 0; ++i) {
    if (platform::IsPathSeparator(path[i])) start = i + 1;
  }
  return start;
}

bool TryCandidate(const char* candidate, char* packagePath) {
  if (!streams::IsFile(candidate)) return false;
  return platform::CopyText(packagePath, streams::kMaxPath, candidate);
}

}  // namespace

bool PackagePathFromCommandLine(const char* commandLine, char* packagePath) {
  packagePath[0] = 0;
  const std::size_t length = std::strlen(commandLine);
  if (length >= 2 && commandLine[0] == '"' && commandLine[length - 1] == '"') {
    if (length - 2 >= streams::kMaxPath) return false;
    std::memcpy(packagePath, commandLine + 1, length - 2);
    packagePath[length - 2] = 0;
    return true;
  }
  if (!platform::CopyText(packagePath, streams::kMaxPath, commandLine)) {
    packagePath[0] = 0;
    return false;
  }
  return true;
}

bool NameBesideProgram(const char* programPath, const char* extension, char* out) {
  if (!platform::CopyText(out, streams::kMaxPath, programPath)) return false;
  char* dot = std::strrchr(out + NameStart(out), '.');
  if (dot != nullptr) *dot = 0;
  return platform::AppendText(out, streams::kMaxPath, extension);
}

void FindPackageBesideProgram(const char* programPath, char* packagePath) {
  packagePath[0] = 0;
  char candidate[streams::kMaxPath];
  if (NameBesideProgram(programPath, ".upg", candidate) && TryCandidate(candidate, packagePath)) {
    return;
  }
  if (!platform::CopyText(candidate, programPath)) return;
  candidate[NameStart(candidate)] = 0;
  if (platform::AppendText(candidate, "default.upg")) TryCandidate(candidate, packagePath);
}

}  // namespace ui
