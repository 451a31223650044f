// Folder-path rules shared by the search, the folder dialog and the
// start-up. Both separators count, so that POSIX paths follow the same
// rules as Windows ones.
#pragma once

#include "platform/path_separator.h"

namespace ui {

// Drops one trailing separator unless the folder is a root ("C:\", "/").
void TrimFolderSeparator(char* folder);
// What a folder dialog's returned path gives as the selected folder: cut at
// the last '\' (dropping the file name part); a bare drive ("C:") gets its
// root separator back. False when the result does not fit `out`
// (kMaxPath bytes).
bool FolderFromDialogPath(const char* returned, char* out);

}  // namespace ui
