// The real registry, under Wine. (The dialog's test shows saving.)
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "settings/saver_settings.h"
#include "tests/settings_text.h"

namespace {
const char *kKey = "Software\\Quorvel\\GyrelSaver";
const char *kPresent = "C:\\GyrelHelp.chm"; // a help file that is there
std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char *>(&value), 4); }
void Place(const std::string &path, bool present) { // makes an empty file, or deletes it
  if (!present) DeleteFileA(path.c_str());
  if (present)
    CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, 0));
}
} // namespace

// Stored numbers as "Name=value" (REG_DWORD); the name, type and data of one
// more value, if any; the "Name=value" items that must load. A stored help
// file wins; with none the one found at the default place loads.
TEST(Registry, WhatLoads) {
  const std::string p260 = "C:\\" + std::string(257, 'p'), p261 = p260 + "q";
  const std::tuple<std::string, const char *, DWORD, std::string, std::string> cases[] = {
      {"", "", 0, "",
       "DrawSpeed=1 MinGyrels=3 MaxGyrels=5 MaxBrightness=128 PointsPerCycle=200 Red=100 "
       "ChangeFrequency=1000 RefreshPause=4 PauseTicks=200 UseFixedFrequency=0 "
       "ChangeBackground=1 PictureOnEachMonitor=0 FineCurves=0 SmoothCurves=0 "
       "HelpFile=C:\\Program"},
      {"DrawSpeed=501 MaxBrightness=256 PointsPerCycle=801 Red=101 Green=101 ChangeFrequency=0 "
       "RefreshPause=11 Blue=4294967295",
       "", 0, "",
       "DrawSpeed=1 MaxBrightness=128 PointsPerCycle=200 Red=100 Green=100 ChangeFrequency=1000 "
       "RefreshPause=4 Blue=100"},
      {"DrawSpeed=500 MaxBrightness=0 PointsPerCycle=0 RefreshPause=10 ChangeFrequency=1 Red=0 "
       "Green=0 Blue=0 UseFixedFrequency=1 ChangeBackground=0 PictureOnEachMonitor=1 FineCurves=1 "
       "SmoothCurves=1",
       "", 0, "",
       "DrawSpeed=500 MaxBrightness=0 PointsPerCycle=0 PauseTicks=1 ChangeFrequency=1 Red=0 "
       "Green=0 Blue=0 UseFixedFrequency=1 ChangeBackground=0 PictureOnEachMonitor=1 FineCurves=1 "
       "SmoothCurves=1"},
      {"DrawSpeed=3 RefreshPause=1", "", 0, "", "PauseTicks=16"},
      {"UseFixedFrequency=2 ChangeBackground=2 PictureOnEachMonitor=2 FineCurves=2 SmoothCurves=2",
       "", 0, "",
       "UseFixedFrequency=0 ChangeBackground=1 PictureOnEachMonitor=0 FineCurves=0 SmoothCurves=0"},
      // Curve counts: 0 is a picture of the gradient alone; the range stays ordered.
      {"MinGyrels=0 MaxGyrels=0", "", 0, "", "MinGyrels=0 MaxGyrels=0"},
      {"MinGyrels=4 MaxGyrels=3", "", 0, "", "MinGyrels=4 MaxGyrels=5"},
      {"MinGyrels=8", "", 0, "", "MinGyrels=8 MaxGyrels=8"},
      {"MinGyrels=21 MaxGyrels=21", "", 0, "", "MinGyrels=3 MaxGyrels=5"},
      // Data of other types and sizes: exactly four bytes make a number.
      {"", "DrawSpeed", REG_BINARY, Dword(9), "DrawSpeed=9"},
      {"", "DrawSpeed", REG_SZ, std::string("7\0", 2), "DrawSpeed=1"},
      {"", "DrawSpeed", REG_QWORD, Dword(9) + Dword(0), "DrawSpeed=1"},
      {"", "DrawSpeed", REG_BINARY, "", "DrawSpeed=1"},
      // A stored help file counts while it is there (a folder is none); else the search finds one.
      {"", "HelpFile", REG_SZ, std::string(kPresent) + '\0',
       "HelpFile=" + std::string(kPresent) + " "},
      {"", "HelpFile", REG_SZ, std::string("C:\\Old\\GyrelSaver.chm\0", 22),
       "HelpFile=C:\\Program"},
      {"", "HelpFile", REG_SZ, std::string("C:\\windows\0", 11), "HelpFile=C:\\Program"},
  };
  // Text read as stored: at most 260 characters, ending at a terminator or the bytes read.
  const std::tuple<DWORD, std::string, std::string> texts[] = {{REG_SZ, p260 + '\0', p260},
                                                               {REG_SZ, p261 + '\0', "fallback"},
                                                               {REG_BINARY, p261, "fallback"},
                                                               {REG_BINARY, "abc", "abc"}};
  for (const auto &[type, data, read] : texts) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "HelpFile", type, data.data(), DWORD(data.size()));
    std::string got;
    ReadRegistryString(&got, kKey, "HelpFile", "fallback");
    EXPECT_EQ(got, read) << data.size() << " bytes";
  }
  Place(kPresent, true);
  CreateDirectoryA("C:\\Program Files\\GyrelSaver", nullptr);
  Place(kDefaultHelpFile, true); // where the fallback finds it
  for (const auto &[given, name, type, data, loaded] : cases) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    std::istringstream numbers(given);
    for (std::string item; numbers >> item;) {
      const std::size_t equals = item.find('=');
      const std::string number = Dword(std::stoul(item.substr(equals + 1)));
      item.resize(equals);
      RegSetKeyValueA(HKEY_CURRENT_USER, kKey, item.c_str(), REG_DWORD, number.data(), 4);
    }
    if (*name)
      RegSetKeyValueA(HKEY_CURRENT_USER, kKey, name, type, data.data(), DWORD(data.size()));
    SaverSettings s;
    s.Load();
    std::istringstream expected(loaded);
    for (std::string item; expected >> item;)
      EXPECT_NE(SettingsText(s).find(" " + item), std::string::npos)
          << item << " in" << SettingsText(s);
  }
  // None stored, none at the default place: the setup's folder (the user's, then the machine's),
  // then the package's (else beside the program: the dialog's test); Save keeps it unstored.
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
  Place(kDefaultHelpFile, false);
  const std::string mine = "C:\\GyrelHelp", theirs = "C:\\GyrelHelpAll", fleet = "C:\\GyrelFleet";
  for (const std::string &folder : {mine, theirs, fleet}) {
    CreateDirectoryA(folder.c_str(), nullptr);
    Place(folder + "\\GyrelSaver.chm", true);
  }
  RegSetKeyValueA(HKEY_CURRENT_USER, kUninstallKeyPath, "InstallLocation", REG_SZ, mine.c_str(),
                  DWORD(mine.size() + 1));
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kUninstallKeyPath, "InstallLocation", REG_SZ, theirs.c_str(),
                  DWORD(theirs.size() + 1));
  const std::string package =
      std::string(kUninstallKeyPath)
          .replace(std::string(kUninstallKeyPath).rfind('\\') + 1, std::string::npos,
                   "{6F1E0A52-0000-4000-8000-000000001234}");
  for (const auto &[name, value] :
       {std::pair<const char *, std::string>{"DisplayName", "GyrelSaver"},
        {"Publisher", "Quorvel"},
        {"InstallLocation", fleet + "\\"}})
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, package.c_str(), name, REG_SZ, value.c_str(),
                    DWORD(value.size() + 1));
  std::string found;
  for (int step = 0; step < 4; ++step) { // all recorded; the machine's; the package's; the default
    if (step == 1) Place(mine + "\\GyrelSaver.chm", false);
    if (step == 2) Place(theirs + "\\GyrelSaver.chm", false);
    if (step == 3) Place(kDefaultHelpFile, true);
    SaverSettings s;
    s.Load();
    s.Save();
    found += s.HelpFile + " ";
  }
  EXPECT_EQ(found, mine + "\\GyrelSaver.chm " + theirs + "\\GyrelSaver.chm " + fleet +
                       "\\GyrelSaver.chm " + kDefaultHelpFile + " ");
  EXPECT_NE(RegGetValueA(HKEY_CURRENT_USER, kKey, "HelpFile", RRF_RT_ANY, 0, 0, 0), ERROR_SUCCESS);
  for (const std::string &folder : {mine, theirs, fleet}) {
    Place(folder + "\\GyrelSaver.chm", false);
    RemoveDirectoryA(folder.c_str());
  }
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, package.c_str());
  Place(kPresent, false);
  Place(kDefaultHelpFile, false); // the dialog's test finds the help beside the program
  RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKeyPath);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUninstallKeyPath);
  RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
}

