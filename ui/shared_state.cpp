#include "ui/shared_state.h"

char PackagePath[kMaxPath];
char SelectedFolder[kMaxPath];

void ResetSharedState() {
  PackagePath[0] = 0;
  SelectedFolder[0] = 0;
}
