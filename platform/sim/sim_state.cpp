#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"

void SimReset() {
  SimResetFiles();
  SimResetMemory();
  SimResetRegistry();
  SimResetWindow();
  SimResetDialogs();
}


void SimEndProcess() {
  SimCloseFiles();
  SimResetMemory();
  SimResetWindow();
  SimResetDialogs();
}
