// Free functions over narrow, backslash-separated paths. Each reports
// failure by returning 0 (or by leaving its output a copy of its input) and
// never shows anything.
#pragma once

#include <cstddef>

namespace streams {

// Paths and the buffers that hold them are at most this long, terminator
// included.
constexpr std::size_t kMaxPath = 260;

// 1 when a plain file (not a folder) exists at `path`.
int IsFile(const char* path);
// 1 when a folder exists at `path`.
int IsFolder(const char* path);
// 1 when `path` exists and is read-only (a read-only folder counts too).
int IsReadOnly(const char* path);
// One level; an existing folder is a failure.
int CreateFolder(const char* path);
// Only an empty folder.
int RemoveFolder(const char* path);
int RemoveFile(const char* path);
// 0 without doing anything when both are the same name ignoring ASCII case;
// else deletes the destination (ignoring the result) and moves. A failed move
// leaves the source in place.
int MoveFileReplacing(const char* source, const char* destination);
// `out` (kMaxPath bytes) becomes `path` with its last component replaced by
// the name the file system stores for it; a copy of `path` when nothing is
// found or the result would not fit, empty when `path` itself does not fit.
void ResolveStoredName(const char* path, char* out);

// Keeps the current directory for the life of the object.
class CurrentFolderKeeper {
 public:
  CurrentFolderKeeper();
  ~CurrentFolderKeeper();
  CurrentFolderKeeper(const CurrentFolderKeeper&) = delete;
  CurrentFolderKeeper& operator=(const CurrentFolderKeeper&) = delete;

 private:
  char folder_[kMaxPath];
  bool kept_;
};

}  // namespace streams
