#include "ui/folder_path.h"

#include <cstring>

#include "platform/bounded_text.h"
#include "platform/path_separator.h"
#include "streams/file_utilities.h"

namespace ui {

void TrimFolderSeparator(char* folder) {
  const std::size_t length = std::strlen(folder);
  if (length < 2 || !platform::IsPathSeparator(folder[length - 1]) || folder[length - 2] == ':')
    return;
  folder[length - 1] = 0;
}

bool FolderFromDialogPath(const char* returned, char* out) {
  char folder[streams::kMaxPath];
  if (!platform::CopyText(folder, returned)) return false;
  char* cut = std::strrchr(folder, '\\');
  if (cut != nullptr) *cut = 0;
  const std::size_t length = std::strlen(folder);
  const bool needsRoot =
      length < 3 && !(length > 0 && platform::IsPathSeparator(folder[length - 1]));
  if (needsRoot && !platform::AppendText(folder, "\\")) return false;
  return platform::CopyText(out, streams::kMaxPath, folder);
}

}  // namespace ui
