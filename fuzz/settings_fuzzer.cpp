// Random registry values, of any type and of 0 to 300 bytes, for every value
// the program reads: the window placement, the two options and the last
// directory. Start-up completes, the window is placed on a monitor, the
// check marks show the options, the open dialog starts in a directory that
// is a zero-terminated text, and at exit the settings are written back in
// their own types and sizes, from which the next start places the window
// on a monitor again; no key is left open and nothing stays allocated.
//
// Input: a key-presence byte, then per value a presence byte, a type byte, a
// size (16 bits, taken modulo 301) and that many bytes.
#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/sim/sim.h"
#include "shell/command_ids.h"
#include "shell/placement.h"
#include "shell/state.h"
#include "shell/texts.h"

namespace {

struct Spot {
  const char* key;
  const char* name;  // "" for the key's default value
};

const Spot kSpots[] = {
    {kPositionKey, kWinStatusRead}, {kPositionKey, kLeftValue},   {kPositionKey, kRightValue},
    {kPositionKey, kTopValue},      {kPositionKey, kBottomValue}, {kOptionsKey, kSilentValue},
    {kOptionsKey, kAutoOpenValue},  {kLastDirectoryKey, ""},
};
const char* const kKeys[] = {kPositionKey, kOptionsKey, kLastDirectoryKey};
constexpr std::size_t kLongestValue = 300;

const PixelRect kLeftMonitor{-1280, 0, 0, 1024};
const PixelRect kMainMonitor{0, 0, 1024, 768};

bool OnAMonitor(const PixelRect& r, bool twoMonitors) {
  auto meets = [&](const PixelRect& m) {
    return r.left < m.right && m.left < r.right && r.top < m.bottom && m.top < r.bottom;
  };
  return meets(kMainMonitor) || (twoMonitors && meets(kLeftMonitor));
}

std::string Describe(const PixelRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

// The program is running, its window shown and placed where a user sees it.
void CheckPlacedOnScreen(const char* run, bool twoMonitors) {
  const std::string what = std::string(run) + ": ";
  FUZZ_CHECK(simWindow.exists && simWindow.shown, what + "no window is shown");
  FUZZ_CHECK(!SimQuitPosted(), what + "the program ended");
  const PixelRect& normal = simWindow.normalRect;
  FUZZ_CHECK(normal.right > normal.left && normal.bottom > normal.top,
             what + "an empty window " + Describe(normal));
  FUZZ_CHECK(OnAMonitor(normal, twoMonitors),
             what + "the window lies off every monitor at " + Describe(normal));
  FUZZ_CHECK(OnAMonitor(simWindow.rect, twoMonitors) || simWindow.minimized,
             what + "the window is off every monitor at " + Describe(simWindow.rect));
  FUZZ_CHECK(!(options.silentMode || options.autoOpen) ||
                 (SimMenuChecked(CMD_SILENT) == (options.silentMode != 0) &&
                  SimMenuChecked(CMD_AUTOOPEN) == (options.autoOpen != 0)),
             what + "the check marks do not show the options");
}

// Ends the run from the close box: the settings go back in their own form.
void CheckClosedAndSaved(const char* run) {
  const std::string what = std::string(run) + ": ";
  const WindowPlacement kept = placement;
  const Options keptOptions = options;
  SimClose();
  FUZZ_CHECK(SimQuitPosted(), what + "closing did not end the program");
  FUZZ_CHECK(SimLiveBlocks() == 0 && SimLiveBitmaps() == 0, what + "something stays allocated");
  FUZZ_CHECK(SimOpenRegistryKeys() == 0, what + "a registry key stays open");
  const struct {
    const char* key;
    const char* name;
    std::size_t size;
    int value;
  } saved[] = {
      {kPositionKey, kWinStatusWritten, 2, kept.WinStatus & 0xFFFF},
      {kPositionKey, kLeftValue, 4, kept.left},
      {kPositionKey, kRightValue, 4, kept.right},
      {kPositionKey, kTopValue, 4, kept.top},
      {kPositionKey, kBottomValue, 4, kept.bottom},
      {kOptionsKey, kSilentValue, 4, keptOptions.silentMode},
      {kOptionsKey, kAutoOpenValue, 4, keptOptions.autoOpen},
  };
  for (const auto& s : saved) {
    SimValue value;
    if (!SimGetValue(kLocalMachine, s.key, s.name, &value)) {
      // Only a key that is missing at exit is skipped.
      FUZZ_CHECK(!SimKeyExists(kLocalMachine, s.key), what + s.name + " was not saved");
      continue;
    }
    FUZZ_CHECK(value.type == kRegBinary && value.bytes.size() == s.size,
               what + s.name + " saved in another form");
    std::uint32_t bits = 0;
    for (std::size_t i = s.size; i-- > 0;) bits = bits << 8 | value.bytes[i];
    const std::uint32_t expected = s.size == 2 ? static_cast<std::uint32_t>(s.value) & 0xFFFF
                                               : static_cast<std::uint32_t>(s.value);
    FUZZ_CHECK(bits == expected, what + s.name + " saved with another value");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  StartFreshProcess();
  const int presence = input.Byte();
  const bool twoMonitors = presence & 0x80;
  if (twoMonitors) SimSetMonitors({kMainMonitor, kLeftMonitor});
  for (int k = 0; k < 3; ++k) {
    if (presence & (1 << k)) SimCreateKey(kLocalMachine, kKeys[k]);
  }
  Bytes lastDirectory;
  bool lastDirectoryReadable = false;
  for (const Spot& spot : kSpots) {
    const int present = input.Byte();
    const unsigned type = input.Byte() % 12;  // REG_NONE .. REG_QWORD
    const std::size_t length = input.Unsigned16() % (kLongestValue + 1);
    Bytes value = input.Take(length);
    for (std::size_t i = value.size(); i < length; ++i)
      value.push_back(static_cast<std::uint8_t>(i));
    if (!(present & 1)) continue;
    SimPutValue(kLocalMachine, spot.key, spot.name, type, value.data(), value.size());
    if (spot.key == kLastDirectoryKey) {
      lastDirectory = value;
      lastDirectoryReadable = value.size() <= kMaxPath;
    }
  }

  RunProgram("tavelo.exe");
  CheckPlacedOnScreen("first run", twoMonitors);
  if (options.autoOpen) {
    FUZZ_CHECK(simDialogs.size() == 1, "the open dialog was not shown at start-up");
    std::string expected;
    if (lastDirectoryReadable) {
      for (std::uint8_t b : lastDirectory) {
        if (b == 0 || expected.size() == kMaxPath - 1) break;
        expected.push_back(static_cast<char>(b));
      }
    }
    FUZZ_CHECK(simDialogs[0].initialDir == expected,
               "the dialog starts in \"" + simDialogs[0].initialDir + "\"");
  }
  SimRestore();
  CheckPlacedOnScreen("restored", twoMonitors);
  const int silentMode = options.silentMode;
  const int autoOpen = options.autoOpen;
  CheckClosedAndSaved("first run");

  RunProgram("tavelo.exe");
  CheckPlacedOnScreen("second run", twoMonitors);
  FUZZ_CHECK(options.silentMode == silentMode && options.autoOpen == autoOpen,
             "the options changed between runs");
  CheckClosedAndSaved("second run");
  return 0;
}
