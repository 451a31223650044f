#include "ui/backdrop.h"

#include "ui/percent_bar_geometry.h"

namespace ui {

namespace {

// The bands step through 256 in fours: band i covers i/256 to (i+4)/256 of
// the height and has blue 255 - i.
constexpr int kBandStep = 4;
constexpr int kTitleTop = 20;

}  // namespace

BackdropBand BackdropBandAt(int index, int height) {
  const int step = index * kBandStep;
  return {MulDivRounded(height, step, 256), MulDivRounded(height, step + kBandStep, 256),
          255 - step};
}

bool BandMeetsRepaint(const BackdropBand& band, int repaintTop, int repaintBottom) {
  return !(repaintTop > band.bottom || repaintBottom < band.top);
}

TextOrigin TitleOrigin(int width, int textWidth) {
  return {(width - textWidth) / 2 - kTitleShadowOffset / 2, kTitleTop - kTitleShadowOffset / 2};
}

TextOrigin SideLineOrigin(int x, int height, int textWidth) {
  return {x, height - (height - textWidth) / 2};
}

}  // namespace ui
