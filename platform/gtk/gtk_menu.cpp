// The menu bar on GTK, built from the menu definition; its items found by
// command id for check marks and graying, as CheckMenuItem and
// EnableMenuItem find them, and the File popup's by position.
#include <map>
#include <string>

#include "platform/gtk/gtk_main.h"
#include "platform/gtk/menu_definition.h"

namespace {

std::map<int, GtkWidget*> items;  // by command id
GtkWidget* filePopup = nullptr;   // the bar's first popup
bool settingCheck = false;        // a check mark set by the logic, not by the user

// "&Open" in GTK's spelling: "_Open", with a literal "_" doubled and "&&"
// a literal "&", as Win32 reads it.
std::string Mnemonic(const char* text) {
  std::string out;
  for (const char* p = text; *p; ++p) {
    if (*p == '&' && p[1] == '&') {
      out += *++p;
    } else if (*p == '&') {
      out += '_';
    } else {
      if (*p == '_') out += '_';
      out += *p;
    }
  }
  return out;
}

void OnActivate(GtkMenuItem* item, gpointer command) {
  if (settingCheck) return;
  if (GTK_IS_CHECK_MENU_ITEM(item)) {
    // GTK has already flipped the mark; the command's handler decides it.
    settingCheck = true;
    GtkCheckMenuItem* check = GTK_CHECK_MENU_ITEM(item);
    gtk_check_menu_item_set_active(check, !gtk_check_menu_item_get_active(check));
    settingCheck = false;
  }
  // Win32 posts a menu's command after the menu has closed.
  PostToWindow(kMessageCommand, static_cast<MessageParam>(GPOINTER_TO_INT(command)), 0);
}

// An item on the bar itself acts on one click: GTK's menu bar takes the
// first click on it to select it and acts only on a second.
gboolean OnBarItemPressed(GtkWidget* item, GdkEventButton* event, gpointer) {
  if (event->type != GDK_BUTTON_PRESS || event->button != GDK_BUTTON_PRIMARY) return FALSE;
  gtk_menu_item_activate(GTK_MENU_ITEM(item));
  return TRUE;
}

// WM_INITMENUPOPUP as the popup opens, with its position on the bar.
void OnPopupShown(GtkWidget*, gpointer position) {
  SendToWindow(kMessageInitMenuPopup, 0, static_cast<MessageData>(GPOINTER_TO_INT(position)));
}

// The shortcut after a tab, "Ctrl+0", shown at the item's right as GTK
// shows accelerators; the keys themselves reach the window as any other.
void ShowShortcut(GtkWidget* item, const std::string& shortcut) {
  const std::string control = "Ctrl+";
  if (shortcut.size() != control.size() + 1 || shortcut.compare(0, control.size(), control) != 0) {
    return;
  }
  const guint key = gdk_unicode_to_keyval(static_cast<guint32>(shortcut.back()));
  GtkWidget* label = gtk_bin_get_child(GTK_BIN(item));
  if (GTK_IS_ACCEL_LABEL(label)) {
    gtk_accel_label_set_accel(GTK_ACCEL_LABEL(label), key, GDK_CONTROL_MASK);
  }
}

GtkWidget* MakeItem(const MenuEntry& entry) {
  const std::string text = entry.text;
  const std::size_t tab = text.find('\t');
  const std::string label = Mnemonic(text.substr(0, tab).c_str());
  GtkWidget* item = entry.checkable ? gtk_check_menu_item_new_with_mnemonic(label.c_str())
                                    : gtk_menu_item_new_with_mnemonic(label.c_str());
  if (tab != std::string::npos) ShowShortcut(item, text.substr(tab + 1));
  if (entry.checkable) gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), entry.checked);
  gtk_widget_set_sensitive(item, !entry.grayed);
  g_signal_connect(item, "activate", G_CALLBACK(OnActivate), GINT_TO_POINTER(entry.command));
  items[entry.command] = item;
  return item;
}

}  // namespace

