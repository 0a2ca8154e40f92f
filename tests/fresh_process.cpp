#include "tests/fresh_process.h"

#include "conversion/state.h"
#include "display/state.h"
#include "document/state.h"
#include "document/work_area.h"
#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "shell/state.h"

void ResetLogicState() {
  ResetDocumentState();
  ResetDisplayState();
  ResetConversionState();
  ResetShellState();
}

void StartFreshProcess() {
  FreeWorkArea();
  SimReset();
  ResetLogicState();
}

void RunProgram(const std::string& commandLine) {
  SimEndProcess();
  ResetLogicState();
  StartUp(commandLine.c_str());
}
