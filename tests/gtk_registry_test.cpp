// The GTK side's registry: what the logic's registry calls leave in the
// settings key file and the user's freedesktop.org files, and what they read
// back from files a person or an older run left. Each case runs in a child
// process of its own, because GLib takes the user's folders from the
// environment once per process.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return in ? text.str() : "(none)";
}

// Runs body in a child whose user folders are under root; what it prints comes back.
std::string InChild(const fs::path& root, const std::function<std::string()>& body) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return "(no pipe)";
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    const std::string out = body();
    if (write(pipeEnds[1], out.data(), out.size()) < 0) _exit(2);
    _exit(0);
  }
  close(pipeEnds[1]);
  std::string out;
  char chunk[512];
  for (ssize_t got; (got = read(pipeEnds[0], chunk, sizeof chunk)) > 0;) out.append(chunk, got);
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return out;
}

// The value's bytes as hex, or "-" when it cannot be read, or "!N" when it needs N bytes.
std::string Read(const char* path, const char* name, std::uint32_t capacity = 8) {
  RegistryKey key;
  if (!OpenRegistryKey(kLocalMachine, path, kKeyRead, &key)) return "no key";
  std::uint8_t buffer[16];
  std::uint32_t size = capacity;
  const bool read = ReadRegistryValue(key, name, buffer, &size);
  CloseRegistryKey(key);
  if (!read) return size > capacity ? "!" + std::to_string(size) : "-";
  std::string out;
  for (std::uint32_t i = 0; i < size; ++i) {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02x", buffer[i]);
    out += hex;
  }
  return out;
}

void Write(const char* path, const char* name, unsigned type, const void* data,
           std::uint32_t size) {
  RegistryKey key;
  if (!CreateRegistryKey(kLocalMachine, path, "GBText", &key)) return;
  WriteRegistryValue(key, name, type, data, size);
  CloseRegistryKey(key);
}

constexpr char kPosition[] = "Software\\Kestrow\\Tavelo\\window position";

using namespace std::string_literals;

struct StoreCase {
  const char* what;
  std::string fileBefore;  // the settings file before the run; empty for none
  std::function<std::string()> run;
  const char* expected;   // what run prints
  const char* fileAfter;  // the settings file after it ("(none)": gone), or null
};

// Every file and folder below root, one a line.
std::string Tree(const fs::path& root) {
  std::string out;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    out += fs::relative(entry.path(), root).string() + "\n";
  }
  return out;
}

