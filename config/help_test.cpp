// The help entry points against a test double of the HTML Help control.
// Each scenario runs in a process of its own (the control is loaded once per
// process); CTest passes the filter, a Wine DLL override where one is needed,
// and runs the fallback case from a folder with a double planted as hhctrl.ocx.
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
std::vector<std::string> loads; // "name" or "name from system32"
int classesRootOpens = 0;
decltype(&LoadLibraryA) realLoadLibrary;
decltype(&LoadLibraryExA) realLoadLibraryEx;
decltype(&RegOpenKeyExA) realRegOpenKeyEx;

HMODULE WINAPI RecordLoadLibrary(LPCSTR name) {
  loads.push_back(name);
  return realLoadLibrary(name);
}
HMODULE WINAPI RecordLoadLibraryEx(LPCSTR name, HANDLE file, DWORD flags) {
  loads.push_back(std::string(name) +
                  (flags == LOAD_LIBRARY_SEARCH_SYSTEM32 ? " from system32" : " ?"));
  return realLoadLibraryEx(name, file, flags);
}
LONG WINAPI RecordRegOpenKeyEx(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key) {
  classesRootOpens += root == HKEY_CLASSES_ROOT;
  return realRegOpenKeyEx(root, path, options, access, key);
}

std::vector<std::string> DoubleLog() {
  std::vector<std::string> lines;
  std::ifstream log(std::getenv("GYREL_DOUBLE_LOG"));
  for (std::string line; std::getline(log, line);)
    lines.push_back(line);
  return lines;
}

void Register(const std::string &path) {
  RegSetKeyValueA(HKEY_CLASSES_ROOT, kHelpControlClsidKey, nullptr, REG_SZ, path.c_str(),
                  DWORD(path.size() + 1));
}

std::string DoublePath() {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const std::string path = exe;
  return path.substr(0, path.find_last_of('\\') + 1) + "doubles\\hhctrl_double.dll";
}

class Help : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    realLoadLibrary = HookImport("kernel32.dll", "LoadLibraryA", RecordLoadLibrary);
    realLoadLibraryEx = HookImport("kernel32.dll", "LoadLibraryExA", RecordLoadLibraryEx);
    realRegOpenKeyEx = HookImport("advapi32.dll", "RegOpenKeyExA", RecordRegOpenKeyEx);
  }
  void SetUp() override {
    ASSERT_NE(std::getenv("GYREL_DOUBLE_LOG"), nullptr);
    std::remove(std::getenv("GYREL_DOUBLE_LOG"));
    settings.HelpFile = kDefaultHelpFile;
  }
  void TearDown() override { Register(original); } // the prefix keeps its registration
  static inline std::string original = [] {
    char path[MAX_PATH] = "";
    DWORD size = sizeof path;
    RegGetValueA(HKEY_CLASSES_ROOT, kHelpControlClsidKey, nullptr, RRF_RT_REG_SZ, nullptr, path,
                 &size);
    return std::string(path);
  }();
};
} // namespace

TEST_F(Help, PopupAndContentsReachTheRegisteredControl) {
  Register(DoublePath());
  ShowContextHelpPopup(nullptr, 1004, POINT{120, 340});
  ShowHelpContents(nullptr);
  const std::vector<std::string> expected = {
      "loaded",
      "owner=0 file=C:\\Program Files\\GyrelSaver\\GyrelSaver.chm::/HelpTopics.txt command=14 cb=" +
          std::to_string(sizeof(HH_POPUP)) +
          " hinst=0 id=1004 text=0 pt=120,340 fg=00dddd bg=370000 margins=-1,-1,-1,-1"
          " font=MS Sans Serif, 10, ,",
      "owner=0 file=C:\\Program Files\\GyrelSaver\\GyrelSaver.chm command=1 data=0"};
  EXPECT_EQ(DoubleLog(), expected);
  EXPECT_EQ(loads, std::vector<std::string>{DoublePath()}); // loaded once, kept
}

// Run beside a planted hhctrl.ocx (the double): only the system's copy may load.
TEST_F(Help, FallsBackToTheSystemCopyOnly) {
  Register("C:\\nowhere\\missing-help-control.dll");
  InvokeHtmlHelp(nullptr, "nothing.chm", kHelpDisplayToc + 1000, 0); // unknown: does nothing
  const std::vector<std::string> expected = {"C:\\nowhere\\missing-help-control.dll",
                                             "hhctrl.ocx from system32"};
  EXPECT_EQ(loads, expected);
  EXPECT_EQ(DoubleLog(), std::vector<std::string>{}) << "the planted control was run";
}

// Run with the system's control disabled (WINEDLLOVERRIDES=hhctrl.ocx=d).
TEST_F(Help, AFailedLoadLatches) {
  Register("C:\\nowhere\\missing-help-control.dll");
  EXPECT_EQ(InvokeHtmlHelp(nullptr, "x.chm", kHelpDisplayToc, 0), nullptr);
  Register(DoublePath()); // now it could load, but no one looks again
  ShowHelpContents(nullptr);
  EXPECT_EQ(classesRootOpens, 1);
  EXPECT_EQ(loads.size(), 2u);
  EXPECT_TRUE(DoubleLog().empty());
}
