#include "ui/shared_state.h"

namespace ui {

char PackagePath[streams::kMaxPath];
char SelectedFolder[streams::kMaxPath];

void ResetSharedState() {
  PackagePath[0] = 0;
  SelectedFolder[0] = 0;
}

}  // namespace ui
