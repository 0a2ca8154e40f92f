// The main window's menu as the GTK side builds it, in the resource
// script's own terms, so that a test can hold it against "TheMenu" in
// resources/tavelo.rc: texts with "&" before the mnemonic, order, separators,
// initial graying and check marks.
#pragma once

#include <cstddef>

enum class MenuEntryKind {
  Popup,      // POPUP "text" BEGIN: a menu on the bar
  Item,       // MENUITEM "text", id: a command in the popup opened last
  Separator,  // MENUITEM SEPARATOR
  End,        // END of the popup opened last
  BarItem,    // MENUITEM "text", id on the bar itself
};

struct MenuEntry {
  MenuEntryKind kind;
  const char* text;  // null for separators and ends
  int command;       // 0 for all but items
  bool grayed;       // GRAYED: starts disabled
  bool checked;      // CHECKED: starts with its check mark
  bool checkable;    // shown with room for a check mark (GTK needs a check item for it)
  bool rightEnd;     // HELP: placed at the bar's right end
};

extern const MenuEntry kMenuDefinition[];
extern const std::size_t kMenuEntryCount;
