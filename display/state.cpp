#include "display/state.h"

ViewState view;
int wheelRemainder = 0;
BitmapHandle atlasBitmap = 0;

void ResetDisplayState() {
  view = ViewState{};
  wheelRemainder = 0;
  atlasBitmap = 0;
}
