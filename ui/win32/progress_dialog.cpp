#include "ui/win32/progress_dialog.h"

#include <cstring>

#include "apply/progress_state.h"
#include "resources/resource_ids.h"
#include "ui/percent_bar_geometry.h"
#include "ui/win32/dialog_helpers.h"
#include "ui/win32/exported_procedures.h"

namespace ui {

namespace {

void PaintPart(HDC dc, const PercentBarLayout& layout, const BarRect& part, COLORREF background,
               COLORREF text) {
  const RECT rect{part.left, part.top, part.right, part.bottom};
  ::SetBkColor(dc, background);
  ::SetTextColor(dc, text);
  ::ExtTextOutA(dc, layout.textX, layout.textY, ETO_OPAQUE | ETO_CLIPPED, &rect, layout.text,
                static_cast<UINT>(std::strlen(layout.text)), nullptr);
}

}  // namespace

void PaintPercentBar(HDC dc, const RECT& client, int percent) {
  const UINT previousAlign = ::SetTextAlign(dc, TA_CENTER);
  // The text's height does not depend on the digits: measure the widest.
  SIZE size{};
  ::GetTextExtentPoint32A(dc, "100%", 4, &size);
  const PercentBarLayout layout =
      LayoutPercentBar({client.left, client.top, client.right, client.bottom}, size.cy, percent);
  PaintPart(dc, layout, layout.filled, RGB(0, 0, 255), RGB(255, 255, 255));
  PaintPart(dc, layout, layout.empty, RGB(255, 255, 255), RGB(0, 0, 0));
  ::SetTextAlign(dc, previousAlign);
}

void DrawPercentBar(HWND dialog, int control, int percent) {
  const HWND bar = ::GetDlgItem(dialog, control);
  if (bar == nullptr) return;
  RECT client;
  ::GetClientRect(bar, &client);
  const HDC dc = ::GetDC(bar);
  if (dc == nullptr) return;
  const HFONT font = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
  const HGDIOBJ previousFont = font != nullptr ? ::SelectObject(dc, font) : nullptr;
  PaintPercentBar(dc, client, percent);
  if (previousFont != nullptr) ::SelectObject(dc, previousFont);
  ::ReleaseDC(bar, dc);
}

extern "C" INT_PTR CALLBACK UpgProgressDlg(HWND dialog, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      apply::ResetProgressState();
      CenterOnScreen(dialog, false);
      return TRUE;
    case WM_PAINT:
      ::UpdateWindow(::GetDlgItem(dialog, IDC_PROGRESS_BAR));
      DrawPercentBar(dialog, IDC_PROGRESS_BAR, apply::LastPercent);
      return FALSE;
    case WM_COMMAND:
      // Cancel, Escape and the close box only ask; the engine settles the
      // request at its next poll.
      apply::CancelRequested = 1;
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace ui
