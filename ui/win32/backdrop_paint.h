// The main window's fonts and its painting: the blue gradient, the shadowed
// title and the two side lines.
#pragma once

#include "platform/win32/windows_api.h"

namespace ui {

enum class AppFont { kTitle = 0, kSide = 1 };

// The large italic title font, and the small one turned by 90 degrees for
// the side lines; created at start-up, deleted after the message loop.
extern HFONT TitleFont;
extern HFONT SideFont;

HFONT CreateAppFont(AppFont kind);

// Paints one paint request of the main window, laid out on the screen's
// size.
void PaintBackground(HDC dc, const PAINTSTRUCT& request);

// The same for a screen of the given size; `repaint` is the rectangle to
// be repainted. TitleFont and SideFont must exist.
void PaintBackdrop(HDC dc, const RECT& repaint, int screenWidth, int screenHeight);

}  // namespace ui
