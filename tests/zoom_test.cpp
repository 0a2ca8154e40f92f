// The zoom through the program's keys, menu and wheel: the same text at the
// top, the page drawn as the zoom-1 page with every pixel a square.
#include <gtest/gtest.h>

#include <string>

#include "display/view.h"
#include "platform/sim/sim.h"
#include "shell/command_ids.h"
#include "shell/texts.h"
#include "tests/expected_page.h"
#include "tests/test_support.h"

namespace {

TEST(ZoomTest, KeysMenuAndCtrlWheelZoomKeepingTheTopText) {
  struct Step {
    const char* what;
    unsigned key;  // with Ctrl; 0 for none
    int command, wheel, zoom;
  };
  const Step steps[] = {
      {"Ctrl and the main plus", kKeyOemPlus, 0, 0, 2},
      {"Ctrl and the keypad's plus", kKeyAdd, 0, 0, 3},
      {"Zoom in", 0, CMD_ZOOM_IN, 0, 4},
      {"no further than 4", kKeyOemPlus, 0, 0, 4},
      {"Ctrl and the main minus", kKeyOemMinus, 0, 0, 3},
      {"Zoom out", 0, CMD_ZOOM_OUT, 0, 2},
      {"Ctrl+0", '0', 0, 0, 1},
      {"no further than 1", kKeyOemMinus, 0, 0, 1},
      {"Ctrl and two notches up", 0, 0, 240, 3},
      {"Ctrl and the keypad's minus", kKeySubtract, 0, 0, 2},
      {"Ctrl and half a notch down", 0, 0, -60, 2},
      {"and the other half", 0, 0, -60, 1},
      {"Ctrl and a notch up", 0, 0, 120, 2},
      {"Actual size", 0, CMD_ZOOM_RESET, 0, 1},
  };
  // At 601x545 (no zoom divides it): columns, lines, and the display line of text line 20.
  const int metrics[][3] = {{82, 30, 20}, {39, 15, 40}, {24, 10, 60}, {17, 7, 80}};
  StartFreshProcess();
  ScratchFolder folder;
  std::string text;
  for (int i = 10; i < 110; ++i)
    text += "line " + std::to_string(i) + std::string(53, 'x') + "\r\n";
  folder.Write("doc.txt", ToBytes(text));
  SimMapDrive('C', folder.Root());
  SimCreateKey(kLocalMachine, kPositionKey);
  RunProgram("tavelo.exe C:\\doc.txt");
  SimResizeClient(601, 545);
  SimPostMessage(kMessageVScroll, static_cast<MessageParam>(kScrollThumbPosition | 20 << 16), 0);
  SimRunUntilIdle();
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.key != 0) SimPressKey(step.key, kSimControl);
    if (step.command != 0) SimChooseCommand(step.command);
    if (step.wheel != 0) SimTurnWheel(step.wheel, kSimControl);
    SimRunUntilIdle();
    ASSERT_EQ(zoom, step.zoom);
    const int* m = metrics[zoom - 1];
    EXPECT_TRUE(view.columns == m[0] && view.pageLines == m[1] && view.topLine == m[2]);
    EXPECT_EQ(view.topOffset, 20 * 62) << "the top line's text stays at the top";
    // A line's move scrolls the pixels by the zoomed pitch, the rest is painted.
    SimPressKey(kKeyDown);
    SimRunUntilIdle();
    EXPECT_EQ(simPaint.scrolls.back(), -18 * zoom);
    const PageRequest page{ToBytes(text), view.columns, false, view.topLine, 601, 545, zoom};
    EXPECT_EQ(DifferingPixels(ExpectedPage(page), SimSurface(), 601, 545, "zoom"), 0);
    SimPressKey(kKeyUp, 0);
    SimPressKey(step.key, 0);  // without Ctrl, no zoom
    SimRunUntilIdle();
  }
}

TEST(ZoomTest, SavedOnceChosenElseTheDesktopsScale) {
  struct Case {
    int desktopScale, command, saved, next;  // saved -1: not written
  };
  const Case cases[] = {{1, 0, -1, 1}, {1, CMD_ZOOM_OUT, -1, 1},  {1, CMD_ZOOM_IN, 2, 2},
                        {2, 0, -1, 2}, {2, CMD_ZOOM_RESET, 1, 1}, {6, 0, -1, 4}};
  for (const Case& c : cases) {
    StartFreshProcess();
    SimSetDesktopScale(c.desktopScale);
    SimCreateKey(kLocalMachine, kOptionsKey);
    SimCreateKey(kLocalMachine, kPositionKey);
    RunProgram("tavelo.exe");
    if (c.command != 0) SimChooseCommand(c.command);
    SimRunUntilIdle();
    SimClose();
    SimRunUntilIdle();
    SimValue value;
    const bool saved = SimGetValue(kLocalMachine, kOptionsKey, kZoomValue, &value);
    EXPECT_EQ(saved ? value.bytes[0] : -1, c.saved) << c.command;
    ResetLogicState();
    SimSetDesktopScale(c.desktopScale);
    RunProgram("tavelo.exe");
    SimRunUntilIdle();
    EXPECT_EQ(zoom, c.next) << c.command;
  }
}

}  // namespace
