// The Find dialog on GTK, as the resource script lays it out for Win32: a
// label, an entry that takes any script, Find next (the default) and Cancel.
#include <algorithm>

#include "platform/gtk/gtk_main.h"

bool AskForFindText(char16_t* text) {
  GtkWidget* dialog = gtk_dialog_new_with_buttons(
      "Find", mainWindow ? GTK_WINDOW(mainWindow) : nullptr,
      static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), "Cancel",
      GTK_RESPONSE_CANCEL, "Find _next", GTK_RESPONSE_OK, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
  gtk_container_set_border_width(GTK_CONTAINER(row), 6);
  GtkWidget* label = gtk_label_new_with_mnemonic("Fi_nd what:");
  GtkWidget* entry = gtk_entry_new();
  gtk_entry_set_max_length(GTK_ENTRY(entry), static_cast<gint>(kFindTextUnits - 1));
  gtk_entry_set_activates_default(GTK_ENTRY(entry), TRUE);
  gtk_label_set_mnemonic_widget(GTK_LABEL(label), entry);
  glong length = 0;
  while (text[length] != 0) ++length;
  gchar* shown =
      g_utf16_to_utf8(reinterpret_cast<const gunichar2*>(text), length, nullptr, nullptr, nullptr);
  gtk_entry_set_text(GTK_ENTRY(entry), shown ? shown : "");
  g_free(shown);
  gtk_box_pack_start(GTK_BOX(row), label, FALSE, FALSE, 0);
  gtk_box_pack_start(GTK_BOX(row), entry, TRUE, TRUE, 0);
  gtk_box_pack_start(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), row, TRUE, TRUE, 0);
  gtk_widget_show_all(dialog);
  gtk_editable_select_region(GTK_EDITABLE(entry), 0, -1);
  const bool chosen = gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK;
  if (chosen) {
    glong units = 0;
    gunichar2* typed =
        g_utf8_to_utf16(gtk_entry_get_text(GTK_ENTRY(entry)), -1, nullptr, &units, nullptr);
    const glong kept = typed ? std::min<glong>(units, kFindTextUnits - 1) : 0;
    for (glong i = 0; i < kept; ++i) text[i] = static_cast<char16_t>(typed[i]);
    text[kept] = 0;
    g_free(typed);
  }
  gtk_widget_destroy(dialog);
  return chosen;
}
