// Message boxes, beeps, the open and save dialogs, the clipboard's text and
// dropped files on GTK.
#include <cstring>
#include <string>
#include <vector>

#include "platform/gtk/gtk_main.h"

namespace {

struct Box {
  std::string text;
  std::string caption;
  unsigned style;
};
std::vector<Box> deferred;  // boxes asked for during a paint

GtkMessageType TypeOf(unsigned style) {
  switch (style & 0xF0) {
    case kBoxIconQuestion: return GTK_MESSAGE_QUESTION;
    case kBoxIconExclamation: return GTK_MESSAGE_WARNING;
    case kBoxIconInformation: return GTK_MESSAGE_INFO;
    default: return GTK_MESSAGE_OTHER;
  }
}

const char* IconOf(unsigned style) {
  switch (style & 0xF0) {
    case kBoxIconQuestion: return "dialog-question";
    case kBoxIconExclamation: return "dialog-warning";
    case kBoxIconInformation: return "dialog-information";
    default: return nullptr;
  }
}

int RunBox(const char* text, const char* caption, unsigned style) {
  char* message = DisplayText(text);
  char* title = DisplayText(caption);
  GtkWidget* box =
      gtk_message_dialog_new(mainWindow ? GTK_WINDOW(mainWindow) : nullptr, GTK_DIALOG_MODAL,
                             TypeOf(style), GTK_BUTTONS_NONE, "%s", message);
  gtk_window_set_title(GTK_WINDOW(box), title);
  // GTK 3 boxes show no icon of their own any more; Win32's boxes do.
  if (IconOf(style) != nullptr) {
    GtkWidget* icon = gtk_image_new_from_icon_name(IconOf(style), GTK_ICON_SIZE_DIALOG);
    gtk_widget_show(icon);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_message_dialog_set_image(GTK_MESSAGE_DIALOG(box), icon);
    G_GNUC_END_IGNORE_DEPRECATIONS
  }
  g_free(message);
  g_free(title);
  const unsigned buttons = style & 0x0F;
  // Esc and the close box answer as Win32 boxes do: Cancel where there is one.
  int closed = kAnswerOk;
  if (buttons == kBoxYesNo) {
    gtk_dialog_add_button(GTK_DIALOG(box), "_Yes", kAnswerYes);
    gtk_dialog_add_button(GTK_DIALOG(box), "_No", kAnswerNo);
    closed = kAnswerNo;
  } else if (buttons == kBoxOkCancel) {
    gtk_dialog_add_button(GTK_DIALOG(box), "_OK", kAnswerOk);
    gtk_dialog_add_button(GTK_DIALOG(box), "_Cancel", kAnswerCancel);
    closed = kAnswerCancel;
  } else {
    gtk_dialog_add_button(GTK_DIALOG(box), "_OK", kAnswerOk);
  }
  const int first = buttons == kBoxYesNo ? kAnswerYes : kAnswerOk;
  const int second = buttons == kBoxYesNo ? kAnswerNo : kAnswerCancel;
  const int chosen = (style & kBoxDefaultSecond) && buttons != kBoxOk ? second : first;
  gtk_dialog_set_default_response(GTK_DIALOG(box), chosen);
  gtk_widget_grab_focus(gtk_dialog_get_widget_for_response(GTK_DIALOG(box), chosen));
  const int answer = gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  return answer > 0 ? answer : closed;
}

gboolean ShowDeferredBoxes(gpointer) {
  std::vector<Box> boxes;
  boxes.swap(deferred);
  for (const Box& box : boxes) RunBox(box.text.c_str(), box.caption.c_str(), box.style);
  return G_SOURCE_REMOVE;
}

}  // namespace

int ShowMessageBox(const char* text, const char* caption, unsigned style) {
  // A box cannot open inside GTK's drawing: it opens once the paint is over.
  // Only an OK box is ever asked for there (the truncation warning).
  if (painting) {
    if (deferred.empty()) g_idle_add_full(G_PRIORITY_DEFAULT, ShowDeferredBoxes, nullptr, nullptr);
    deferred.push_back(Box{text, caption, style});
    return kAnswerOk;
  }
  return RunBox(text, caption, style);
}

void SoundBeep(unsigned) {
  gdk_display_beep(gdk_display_get_default());
}

// ---- Common dialogs ----

