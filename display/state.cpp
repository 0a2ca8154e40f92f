#include "display/state.h"

ViewState view;
BitmapHandle atlasBitmap = 0;

void ResetDisplayState() {
  view = ViewState{};
  atlasBitmap = 0;
}
