// The real configuration dialog, run modally from template 2003 and driven
// the way a user's clicks arrive: scroll notifications from the trackbars and
// up-downs, check-box clicks, edit-box text, buttons. Runs under Wine.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "animation/saver_procedure.h"
#include "config/configure_dialog.h"
#include "host/host_state.h"
#include "resources/resource_ids.h"
#include "settings/saver_settings.h"
#include "tests/import_hook.h"

namespace {
const char *kKey = "Software\\Quorvel\\GyrelSaver";

// Calls the code under test made, recorded through its import table.
std::vector<std::pair<UINT_PTR, UINT>> timersSet; // id, period
std::vector<UINT_PTR> timersKilled;
std::vector<std::string> shellOpened;
std::vector<std::pair<std::string, std::string>> messageBoxes; // text, caption
using SetTimerFn = UINT_PTR(WINAPI *)(HWND, UINT_PTR, UINT, TIMERPROC);
using KillTimerFn = BOOL(WINAPI *)(HWND, UINT_PTR);
SetTimerFn realSetTimer;
KillTimerFn realKillTimer;

UINT_PTR WINAPI RecordSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC proc) {
  if (window) timersSet.push_back({id, period});
  return realSetTimer(window, id, period, proc);
}
BOOL WINAPI RecordKillTimer(HWND window, UINT_PTR id) {
  if (window) timersKilled.push_back(id);
  return realKillTimer(window, id);
}
// The message box is answered at once, as a user pressing OK would.
int WINAPI RecordMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT) {
  messageBoxes.push_back({text, caption});
  return IDOK;
}
HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT) {
  shellOpened.push_back(file);
  return reinterpret_cast<HINSTANCE>(42);
}

// The scenario runs inside the dialog's modal loop, from a thread timer.
std::function<void(HWND)> scenario;
bool scenarioRan = false;
void CALLBACK RunScenario(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowA(nullptr, "Configure GyrelSaver Screensaver");
  if (!dialog) return;
  KillTimer(nullptr, timer);
  scenarioRan = true;
  scenario(dialog);
}

INT_PTR RunDialog(std::function<void(HWND)> steps) {
  scenario = std::move(steps);
  scenarioRan = false;
  SetTimer(nullptr, 0, 20, RunScenario);
  const INT_PTR result = ShowConfigureDialog(nullptr);
  // Each saver process registers the preview class once; these tests open many dialogs.
  UnregisterClassA("GyrelClass", GetModuleHandleA(nullptr));
  EXPECT_TRUE(scenarioRan) << "the dialog did not open";
  return result;
}

// What a user's drag of a trackbar sends: the new position, then the scroll codes.
void DragTrackbar(HWND dialog, int id, int position) {
  HWND trackbar = GetDlgItem(dialog, id);
  SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
  SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position),
               reinterpret_cast<LPARAM>(trackbar));
  SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(trackbar));
}

void ClickUpDown(HWND dialog, int id, int position) {
  HWND upDown = GetDlgItem(dialog, id);
  SendMessageA(upDown, UDM_SETPOS32, 0, position);
  SendMessageA(dialog, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position),
               reinterpret_cast<LPARAM>(upDown));
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
int Position(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0));
}
int UpDownPosition(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, UDM_GETPOS32, 0, 0));
}
std::string Text(HWND dialog, int id) {
  char text[64] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

std::map<std::string, std::vector<BYTE>> RegistrySnapshot() {
  std::map<std::string, std::vector<BYTE>> values;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD nameSize = sizeof name, type = 0, size = 1024;
    std::vector<BYTE> data(1024);
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
      break;
    data.resize(size);
    data.insert(data.begin(), static_cast<BYTE>(type));
    values[name] = data;
  }
  RegCloseKey(key);
  return values;
}

DWORD StoredDword(const char *name) {
  DWORD value = 0xDEADBEEF, size = 4;
  RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
  return value;
}

class ConfigureDialog : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    hostState.instance = GetModuleHandleA(nullptr);
    realSetTimer = HookImport<SetTimerFn>("user32.dll", "SetTimer", RecordSetTimer);
    realKillTimer = HookImport<KillTimerFn>("user32.dll", "KillTimer", RecordKillTimer);
    HookImport("user32.dll", "MessageBoxA", RecordMessageBox);
    HookImport("shell32.dll", "ShellExecuteA", RecordShellExecute);
  }
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    timersSet.clear();
    timersKilled.clear();
    messageBoxes.clear();
    shellOpened.clear();
  }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
};
} // namespace

