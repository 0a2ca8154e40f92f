// Message boxes, beeps, common dialogs and the clipboard of the simulated
// desktop: each call is recorded, and each answer comes from the test's script.
#include <cstring>
#include <deque>
#include <memory>

#include "platform/platform.h"
#include "platform/sim/sim.h"
#include "platform/sim/sim_internal.h"

std::vector<SimBox> simBoxes;
std::vector<unsigned> simBeeps;
std::vector<SimDialogCall> simDialogs;
SimClipboard simClipboard;
std::vector<std::u16string> simFindShown;

namespace {

std::deque<int> boxAnswers;
std::deque<std::u16string> findAnswers;

// The locked copy of the clipboard's block. What follows the block's end is
// undefined on Win32; here it is a run of '#' with no zero, so that a reader
// going past the end writes them out as U+2323 (or overruns, under
// AddressSanitizer).
std::unique_ptr<std::uint8_t[]> lockedBlock;
constexpr std::size_t kBytesAfterBlock = 16;

struct DialogAnswer {
  bool accept;
  std::string name;
};
std::deque<DialogAnswer> dialogAnswers;

constexpr ClipboardData kClipboardText = 0x4000;

// The whole filter list up to and including its closing double zero.
std::string FilterText(const char* filter) {
  if (filter == nullptr) return std::string();
  const char* end = filter;
  while (end[0] != 0 || end[1] != 0) ++end;
  return std::string(filter, end + 2);
}

bool ShowFileDialog(FileDialogRecord* record, bool save) {
  SimDialogCall call;
  call.save = save;
  call.record = *record;
  call.filter = FilterText(record->filter);
  call.initialDir = record->initialDir ? record->initialDir : "";
  call.initialFile = record->file ? record->file : "";
  simDialogs.push_back(call);
  if (dialogAnswers.empty()) return false;
  const DialogAnswer answer = dialogAnswers.front();
  dialogAnswers.pop_front();
  if (!answer.accept || answer.name.size() + 1 > record->maxFile) return false;
  std::memcpy(record->file, answer.name.c_str(), answer.name.size() + 1);
  if (record->fileTitle != nullptr && record->maxFileTitle > 0) {
    const std::size_t slash = answer.name.find_last_of("\\/");
    const std::string title =
        slash == std::string::npos ? answer.name : answer.name.substr(slash + 1);
    std::strncpy(record->fileTitle, title.c_str(), record->maxFileTitle - 1);
    record->fileTitle[record->maxFileTitle - 1] = 0;
  }
  return true;
}

}  // namespace

void SimForgetCalls() {
  simBoxes.clear();
  simBeeps.clear();
  simDialogs.clear();
  simClipboard.open = false;
  simClipboard.locks = 0;
}

void SimResetDialogs() {
  simBoxes.clear();
  simBeeps.clear();
  simDialogs.clear();
  simClipboard = SimClipboard{};
  boxAnswers.clear();
  dialogAnswers.clear();
  findAnswers.clear();
  simFindShown.clear();
}

std::string SimUtf16Block(const std::u16string& units) {
  std::string block;
  for (const char16_t unit : units) {
    block += static_cast<char>(unit & 0xFF);
    block += static_cast<char>(unit >> 8);
  }
  return block;
}

void SimOfferClipboardText(const std::u16string& units) {
  simClipboard.hasText = true;
  simClipboard.block = SimUtf16Block(units);
}

void SimAnswerNextBox(int answer) {
  boxAnswers.push_back(answer);
}

void SimAnswerNextDialog(const std::string& name) {
  dialogAnswers.push_back({true, name});
}

void SimCancelNextDialog() {
  dialogAnswers.push_back({false, std::string()});
}

int ShowMessageBox(const char* text, const char* caption, unsigned style) {
  simBoxes.push_back(SimBox{text, caption, style});
  if (!boxAnswers.empty()) {
    const int answer = boxAnswers.front();
    boxAnswers.pop_front();
    return answer;
  }
  switch (style & 0x0F) {
    case kBoxYesNo: return kAnswerNo;
    case kBoxOkCancel: return kAnswerCancel;
    default: return kAnswerOk;
  }
}

void SoundBeep(unsigned type) {
  simBeeps.push_back(type);
}

bool ShowOpenDialog(FileDialogRecord* record) {
  return ShowFileDialog(record, false);
}

bool ShowSaveDialog(FileDialogRecord* record) {
  return ShowFileDialog(record, true);
}

bool OpenWindowClipboard() {
  if (simClipboard.openFails || simClipboard.open) return false;
  simClipboard.open = true;
  return true;
}

void CloseWindowClipboard() {
  simClipboard.open = false;
}

bool ClipboardHasText() {
  return simClipboard.hasText;
}

ClipboardData ClipboardUnicodeText() {
  if (!simClipboard.open || !simClipboard.hasText || simClipboard.noHandle) return 0;
  return kClipboardText;
}

const std::uint8_t* LockClipboardUnicodeText(ClipboardData data, std::uint32_t* blockSize) {
  if (data != kClipboardText || simClipboard.lockFails) return nullptr;
  ++simClipboard.locks;
  const std::size_t size = simClipboard.block.size();
  lockedBlock.reset(new std::uint8_t[size + kBytesAfterBlock]);
  std::memcpy(lockedBlock.get(), simClipboard.block.data(), size);
  std::memset(lockedBlock.get() + size, '#', kBytesAfterBlock);
  *blockSize = static_cast<std::uint32_t>(size);
  return lockedBlock.get();
}

void UnlockClipboardText(ClipboardData data) {
  if (data == kClipboardText && simClipboard.locks > 0) --simClipboard.locks;
}

bool PutClipboardUnicodeText(const char16_t* text, std::uint32_t units) {
  if (!simClipboard.open || simClipboard.putFails) return false;
  ++simClipboard.puts;
  simClipboard.hasText = true;
  simClipboard.block = SimUtf16Block(std::u16string(text, units) + u'\0');
  return true;
}

void SimAnswerNextFind(const std::u16string& text) {
  findAnswers.push_back(text);
}

bool AskForFindText(char16_t* text) {
  simFindShown.push_back(text);
  if (findAnswers.empty()) return false;
  const std::u16string answer = findAnswers.front().substr(0, kFindTextUnits - 1);
  findAnswers.pop_front();
  answer.copy(text, answer.size());
  text[answer.size()] = 0;
  return true;
}
