#include "streams/file_utilities.h"

#include <cstring>

#include "platform/ascii_case.h"
#include "platform/bounded_text.h"
#include "platform/file_system.h"

namespace streams {

using platform::Fs;

namespace {

bool SameName(const char* a, const char* b) {
  for (;; ++a, ++b) {
    const char x = platform::AsciiCapital(*a);
    const char y = platform::AsciiCapital(*b);
    if (x != y) return false;
    if (x == 0) return true;
  }
}

}  // namespace

int IsFile(const char* path) {
  const std::uint32_t attributes = Fs().GetAttributes(path);
  return attributes != platform::kInvalidAttributes &&
                 (attributes & platform::kAttrDirectory) == 0 && attributes != 0
             ? 1
             : 0;
}

int IsFolder(const char* path) {
  const std::uint32_t attributes = Fs().GetAttributes(path);
  return attributes != platform::kInvalidAttributes && (attributes & platform::kAttrDirectory) != 0
             ? 1
             : 0;
}

int IsReadOnly(const char* path) {
  const std::uint32_t attributes = Fs().GetAttributes(path);
  return attributes != platform::kInvalidAttributes && (attributes & platform::kAttrReadOnly) != 0
             ? 1
             : 0;
}

int CreateFolder(const char* path) { return Fs().CreateFolder(path) ? 1 : 0; }

int RemoveFolder(const char* path) { return Fs().RemoveFolder(path) ? 1 : 0; }

int RemoveFile(const char* path) { return Fs().DeleteFile(path) ? 1 : 0; }

int MoveFileReplacing(const char* source, const char* destination) {
  if (SameName(source, destination)) return 0;
  RemoveFile(destination);
  return Fs().MoveFile(source, destination) ? 1 : 0;
}

void ResolveStoredName(const char* path, char* out) {
  if (!platform::CopyText(out, kMaxPath, path)) {
    out[0] = 0;
    return;
  }
  char stored[kMaxPath];
  if (!Fs().FindStoredName(path, stored, sizeof stored)) return;
  char* slash = std::strrchr(out, '\\');
  char* name = slash != nullptr ? slash + 1 : out;
  *name = 0;
  if (!platform::AppendText(out, kMaxPath, stored)) platform::CopyText(out, kMaxPath, path);
}

CurrentFolderKeeper::CurrentFolderKeeper()
    : kept_(Fs().GetCurrentFolder(folder_, sizeof folder_)) {}

CurrentFolderKeeper::~CurrentFolderKeeper() {
  if (kept_) Fs().SetCurrentFolder(folder_);
}

}  // namespace streams
