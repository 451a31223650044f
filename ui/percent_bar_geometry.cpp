#include "ui/percent_bar_geometry.h"

#include <cstdint>

#include "platform/bounded_text.h"

namespace ui {

namespace {

// "%d%%" into a buffer of 8: at most "-2147483648%" would not fit, so the
// digits are cut to what fits, as the dialog's own buffer would hold.
void FormatPercent(int percent, char (&text)[8]) {
  char digits[12];
  int length = 0;
  std::int64_t value = percent;
  const bool negative = value < 0;
  if (negative) value = -value;
  do {
    digits[length++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  char out[16];
  int at = 0;
  if (negative) out[at++] = '-';
  while (length > 0) out[at++] = digits[--length];
  out[at++] = '%';
  out[at] = 0;
  platform::CopyText(text, out);
}

}  // namespace

int MulDivRounded(int a, int b, int c) {
  if (c == 0) return -1;
  std::int64_t numerator = static_cast<std::int64_t>(a) * b;
  std::int64_t divisor = c;
  if (divisor < 0) {
    numerator = -numerator;
    divisor = -divisor;
  }
  const std::int64_t half = divisor / 2;
  const std::int64_t result =
      numerator >= 0 ? (numerator + half) / divisor : (numerator - half) / divisor;
  if (result > 2147483647 || result < -2147483647) return -1;
  return static_cast<int>(result);
}

PercentBarLayout LayoutPercentBar(BarRect client, int textHeight, int percent) {
  const int left = client.left + 1;
  const int top = client.top + 1;
  const int right = client.right - 1;
  const int bottom = client.bottom - 1;
  const int width = right - left;
  const int height = bottom - top;
  const int fillEdge = left + MulDivRounded(percent, width, 100);
  PercentBarLayout layout{};
  layout.filled = {left, top, fillEdge, bottom};
  layout.empty = {fillEdge + 1, top, right, bottom};
  layout.textX = left + width / 2;
  layout.textY = top + (height - textHeight) / 2;
  FormatPercent(percent, layout.text);
  return layout;
}

}  // namespace ui