fs::path ScratchRoot() {
  const fs::path root =
      fs::temp_directory_path() / ("tavelo-gtk-registry-" + std::to_string(getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "config");
  fs::create_directories(root / "data");
  return root;
}

TEST(GtkRegistryTest, SettingsLiveInTheKeyFile) {
  const StoreCase cases[] = {
      {"values are written in the registry's names and forms", "",
       [] {
         const std::uint8_t status[2] = {2, 0};
         const std::uint8_t left[4] = {0x64, 0, 0, 0};
         Write(kPosition, "winstatus", kRegBinary, status, 2);
         Write(kPosition, "left", kRegBinary, left, 4);
         Write("Software\\Kestrow\\Tavelo\\last directory", nullptr, kRegString, "/home/a b", 10);
         return Read(kPosition, "WinStatus", 2) + " " + Read(kPosition, "LEFT") + " " +
                Read("Software\\Kestrow\\Tavelo\\last directory", "", 16) + " " +
                Read(kPosition, "left", 2);
       },
       "0200 64000000 2f686f6d652f61206200 !4",
       "[Software\\Kestrow]\n\n[Software\\Kestrow\\Tavelo]\n\n"
       "[Software\\Kestrow\\Tavelo\\window position]\nwinstatus=hex:02,00\nleft=hex:64,00,00,00\n\n"
       "[Software\\Kestrow\\Tavelo\\last directory]\n@=\"/home/a b\"\n"},
      {"a damaged file is read as far as it is sound",
       "left=hex:01\ngarbage\n[Software\\Kestrow\\Tavelo\\window position]\n"
       "left=hex:0a,00,00,00\ntop=hex:zz\nright=\"text\"\nbottom=hex(4):05,00\n\xff\xfe=1\n"
       "[broken\n[Software\\Kestrow\\Tavelo\\window position]\nwinstatus=hex:01\0,00\n"s,
       [] {
         return Read(kPosition, "left") + " " + Read(kPosition, "top") + " " +
                Read(kPosition, "right") + " " + Read(kPosition, "bottom") + " " +
                Read(kPosition, "winstatus");
       },
       "0a000000 - 7465787400 0500 -", nullptr},
      {"text that is not UTF-8, or not ended by its zero, is kept as bytes", "",
       [] {
         Write(kPosition, "a", kRegString, "\xb0\xa1", 3);
         Write(kPosition, "b", kRegString, "ab", 2);
         return Read(kPosition, "a") + " " + Read(kPosition, "b");
       },
       "b0a100 6162",
       "[Software\\Kestrow]\n\n[Software\\Kestrow\\Tavelo]\n\n"
       "[Software\\Kestrow\\Tavelo\\window position]\na=hex(1):b0,a1,00\nb=hex(1):61,62\n"},
      {"keys are deleted leaves first, and the file goes with the last",
       "[Software\\Kestrow]\n[Software\\Kestrow\\Tavelo]\n[Software\\Kestrow\\Other]\n",
       [] {
         RegistryKey maker;
         std::string out;
         if (!OpenRegistryKey(kLocalMachine, "Software\\Kestrow", kKeyWrite, &maker)) return out;
         char name[50];
         for (std::uint32_t i = 0; EnumerateRegistryKey(maker, i, name, 50, nullptr, 0) == 0; ++i) {
           out += std::string(name) + " ";
         }
         RegistryKey software;
         OpenRegistryKey(kLocalMachine, "Software", kKeyWrite, &software);
         DeleteRegistryKey(software, "Kestrow");
         out += Read("Software\\Kestrow\\Tavelo", "x") + " ";
         DeleteRegistryKey(maker, "Tavelo");
         DeleteRegistryKey(maker, "Other");
         DeleteRegistryKey(software, "Kestrow");
         CloseRegistryKey(maker);
         CloseRegistryKey(software);
         return out + Read("Software\\Kestrow", "x");
       },
       "Tavelo Other - no key", "(none)"},
  };
  for (const StoreCase& c : cases) {
    const fs::path root = ScratchRoot();
    const fs::path file = root / "config" / "tavelo" / "settings.ini";
    if (!c.fileBefore.empty()) {
      fs::create_directories(file.parent_path());
      std::ofstream(file, std::ios::binary) << c.fileBefore;
    }
    EXPECT_EQ(InChild(root, c.run), c.expected) << c.what;
    if (c.fileAfter != nullptr) {
      EXPECT_EQ(Slurp(file), c.fileAfter) << c.what;
    }
    // An emptied file goes with the folder made for it.
    if (c.fileAfter != nullptr && std::string(c.fileAfter) == "(none)") {
      EXPECT_EQ(Tree(root), "config\ndata\n") << c.what;
    }
    fs::remove_all(root);
  }
}

// The association keys as the first run's Yes writes them and Uninstall
// deletes them: the user's desktop entry, MIME packages and default
// application come and go with them, and nothing else stays.
TEST(GtkRegistryTest, AssociationIsTheUsersFreedesktopFiles) {
  const fs::path root = ScratchRoot();
  const std::string made = InChild(root, [] {
    const auto put = [](const char* path, const char* text) {
      RegistryKey key;
      if (!CreateRegistryKey(kClassesRoot, path, "GBText", &key)) return;
      WriteRegistryValue(key, nullptr, kRegString, text, std::strlen(text));
      CloseRegistryKey(key);
    };
    RegistryKey probe;
    std::string out = OpenRegistryKey(kClassesRoot, "GBText", kKeyRead, &probe) ? "there " : "";
    put("GBText", "GB Text File");
    put("GBText\\shell\\open\\command", "\"/opt/my apps/ta$velo\" %1");
    put(".gb", "GBText");
    return out +
           (OpenRegistryKey(kClassesRoot, "GBtext\\Shell\\Open", kKeyRead, &probe) ? "open" : "");
  });
  EXPECT_EQ(made, "open");
  const std::string desktop = Slurp(root / "data/applications/tavelo.desktop");
  EXPECT_NE(desktop.find("\nExec=\"/opt/my apps/ta\\\\$velo\" %f\n"), std::string::npos) << desktop;
  EXPECT_NE(desktop.find("\nMimeType=text/x-gbtext;\n"), std::string::npos) << desktop;
  EXPECT_NE(
      Slurp(root / "data/mime/packages/tavelo-gbtext.xml").find("<comment>GB Text File</comment>"),
      std::string::npos);
  EXPECT_NE(Slurp(root / "data/mime/packages/tavelo-gb.xml").find("<glob pattern=\"*.gb\"/>"),
            std::string::npos);
  EXPECT_EQ(Slurp(root / "config/mimeapps.list"),
            "[Default Applications]\ntext/x-gbtext=tavelo.desktop\n");

  // Uninstall's order: leaves first, the extension last.
  InChild(root, [] {
    const auto drop = [](const char* path, const char* subkey) {
      RegistryKey key;
      if (!OpenRegistryKey(kClassesRoot, path, kKeyWrite, &key)) return;
      DeleteRegistryKey(key, subkey);
      CloseRegistryKey(key);
    };
    drop("GBText\\shell\\open", "command");
    drop("GBText\\shell", "open");
    drop("GBText", "shell");
    DeleteRegistryKey(kClassesRoot, "GBText");
    DeleteRegistryKey(kClassesRoot, ".gb");
    return std::string();
  });
  EXPECT_EQ(Tree(root), "config\ndata\n");
  fs::remove_all(root);
}

}  // namespace
