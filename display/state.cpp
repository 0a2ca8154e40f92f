#include "display/state.h"

ViewState view;
Selection selection;
int zoom = 1;
int wheelRemainder = 0;
BitmapHandle atlasBitmap = 0;
BitmapHandle glyphsBitmap = 0;

void ResetDisplayState() {
  view = ViewState{};
  selection = Selection{};
  zoom = 1;
  wheelRemainder = 0;
  atlasBitmap = 0;
  glyphsBitmap = 0;
}
