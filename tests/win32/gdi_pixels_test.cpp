// The backdrop and the percentage bar as they come out in pixels, drawn into
// memory device contexts.
#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"
#include "ui/backdrop.h"
#include "ui/percent_bar_geometry.h"
#include "ui/win32/backdrop_paint.h"
#include "ui/win32/progress_dialog.h"

using namespace ui;

namespace {

constexpr COLORREF kUntouched = RGB(255, 0, 0);

// A 24-bit memory bitmap filled with a colour that neither drawing uses.
class MemoryCanvas {
 public:
  MemoryCanvas(int width, int height) : width_(width), height_(height) {
    const HDC screen = ::GetDC(nullptr);
    dc_ = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    bitmap_ = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ::ReleaseDC(nullptr, screen);
    previous_ = ::SelectObject(dc_, bitmap_);
    Fill(kUntouched);
  }
  ~MemoryCanvas() {
    ::SelectObject(dc_, previous_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  MemoryCanvas(const MemoryCanvas&) = delete;
  MemoryCanvas& operator=(const MemoryCanvas&) = delete;

  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const { return ::GetPixel(dc_, x, y); }
  void Fill(COLORREF colour) {
    const HBRUSH brush = ::CreateSolidBrush(colour);
    const RECT all{0, 0, width_, height_};
    ::FillRect(dc_, &all, brush);
    ::DeleteObject(brush);
  }
  // How many pixels of the rectangle have exactly `colour`.
  int Count(const BarRect& area, COLORREF colour) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) count += At(x, y) == colour ? 1 : 0;
    }
    return count;
  }

 private:
  int width_;
  int height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
};

class Fonts : public ::testing::Test {
 protected:
  void SetUp() override {
    TitleFont = CreateAppFont(AppFont::kTitle);
    SideFont = CreateAppFont(AppFont::kSide);
    ASSERT_NE(TitleFont, nullptr);
    ASSERT_NE(SideFont, nullptr);
  }
  void TearDown() override {
    ::DeleteObject(TitleFont);
    ::DeleteObject(SideFont);
  }
};

using Backdrop = Fonts;

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
// Right of the side lines and below the title: only the bands show here.
constexpr int kPlainX = kScreenWidth - 8;

TEST_F(Backdrop, BandKHasBlue255Minus4K) {
  MemoryCanvas canvas(kScreenWidth + 1, kScreenHeight + 1);
  const RECT all{0, 0, kScreenWidth + 1, kScreenHeight + 1};
  PaintBackdrop(canvas.dc(), all, kScreenWidth, kScreenHeight);
  for (int k = 0; k < kBackdropBands; ++k) {
    const BackdropBand band = BackdropBandAt(k, kScreenHeight + 1);
    const int y = (band.top + band.bottom - 1) / 2;
    EXPECT_EQ(canvas.At(kPlainX, y), RGB(0, 0, 255 - 4 * k)) << "band " << k;
  }
  // The title is white with a black shadow, across the middle at the top.
  const BarRect titleArea{100, 18, kScreenWidth - 100, 70};
  EXPECT_GT(canvas.Count(titleArea, RGB(255, 255, 255)), 200);
  EXPECT_GT(canvas.Count(titleArea, RGB(0, 0, 0)), 200);
  // Both side lines stand in white along the left edge.
  EXPECT_GT(canvas.Count({0, 0, kRightsLineX - 4, kScreenHeight}, RGB(255, 255, 255)), 100);
  EXPECT_GT(canvas.Count({kRightsLineX - 4, 0, 80, kScreenHeight}, RGB(255, 255, 255)), 100);
}

TEST_F(Backdrop, AStripRepaintTouchesOnlyItsBands) {
  MemoryCanvas canvas(kScreenWidth + 1, kScreenHeight + 1);
  const RECT strip{0, 400, kScreenWidth + 1, 430};
  PaintBackdrop(canvas.dc(), strip, kScreenWidth, kScreenHeight);
  for (int k = 0; k < kBackdropBands; ++k) {
    const BackdropBand band = BackdropBandAt(k, kScreenHeight + 1);
    const int y = (band.top + band.bottom - 1) / 2;
    const COLORREF expected =
        BandMeetsRepaint(band, strip.top, strip.bottom) ? RGB(0, 0, 255 - 4 * k) : kUntouched;
    EXPECT_EQ(canvas.At(kPlainX, y), expected) << "band " << k;
  }
  EXPECT_EQ(canvas.At(kPlainX, 415), RGB(0, 0, 255 - 4 * (415 * 256 / 481 / 4)));
}

