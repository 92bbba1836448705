// Registry data of any type and size against the real registry (under Wine);
// which bounds and defaults each value gets is tested natively.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "settings/saver_settings.h"

namespace {
const char *kKey = "Software\\Quorvel\\GyrelSaver";
void Set(const char *name, DWORD type, const std::string &data) {
  ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kKey, name, type, data.data(), DWORD(data.size())),
            ERROR_SUCCESS);
}
} // namespace

TEST(Registry, DataOfAnyTypeAndSize) {
  const std::string p260 = "C:\\" + std::string(257, 'p'), p261 = p260 + "q";
  struct Case {
    const char *name;
    DWORD type;
    std::string data;
    std::string loaded; // DrawSpeed as a number, HelpFile as text
  };
  const Case cases[] = {
      {"DrawSpeed", REG_DWORD, std::string("\x09\0\0\0", 4), "9"},
      {"DrawSpeed", REG_DWORD, std::string("\xF5\x01\0\0", 4), "1"}, // 501: out of range
      {"DrawSpeed", REG_BINARY, std::string("\x09\0\0\0", 4), "9"},  // four bytes of any type
      {"DrawSpeed", REG_SZ, std::string("7\0", 2), "1"},             // two bytes: absent
      {"DrawSpeed", REG_QWORD, std::string("\x09\0\0\0\0\0\0\0", 8), "1"},
      {"DrawSpeed", REG_BINARY, "", "1"},
      {"HelpFile", REG_SZ, p260 + '\0', p260},
      {"HelpFile", REG_SZ, p261 + '\0', kDefaultHelpFile},
      {"HelpFile", REG_BINARY, p261, kDefaultHelpFile}, // 261 bytes, no terminator
      {"HelpFile", REG_BINARY, "abc", "abc"},           // ends at the bytes read
      {"HelpFile", REG_SZ, std::string("\0", 1), ""},
  };
  for (const Case &c : cases) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    Set(c.name, c.type, c.data);
    SaverSettings s;
    s.Load();
    EXPECT_EQ(c.name[0] == 'D' ? std::to_string(s.DrawSpeed) : s.HelpFile, c.loaded)
        << c.name << " type " << c.type << ", " << c.data.size() << " bytes";
  }
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  SaverSettings s;
  s.Load();
  HKEY key;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_SUCCESS)
      << "loading never creates the key";
}

TEST(Registry, SaveCreatesTheKeyAndReportsARefusal) {
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
  SaverSettings edited;
  edited.HelpFile = "D:\\Help\\Gyrel.chm";
  edited.MinGyrels = 0;
  EXPECT_TRUE(edited.Save());
  SaverSettings loaded;
  loaded.Load();
  EXPECT_EQ(loaded.HelpFile, edited.HelpFile);
  EXPECT_EQ(loaded.MinGyrels, 0);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
  HKEY parent; // below a volatile key no lasting key can be made
  RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quorvel", 0, nullptr, REG_OPTION_VOLATILE,
                  KEY_ALL_ACCESS, nullptr, &parent, nullptr);
  RegCloseKey(parent);
  EXPECT_FALSE(edited.Save());
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
}