TEST_F(ConfigureDialog, OpensWithTheDefaults) {
  const INT_PTR result = RunDialog([](HWND dialog) {
    EXPECT_EQ(Position(dialog, IDC_SPEED), 500);
    EXPECT_EQ(Position(dialog, IDC_POINTS), 200);
    EXPECT_EQ(Position(dialog, IDC_PAUSE), 4);
    EXPECT_EQ(Position(dialog, IDC_BRIGHTNESS), 128);
    for (int id : {IDC_RED, IDC_GREEN, IDC_BLUE})
      EXPECT_EQ(Position(dialog, id), 100);
    EXPECT_EQ(UpDownPosition(dialog, IDC_MIN_COUNT), 3);
    EXPECT_EQ(UpDownPosition(dialog, IDC_MAX_COUNT), 5);
    EXPECT_EQ(Text(dialog, IDC_MIN_COUNT_TEXT), "3");
    EXPECT_EQ(Text(dialog, IDC_MAX_COUNT_TEXT), "5");
    EXPECT_FALSE(IsDlgButtonChecked(dialog, IDC_DONT_CHANGE_BACKGROUND));
    EXPECT_FALSE(IsDlgButtonChecked(dialog, IDC_USE_FIXED_FREQUENCY));
    EXPECT_TRUE(Enabled(dialog, IDC_USE_FIXED_FREQUENCY));
    EXPECT_FALSE(Enabled(dialog, IDC_FREQUENCY));
    EXPECT_EQ(Text(dialog, IDC_FREQUENCY), "1000");
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));
    EXPECT_EQ(animationWindow, GetDlgItem(dialog, IDC_PREVIEW));
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(RegistrySnapshot().empty()); // Cancel saves nothing
}

TEST_F(ConfigureDialog, OkSavesExactlyTheEditedValues) {
  const INT_PTR result = RunDialog([](HWND dialog) {
    DragTrackbar(dialog, IDC_SPEED, 251);
    DragTrackbar(dialog, IDC_POINTS, 700);
    DragTrackbar(dialog, IDC_PAUSE, 2);
    DragTrackbar(dialog, IDC_BRIGHTNESS, 200);
    DragTrackbar(dialog, IDC_RED, 50);
    DragTrackbar(dialog, IDC_GREEN, 0);
    DragTrackbar(dialog, IDC_BLUE, 75);
    ClickUpDown(dialog, IDC_MAX_COUNT, 9);
    ClickUpDown(dialog, IDC_MIN_COUNT, 4);
    Click(dialog, IDC_USE_FIXED_FREQUENCY);
    SetDlgItemTextA(dialog, IDC_FREQUENCY, "321");
    Click(dialog, IDC_DONT_CHANGE_BACKGROUND);
    Click(dialog, IDOK);
  });
  EXPECT_EQ(result, 1);
  const std::pair<const char *, DWORD> expected[] = {{"DrawSpeed", 250},
                                                     {"PointsPerCycle", 700},
                                                     {"RefreshPause", 2},
                                                     {"MaxBrightness", 200},
                                                     {"Red", 50},
                                                     {"Green", 0},
                                                     {"Blue", 75},
                                                     {"MinGyrels", 4},
                                                     {"MaxGyrels", 9},
                                                     {"ChangeFrequency", 321},
                                                     {"UseFixedFrequency", 1},
                                                     {"ChangeBackground", 0}};
  for (const auto &[name, value] : expected)
    EXPECT_EQ(StoredDword(name), value) << name;
  EXPECT_EQ(RegistrySnapshot().size(), 13u);
}

