// The two common file dialogs: the package chooser and the folder picker.
#pragma once

#include "platform/win32/windows_api.h"

namespace ui {

// The open-file dialog "Upgrade Applicator" for "*.UPG" files. 1 with the
// chosen path in `path` (MAX_PATH bytes), else 0 with `path` unchanged.
int ChoosePackageFile(HWND owner, char* path);

// The save-file dialog with the "BROWSE" template, in which only the folder
// tree and the drives show, starting at `start`. 1 with the path it returns
// (the folder, a backslash and the hidden file name) in `returned`.
int ShowBrowseDialog(HWND owner, const char* start, char* returned);

}  // namespace ui
