// Where the backdrop's bands and texts go, computed without any window.
#include "ui/backdrop.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace ui;

namespace {

TEST(Backdrop, BandsCoverTheHeightInFoursOfBlue) {
  const int height = 769;  // a 768-pixel screen, plus one
  int previousBottom = 0;
  for (int k = 0; k < kBackdropBands; ++k) {
    const BackdropBand band = BackdropBandAt(k, height);
    EXPECT_EQ(band.blue, 255 - 4 * k);
    EXPECT_EQ(band.top, previousBottom) << "band " << k;
    EXPECT_GT(band.bottom, band.top);
    previousBottom = band.bottom;
  }
  EXPECT_EQ(previousBottom, height);
  // MulDiv rounds: 769 * 4 / 256 = 12.02, 769 * 8 / 256 = 24.03.
  EXPECT_EQ(BackdropBandAt(1, height).top, 12);
  EXPECT_EQ(BackdropBandAt(1, height).bottom, 24);
  EXPECT_EQ(BackdropBandAt(63, height).blue, 3);
}

TEST(Backdrop, ARepaintMeetsOnlyTheBandsItTouches) {
  const BackdropBand band = BackdropBandAt(10, 769);  // rows 120 to 132
  ASSERT_EQ(band.top, 120);
  ASSERT_EQ(band.bottom, 132);
  EXPECT_TRUE(BandMeetsRepaint(band, 125, 126));
  EXPECT_TRUE(BandMeetsRepaint(band, 0, 769));
  EXPECT_TRUE(BandMeetsRepaint(band, 132, 200));  // touching edges meet
  EXPECT_TRUE(BandMeetsRepaint(band, 0, 120));
  EXPECT_FALSE(BandMeetsRepaint(band, 133, 200));
  EXPECT_FALSE(BandMeetsRepaint(band, 0, 119));
}

TEST(Backdrop, TitleIsCentredWithItsShadowAndSideLinesStandOnTheHeight) {
  const TextOrigin title = TitleOrigin(1025, 400);
  EXPECT_EQ(title.x, 310);  // (1025 - 400) / 2 - 2, toward zero
  EXPECT_EQ(title.y, 18);
  EXPECT_EQ(TitleOrigin(301, 400).x, -51);
  const TextOrigin side = SideLineOrigin(kVersionLineX, 769, 300);
  EXPECT_EQ(side.x, 22);
  EXPECT_EQ(side.y, 769 - 234);
  EXPECT_EQ(std::strncmp(kVersionLine, "Version 3.0", 11), 0);
}

}  // namespace