// A bar control of 282 by 23 pixels, as the dialog's 188 by 14 units come
// out in its font.
constexpr RECT kBarClient{0, 0, 282, 23};

class PercentBarPixels : public ::testing::Test {
 protected:
  void SetUp() override {
    font_ = ::CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
    ASSERT_NE(font_, nullptr);
  }
  void TearDown() override { ::DeleteObject(font_); }

  PercentBarLayout Draw(MemoryCanvas& canvas, int percent) {
    const HGDIOBJ previous = ::SelectObject(canvas.dc(), font_);
    PaintPercentBar(canvas.dc(), kBarClient, percent);
    SIZE size{};
    ::GetTextExtentPoint32A(canvas.dc(), "100%", 4, &size);
    ::SelectObject(canvas.dc(), previous);
    return LayoutPercentBar({0, 0, kBarClient.right, kBarClient.bottom}, size.cy, percent);
  }

  HFONT font_ = nullptr;
};

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Pixels in `area` that are none of the given colours: text is drawn
// without smoothing in a memory bitmap, but a renderer may blend edges.
int Others(const MemoryCanvas& canvas, const BarRect& area, COLORREF a, COLORREF b) {
  const int all = (area.right - area.left) * (area.bottom - area.top);
  return all - canvas.Count(area, a) - canvas.Count(area, b);
}

TEST_F(PercentBarPixels, EmptyAtZero) {
  MemoryCanvas canvas(kBarClient.right, kBarClient.bottom);
  const PercentBarLayout layout = Draw(canvas, 0);
  EXPECT_EQ(canvas.Count({1, 1, 281, 22}, kBlue), 0);
  // The column at F (the inner left edge here) keeps what was there.
  EXPECT_EQ(canvas.Count({1, 1, 2, 22}, kUntouched), 21);
  EXPECT_GT(canvas.Count(layout.empty, kBlack), 10);  // "0%" in black
  EXPECT_GT(canvas.Count(layout.empty, kWhite), 4000);
  // The frame of the control is not painted over.
  EXPECT_EQ(canvas.Count({0, 0, 282, 1}, kUntouched), 282);
  EXPECT_EQ(canvas.Count({0, 22, 282, 23}, kUntouched), 282);
  EXPECT_EQ(canvas.Count({281, 0, 282, 23}, kUntouched), 23);
}

TEST_F(PercentBarPixels, HalfFilledWithTheTextAcrossTheEdge) {
  MemoryCanvas canvas(kBarClient.right, kBarClient.bottom);
  const PercentBarLayout layout = Draw(canvas, 50);
  const int edge = layout.filled.right;
  ASSERT_EQ(edge, 141);
  // Blue with white text left of the edge, white with black text right of
  // it, and the column at the edge unpainted.
  EXPECT_EQ(canvas.Count({edge, 1, edge + 1, 22}, kUntouched), 21);
  const BarRect textLeft{layout.filled.left, layout.filled.top, edge, layout.filled.bottom};
  EXPECT_GT(canvas.Count(textLeft, kWhite), 5);
  EXPECT_EQ(canvas.Count(textLeft, kBlack), 0);
  EXPECT_LT(Others(canvas, textLeft, kBlue, kWhite), 20);
  EXPECT_GT(canvas.Count(layout.empty, kBlack), 5);
  EXPECT_EQ(canvas.Count(layout.empty, kBlue), 0);
  EXPECT_LT(Others(canvas, layout.empty, kWhite, kBlack), 20);
  // Away from the text the parts are plain.
  EXPECT_EQ(canvas.At(5, 11), kBlue);
  EXPECT_EQ(canvas.At(276, 11), kWhite);
}

TEST_F(PercentBarPixels, FullAtOneHundred) {
  MemoryCanvas canvas(kBarClient.right, kBarClient.bottom);
  const PercentBarLayout layout = Draw(canvas, 100);
  EXPECT_EQ(layout.filled.right, 281);
  EXPECT_EQ(canvas.Count({1, 1, 281, 22}, kBlack), 0);
  EXPECT_GT(canvas.Count({1, 1, 281, 22}, kWhite), 10);  // "100%" in white
  EXPECT_GT(canvas.Count({1, 1, 281, 22}, kBlue), 5000);
  EXPECT_EQ(canvas.Count({0, 0, 282, 1}, kUntouched), 282);
}

}  // namespace
