// HKEY_CLASSES_ROOT on GTK: the .gb association made the freedesktop.org
// way (a shared MIME type and a desktop entry), in the user's own folders
// only. Each key that holds a value is one file, written from the value and removed with the key:
//
//   "GBText"                      $XDG_DATA_HOME/mime/packages/tavelo-gbtext.xml,
//                                 the MIME type text/x-gbtext with the value as its comment
//   "GBText\shell\open\command"   $XDG_DATA_HOME/applications/tavelo.desktop, whose Exec
//                                 is the command ("%1" becomes "%f"), made the type's
//                                 default application in $XDG_CONFIG_HOME/mimeapps.list
//   ".gb"                         $XDG_DATA_HOME/mime/packages/tavelo-gb.xml, the glob
//                                 "*.gb" of that type (the value names the type's key)
//
// "GBText\shell" and "GBText\shell\open" hold nothing and exist while the
// type or its command does. The MIME database is rebuilt after each change
// of the packages (update-mime-database), and goes when no package is left.
#include <glib/gstdio.h>

#include <cstring>
#include <string>

#include "platform/gtk/gtk_main.h"
#include "platform/gtk/gtk_registry.h"

namespace {

constexpr char kMimeType[] = "text/x-gbtext";
constexpr char kDesktopName[] = "tavelo.desktop";
constexpr char kDefaultsGroup[] = "Default Applications";

enum class ClassKey { None, Type, Shell, Command, Extension };

ClassKey Classify(const std::string& path) {
  const char* p = path.c_str();
  if (g_ascii_strcasecmp(p, "GBText") == 0) return ClassKey::Type;
  if (g_ascii_strcasecmp(p, "GBText\\shell") == 0) return ClassKey::Shell;
  if (g_ascii_strcasecmp(p, "GBText\\shell\\open") == 0) return ClassKey::Shell;
  if (g_ascii_strcasecmp(p, "GBText\\shell\\open\\command") == 0) return ClassKey::Command;
  if (g_ascii_strcasecmp(p, ".gb") == 0) return ClassKey::Extension;
  return ClassKey::None;
}

std::string DataFolder(const char* below) {
  return std::string(g_get_user_data_dir()) + "/" + below;
}

std::string MimeFolder() {
  return DataFolder("mime");
}

std::string PackagesFolder() {
  return DataFolder("mime/packages");
}

std::string ApplicationsFolder() {
  return DataFolder("applications");
}

std::string MimeAppsFile() {
  return std::string(g_get_user_config_dir()) + "/mimeapps.list";
}

std::string FileOf(ClassKey key) {
  switch (key) {
    case ClassKey::Type: return PackagesFolder() + "/tavelo-gbtext.xml";
    case ClassKey::Command: return ApplicationsFolder() + "/" + kDesktopName;
    case ClassKey::Extension: return PackagesFolder() + "/tavelo-gb.xml";
    default: return std::string();
  }
}

bool Exists(ClassKey key) {
  return g_file_test(FileOf(key).c_str(), G_FILE_TEST_EXISTS);
}

std::string Escaped(const std::string& text) {
  char* escaped = g_markup_escape_text(text.c_str(), -1);
  std::string out = escaped;
  g_free(escaped);
  return out;
}

void WriteFile(const std::string& path, const std::string& text) {
  char* folder = g_path_get_dirname(path.c_str());
  g_mkdir_with_parents(folder, 0700);
  g_free(folder);
  g_file_set_contents(path.c_str(), text.c_str(), static_cast<gssize>(text.size()), nullptr);
}

void RemoveTree(const std::string& path) {
  if (g_file_test(path.c_str(), G_FILE_TEST_IS_DIR) &&
      !g_file_test(path.c_str(), G_FILE_TEST_IS_SYMLINK)) {
    GDir* dir = g_dir_open(path.c_str(), 0, nullptr);
    for (const char* name; dir != nullptr && (name = g_dir_read_name(dir)) != nullptr;) {
      RemoveTree(path + "/" + name);
    }
    if (dir != nullptr) g_dir_close(dir);
    g_rmdir(path.c_str());
  } else {
    g_unlink(path.c_str());
  }
}

// Rebuilds the user's MIME database from its packages; with none left, the
// database (made only from them) goes as well.
void UpdateMimeDatabase() {
  if (g_rmdir(PackagesFolder().c_str()) == 0) {
    RemoveTree(MimeFolder());
    return;
  }
  char* tool = g_find_program_in_path("update-mime-database");
  if (tool == nullptr) return;
  const std::string folder = MimeFolder();
  const char* argv[] = {tool, folder.c_str(), nullptr};
  g_spawn_sync(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_STDOUT_TO_DEV_NULL, nullptr,
               nullptr, nullptr, nullptr, nullptr, nullptr);
  g_free(tool);
}

void WritePackage(ClassKey key, const std::string& inside) {
  WriteFile(FileOf(key),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"" +
                std::string(kMimeType) + "\">\n    " + inside + "\n  </mime-type>\n</mime-info>\n");
  UpdateMimeDatabase();
}

// The desktop entry's Exec from the registry's command: the quoted program
// with the characters a quoted Exec argument escapes, "%1" as "%f".
std::string ExecLine(const std::string& command) {
  std::string exec;
  std::size_t at = 0;
  if (!command.empty() && command[0] == '"') {
    const std::size_t close = command.find('"', 1);
    const std::string program =
        command.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    exec = "\"";
    for (char c : program) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') exec += '\\';
      exec += c;
      if (c == '%') exec += '%';
    }
    exec += "\"";
    at = close == std::string::npos ? command.size() : close + 1;
  }
  std::string rest = command.substr(at);
  for (std::size_t p; (p = rest.find("%1")) != std::string::npos;) rest.replace(p, 2, "%f");
  return exec + rest;
}

