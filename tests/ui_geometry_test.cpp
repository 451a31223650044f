// Where the percent bar's areas and the backdrop's bands go, computed without any window.
#include <gtest/gtest.h>

#include <string>

#include "ui/backdrop.h"
#include "ui/dialog_geometry.h"
#include "ui/percent_bar_geometry.h"

using namespace ui;

namespace {

// The filled area ends at the fill edge, rounded to the nearest pixel; the empty area starts a
// column after it.
TEST(PercentBar, TheAreasTheFillEdgeAndTheText) {
  const struct {
    BarRect client;
    int textHeight, percent, filledRight, emptyLeft, textX, textY;
    const char* text;
  } cases[] = {
      // 300 x 22: inner area 1..299 x 1..21; 1 + MulDivRounded(50, 298, 100) = 150.
      {{0, 0, 300, 22}, 13, 50, 150, 151, 150, 4, "50%"},
      {{0, 0, 102, 12}, 8, 0, 1, 2, 51, 2, "0%"},
      // 33% of 185 pixels is 61.05, 67% is 123.95; a text taller than the area centres above.
      {{0, 0, 187, 10}, 5, 33, 62, 63, 93, 2, "33%"},
      {{0, 0, 187, 10}, 5, 67, 125, 126, 93, 2, "67%"},
      {{10, 10, 50, 15}, 9, 1, 11, 12, 30, 8, "1%"},
  };
  for (const auto& c : cases) {
    const PercentBarLayout layout = LayoutPercentBar(c.client, c.textHeight, c.percent);
    EXPECT_EQ(layout.filled.right, c.filledRight) << c.text;
    EXPECT_EQ(layout.empty.left, c.emptyLeft) << c.text;
    EXPECT_EQ(layout.textX, c.textX) << c.text;
    EXPECT_EQ(layout.textY, c.textY) << c.text;
    EXPECT_EQ(std::string(layout.text), c.text);
  }
}

TEST(Backdrop, ARepaintMeetsOnlyTheBandsItTouches) {
  const BackdropBand band = BackdropBandAt(10, 769);  // rows 120 to 132
  // Touching edges meet; the edge rows pin where the band lies.
  const int cases[][3] = {{125, 126, 1}, {0, 769, 1},   {132, 200, 1},
                          {0, 120, 1},   {133, 200, 0}, {0, 119, 0}};
  for (const auto& c : cases) EXPECT_EQ(BandMeetsRepaint(band, c[0], c[1]), c[2] == 1) << c[0];
}

}  // namespace
