// Where the backdrop's bands and texts and the percentage bar's parts go,
// computed without any window.
#include <gtest/gtest.h>

#include <cstring>

#include "ui/backdrop.h"
#include "ui/percent_bar_geometry.h"

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

TEST(PercentBar, LayoutAtZeroFiftyAndOneHundred) {
  // A control of 282 by 23 pixels: the inner area is 1..281 by 1..22.
  const BarRect client{0, 0, 282, 23};
  const PercentBarLayout empty = LayoutPercentBar(client, 13, 0);
  EXPECT_EQ(empty.filled.left, 1);
  EXPECT_EQ(empty.filled.right, 1);  // nothing filled
  EXPECT_EQ(empty.empty.left, 2);
  EXPECT_EQ(empty.empty.right, 281);
  EXPECT_STREQ(empty.text, "0%");
  EXPECT_EQ(empty.textX, 1 + 140);
  EXPECT_EQ(empty.textY, 1 + (21 - 13) / 2);

  const PercentBarLayout half = LayoutPercentBar(client, 13, 50);
  EXPECT_EQ(half.filled.right, 1 + 140);
  EXPECT_EQ(half.empty.left, 1 + 140 + 1);  // the column at F is left alone
  EXPECT_EQ(half.filled.top, 1);
  EXPECT_EQ(half.filled.bottom, 22);
  EXPECT_STREQ(half.text, "50%");

  const PercentBarLayout full = LayoutPercentBar(client, 13, 100);
  EXPECT_EQ(full.filled.right, 281);
  EXPECT_GE(full.empty.left, full.empty.right);  // no width
  EXPECT_STREQ(full.text, "100%");
}

TEST(PercentBar, MulDivRoundedRoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDivRounded(33, 281, 100), 93);  // 92.73
  EXPECT_EQ(MulDivRounded(1, 5, 2), 3);
  EXPECT_EQ(MulDivRounded(-1, 5, 2), -3);
  EXPECT_EQ(MulDivRounded(1, 1, 0), -1);
}

}  // namespace