TEST_F(ConfigureDialog, CancelLeavesTheRegistryByteForByte) {
  SaverSettings stored;
  stored.SetDrawSpeed(77);
  stored.HelpFile = "C:\\somewhere\\help.chm";
  stored.Save();
  const auto before = RegistrySnapshot();
  const INT_PTR result = RunDialog([](HWND dialog) {
    DragTrackbar(dialog, IDC_SPEED, 10);
    DragTrackbar(dialog, IDC_RED, 3);
    ClickUpDown(dialog, IDC_MIN_COUNT, 12);
    Click(dialog, IDC_DONT_CHANGE_BACKGROUND);
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0); // Escape
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(RegistrySnapshot(), before);
}

TEST_F(ConfigureDialog, ResetBringsBackTheStoredValues) {
  SaverSettings stored;
  stored.SetDrawSpeed(250);
  stored.Red = 40;
  stored.MinGyrels = 2;
  stored.MaxGyrels = 6;
  stored.UseFixedFrequency = true;
  stored.Save();
  RunDialog([](HWND dialog) {
    EXPECT_EQ(Position(dialog, IDC_SPEED), 251); // a stored speed of 250
    DragTrackbar(dialog, IDC_SPEED, 400);
    DragTrackbar(dialog, IDC_RED, 90);
    ClickUpDown(dialog, IDC_MAX_COUNT, 15);
    Click(dialog, IDC_USE_FIXED_FREQUENCY);
    Click(dialog, IDC_RESET);
    EXPECT_EQ(Position(dialog, IDC_SPEED), 251);
    EXPECT_EQ(Position(dialog, IDC_RED), 40);
    EXPECT_EQ(UpDownPosition(dialog, IDC_MAX_COUNT), 6);
    EXPECT_TRUE(IsDlgButtonChecked(dialog, IDC_USE_FIXED_FREQUENCY));
    EXPECT_EQ(settings.DrawSpeed, 250u);
    EXPECT_EQ(settings.Red, 40u);
    Click(dialog, IDCANCEL);
  });
}

TEST_F(ConfigureDialog, SpeedSliderRestartsThePreviewTimer) {
  RunDialog([](HWND dialog) {
    const UINT_PTR previous = timerId;
    timersSet.clear();
    timersKilled.clear();
    DragTrackbar(dialog, IDC_SPEED, 1);
    EXPECT_EQ(settings.DrawSpeed, 500u);
    ASSERT_FALSE(timersKilled.empty());
    EXPECT_EQ(timersKilled.front(), previous);
    ASSERT_FALSE(timersSet.empty());
    EXPECT_EQ(timersSet.back().first, kAnimationTimer);
    EXPECT_EQ(timersSet.back().second, 500u);
    EXPECT_NE(timerId, 0u);
    Click(dialog, IDCANCEL);
  });
  // Ending the dialog destroys the preview, which stops its timer.
  ASSERT_FALSE(timersKilled.empty());
  EXPECT_EQ(timersKilled.back(), timerId);
}

TEST_F(ConfigureDialog, CurveCountsStayInOrder) {
  RunDialog([](HWND dialog) {
    ClickUpDown(dialog, IDC_MIN_COUNT, 8); // above the maximum of 5
    EXPECT_EQ(UpDownPosition(dialog, IDC_MAX_COUNT), 8);
    EXPECT_EQ(Text(dialog, IDC_MAX_COUNT_TEXT), "8");
    EXPECT_EQ(settings.MinGyrels, 8);
    EXPECT_EQ(settings.MaxGyrels, 8);
    ClickUpDown(dialog, IDC_MAX_COUNT, 2); // below the minimum
    EXPECT_EQ(UpDownPosition(dialog, IDC_MIN_COUNT), 2);
    EXPECT_EQ(settings.MinGyrels, 2);
    EXPECT_EQ(settings.MaxGyrels, 2);
    ClickUpDown(dialog, IDC_MIN_COUNT, 0);
    ClickUpDown(dialog, IDC_MAX_COUNT, 0);
    EXPECT_EQ(settings.MaxGyrels, 0); // pictures without curves
    Click(dialog, IDCANCEL);
  });
}

TEST_F(ConfigureDialog, FrequencyIsChecked) {
  RunDialog([](HWND dialog) {
    Click(dialog, IDC_USE_FIXED_FREQUENCY);
    struct Case {
      const char *text;
      bool message;
      unsigned frequency;
    };
    const Case cases[] = {{"1000", false, 1000}, {"7", false, 7},  {"0", true, 7},
                          {"1001", true, 7},     {"12a", true, 7}, {"", false, 7},
                          {"1", false, 1},       {"-5", true, 1}};
    for (const Case &c : cases) {
      messageBoxes.clear();
      SetDlgItemTextA(dialog, IDC_FREQUENCY, c.text);
      EXPECT_EQ(messageBoxes.size(), c.message ? 1u : 0u) << '"' << c.text << '"';
      if (c.message && !messageBoxes.empty()) {
        EXPECT_EQ(messageBoxes[0].first, "Frequency should be between 1 and 1000");
        EXPECT_EQ(messageBoxes[0].second, "GyrelSaver");
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_FREQUENCY));
      }
      EXPECT_EQ(settings.ChangeFrequency, c.frequency) << '"' << c.text << '"';
    }
    Click(dialog, IDCANCEL);
  });
}

