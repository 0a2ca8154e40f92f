// The main window's procedure: the table of the messages the reader handles.
// Each case unpacks its parameters and hands them to one handler.
#include "display/page_painter.h"
#include "display/view.h"
#include "platform/platform.h"
#include "shell/commands.h"
#include "shell/placement.h"
#include "shell/window_lifecycle.h"

namespace {

int LowWord(std::uintptr_t value) {
  return static_cast<int>(value & 0xFFFF);
}
int HighWord(std::uintptr_t value) {
  return static_cast<int>((value >> 16) & 0xFFFF);
}
int SignedHighWord(std::uintptr_t value) {
  return static_cast<std::int16_t>((value >> 16) & 0xFFFF);
}

void OnMove() {
  if (!WindowIsMinimized() && !WindowIsMaximized()) RecordRectangle();
}

void OnSize(unsigned sizeKind, int width, int height) {
  RecordWindowState(sizeKind);
  ApplyClientSize(sizeKind, width, height);
}

}  // namespace

MessageResult WindowProcedure(unsigned message, MessageParam wParam, MessageData lParam) {
  // After the destroy handling the resources are gone: what is still queued
  // (a posted command, say) must not touch them.
  if (windowDestroyed) return DefaultProcedure(message, wParam, lParam);
  const auto data = static_cast<std::uintptr_t>(lParam);
  switch (message) {
    case kMessageCreate: return OnCreate();
    case kMessageDestroy: return OnDestroy();
    case kMessageMove: OnMove(); break;
    case kMessageSize: OnSize(static_cast<unsigned>(wParam), LowWord(data), HighWord(data)); break;
    case kMessagePaint: return OnPaint();
    case kMessageKeyDown: HandleKeyDown(static_cast<unsigned>(wParam)); return 0;
    case kMessageCommand: HandleCommand(LowWord(wParam)); return 0;
    case kMessageVScroll:
      if (HandleScrollCommand(LowWord(wParam), HighWord(wParam))) return 0;
      break;
    case kMessageInitMenuPopup:
      if (OnInitMenuPopup(LowWord(data), HighWord(data) == 1)) return 0;
      break;
    case kMessageMouseWheel: HandleMouseWheel(SignedHighWord(wParam)); return 0;
    case kMessageDropFiles: OnDropFiles(static_cast<DropHandle>(wParam)); return 0;
    default: break;
  }
  return DefaultProcedure(message, wParam, lParam);
}
