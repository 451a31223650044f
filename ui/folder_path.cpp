#include "ui/folder_path.h"

#include <cstring>

#include "streams/bounded_text.h"
#include "streams/file_utilities.h"

void TrimFolderSeparator(char* folder) {
  const std::size_t length = std::strlen(folder);
  if (length < 2 || !IsPathSeparator(folder[length - 1]) || folder[length - 2] == ':') return;
  folder[length - 1] = 0;
}

bool FolderFromDialogPath(const char* returned, char* out) {
  char folder[kMaxPath];
  if (!CopyText(folder, returned)) return false;
  char* cut = std::strrchr(folder, '\\');
  if (cut != nullptr) *cut = 0;
  const std::size_t length = std::strlen(folder);
  const bool needsRoot = length < 3 && !(length > 0 && IsPathSeparator(folder[length - 1]));
  if (needsRoot && !AppendText(folder, "\\")) return false;
  return CopyText(out, kMaxPath, folder);
}
