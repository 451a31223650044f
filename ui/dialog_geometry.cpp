#include "ui/dialog_geometry.h"

namespace ui {

ScreenPoint CenteredOrigin(int screenWidth, int screenHeight, int windowWidth, int windowHeight) {
  return {(screenWidth - windowWidth) / 2, (screenHeight - windowHeight) / 2};
}

}  // namespace ui