GtkWidget* BuildMenuBar() {
  GtkWidget* bar = gtk_menu_bar_new();
  GtkWidget* popup = nullptr;
  int position = 0;
  for (std::size_t i = 0; i < kMenuEntryCount; ++i) {
    const MenuEntry& entry = kMenuDefinition[i];
    switch (entry.kind) {
      case MenuEntryKind::Popup: {
        GtkWidget* title = gtk_menu_item_new_with_mnemonic(Mnemonic(entry.text).c_str());
        popup = gtk_menu_new();
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(title), popup);
        if (filePopup == nullptr) filePopup = popup;
        g_signal_connect(popup, "show", G_CALLBACK(OnPopupShown), GINT_TO_POINTER(position++));
        gtk_menu_shell_append(GTK_MENU_SHELL(bar), title);
        break;
      }
      case MenuEntryKind::Item:
        gtk_menu_shell_append(GTK_MENU_SHELL(popup), MakeItem(entry));
        break;
      case MenuEntryKind::Separator:
        gtk_menu_shell_append(GTK_MENU_SHELL(popup), gtk_separator_menu_item_new());
        break;
      case MenuEntryKind::End: popup = nullptr; break;
      case MenuEntryKind::BarItem: {
        GtkWidget* item = MakeItem(entry);
        // GTK 3 has no other way to put an item at the bar's right end.
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        gtk_menu_item_set_right_justified(GTK_MENU_ITEM(item), entry.rightEnd);
        G_GNUC_END_IGNORE_DEPRECATIONS
        g_signal_connect(item, "button-press-event", G_CALLBACK(OnBarItemPressed), nullptr);
        gtk_menu_shell_append(GTK_MENU_SHELL(bar), item);
        ++position;
        break;
      }
    }
  }
  return bar;
}

void CheckMenuCommand(int command, bool checked) {
  auto it = items.find(command);
  if (it == items.end() || !GTK_IS_CHECK_MENU_ITEM(it->second)) return;
  settingCheck = true;
  gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(it->second), checked);
  settingCheck = false;
}

bool DetectsEncodingAtFirst() {
  return true;
}

void CheckMenuRadio(int first, int last, int checked) {
  for (int command = first; command <= last; ++command) {
    auto it = items.find(command);
    if (it == items.end() || !GTK_IS_CHECK_MENU_ITEM(it->second)) continue;
    gtk_check_menu_item_set_draw_as_radio(GTK_CHECK_MENU_ITEM(it->second), TRUE);
    CheckMenuCommand(command, command == checked);
  }
}

void EnableMenuCommand(int command, bool enabled) {
  auto it = items.find(command);
  if (it != items.end()) gtk_widget_set_sensitive(it->second, enabled);
}

bool KeepsRecentFilesAtFirst() {
  return true;
}

int FileMenuPosition(int command) {
  auto it = items.find(command);
  if (filePopup == nullptr || it == items.end()) return -1;
  GList* children = gtk_container_get_children(GTK_CONTAINER(filePopup));
  const int position = g_list_index(children, it->second);
  g_list_free(children);
  return position;
}

void InsertFileMenuItem(int position, int command, const char* text) {
  if (filePopup == nullptr) return;
  GtkWidget* item =
      text != nullptr
          ? MakeItem(MenuEntry{MenuEntryKind::Item, text, command, false, false, false, false})
          : gtk_separator_menu_item_new();
  gtk_menu_shell_insert(GTK_MENU_SHELL(filePopup), item, position);
  gtk_widget_show(item);
}

void DeleteFileMenuItem(int position) {
  if (filePopup == nullptr) return;
  GList* children = gtk_container_get_children(GTK_CONTAINER(filePopup));
  GtkWidget* item =
      static_cast<GtkWidget*>(g_list_nth_data(children, static_cast<guint>(position)));
  g_list_free(children);
  if (item == nullptr) return;
  for (auto it = items.begin(); it != items.end(); ++it) {
    if (it->second == item) {
      items.erase(it);
      break;
    }
  }
  gtk_widget_destroy(item);
}
