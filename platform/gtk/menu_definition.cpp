#include "platform/gtk/menu_definition.h"

#include "shell/command_ids.h"

namespace {

constexpr MenuEntry Popup(const char* text) {
  return MenuEntry{MenuEntryKind::Popup, text, 0, false, false, false, false};
}
constexpr MenuEntry Item(const char* text, int command, bool grayed = false) {
  return MenuEntry{MenuEntryKind::Item, text, command, grayed, false, false, false};
}
constexpr MenuEntry Option(const char* text, int command) {
  return MenuEntry{MenuEntryKind::Item, text, command, false, false, true, false};
}
constexpr MenuEntry kSeparator{MenuEntryKind::Separator, nullptr, 0, false, false, false, false};
constexpr MenuEntry kEnd{MenuEntryKind::End, nullptr, 0, false, false, false, false};

}  // namespace

const MenuEntry kMenuDefinition[] = {
    Popup("&File"),
    Item("&Open ...", CMD_OPEN),
    kSeparator,
    Item("Save in &GB as ...", CMD_SAVE_GB, true),
    Item("Decode &HZ as ...", CMD_DECODE_HZ),
    Item("Decode &QP as ...", CMD_DECODE_QP),
    Item("&Paste to file ...", CMD_PASTE),
    kSeparator,
    Item("&Uninstall", CMD_UNINSTALL),
    kSeparator,
    Item("E&xit", CMD_EXIT),
    kEnd,
    Popup("&Edit"),
    Item("&Copy\tCtrl+C", CMD_COPY),
    Item("Select &all\tCtrl+A", CMD_SELECT_ALL),
    kSeparator,
    Item("&Find ...\tCtrl+F", CMD_FIND),
    Item("Find &next\tF3", CMD_FIND_NEXT),
    Item("Find &previous\tShift+F3", CMD_FIND_PREVIOUS),
    kEnd,
    Popup("&Options"),
    Option("&Viewing BIG5 text", CMD_BIG5),
    Option("&Silent mode", CMD_SILENT),
    Option("Open-&file dialog on startup", CMD_AUTOOPEN),
    kSeparator,
    Option("&Detect encoding", CMD_DETECT),
    kSeparator,
    Option("GB&2312", CMD_MODE_GB2312),
    Option("GB1&8030 (GBK)", CMD_MODE_GB18030),
    Option("BIG&5 (CP950)", CMD_MODE_BIG5),
    Option("BIG5-&HKSCS", CMD_MODE_BIG5_HKSCS),
    Option("&UTF-8", CMD_MODE_UTF8),
    Option("UTF-1&6", CMD_MODE_UTF16),
    Option("H&Z", CMD_MODE_HZ),
    kSeparator,
    Item("Zoom &in\tCtrl++", CMD_ZOOM_IN),
    Item("Zoom &out\tCtrl+-", CMD_ZOOM_OUT),
    Item("&Actual size\tCtrl+0", CMD_ZOOM_RESET),
    kSeparator,
    Option("&Recent files", CMD_RECENT_FILES),
    kEnd,
    MenuEntry{MenuEntryKind::BarItem, "&About", CMD_ABOUT, false, false, false, true},
};

const std::size_t kMenuEntryCount = sizeof kMenuDefinition / sizeof kMenuDefinition[0];
