// The main window's procedure: the table of the messages the reader handles.
// Each case unpacks its parameters and hands them to one handler (handlers.h).
#include "display/page_painter.h"
#include "display/selection.h"
#include "display/view.h"
#include "document/line_index.h"
#include "platform/platform.h"
#include "shell/handlers.h"
#include "shell/message_boxes.h"
#include "shell/placement.h"
#include "shell/state.h"
#include "shell/texts.h"

namespace {

int LowWord(std::uintptr_t value) {
  return static_cast<int>(value & 0xFFFF);
}
int HighWord(std::uintptr_t value) {
  return static_cast<int>((value >> 16) & 0xFFFF);
}
int SignedLowWord(std::uintptr_t value) {
  return static_cast<std::int16_t>(value & 0xFFFF);
}
int SignedHighWord(std::uintptr_t value) {
  return static_cast<std::int16_t>((value >> 16) & 0xFFFF);
}

}  // namespace

void OnMove() {
  if (!WindowIsMinimized() && !WindowIsMaximized()) RecordRectangle();
}

void OnSize(unsigned sizeKind, int width, int height) {
  RecordWindowState(sizeKind);
  ApplyClientSize(sizeKind, width, height);
}

MessageResult OnPaint() {
  PixelRect update;
  const PaintTarget target = BeginWindowPaint(&update);
  const bool painted = PaintPage(target, update);
  EndWindowPaint(target);
  if (painted && truncated && !truncationWarned) {
    // Set first: the box's own message loop serves further paint requests.
    truncationWarned = true;
    ShowWarning(kOnlyFirstLines);
  }
  return 0;
}

void OnKeyDown(unsigned key) {
  if (!HandleShortcut(key)) HandleKeyDown(key);
}

void OnMouseWheel(int delta) {
  if (KeyIsDown(kKeyControl)) {
    ZoomByWheel(delta);
  } else {
    HandleMouseWheel(delta);
  }
}

void OnLeftButtonDown(int x, int y, bool shift) {
  PressAt(x, y, shift);
}

void OnMouseMove(int x, int y, bool buttonHeld) {
  if (buttonHeld) {
    DragTo(x, y);
  } else {
    EndDrag();
  }
}

void OnLeftButtonUp(int x, int y) {
  ReleaseAt(x, y);
}

bool OnVScroll(int code, int thumbPosition) {
  return HandleScrollCommand(code, thumbPosition);
}

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
    case kMessageKeyDown: OnKeyDown(static_cast<unsigned>(wParam)); return 0;
    case kMessageCommand: OnCommand(LowWord(wParam)); return 0;
    case kMessageTimer:
      if (static_cast<unsigned>(wParam) == kLayoutTimer) {
        ContinueLayout();
        return 0;
      }
      break;
    case kMessageVScroll:
      if (OnVScroll(LowWord(wParam), HighWord(wParam))) return 0;
      break;
    case kMessageInitMenuPopup:
      if (OnInitMenuPopup(LowWord(data), HighWord(data) == 1)) return 0;
      break;
    case kMessageLeftButtonDown:
      OnLeftButtonDown(SignedLowWord(data), SignedHighWord(data), (wParam & kMouseShift) != 0);
      return 0;
    case kMessageMouseMove:
      OnMouseMove(SignedLowWord(data), SignedHighWord(data), (wParam & kMouseLeftButton) != 0);
      return 0;
    case kMessageLeftButtonUp: OnLeftButtonUp(SignedLowWord(data), SignedHighWord(data)); return 0;
    case kMessageMouseWheel: OnMouseWheel(SignedHighWord(wParam)); return 0;
    case kMessageDropFiles: OnDropFiles(static_cast<DropHandle>(wParam)); return 0;
    default: break;
  }
  return DefaultProcedure(message, wParam, lParam);
}
