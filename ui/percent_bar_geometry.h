// Where the progress dialog's percentage bar puts its two areas and its
// text. Both front-ends draw from this: the Win32 one in pixels, the
// console one in character cells.
#pragma once

#include <cstdint>

namespace ui {

struct BarRect {
  int left;
  int top;
  int right;   // excluded
  int bottom;  // excluded
};

struct PercentBarLayout {
  // Blue with white text: from the inner left edge up to the fill edge F,
  // F itself excluded.
  BarRect filled;
  // White with black text: from F + 1 to the inner right edge. The column
  // at F is painted by neither and keeps what the control showed.
  BarRect empty;
  // The text's reference point: the middle of its top edge. The text is
  // drawn there in both areas, each clipped to its own.
  int textX;
  int textY;
  char text[8];
};

// `client` is the control's client rectangle, whose one-pixel frame is left
// alone; `textHeight` the height of the text in the control's font.
PercentBarLayout LayoutPercentBar(BarRect client, int textHeight, int percent);

// MulDiv of the system: a * b / c rounded to the nearest integer, halves away from zero, with a
// 64-bit product; -1 when c is 0 or the result does not fit 32 bits.
int MulDivRounded(int a, int b, int c);

}  // namespace ui
