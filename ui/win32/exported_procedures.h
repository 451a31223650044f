// The window and dialog procedures, exported from upgapply.exe under their
// own names (upgapply.def).
#pragma once

#include "platform/win32/windows_api.h"

extern "C" {
// The main window, class "UpgApply32": paints the backdrop and runs the job
// on the start command.
LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The wizard pages' shared procedure and the three pages' own.
INT_PTR CALLBACK Confirm(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Confirm1(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Confirm2(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK Confirm3(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The search notice "UPGSEARCH".
INT_PTR CALLBACK UpgSearchDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The progress dialog "UPGPROGRESS".
INT_PTR CALLBACK UpgProgressDlg(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
}
