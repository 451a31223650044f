// The state and small routines that every window and dialog of the Windows
// program shares: the instance, the wizard picture, centring on the screen,
// the one file-dialog record and its two centring hooks.
#pragma once

#include "platform/win32/common_dialogs_api.h"

namespace ui {

// The program's instance: dialogs, the picture and the message table are
// loaded from it.
extern HINSTANCE AppInstance;
// "WIZARDBMP", painted on every wizard page.
extern HBITMAP WizardBitmap;

// Moves `window`, keeping its size, so that its middle is the screen's
// middle; repainting as it moves unless `repaint` is false.
void CenterOnScreen(HWND window, bool repaint = true);

// The file-dialog record that both file dialogs fill anew: 76 bytes, the
// size of the record before later systems added fields.
OPENFILENAMEA& FileDialog();
// Clears the record and sets its size field to 76.
void ResetFileDialog();

// True when the system's major version is above 3; it picks the file
// dialogs' style.
bool IsWindows4OrLater();

// Centring hooks of the file dialogs: the old style centres its dialog on
// WM_INITDIALOG, the explorer style the sender of CDN_INITDONE.
UINT_PTR CALLBACK OldStyleCenteringHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
UINT_PTR CALLBACK ExplorerCenteringHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace ui
