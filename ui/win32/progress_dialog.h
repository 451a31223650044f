// The progress dialog's bar. The dialog procedure, UpgProgressDlg, is in
// exported_procedures.h.
#pragma once

#include "platform/win32/windows_api.h"

namespace ui {

// Draws the bar for `percent` (0 to 100) into the static control `control`
// of `dialog`, in the dialog's font.
void DrawPercentBar(HWND dialog, int control, int percent);

// The drawing itself, into `dc` whose client area is `client`, in the font
// selected there: blue with white text up to the fill edge, white with
// black text beyond it; the outer frame and the column at the fill edge
// are not painted.
void PaintPercentBar(HDC dc, const RECT& client, int percent);

}  // namespace ui
