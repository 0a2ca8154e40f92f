// What the parts of the simulated desktop share among themselves.
#pragma once

#include <cstdint>
#include <vector>

// Each part returns to its state before the program started.
void SimResetFiles();
void SimCloseFiles();  // the process's handles only
void SimResetMemory();
void SimResetRegistry();
void SimResetWindow();
void SimResetDesktop();  // monitors, the wheel setting and the installed program's path
void SimResetDialogs();
void SimForgetCalls();  // the recorded boxes and dialogs; answers still to come stay

// A loaded 1-bit bitmap: bottom-up rows, most significant bit leftmost, 1 = white.
struct SimBitmap {
  int width = 0;
  int height = 0;
  int rowBytes = 0;
  std::vector<std::uint8_t> pixels;
};

// The bitmap behind a handle, or null.
const SimBitmap* SimFindBitmap(std::uintptr_t handle);

// The client surface follows the client size: kept pixels stay at the top
// left; a width change invalidates all of it (the class redraws on width
// changes), a height change only what it uncovers.
void SimResizeSurface(int width, int height);
void SimResetSurface();
void SimValidateAll();      // what DefWindowProc's paint does
bool SimWindowPaintable();  // shown, not minimized, not destroyed
