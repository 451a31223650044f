// The main window's backdrop: its texts, the 64 bands of its blue gradient
// and where its title and side lines stand. Laid out from the screen's
// size, not the window's, so a window restored to less than the screen
// shows the top left part of the same picture.
#pragma once

namespace ui {

constexpr char kProgramTitle[] = "Karvell Upgrade Applicator";
constexpr char kVersionLine[] = "Version 3.0  Copyright (c) Karvell Software. All rights reserved.";
constexpr char kRightsLine[] = "Unauthorized copying or distribution is prohibited.";

constexpr int kBackdropBands = 64;
// The title's shadow is drawn this far right of and below the title.
constexpr int kTitleShadowOffset = 4;
// The side lines stand at these distances from the left edge.
constexpr int kVersionLineX = 22;
constexpr int kRightsLineX = 44;

struct BackdropBand {
  int top;
  int bottom;  // excluded
  int blue;    // the band's colour is RGB(0, 0, blue)
};

// Band `index` (0 to 63) for a layout height of `height` (screen height + 1).
BackdropBand BackdropBandAt(int index, int height);

// Whether a band is to be painted for a repaint of the rows from
// `repaintTop` to `repaintBottom`; touching edges count as meeting.
bool BandMeetsRepaint(const BackdropBand& band, int repaintTop, int repaintBottom);

struct TextOrigin {
  int x;
  int y;
};

// The title's top left for a text `textWidth` wide on a layout `width`
// wide (screen width + 1); its shadow is kTitleShadowOffset further on.
TextOrigin TitleOrigin(int width, int textWidth);

// Where a side line `textWidth` long starts at `x`: the font is turned by
// 90 degrees, so the text reads upward from there, centred on the height.
TextOrigin SideLineOrigin(int x, int height, int textWidth);

}  // namespace ui
