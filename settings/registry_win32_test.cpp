// The settings store against the real registry (under Wine in the tests).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/saver_settings.h"

namespace {
const char *kKey = "Software\\Quorvel\\GyrelSaver";

class Registry : public ::testing::Test {
protected:
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }

  static void Set(const char *name, DWORD type, const void *data, DWORD size) {
    HKEY key;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  static void SetDword(const char *name, DWORD value) { Set(name, REG_DWORD, &value, 4); }
  static bool KeyExists() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  SaverSettings loaded;
};
} // namespace

TEST_F(Registry, MissingKeyGivesDefaults) {
  loaded.Load();
  EXPECT_EQ(loaded.HelpFile, kDefaultHelpFile);
  EXPECT_EQ(loaded.DrawSpeed, 1u);
  EXPECT_EQ(loaded.MinGyrels, 3);
  EXPECT_EQ(loaded.MaxGyrels, 5);
  EXPECT_EQ(loaded.PauseTicks, 200u);
  EXPECT_FALSE(KeyExists()); // loading never creates the key
}

// The real reader's bound check; which bounds each value gets is tested natively.
TEST_F(Registry, NumbersOutOfRangeFallBack) {
  SetDword("DrawSpeed", 501);
  SetDword("MaxBrightness", 0xFFFFFFFF);
  SetDword("PointsPerCycle", 800);
  loaded.Load();
  EXPECT_EQ(loaded.DrawSpeed, 1u);
  EXPECT_EQ(loaded.MaxBrightness, 128u);
  EXPECT_EQ(loaded.PointsPerCycle, 800u);
}

TEST_F(Registry, DataOfOtherTypesAndSizes) {
  struct Case {
    DWORD type;
    std::vector<BYTE> data;
    DWORD expected;
  };
  const Case cases[] = {
      {REG_SZ, {'7', 0}, 1},                     // two bytes: absent
      {REG_SZ, {'1', '2', '3', 0}, 1},           // four bytes, far out of range
      {REG_BINARY, {9, 0}, 1},                   // two bytes
      {REG_BINARY, {9, 0, 0, 0, 0, 0, 0, 0}, 1}, // eight bytes: too long
      {REG_QWORD, {9, 0, 0, 0, 0, 0, 0, 0}, 1},  // eight bytes
      {REG_BINARY, {9, 0, 0, 0}, 9},             // four bytes of any type are a number
      {REG_BINARY, {}, 1},
  };
  for (const Case &c : cases) {
    Set("DrawSpeed", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
    loaded.Load();
    EXPECT_EQ(loaded.DrawSpeed, c.expected)
        << "type " << c.type << ", " << c.data.size() << " bytes";
  }
}

TEST_F(Registry, HelpFileLengths) {
  const std::string path260 = "C:\\" + std::string(257, 'p');
  const std::string path261 = path260 + "q";
  Set("HelpFile", REG_SZ, path260.c_str(), 261);
  loaded.Load();
  EXPECT_EQ(loaded.HelpFile, path260);

  Set("HelpFile", REG_SZ, path261.c_str(), 262);
  loaded.Load();
  EXPECT_EQ(loaded.HelpFile, kDefaultHelpFile);

  // 261 bytes without a terminator must not be read past.
  Set("HelpFile", REG_BINARY, path261.c_str(), 261);
  loaded.Load();
  EXPECT_EQ(loaded.HelpFile, kDefaultHelpFile);

  Set("HelpFile", REG_SZ, "", 1);
  loaded.Load();
  EXPECT_EQ(loaded.HelpFile, "");

  const DWORD number = 5;
  Set("HelpFile", REG_DWORD, &number, 4); // the type is not asked for
  loaded.Load();
  EXPECT_EQ(loaded.HelpFile, std::string("\x05"));
}

TEST_F(Registry, SaveCreatesTheKeyAndLoadGivesItBack) {
  ASSERT_FALSE(KeyExists());
  SaverSettings edited;
  edited.HelpFile = "C:\\Help\\gyrel.chm";
  edited.SetDrawSpeed(42);
  edited.MinGyrels = 6;
  edited.MaxGyrels = 11;
  edited.MaxBrightness = 255;
  edited.PointsPerCycle = 0;
  edited.Red = 0;
  edited.Green = 50;
  edited.Blue = 100;
  edited.ChangeFrequency = 1;
  edited.SetRefreshPause(10);
  edited.UseFixedFrequency = true;
  edited.ChangeBackground = false;
  edited.Save();
  ASSERT_TRUE(KeyExists());

  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD values = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  DWORD type = 0, size = 0;
  RegQueryValueExA(key, "DrawSpeed", nullptr, &type, nullptr, &size);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size, 4u);
  RegQueryValueExA(key, "HelpFile", nullptr, &type, nullptr, &size);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, edited.HelpFile.size() + 1);
  RegCloseKey(key);
  EXPECT_EQ(values, 13u);

  loaded.Load();
  EXPECT_EQ(loaded.HelpFile, edited.HelpFile);
  EXPECT_EQ(loaded.DrawSpeed, 42u);
  EXPECT_EQ(loaded.MinGyrels, 6);
  EXPECT_EQ(loaded.MaxGyrels, 11);
  EXPECT_EQ(loaded.MaxBrightness, 255u);
  EXPECT_EQ(loaded.PointsPerCycle, 0u);
  EXPECT_EQ(loaded.Red, 0u);
  EXPECT_EQ(loaded.Green, 50u);
  EXPECT_EQ(loaded.Blue, 100u);
  EXPECT_EQ(loaded.ChangeFrequency, 1u);
  EXPECT_EQ(loaded.RefreshPause, 10u);
  EXPECT_TRUE(loaded.UseFixedFrequency);
  EXPECT_FALSE(loaded.ChangeBackground);
  EXPECT_EQ(loaded.PauseTicks, 500u / 42u);
}
