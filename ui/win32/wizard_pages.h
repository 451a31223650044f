// The wizard pages' helpers. The page procedures are in
// exported_procedures.h; each page is opened with its FrontEnd as the
// dialog parameter, which Cancel and Browse need.
#pragma once

#include "platform/win32/windows_api.h"

namespace ui {

// Puts the package's title and description into the two controls; 1 when
// the package could be read, else 0 with the template texts left.
int ShowPackageText(const char* packagePath, HWND titleControl, HWND descriptionControl);

// Shows `folder`'s full path in a static control of `dialog`, as the
// system's directory listing writes it; the current directory is the same
// afterwards. A folder that does not exist leaves the control's text.
void ShowFolderName(HWND dialog, int control, const char* folder);

// Paints WizardBitmap over the whole panel, stretched to its size.
void DrawWizardBitmap(HWND panel);

}  // namespace ui
