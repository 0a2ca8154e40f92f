// The GTK side's menu is the Win32 resource's "TheMenu": the same entries
// in the same order, with the same texts, commands, separators, graying and
// check marks, read from resources/tavelo.rc itself.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gtk/menu_definition.h"
#include "shell/command_ids.h"

namespace {

#define COMMAND(name) \
  { #name, name }
const std::map<std::string, int> kCommands = {
    COMMAND(CMD_OPEN),          COMMAND(CMD_SAVE_GB),
    COMMAND(CMD_DECODE_HZ),     COMMAND(CMD_DECODE_QP),
    COMMAND(CMD_PASTE),         COMMAND(CMD_UNINSTALL),
    COMMAND(CMD_EXIT),          COMMAND(CMD_BIG5),
    COMMAND(CMD_SILENT),        COMMAND(CMD_AUTOOPEN),
    COMMAND(CMD_ABOUT),         COMMAND(CMD_DETECT),
    COMMAND(CMD_MODE_GB2312),   COMMAND(CMD_MODE_GB18030),
    COMMAND(CMD_MODE_BIG5),     COMMAND(CMD_MODE_BIG5_HKSCS),
    COMMAND(CMD_MODE_UTF8),     COMMAND(CMD_MODE_UTF16),
    COMMAND(CMD_MODE_HZ),       COMMAND(CMD_ZOOM_IN),
    COMMAND(CMD_ZOOM_OUT),      COMMAND(CMD_ZOOM_RESET),
    COMMAND(CMD_COPY),          COMMAND(CMD_SELECT_ALL),
    COMMAND(CMD_FIND),          COMMAND(CMD_FIND_NEXT),
    COMMAND(CMD_FIND_PREVIOUS), COMMAND(CMD_RECENT_FILES),
};
#undef COMMAND

// One entry in a form both sides can be written in.
std::string Describe(MenuEntryKind kind, const std::string& text, int command, bool grayed,
                     bool checked, bool rightEnd) {
  std::ostringstream out;
  const char* kinds[] = {"POPUP", "MENUITEM", "SEPARATOR", "END", "BAR MENUITEM"};
  out << kinds[static_cast<int>(kind)];
  if (!text.empty()) out << " \"" << text << "\"";
  if (command != 0) out << " " << command;
  if (grayed) out << " GRAYED";
  if (checked) out << " CHECKED";
  if (rightEnd) out << " HELP";
  return out.str();
}

// A resource string as the resource compiler stores it: "\\t" is a tab.
std::string Unescaped(std::string text) {
  for (std::size_t at = text.find("\\t"); at != std::string::npos; at = text.find("\\t", at)) {
    text.replace(at, 2, "\t");
  }
  return text;
}

// The entries of the menu resource, in order, from the MENU block's lines.
std::vector<std::string> ResourceMenu(const std::string& script) {
  std::ifstream in(script);
  std::vector<std::string> entries;
  const std::regex item(R"re(^\s*MENUITEM\s+"([^"]*)"\s*,\s*(\w+)\s*((,\s*\w+\s*)*)$)re");
  const std::regex popup(R"re(^\s*POPUP\s+"([^"]*)"\s*$)re");
  std::string line;
  bool inside = false;
  int depth = 0;
  while (std::getline(in, line)) {
    std::smatch m;
    if (!inside) {
      inside = std::regex_match(line, std::regex(R"re(^\s*TheMenu\s+MENU\s*$)re"));
      continue;
    }
    if (std::regex_match(line, std::regex(R"re(^\s*BEGIN\s*$)re"))) {
      ++depth;
    } else if (std::regex_match(line, std::regex(R"re(^\s*END\s*$)re"))) {
      if (--depth == 0) break;
      entries.push_back(Describe(MenuEntryKind::End, "", 0, false, false, false));
    } else if (std::regex_match(line, m, popup)) {
      entries.push_back(Describe(MenuEntryKind::Popup, m[1], 0, false, false, false));
    } else if (std::regex_match(line, std::regex(R"re(^\s*MENUITEM\s+SEPARATOR\s*$)re"))) {
      entries.push_back(Describe(MenuEntryKind::Separator, "", 0, false, false, false));
    } else if (std::regex_match(line, m, item)) {
      const std::string flags = m[3];
      const auto id = kCommands.find(m[2]);
      entries.push_back(Describe(
          depth == 1 ? MenuEntryKind::BarItem : MenuEntryKind::Item, Unescaped(m[1]),
          id == kCommands.end() ? -1 : id->second, flags.find("GRAYED") != std::string::npos,
          flags.find("CHECKED") != std::string::npos, flags.find("HELP") != std::string::npos));
    } else if (line.find_first_not_of(" \t\r") != std::string::npos) {
      entries.push_back("unread line: " + line);
    }
  }
  return entries;
}

TEST(MenuDefinitionTest, GtkMenuIsTheResourceMenu) {
  std::vector<std::string> gtk;
  for (std::size_t i = 0; i < kMenuEntryCount; ++i) {
    const MenuEntry& e = kMenuDefinition[i];
    gtk.push_back(
        Describe(e.kind, e.text ? e.text : "", e.command, e.grayed, e.checked, e.rightEnd));
  }
  const std::vector<std::string> resource =
      ResourceMenu(TAVELO_SOURCE_FOLDER "/resources/tavelo.rc");
  ASSERT_FALSE(resource.empty()) << "no TheMenu in resources/tavelo.rc";
  EXPECT_EQ(gtk, resource);
}

}  // namespace