namespace {

// Win32's patterns match without regard to case: "*.gb" becomes "*.[gG][bB]";
// "*.*" matches every name, with a dot or without.
std::string CaseFreePattern(const std::string& pattern) {
  if (pattern == "*.*") return "*";
  std::string out;
  for (char c : pattern) {
    if (g_ascii_isalpha(c)) {
      out += '[';
      out += g_ascii_tolower(c);
      out += g_ascii_toupper(c);
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

void AddFilters(GtkFileChooser* chooser, const char* filter, std::uint32_t index) {
  std::uint32_t number = 0;
  for (const char* p = filter; p != nullptr && *p; ++number) {
    const char* patterns = p + std::strlen(p) + 1;
    GtkFileFilter* f = gtk_file_filter_new();
    char* name = DisplayText(p);
    gtk_file_filter_set_name(f, name);
    g_free(name);
    char** list = g_strsplit(patterns, ";", -1);
    for (char** q = list; *q; ++q) gtk_file_filter_add_pattern(f, CaseFreePattern(*q).c_str());
    g_strfreev(list);
    gtk_file_chooser_add_filter(chooser, f);
    // nFilterIndex counts from 1; 0 picks the first pair too.
    if (number == (index == 0 ? 0 : index - 1)) gtk_file_chooser_set_filter(chooser, f);
    p = patterns + std::strlen(patterns) + 1;
  }
}

// No "Replace?" for the file the program is reading: the command refuses it
// once the dialog has closed, as tavelo.exe does, and a question whose Yes
// is refused all the same would only mislead.
GtkFileChooserConfirmation OnConfirmOverwrite(GtkFileChooser* chooser, gpointer) {
  char* name = gtk_file_chooser_get_filename(chooser);
  const bool held = name != nullptr && HeldByProgram(name);
  g_free(name);
  return held ? GTK_FILE_CHOOSER_CONFIRMATION_ACCEPT_FILENAME
              : GTK_FILE_CHOOSER_CONFIRMATION_CONFIRM;
}

bool RunFileDialog(FileDialogRecord* record, bool saving) {
  GtkWidget* dialog = gtk_file_chooser_dialog_new(
      saving ? "Save As" : "Open", mainWindow ? GTK_WINDOW(mainWindow) : nullptr,
      saving ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
      GTK_RESPONSE_CANCEL, saving ? "_Save" : "_Open", GTK_RESPONSE_ACCEPT, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  gtk_file_chooser_set_local_only(chooser, TRUE);
  gtk_file_chooser_set_do_overwrite_confirmation(chooser,
                                                 (record->flags & kDialogOverwritePrompt) != 0);
  g_signal_connect(chooser, "confirm-overwrite", G_CALLBACK(OnConfirmOverwrite), nullptr);
  AddFilters(chooser, record->filter, record->filterIndex);
  if (record->initialDir != nullptr && record->initialDir[0] != 0) {
    gtk_file_chooser_set_current_folder(chooser, record->initialDir);
  }
  // The initial name, as Win32 shows it in the name field.
  if (record->file != nullptr && record->file[0] != 0) {
    if (saving) {
      char* base = g_path_get_basename(record->file);
      char* shown = DisplayText(base);
      if (g_path_is_absolute(record->file)) {
        char* folder = g_path_get_dirname(record->file);
        gtk_file_chooser_set_current_folder(chooser, folder);
        g_free(folder);
      }
      gtk_file_chooser_set_current_name(chooser, shown);
      g_free(shown);
      g_free(base);
    } else if (g_path_is_absolute(record->file)) {
      gtk_file_chooser_select_filename(chooser, record->file);
    }
  }
  bool chosen = false;
  if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
    char* name = gtk_file_chooser_get_filename(chooser);
    const std::size_t length = name ? std::strlen(name) : 0;
    // A name that does not fit fails the dialog, as GetOpenFileNameA does.
    if (length > 0 && length < record->maxFile) {
      std::memcpy(record->file, name, length + 1);
      if (record->fileTitle != nullptr && record->maxFileTitle > 0) {
        char* base = g_path_get_basename(name);
        g_strlcpy(record->fileTitle, base, record->maxFileTitle);
        g_free(base);
      }
      chosen = true;
    }
    g_free(name);
  }
  gtk_widget_destroy(dialog);
  return chosen;
}

}  // namespace

bool ShowOpenDialog(FileDialogRecord* record) {
  return RunFileDialog(record, false);
}

bool ShowSaveDialog(FileDialogRecord* record) {
  return RunFileDialog(record, true);
}

// ---- Clipboard ----

namespace {

struct ClipboardCopy {
  gchar* text;         // UTF-16 little-endian
  std::uint32_t size;  // bytes
};

GtkClipboard* Clipboard() {
  return gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
}

}  // namespace

bool OpenWindowClipboard() {
  return Clipboard() != nullptr;
}

void CloseWindowClipboard() {}

bool ClipboardHasText() {
  return gtk_clipboard_wait_is_text_available(Clipboard()) != FALSE;
}

// GTK hands the text over in UTF-8; CF_UNICODETEXT is UTF-16.
ClipboardData ClipboardUnicodeText() {
  gchar* utf8 = gtk_clipboard_wait_for_text(Clipboard());
  if (utf8 == nullptr) return 0;
  gsize size = 0;
  gchar* utf16 = g_convert(utf8, -1, "UTF-16LE", "UTF-8", nullptr, &size, nullptr);
  g_free(utf8);
  if (utf16 == nullptr || size > G_MAXUINT32) {
    g_free(utf16);
    return 0;
  }
  return FromPointer(new ClipboardCopy{utf16, static_cast<std::uint32_t>(size)});
}

const std::uint8_t* LockClipboardUnicodeText(ClipboardData data, std::uint32_t* blockSize) {
  auto* text = AsPointer<ClipboardCopy>(data);
  *blockSize = text ? text->size : 0;
  return text ? reinterpret_cast<const std::uint8_t*>(text->text) : nullptr;
}

void UnlockClipboardText(ClipboardData data) {
  // The text is the program's own copy; it goes when the clipboard is let go.
  auto* text = AsPointer<ClipboardCopy>(data);
  if (text == nullptr) return;
  g_free(text->text);
  delete text;
}

// GTK takes UTF-8 and serves it to whoever pastes while the program runs.
// A lone surrogate, which UTF-8 cannot hold, becomes U+FFFD.
bool PutClipboardUnicodeText(const char16_t* text, std::uint32_t units) {
  GString* utf8 = g_string_sized_new(units * 3 + 1);
  for (std::uint32_t i = 0; i < units; ++i) {
    gunichar c = text[i];
    if (c - 0xD800u < 0x400 && i + 1 < units && text[i + 1] - 0xDC00u < 0x400) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00u);
    } else if (c - 0xD800u < 0x800) {
      c = 0xFFFD;
    }
    g_string_append_unichar(utf8, c);
  }
  gtk_clipboard_set_text(Clipboard(), utf8->str, static_cast<gint>(utf8->len));
  g_string_free(utf8, TRUE);
  return true;
}

// ---- Dropped files ----

namespace {

struct Drop {
  std::vector<std::string> names;
};

// GTK finishes the drag itself (GTK_DEST_DEFAULT_DROP) once this returns.
void OnDragData(GtkWidget*, GdkDragContext*, int, int, GtkSelectionData* data, guint, guint) {
  auto* drop = new Drop;
  char** uris = gtk_selection_data_get_uris(data);
  for (char** u = uris; u != nullptr && *u != nullptr; ++u) {
    char* name = g_filename_from_uri(*u, nullptr, nullptr);
    if (name != nullptr) drop->names.push_back(name);
    g_free(name);
  }
  g_strfreev(uris);
  if (drop->names.empty()) {
    delete drop;
    return;
  }
  // WM_DROPFILES is posted, as Win32's shell posts it.
  PostToWindow(kMessageDropFiles, FromPointer(drop), 0);
}

}  // namespace

void AcceptDroppedFiles(bool accept) {
  if (clientArea == nullptr) return;
  if (!accept) {
    gtk_drag_dest_unset(clientArea);
    return;
  }
  gtk_drag_dest_set(clientArea, GTK_DEST_DEFAULT_ALL, nullptr, 0, GDK_ACTION_COPY);
  gtk_drag_dest_add_uri_targets(clientArea);
  static bool connected = false;
  if (!connected)
    g_signal_connect(clientArea, "drag-data-received", G_CALLBACK(OnDragData), nullptr);
  connected = true;
}

std::uint32_t DroppedFileName(DropHandle handle, std::uint32_t index, char* buffer,
                              std::uint32_t size) {
  const Drop* drop = AsPointer<Drop>(handle);
  if (drop == nullptr || index >= drop->names.size()) return 0;
  const std::string& name = drop->names[index];
  if (buffer != nullptr && size > 0) g_strlcpy(buffer, name.c_str(), size);
  // The whole length, so that the caller can tell a cut name from a complete one.
  return static_cast<std::uint32_t>(name.size());
}

void FinishDrop(DropHandle handle) {
  delete AsPointer<Drop>(handle);
}
