// The real configuration dialog from template 2003, driven the way a user's
// clicks arrive (scroll notifications, check boxes, edit text, buttons),
// with the registry and the preview's pixels read back. Runs under Wine.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "animation/saver_procedure.h"
#include "figure/background.h"
#include "host/host_state.h"
#include "resources/resource_ids.h"
#include "settings/saver_settings.h"
#include "tests/import_hook.h"

namespace {
const char *kKey = "Software\\Quorvel\\GyrelSaver";
std::vector<std::pair<UINT_PTR, UINT>> timersSet; // id, period
std::vector<std::string> messages, pagesOpened;
decltype(&SetTimer) realSetTimer;

UINT_PTR WINAPI RecordSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC proc) {
  if (window) timersSet.push_back({id, period});
  return realSetTimer(window, id, period, proc);
}
int WINAPI AnswerMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT) {
  messages.push_back(std::string(caption) + ": " + text);
  return IDOK;
}
HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT) {
  pagesOpened.push_back(file);
  return reinterpret_cast<HINSTANCE>(42);
}

// Runs `steps` inside the dialog's modal loop, from a thread timer; returns the dialog's result.
std::function<void(HWND)> scenario;
INT_PTR RunDialog(std::function<void(HWND)> steps) {
  scenario = std::move(steps);
  SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR timer, DWORD) {
    if (HWND dialog = FindWindowA(nullptr, "Configure GyrelSaver Screensaver")) {
      KillTimer(nullptr, timer);
      ShowWindow(dialog, SW_SHOW); // a ticking preview can put off the first idle show
      scenario(dialog);
    }
  });
  const INT_PTR result = ShowConfigureDialog(nullptr);
  UnregisterClassA("GyrelClass", GetModuleHandleA(nullptr)); // a saver registers it once
  return result;
}

void Drag(HWND dialog, int id, int position) { // what a trackbar sends as it is dragged
  HWND trackbar = GetDlgItem(dialog, id);
  SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
  SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), LPARAM(trackbar));
}
void Spin(HWND dialog, int id, int position) {
  HWND upDown = GetDlgItem(dialog, id);
  SendMessageA(upDown, UDM_SETPOS32, 0, position);
  SendMessageA(dialog, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position), LPARAM(upDown));
}
void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
int Position(HWND dialog, int id) { return int(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0)); }
int Spun(HWND dialog, int id) { return int(SendDlgItemMessageA(dialog, id, UDM_GETPOS32, 0, 0)); }

DWORD Stored(const char *name) {
  DWORD value = 0xDEADBEEF, size = 4;
  RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
  return value;
}

// Every fourth pixel of the preview, as it shows now.
std::vector<COLORREF> PreviewPixels(HWND dialog) {
  HWND preview = GetDlgItem(dialog, IDC_PREVIEW);
  RECT r;
  GetClientRect(preview, &r);
  HDC dc = GetDC(preview);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < r.bottom; y += 4)
    for (int x = 0; x < r.right; x += 4)
      pixels.push_back(GetPixel(dc, x, y));
  ReleaseDC(preview, dc);
  return pixels;
}

class ConfigureDialog : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    hostState.instance = GetModuleHandleA(nullptr);
    realSetTimer = HookImport("user32.dll", "SetTimer", RecordSetTimer);
    HookImport("user32.dll", "MessageBoxA", AnswerMessageBox);
    HookImport("shell32.dll", "ShellExecuteA", RecordShellExecute);
  }
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
    timersSet.clear();
    messages.clear();
  }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel"); }
};
} // namespace

TEST_F(ConfigureDialog, OkStoresTheEditedValuesCancelNothing) {
  EXPECT_EQ(RunDialog([](HWND dialog) {
              EXPECT_EQ(Position(dialog, IDC_SPEED), 500);
              EXPECT_EQ(Spun(dialog, IDC_MAX_COUNT), 5);
              Drag(dialog, IDC_RED, 3);
              Click(dialog, IDC_DONT_CHANGE_BACKGROUND);
              Click(dialog, IDCANCEL);
            }),
            0);
  HKEY key;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_EQ(RunDialog([](HWND dialog) {
              Drag(dialog, IDC_SPEED, 251);
              Drag(dialog, IDC_POINTS, 700);
              Drag(dialog, IDC_PAUSE, 2);
              Drag(dialog, IDC_BRIGHTNESS, 200);
              Drag(dialog, IDC_GREEN, 0);
              Spin(dialog, IDC_MIN_COUNT, 8); // above the maximum: the maximum follows
              EXPECT_EQ(Spun(dialog, IDC_MAX_COUNT), 8);
              Spin(dialog, IDC_MAX_COUNT, 0); // below the minimum: the minimum follows
              EXPECT_EQ(Spun(dialog, IDC_MIN_COUNT), 0);
              Click(dialog, IDC_USE_FIXED_FREQUENCY);
              SetDlgItemTextA(dialog, IDC_FREQUENCY, "321");
              Click(dialog, IDC_DONT_CHANGE_BACKGROUND);
              Click(dialog, IDOK);
            }),
            1);
  const std::pair<const char *, DWORD> expected[] = {
      {"DrawSpeed", 250},     {"PointsPerCycle", 700},
      {"RefreshPause", 2},    {"MaxBrightness", 200},
      {"Green", 0},           {"MinGyrels", 0},
      {"MaxGyrels", 0},       {"ChangeFrequency", 321},
      {"Red", 100},           {"UseFixedFrequency", 1},
      {"ChangeBackground", 0}};
  for (const auto &[name, value] : expected)
    EXPECT_EQ(Stored(name), value) << name;
  SaverSettings loaded; // what was saved is what runs: no curves
  loaded.Load();
  EXPECT_EQ(loaded.MaxGyrels, 0);
}