void EditMimeApps(bool add) {
  GKeyFile* list = g_key_file_new();
  const std::string path = MimeAppsFile();
  const bool loaded =
      g_key_file_load_from_file(list, path.c_str(), G_KEY_FILE_KEEP_COMMENTS, nullptr);
  if (add) {
    g_key_file_set_string(list, kDefaultsGroup, kMimeType, kDesktopName);
    char* text = g_key_file_to_data(list, nullptr, nullptr);
    WriteFile(path, text);
    g_free(text);
  } else if (loaded && g_key_file_remove_key(list, kDefaultsGroup, kMimeType, nullptr)) {
    gsize left = 0;
    g_strfreev(g_key_file_get_keys(list, kDefaultsGroup, &left, nullptr));
    if (left == 0) g_key_file_remove_group(list, kDefaultsGroup, nullptr);
    gsize groups = 0;
    g_strfreev(g_key_file_get_groups(list, &groups));
    if (groups == 0) {
      g_unlink(path.c_str());
    } else {
      g_key_file_save_to_file(list, path.c_str(), nullptr);
    }
  }
  g_key_file_free(list);
}

// The program's own icon where the desktop looks for icons by name, as a PNG
// of its size; the folder of each size is the icon theme's.
std::string IconFolder(int size) {
  return DataFolder("icons/hicolor/") + std::to_string(size) + "x" + std::to_string(size) + "/apps";
}
constexpr char kIconFile[] = "tavelo.png";

void WriteIcon() {
  GdkPixbuf* icon = ProgramIcon();
  if (icon == nullptr) return;
  const std::string folder = IconFolder(gdk_pixbuf_get_width(icon));
  g_mkdir_with_parents(folder.c_str(), 0700);
  gdk_pixbuf_save(icon, (folder + "/" + kIconFile).c_str(), "png", nullptr, nullptr);
  g_object_unref(icon);
}

// Removes the icon, and the theme's folders it made when nothing else is in them.
void RemoveIcon() {
  GdkPixbuf* icon = ProgramIcon();
  if (icon == nullptr) return;
  std::string folder = IconFolder(gdk_pixbuf_get_width(icon));
  g_object_unref(icon);
  g_unlink((folder + "/" + kIconFile).c_str());
  const std::string top = DataFolder("icons");
  while (folder.size() >= top.size() && g_rmdir(folder.c_str()) == 0) {
    folder = folder.substr(0, folder.rfind('/'));
  }
}

void WriteDesktopEntry(const std::string& command) {
  GKeyFile* entry = g_key_file_new();
  const char* group = G_KEY_FILE_DESKTOP_GROUP;
  g_key_file_set_string(entry, group, G_KEY_FILE_DESKTOP_KEY_TYPE, "Application");
  g_key_file_set_string(entry, group, G_KEY_FILE_DESKTOP_KEY_NAME, "Tavelo");
  g_key_file_set_string(entry, group, G_KEY_FILE_DESKTOP_KEY_COMMENT, "Chinese Text Reader");
  g_key_file_set_string(entry, group, G_KEY_FILE_DESKTOP_KEY_EXEC, ExecLine(command).c_str());
  g_key_file_set_string(entry, group, G_KEY_FILE_DESKTOP_KEY_MIME_TYPE,
                        (std::string(kMimeType) + ";").c_str());
  // The reader's own entry in the applications menu, as well as the
  // association's program.
  g_key_file_set_string(entry, group, G_KEY_FILE_DESKTOP_KEY_ICON, "tavelo");
  g_key_file_set_string(entry, group, G_KEY_FILE_DESKTOP_KEY_CATEGORIES, "Office;Viewer;");
  g_key_file_set_boolean(entry, group, G_KEY_FILE_DESKTOP_KEY_TERMINAL, FALSE);
  char* text = g_key_file_to_data(entry, nullptr, nullptr);
  WriteFile(FileOf(ClassKey::Command), text);
  g_free(text);
  g_key_file_free(entry);
  WriteIcon();
  EditMimeApps(true);
}

}  // namespace

bool AssociationKeyExists(const std::string& path) {
  const ClassKey key = Classify(path);
  if (key == ClassKey::Shell) return Exists(ClassKey::Type) || Exists(ClassKey::Command);
  return key != ClassKey::None && Exists(key);
}

// A known key can always be made; its file comes with its value.
bool CreateAssociationKey(const std::string& path) {
  return Classify(path) != ClassKey::None;
}

void WriteAssociationValue(const std::string& path, const char* name, unsigned type,
                           const void* data, std::uint32_t size) {
  if ((name != nullptr && *name != 0) || type != kRegString) return;
  const auto* bytes = static_cast<const char*>(data);
  const std::string text(bytes, strnlen(bytes, size));
  switch (Classify(path)) {
    case ClassKey::Type:
      WritePackage(ClassKey::Type, "<comment>" + Escaped(text) + "</comment>");
      break;
    case ClassKey::Command: WriteDesktopEntry(text); break;
    case ClassKey::Extension: WritePackage(ClassKey::Extension, "<glob pattern=\"*.gb\"/>"); break;
    default: break;
  }
}

void DeleteAssociationKey(const std::string& path) {
  const ClassKey key = Classify(path);
  if (key == ClassKey::None || key == ClassKey::Shell || !Exists(key)) return;
  g_unlink(FileOf(key).c_str());
  if (key == ClassKey::Command) {
    RemoveIcon();
    EditMimeApps(false);
    g_rmdir(ApplicationsFolder().c_str());  // only when nothing else is in it
  } else {
    UpdateMimeDatabase();
  }
}
