#include "ui/win32/backdrop_paint.h"

#include <cstring>

#include "platform/bounded_text.h"
#include "ui/backdrop.h"

namespace ui {

HFONT TitleFont = nullptr;
HFONT SideFont = nullptr;

namespace {

// TrueType preferred, proof quality, roman family: the fonts as they were
// tabled when the program was designed.
constexpr BYTE kTrueTypePreferred = 4;
constexpr BYTE kProofQuality = 2;
constexpr BYTE kRomanFamily = 0x10;

int TextWidth(HDC dc, const char* text) {
  SIZE size{};
  ::GetTextExtentPointA(dc, text, static_cast<int>(std::strlen(text)), &size);
  return size.cx;
}

void TextAt(HDC dc, int x, int y, const char* text) {
  ::TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
}

void PaintBands(HDC dc, const RECT& repaint, int width, int height) {
  for (int k = 0; k < kBackdropBands; ++k) {
    const BackdropBand band = BackdropBandAt(k, height);
    if (!BandMeetsRepaint(band, repaint.top, repaint.bottom)) continue;
    const HBRUSH brush = ::CreateSolidBrush(RGB(0, 0, band.blue));
    const HGDIOBJ previous = ::SelectObject(dc, brush);
    ::PatBlt(dc, 0, band.top, width, band.bottom - band.top, PATCOPY);
    ::SelectObject(dc, previous);
    ::DeleteObject(brush);
  }
}

void PaintSideLine(HDC dc, int x, int height, const char* text) {
  const TextOrigin origin = SideLineOrigin(x, height, TextWidth(dc, text));
  TextAt(dc, origin.x, origin.y, text);
}

}  // namespace

HFONT CreateAppFont(AppFont kind) {
  LOGFONTA font{};
  const bool title = kind == AppFont::kTitle;
  font.lfHeight = title ? -40 : -14;
  font.lfEscapement = title ? 0 : 900;
  font.lfOrientation = font.lfEscapement;
  font.lfWeight = title ? FW_BOLD : FW_NORMAL;
  font.lfItalic = title ? TRUE : FALSE;
  font.lfCharSet = ANSI_CHARSET;
  font.lfOutPrecision = kTrueTypePreferred;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = kProofQuality;
  font.lfPitchAndFamily = kRomanFamily;
  platform::CopyText(font.lfFaceName, "Times New Roman");
  return ::CreateFontIndirectA(&font);
}

void PaintBackdrop(HDC dc, const RECT& repaint, int screenWidth, int screenHeight) {
  const int width = screenWidth + 1;
  const int height = screenHeight + 1;
  PaintBands(dc, repaint, width, height);

  ::SetBkMode(dc, TRANSPARENT);
  const HGDIOBJ previousFont = ::SelectObject(dc, TitleFont);
  const TextOrigin title = TitleOrigin(width, TextWidth(dc, kProgramTitle));
  ::SetTextColor(dc, RGB(0, 0, 0));
  TextAt(dc, title.x + kTitleShadowOffset, title.y + kTitleShadowOffset, kProgramTitle);
  ::SetTextColor(dc, RGB(255, 255, 255));
  TextAt(dc, title.x, title.y, kProgramTitle);

  ::SelectObject(dc, SideFont);
  PaintSideLine(dc, kVersionLineX, height, kVersionLine);
  PaintSideLine(dc, kRightsLineX, height, kRightsLine);
  ::SelectObject(dc, previousFont);
}

void PaintBackground(HDC dc, const PAINTSTRUCT& request) {
  PaintBackdrop(dc, request.rcPaint, ::GetSystemMetrics(SM_CXSCREEN),
                ::GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace ui
