// The help entry points against a test double of the HTML Help control
// registered under the control's class id. Each scenario runs in a process
// of its own (the control is loaded once per process): CTest passes the
// filter and, for the fallback cases, a Wine DLL override.
#include <windows.h>

#include <gtest/gtest.h>
#include <htmlhelp.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "config/help.h"
#include "settings/saver_settings.h"
#include "tests/import_hook.h"

namespace {
std::vector<std::string> librariesLoaded;
int classesRootOpens = 0;
using LoadLibraryFn = HMODULE(WINAPI *)(LPCSTR);
using RegOpenKeyExFn = LONG(WINAPI *)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
LoadLibraryFn realLoadLibrary;
RegOpenKeyExFn realRegOpenKeyEx;

HMODULE WINAPI RecordLoadLibrary(LPCSTR name) {
  librariesLoaded.push_back(name);
  return realLoadLibrary(name);
}
LONG WINAPI RecordRegOpenKeyEx(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key) {
  if (root == HKEY_CLASSES_ROOT) ++classesRootOpens;
  return realRegOpenKeyEx(root, path, options, access, key);
}

std::string LogPath() {
  return std::getenv("GYREL_DOUBLE_LOG") ? std::getenv("GYREL_DOUBLE_LOG") : "";
}
std::vector<std::string> LogLines() {
  std::vector<std::string> lines;
  std::ifstream log(LogPath());
  for (std::string line; std::getline(log, line);)
    lines.push_back(line);
  return lines;
}

// Points the control's registration at `path` for the length of a test and restores it.
class HelpControlRegistration {
public:
  explicit HelpControlRegistration(const std::string &path) {
    DWORD size = sizeof saved_;
    hadValue_ = RegGetValueA(HKEY_CLASSES_ROOT, kHelpControlClsidKey, nullptr, RRF_RT_REG_SZ,
                             nullptr, saved_, &size) == ERROR_SUCCESS;
    Set(path);
  }
  ~HelpControlRegistration() {
    if (hadValue_)
      Set(saved_);
    else
      RegDeleteKeyA(HKEY_CLASSES_ROOT, kHelpControlClsidKey);
  }
  static void Set(const std::string &path) {
    HKEY key;
    RegCreateKeyExA(HKEY_CLASSES_ROOT, kHelpControlClsidKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                    &key, nullptr);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(path.c_str()),
                   static_cast<DWORD>(path.size() + 1));
    RegCloseKey(key);
  }

private:
  char saved_[MAX_PATH] = "";
  bool hadValue_ = false;
};

std::string DoublePath() {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string path = exe;
  return path.substr(0, path.find_last_of('\\') + 1) + "doubles\\hhctrl_double.dll";
}

class Help : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    realLoadLibrary = HookImport<LoadLibraryFn>("kernel32.dll", "LoadLibraryA", RecordLoadLibrary);
    realRegOpenKeyEx =
        HookImport<RegOpenKeyExFn>("advapi32.dll", "RegOpenKeyExA", RecordRegOpenKeyEx);
  }
  void SetUp() override {
    ASSERT_FALSE(LogPath().empty()) << "GYREL_DOUBLE_LOG is not set";
    std::remove(LogPath().c_str());
    settings = SaverSettings();
    settings.HelpFile = kDefaultHelpFile;
  }
};
} // namespace

TEST_F(Help, PopupAndContentsReachTheRegisteredControl) {
  HelpControlRegistration registration(DoublePath());
  ShowContextHelpPopup(nullptr, 1004, POINT{120, 340});
  ShowContextHelpPopup(nullptr, 0, POINT{5, 6}); // a control without a help id
  ShowHelpContents(nullptr);
  const std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), 3u);
  const std::string popupFile =
      "file=C:\\Program Files\\GyrelSaver\\GyrelSaver.chm::/HelpTopics.txt";
  const std::string record = " command=14 cb=" + std::to_string(sizeof(HH_POPUP)) +
                             " hinst=0 id=1004 text=0 pt=120,340 fg=00dddd bg=370000"
                             " margins=-1,-1,-1,-1 font=MS Sans Serif, 10, ,";
  EXPECT_EQ(lines[0], "owner=0 " + popupFile + record);
  EXPECT_NE(lines[1].find(" id=0 "), std::string::npos) << lines[1];
  EXPECT_EQ(lines[2],
            "owner=0 file=C:\\Program Files\\GyrelSaver\\GyrelSaver.chm command=1 data=0");
  ASSERT_FALSE(librariesLoaded.empty());
  EXPECT_EQ(librariesLoaded.front(), DoublePath());
  EXPECT_EQ(librariesLoaded.size(), 1u); // loaded once, kept
}

TEST_F(Help, FallsBackToTheBareNameWhenTheRegisteredPathFails) {
  HelpControlRegistration registration("C:\\nowhere\\missing-help-control.dll");
  InvokeHtmlHelp(nullptr, "nothing.chm", kHelpDisplayToc + 1000,
                 0); // an unknown command does nothing
  const std::vector<std::string> expected = {"C:\\nowhere\\missing-help-control.dll", "hhctrl.ocx"};
  EXPECT_EQ(librariesLoaded, expected);
}

// Run with the system's control disabled (WINEDLLOVERRIDES=hhctrl.ocx=d).
TEST_F(Help, AFailedLoadLatches) {
  HelpControlRegistration registration("C:\\nowhere\\missing-help-control.dll");
  EXPECT_EQ(InvokeHtmlHelp(nullptr, "x.chm", kHelpDisplayToc, 0), nullptr);
  EXPECT_EQ(classesRootOpens, 1);
  HelpControlRegistration::Set(DoublePath()); // now it could load, but no one looks again
  EXPECT_EQ(InvokeHtmlHelp(nullptr, "x.chm", kHelpDisplayToc, 0), nullptr);
  ShowHelpContents(nullptr);
  EXPECT_EQ(classesRootOpens, 1);
  EXPECT_EQ(librariesLoaded.size(), 2u);
  EXPECT_TRUE(LogLines().empty());
}