TEST_F(ConfigureDialog, ARefusedSaveIsReportedAndKeepsTheDialogOpen) {
  HKEY parent; // below a volatile key no lasting key can be made
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quorvel", 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &parent, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(parent);
  EXPECT_EQ(RunDialog([](HWND dialog) {
              Click(dialog, IDOK);
              EXPECT_TRUE(IsWindow(dialog));
              Click(dialog, IDCANCEL);
            }),
            0);
  EXPECT_EQ(messages, std::vector<std::string>{"GyrelSaver: The settings could not be saved."});
}

// Each change shows at once: new ranges, a new picture, the timer at the slider's speed.
TEST_F(ConfigureDialog, ThePreviewFollowsEveryChangeAndReset) {
  SaverSettings stored;
  stored.SetDrawSpeed(250);
  stored.Save();
  RunDialog([](HWND dialog) {
    struct Step {
      const char *what;
      std::function<void()> act;
      int centreRed; // the centre walker's upper red bound after the step
    };
    const Step steps[] = {
        {"red slider", [=] { Drag(dialog, IDC_RED, 50); }, 64},
        {"brightness slider", [=] { Drag(dialog, IDC_BRIGHTNESS, 200); }, 100},
        {"speed slider", [=] { Drag(dialog, IDC_SPEED, 400); }, 100},
        {"fixed frequency box", [=] { Click(dialog, IDC_USE_FIXED_FREQUENCY); }, 100},
        {"frequency", [=] { SetDlgItemTextA(dialog, IDC_FREQUENCY, "999"); }, 100},
        {"reset", [=] { Click(dialog, IDC_RESET); }, 128},
    };
    for (const Step &step : steps) {
      const std::vector<COLORREF> before = PreviewPixels(dialog);
      step.act();
      EXPECT_NE(PreviewPixels(dialog), before) << step.what;
      EXPECT_EQ(centerWalker.upperBound[0], step.centreRed) << step.what;
    }
    EXPECT_EQ(centerWalker.changeChance[0], 1000); // Reset: not fixed any more
    EXPECT_EQ(Position(dialog, IDC_SPEED), 251);
    ASSERT_GE(timersSet.size(), 2u);
    EXPECT_EQ(timersSet[timersSet.size() - 2], (std::pair<UINT_PTR, UINT>{1, 101}));
    EXPECT_EQ(timersSet.back(), (std::pair<UINT_PTR, UINT>{1, 250})); // Reset's speed
    Click(dialog, IDCANCEL);
  });
}

// The character set byte of a DIALOGEX template's font.
int TemplateCharset(int id) {
  auto *p = static_cast<const WORD *>(
      LockResource(LoadResource(nullptr, FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_DIALOG))));
  p += 13;                                  // version to cy
  for (int field = 0; field < 3; ++field) { // menu, class, title
    if (*p == 0xFFFF)
      p += 2;
    else
      while (*p++) {
      }
  }
  return reinterpret_cast<const BYTE *>(p)[5]; // after point size, weight and italic
}

TEST_F(ConfigureDialog, DialogFontsAskForTheirCharacterSets) {
  EXPECT_EQ(TemplateCharset(IDD_CONFIGURE), DEFAULT_CHARSET);
  EXPECT_EQ(TemplateCharset(IDD_ABOUT), ANSI_CHARSET);
}

TEST_F(ConfigureDialog, FrequencyIsChecked) {
  RunDialog([](HWND dialog) {
    Click(dialog, IDC_USE_FIXED_FREQUENCY);
    const std::tuple<const char *, bool, unsigned> cases[] = {
        {"7", false, 7}, {"0", true, 7},  {"1001", true, 7},    {"12a", true, 7},
        {"", false, 7},  {"1", false, 1}, {"1000", false, 1000}};
    for (const auto &[text, complains, frequency] : cases) {
      messages.clear();
      SetDlgItemTextA(dialog, IDC_FREQUENCY, text);
      EXPECT_EQ(messages.size(), complains ? 1u : 0u) << '"' << text << '"';
      EXPECT_EQ(settings.ChangeFrequency, frequency) << '"' << text << '"';
    }
    EXPECT_EQ(messages, std::vector<std::string>{});
    SetDlgItemTextA(dialog, IDC_FREQUENCY, "0");
    EXPECT_EQ(messages.back(), "GyrelSaver: Frequency should be between 1 and 1000");
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_FREQUENCY));
    Click(dialog, IDC_DONT_CHANGE_BACKGROUND); // not changing: box and frequency disabled
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_USE_FIXED_FREQUENCY)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_FREQUENCY)));
    Click(dialog, IDCANCEL);
  });
}

TEST_F(ConfigureDialog, AboutBoxOpensThePagesAndClosesWithOk) {
  RunDialog([](HWND dialog) {
    SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR timer, DWORD) {
      HWND about = FindWindowA(nullptr, "About GyrelSaver...");
      if (!about) return;
      KillTimer(nullptr, timer);
      SendMessageA(about, WM_COMMAND, IDCANCEL, 0); // Escape does nothing
      EXPECT_TRUE(IsWindowVisible(about));
      for (int id : {IDC_WEBSITE, IDC_FEEDBACK, IDOK})
        SendMessageA(GetDlgItem(about, id), BM_CLICK, 0, 0);
    });
    Click(dialog, IDC_ABOUT); // returns when the box has closed
    Click(dialog, IDCANCEL);
  });
  const std::vector<std::string> expected = {"https://www.quorvel.com/GyrelSaver",
                                             "https://www.quorvel.com/GyrelSaver/feedback.html"};
  EXPECT_EQ(pagesOpened, expected);
}