TEST_F(ConfigureDialog, FrequencyControlsFollowTheCheckBoxes) {
  RunDialog([](HWND dialog) {
    struct State {
      bool box, edit;
    };
    const auto state = [&] {
      return State{Enabled(dialog, IDC_USE_FIXED_FREQUENCY), Enabled(dialog, IDC_FREQUENCY)};
    };
    EXPECT_TRUE(state().box);
    EXPECT_FALSE(state().edit); // changing, not fixed
    Click(dialog, IDC_USE_FIXED_FREQUENCY);
    EXPECT_TRUE(state().box);
    EXPECT_TRUE(state().edit); // changing, fixed
    Click(dialog, IDC_DONT_CHANGE_BACKGROUND);
    EXPECT_FALSE(state().box);
    EXPECT_FALSE(state().edit);              // not changing
    EXPECT_TRUE(settings.UseFixedFrequency); // disabling keeps the setting
    Click(dialog, IDC_DONT_CHANGE_BACKGROUND);
    EXPECT_TRUE(state().edit);
    Click(dialog, IDC_USE_FIXED_FREQUENCY);
    EXPECT_FALSE(state().edit);
    EXPECT_EQ(Text(dialog, IDC_FREQUENCY), "1000"); // the text stays
    Click(dialog, IDCANCEL);
  });
}

TEST_F(ConfigureDialog, PreviewAnimatesAndIgnoresTheMouse) {
  RunDialog([](HWND dialog) {
    HWND preview = GetDlgItem(dialog, IDC_PREVIEW);
    // What the screen shows where the preview is.
    const auto snapshot = [&] {
      RECT r;
      GetWindowRect(preview, &r);
      HDC screen = GetDC(nullptr);
      std::vector<COLORREF> pixels;
      for (int y = r.top; y < r.bottom; y += 4)
        for (int x = r.left; x < r.right; x += 4)
          pixels.push_back(GetPixel(screen, x, y));
      ReleaseDC(nullptr, screen);
      return pixels;
    };
    const auto pump = [](DWORD ms) {
      const DWORD end = GetTickCount() + ms;
      while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG msg; // one at a time: the preview's ticks can keep the queue full
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
          DispatchMessageA(&msg);
        else
          Sleep(5);
      }
    };
    // A modal dialog shows itself when its queue first runs idle, which a
    // preview ticking every millisecond may put off; show it now.
    ShowWindow(dialog, SW_SHOW);
    ClickUpDown(dialog, IDC_MAX_COUNT, 20);
    ClickUpDown(dialog, IDC_MIN_COUNT, 20);
    DragTrackbar(dialog, IDC_POINTS, 5); // slow growth: the picture keeps changing
    pump(300);
    const auto first = snapshot();
    for (UINT message : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN, WM_MOUSEMOVE})
      EXPECT_EQ(SendMessageA(preview, message, 0, MAKELPARAM(20, 20)), 1);
    pump(500);
    const auto second = snapshot();
    EXPECT_NE(second, first);
    EXPECT_NE(second.front(), CLR_INVALID);
    EXPECT_TRUE(IsWindow(preview));
    EXPECT_TRUE(IsWindow(dialog));
    Click(dialog, IDCANCEL);
  });
}

TEST_F(ConfigureDialog, AboutBoxClosesOnlyWithOkAndOpensThePages) {
  RunDialog([](HWND dialog) {
    static int checks;
    checks = 0;
    SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR timer, DWORD) {
      HWND about = FindWindowA(nullptr, "About GyrelSaver...");
      if (!about) return;
      KillTimer(nullptr, timer);
      SendMessageA(about, WM_COMMAND, IDCANCEL, 0); // Escape
      EXPECT_TRUE(IsWindowVisible(about));
      EXPECT_EQ(GetWindowLongPtrA(about, GWL_STYLE) & WS_SYSMENU, 0);
      SendMessageA(GetDlgItem(about, IDC_WEBSITE), BM_CLICK, 0, 0);
      SendMessageA(GetDlgItem(about, IDC_FEEDBACK), BM_CLICK, 0, 0);
      SendMessageA(GetDlgItem(about, IDC_WEBSITE), BM_CLICK, 0, 0);
      EXPECT_TRUE(IsWindowVisible(about));
      ++checks;
      SendMessageA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    });
    Click(dialog, IDC_ABOUT); // returns when the box has closed
    EXPECT_EQ(checks, 1);
    Click(dialog, IDCANCEL);
  });
  const std::vector<std::string> expected = {"https://www.quorvel.com/GyrelSaver",
                                             "https://www.quorvel.com/GyrelSaver/feedback.html",
                                             "https://www.quorvel.com/GyrelSaver"};
  EXPECT_EQ(shellOpened, expected);
}
