#include "shell/edit_commands.h"

#include <string>

#include "display/selection.h"
#include "display/view.h"
#include "document/find_text.h"
#include "document/range_text.h"
#include "platform/platform.h"
#include "shell/message_boxes.h"
#include "shell/state.h"
#include "shell/texts.h"

namespace {

// Copy takes at most this much of the document: its UTF-16 text must fit a
// 32-bit program's memory twice (the program's copy and the clipboard's).
constexpr std::int32_t kMostCopiedBytes = 64 << 20;

// Looks for the text after (or before) the selection, or from the top of the
// page when there is none, and selects what it finds.
void FindFromSelection(bool forward) {
  if (documentHandle == kInvalidFile || findText.empty()) return;
  std::int32_t from = view.topOffset;
  if (HasSelection()) from = forward ? SelectionEnd() : SelectionStart();
  FoundText found;
  ShowHourglass();
  const bool any = FindText(findText, from, forward, &found);
  ShowArrow();
  if (!any) {
    ShowInformation(kNotFound);
    return;
  }
  ScrollOffsetIntoView(found.start);
  SelectBytes(found.start, found.end);
}

}  // namespace

void CopyCommand() {
  if (documentHandle == kInvalidFile || !HasSelection()) return;
  if (SelectionEnd() - SelectionStart() > kMostCopiedBytes) {
    ShowWarning(kSelectionTooLarge);
    return;
  }
  std::u16string text;
  AppendRangeText(SelectionStart(), SelectionEnd(), &text);
  if (!OpenWindowClipboard()) {
    ShowWarning(kCouldNotOpenClipboard);
    return;
  }
  const bool put = PutClipboardUnicodeText(text.data(), static_cast<std::uint32_t>(text.size()));
  CloseWindowClipboard();
  if (!put) ShowWarning(kCouldNotCopy);
}

void SelectAllCommand() {
  if (documentHandle == kInvalidFile) return;
  SelectBytes(0, SearchableBytes());
}

void FindCommand() {
  if (documentHandle == kInvalidFile) return;
  char16_t text[kFindTextUnits] = {};
  findText.copy(text, kFindTextUnits - 1);
  if (!AskForFindText(text)) return;
  text[kFindTextUnits - 1] = 0;
  findText = text;
  FindFromSelection(true);
}

void FindAgainCommand(bool forward) {
  if (findText.empty()) return FindCommand();
  FindFromSelection(forward);
}