// Mandatory (M: HKLM, m: HKCU) over the user's own (u), over recommended (R, r); only REG_DWORDs
// within bounds ("sz", "bin": 9 of that type, "long": eight bytes). What loads; what is managed.
TEST(Registry, PoliciesInForce) {
  const struct {
    const char *given, *loaded;
    std::uint32_t managed;
  } cases[] = {
      {"u:DrawSpeed=7 M:DrawSpeed=9 u:Red=7 m:Red=9 M:Green=9 m:Green=11 R:Green=12",
       "DrawSpeed=9 Red=9 Green=9", 1u << kDrawSpeed | 1u << kRed | 1u << kGreen},
      {"M:DrawSpeed=sz m:DrawSpeed=11 u:Red=7 M:Red=bin m:Red=long u:Green=7 M:Green=501",
       "DrawSpeed=11 Red=7 Green=7", 1u << kDrawSpeed},
      {"R:DrawSpeed=9 r:DrawSpeed=11 r:Red=11 u:Green=7 R:Green=9 u:Blue=600 R:Blue=9",
       "DrawSpeed=9 Red=11 Green=7 Blue=9", 0}, // the user's own out of bounds is none
      {"u:SmoothCurves=0 M:SmoothCurves=1 R:Red=20", "SmoothCurves=1 Red=20", 1u << kSmoothCurves},
      {"u:MinGyrels=5 M:MaxGyrels=2", "MinGyrels=2 MaxGyrels=2", 1u << kMaxGyrels},
      {"u:MaxGyrels=5 m:MinGyrels=10", "MinGyrels=10 MaxGyrels=10", 1u << kMinGyrels},
      {"M:MinGyrels=10 M:MaxGyrels=4", "MinGyrels=10 MaxGyrels=10",
       1u << kMinGyrels | 1u << kMaxGyrels},
      {"M:HelpFile=9 M:Blue=0 M:UseFixedFrequency=1", "Blue=0 UseFixedFrequency=1",
       1u << kBlue | 1u << kUseFixedFrequency},
  };
  const auto clear = [] {
    for (const char *key : {kKey, "Software\\Policies\\Quorvel"})
      RegDeleteTreeA(HKEY_CURRENT_USER, key), RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
  };
  for (const auto &[given, loaded, managed] : cases) {
    clear();
    std::istringstream items(given);
    for (std::string item; items >> item;) {
      const char where = item[0];
      const std::size_t equals = item.find('=');
      const std::string name = item.substr(2, equals - 2), value = item.substr(equals + 1);
      const HKEY root = where == 'M' || where == 'R' ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
      const char *path = where == 'u'                   ? kKey
                         : where == 'M' || where == 'm' ? kPolicyKeyPath
                                                        : kRecommendedKeyPath;
      const std::string data = value == "sz"     ? std::string("9\0", 2)
                               : value == "long" ? Dword(9) + Dword(0)
                               : value == "bin"  ? Dword(9)
                                                 : Dword(std::stoul(value));
      const DWORD type = value == "sz" ? REG_SZ : value == "bin" ? REG_BINARY : REG_DWORD;
      RegSetKeyValueA(root, path, name.c_str(), type, data.data(), DWORD(data.size()));
    }
    SaverSettings s;
    s.Load();
    std::istringstream expected(loaded);
    for (std::string item; expected >> item;)
      EXPECT_NE(SettingsText(s).find(" " + item), std::string::npos)
          << given << ": " << item << " in" << SettingsText(s);
    EXPECT_EQ(s.managed, managed) << given;
  }
  clear();
}
