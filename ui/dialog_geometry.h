// Where a window stands when centred on the screen: its middle on the
// screen's middle, whatever is cut off, halves rounded toward zero.
#pragma once

namespace ui {

struct ScreenPoint {
  int x;
  int y;
};

ScreenPoint CenteredOrigin(int screenWidth, int screenHeight, int windowWidth, int windowHeight);

}  // namespace ui
