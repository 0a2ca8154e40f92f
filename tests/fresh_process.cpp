#include "tests/fresh_process.h"

#include "display/glyph_atlas.h"
#include "display/page_painter.h"
#include "display/view.h"
#include "document/encoding_mode.h"
#include "document/line_index.h"
#include "document/reader.h"
#include "document/work_area.h"
#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "shell/file_names.h"
#include "shell/open_command.h"
#include "shell/options.h"
#include "shell/placement.h"
#include "shell/window_lifecycle.h"

void ResetLogicState() {
  readBuffer = lineBytes = linePhase = nullptr;
  documentHandle = kInvalidFile;
  reader = DocumentReader{};
  view = ViewState{};
  wheelRemainder = 0;
  big5Mode = 0;
  lastLine = 0;
  truncated = 0;
  atlasBitmap = 0;
  truncationWarned = false;
  options = Options{};
  placement = WindowPlacement{};
  windowDestroyed = false;
  layoutAwaitsToggle = false;
  fileName[0] = currentName[0] = lastDirectory[0] = fileTitle[0] = 0;
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
