#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"

void SimReset() {
  SimResetFiles();
  SimResetMemory();
  SimResetRegistry();
  SimResetWindow();
  SimResetDesktop();
  SimResetDialogs();
}

void SimEndProcess() {
  SimCloseFiles();
  SimResetMemory();
  SimResetWindow();
  SimForgetCalls();
}
