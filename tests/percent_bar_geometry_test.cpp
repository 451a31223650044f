#include "ui/percent_bar_geometry.h"

#include <gtest/gtest.h>

#include <string>

using namespace ui;

namespace {

TEST(MulDivRounded, RoundsToTheNearestWithHalvesAwayFromZero) {
  EXPECT_EQ(MulDivRounded(50, 185, 100), 93);  // 92.5
  EXPECT_EQ(MulDivRounded(1, 149, 100), 1);    // 1.49
  EXPECT_EQ(MulDivRounded(1, 150, 100), 2);    // 1.5
  EXPECT_EQ(MulDivRounded(-1, 150, 100), -2);
  EXPECT_EQ(MulDivRounded(1, 150, -100), -2);
  EXPECT_EQ(MulDivRounded(100000, 100000, 100), 100000000);
  EXPECT_EQ(MulDivRounded(1, 1, 0), -1);
  EXPECT_EQ(MulDivRounded(0x7FFFFFFF, 2, 1), -1);
}

TEST(PercentBar, TheTwoAreasLeaveTheFillEdgeColumnUnpainted) {
  // A client area of 300 x 22 pixels: inner area 1..299 x 1..21.
  const PercentBarLayout half = LayoutPercentBar({0, 0, 300, 22}, 13, 50);
  EXPECT_EQ(half.filled.left, 1);
  EXPECT_EQ(half.filled.right, 150);  // 1 + MulDivRounded(50, 298, 100)
  EXPECT_EQ(half.empty.left, 151);
  EXPECT_EQ(half.empty.right, 299);
  EXPECT_EQ(half.filled.top, 1);
  EXPECT_EQ(half.filled.bottom, 21);
  EXPECT_EQ(half.textX, 150);  // 1 + 298 / 2
  EXPECT_EQ(half.textY, 4);    // 1 + (20 - 13) / 2
  EXPECT_EQ(std::string(half.text), "50%");
}

TEST(PercentBar, EmptyAndFullBars) {
  const PercentBarLayout none = LayoutPercentBar({0, 0, 102, 12}, 8, 0);
  EXPECT_EQ(none.filled.right - none.filled.left, 0);
  EXPECT_EQ(none.empty.left, 2);
  EXPECT_EQ(std::string(none.text), "0%");
  const PercentBarLayout full = LayoutPercentBar({0, 0, 102, 12}, 8, 100);
  EXPECT_EQ(full.filled.right, 101);
  EXPECT_EQ(full.empty.left, 102);
  EXPECT_LE(full.empty.right - full.empty.left, 0);
  EXPECT_EQ(std::string(full.text), "100%");
}

TEST(PercentBar, TheFillEdgeRoundsToTheNearestPixel) {
  // 33% of 185 pixels is 61.05; 67% is 123.95.
  EXPECT_EQ(LayoutPercentBar({0, 0, 187, 10}, 5, 33).filled.right, 62);
  EXPECT_EQ(LayoutPercentBar({0, 0, 187, 10}, 5, 67).filled.right, 125);
  // A text taller than the area centres above its top.
  EXPECT_EQ(LayoutPercentBar({10, 10, 50, 15}, 9, 1).textY, 8);
}

}  // namespace
