// The real configuration dialog, driven the way a user's clicks arrive, with
// the registry, the preview's pixels and the help control's calls read back.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <htmlhelp.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "animation/saver_procedure.h"
#include "figure/background.h"
#include "host/host_state.h"
#include "resources/resource_ids.h"
#include "settings/saver_settings.h"
#include "tests/import_hook.h"
#include "tests/settings_text.h"

namespace {
std::vector<std::string> calls; // timers set, message boxes shown and help asked, in order
decltype(&SetTimer) realSetTimer;
UINT_PTR WINAPI RecordSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC proc) {
  if (window) calls.push_back("timer " + std::to_string(id) + " " + std::to_string(period));
  return realSetTimer(window, id, period, proc);
}
int WINAPI AnswerMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT) {
  calls.push_back(std::string(caption) + ": " + text);
  return IDOK;
}
HWND WINAPI RecordHtmlHelp(HWND, LPCSTR file, UINT command, DWORD_PTR data) {
  const auto &p = *reinterpret_cast<const HH_POPUP *>(data);
  std::string asked = file;
  for (const auto value : {LONG(command), LONG(p.cbStruct), LONG(p.idString), p.pt.x, p.pt.y})
    asked.append(" ").append(std::to_string(value));
  return calls.push_back(asked), nullptr;
}
std::string helpLoad; // the help control's name and the flags it was loaded with
decltype(&LoadLibraryExA) realLoadLibraryEx;
HMODULE WINAPI RecordLoadLibraryEx(LPCSTR path, HANDLE file, DWORD flags) {
  helpLoad = std::string(std::strrchr(path, '\\') + 1) + " " + std::to_string(flags);
  return realLoadLibraryEx(path, file, flags);
}
int backgrounds; // gradient fills drawn, each also drawn for real
decltype(&GradientFill) realGradientFill;
BOOL WINAPI CountGradientFill(HDC dc, PTRIVERTEX v, ULONG n, PVOID mesh, ULONG count, ULONG mode) {
  return ++backgrounds, realGradientFill(dc, v, n, mesh, count, mode);
}
decltype(&GetProcAddress) realGetProcAddress;
FARPROC WINAPI AnswerHelpEntry(HMODULE module, LPCSTR name) {
  return name == MAKEINTRESOURCEA(14) ? FARPROC(reinterpret_cast<void *>(RecordHtmlHelp))
                                      : realGetProcAddress(module, name);
}

// Runs `steps` inside the modal loop of the dialog the saver's entry shows for
// `tail`, from a thread timer, and returns its result. On the way it checks the
// owner: the window `tail` gives, else the foreground one; none without a switch.
std::function<void(HWND)> scenario;
HWND given, foreground, expectedOwner;
std::string besideHelp; // where the help is found with none installed: beside the program
INT_PTR RunDialog(std::function<void(HWND)> steps, const char *tail, HWND owner) {
  scenario = std::move(steps);
  expectedOwner = owner;
  calls.clear();
  SetForegroundWindow(foreground);
  SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR timer, DWORD) {
    if (HWND dialog = FindWindowA(nullptr, "Configure GyrelSaver Screensaver")) {
      KillTimer(nullptr, timer);
      ShowWindow(dialog, SW_SHOW); // a ticking preview can put off the first idle show
      EXPECT_EQ(GetWindow(dialog, GW_OWNER), expectedOwner);
      scenario(dialog);
    }
  });
  SCOPED_TRACE(std::string("command line \"") + tail + "\"");
  const INT_PTR result = SaverMain(hostState.instance, tail);
  SetUnhandledExceptionFilter(nullptr);                      // the entry's fault guard
  UnregisterClassA("GyrelClass", GetModuleHandleA(nullptr)); // a saver registers it once
  return result;
}

void Send(HWND dialog, int id, UINT message, int position) { // what a dragged control sends
  HWND control = GetDlgItem(dialog, id);
  SendMessageA(control, message == WM_HSCROLL ? TBM_SETPOS : UDM_SETPOS32, message == WM_HSCROLL,
               position);
  SendMessageA(dialog, message, MAKEWPARAM(SB_THUMBPOSITION, position), LPARAM(control));
}
void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
int Spun(HWND dialog, int id) { return int(SendDlgItemMessageA(dialog, id, UDM_GETPOS32, 0, 0)); }

std::string Stored() { // what loads from what the dialog wrote
  SaverSettings stored;
  stored.Load();
  return SettingsText(stored);
}

// With `mark`, covers the preview with a colour no picture has (red stays below 255); whether
// its centre has it, read through a cache DC (the preview's own keeps the picture's mapping).
bool Marked(HWND dialog, bool mark = false) {
  HWND preview = GetDlgItem(dialog, IDC_PREVIEW);
  HDC dc = GetDCEx(preview, nullptr, DCX_CACHE);
  RECT all;
  GetClientRect(preview, &all);
  SetDCBrushColor(dc, RGB(255, 0, 255));
  if (mark) FillRect(dc, &all, HBRUSH(GetStockObject(DC_BRUSH)));
  const bool marked = GetPixel(dc, all.right / 2, all.bottom / 2) == RGB(255, 0, 255);
  ReleaseDC(preview, dc);
  return marked;
}

class ConfigureDialog : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    hostState.instance = GetModuleHandleA(nullptr);
    char program[MAX_PATH];
    besideHelp.assign(program, GetModuleFileNameA(nullptr, program, MAX_PATH));
    besideHelp.replace(besideHelp.rfind('\\') + 1, std::string::npos, "GyrelSaver.chm");
    realSetTimer = HookImport("user32.dll", "SetTimer", RecordSetTimer);
    HookImport("user32.dll", "MessageBoxA", AnswerMessageBox);
    HookTickCount();
    realGetProcAddress = HookImport("kernel32.dll", "GetProcAddress", AnswerHelpEntry);
    realLoadLibraryEx = HookImport("kernel32.dll", "LoadLibraryExA", RecordLoadLibraryEx);
    realGradientFill = HookImport("msimg32.dll", "GradientFill", CountGradientFill);
    given = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                            nullptr, nullptr);
    foreground = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 60, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
  }
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel"); }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel"); }
};
} // namespace

// OK stores every edited value (1 from the entry); a refused save keeps the
// dialog, having tried every value.
TEST_F(ConfigureDialog, OkStoresTheEditedValues) {
  const auto edit = [](HWND dialog) {
    const int slid[][2] = {{IDC_SPEED, 251},      {IDC_POINTS, 700}, {IDC_PAUSE, 2},
                           {IDC_BRIGHTNESS, 200}, {IDC_GREEN, 0},    {IDC_BLUE, 40}};
    for (auto [id, position] : slid)
      Send(dialog, id, WM_HSCROLL, position);
    Send(dialog, IDC_MIN_COUNT, WM_VSCROLL, 8); // above the maximum: it follows
    EXPECT_EQ(Spun(dialog, IDC_MAX_COUNT), 8);
    Send(dialog, IDC_MAX_COUNT, WM_VSCROLL, 0); // below the minimum: it follows
    EXPECT_EQ(Spun(dialog, IDC_MIN_COUNT), 0);
    Click(dialog, IDC_USE_FIXED_FREQUENCY);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_FREQUENCY))) << "ticked: a user can type";
    SetDlgItemTextA(dialog, IDC_FREQUENCY, "321");
    Click(dialog, IDC_DONT_CHANGE_BACKGROUND);
    Click(dialog, IDC_PICTURE_ON_EACH_MONITOR);
    Click(dialog, IDC_FINE_CURVES);
    Click(dialog, IDC_SMOOTH_CURVES);
    Click(dialog, IDOK);
  };
  EXPECT_EQ(RunDialog(edit, ("-C:" + std::to_string(UINT_PTR(given))).c_str(), given), 1);
  EXPECT_EQ(Stored(), " DrawSpeed=250 MinGyrels=0 MaxGyrels=0 MaxBrightness=200 PointsPerCycle=700"
                      " Red=100 Green=0 Blue=40 ChangeFrequency=321 RefreshPause=2 PauseTicks=0"
                      " UseFixedFrequency=1 ChangeBackground=0 PictureOnEachMonitor=1"
                      " FineCurves=1 SmoothCurves=1 HelpFile=" +
                          besideHelp + " ");
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
  static decltype(&RegSetValueExA) realSetValue; // the registry refuses the speed
  realSetValue = HookImport(
      "advapi32.dll", "RegSetValueExA",
      +[](HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE *data, DWORD size) -> LONG {
        if (std::string(name) != "DrawSpeed") return realSetValue(key, name, 0, type, data, size);
        return ERROR_ACCESS_DENIED;
      });
  const auto refusedSave = [](HWND dialog) {
    Send(dialog, IDC_BLUE, WM_HSCROLL, 40);
    Click(dialog, IDOK);
    EXPECT_TRUE(IsWindow(dialog)) << "a refused save keeps the dialog open";
    Click(dialog, IDCANCEL);
  };
  EXPECT_EQ(RunDialog(refusedSave, "/c:99999", foreground), 0);
  HookImport("advapi32.dll", "RegSetValueExA", realSetValue);
  EXPECT_EQ(calls.back(), "GyrelSaver: The settings could not be saved.");
  EXPECT_NE(Stored().find(" Blue=40 "), std::string::npos) << "the values after the refused one";
}

// The controls show what is stored; each change shows at once (new ranges, a new
// picture, the timer at the slider's speed); help on a control; Cancel stores nothing.
TEST_F(ConfigureDialog, ControlsPreviewAndHelpFollowTheSettings) {
  SaverSettings stored;
  stored.Load(); // the defaults, the help file among them
  stored.SetDrawSpeed(250);
  stored.SetRefreshPause(2);
  std::tie(stored.PointsPerCycle, stored.Green, stored.Blue, stored.ChangeFrequency) =
      std::tuple(700u, 60u, 90u, 55u);
  std::tie(stored.MinGyrels, stored.MaxGyrels, stored.PictureOnEachMonitor, stored.FineCurves,
           stored.SmoothCurves) = std::tuple(2, 7, true, true, true);
  stored.Save();
  RunDialog(
      [](HWND dialog) {
        // Filling the controls at the start renewed no picture: a second on, the
        // preview goes on with the one it began with.
        backgrounds = 0;
        clockOffset += 1100;
        SendDlgItemMessageA(dialog, IDC_PREVIEW, WM_TIMER, kAnimationTimer, 0);
        EXPECT_EQ(backgrounds, 0) << "the preview was restarted";
        std::string shown;
        for (int id :
             {IDC_SPEED, IDC_PAUSE, IDC_BRIGHTNESS, IDC_POINTS, IDC_RED, IDC_GREEN, IDC_BLUE})
          shown += std::to_string(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0)) + " ";
        for (int id : {IDC_DONT_CHANGE_BACKGROUND, IDC_USE_FIXED_FREQUENCY,
                       IDC_PICTURE_ON_EACH_MONITOR, IDC_FINE_CURVES, IDC_SMOOTH_CURVES})
          shown += std::to_string(IsDlgButtonChecked(dialog, id)) + " ";
        const auto fineBoxEnabled = [=] {
          return IsWindowEnabled(GetDlgItem(dialog, IDC_FINE_CURVES));
        };
        shown += std::to_string(fineBoxEnabled()) + " "; // greyed while smooth curves are on
        EXPECT_EQ(shown + std::to_string(Spun(dialog, IDC_MIN_COUNT)) + "-" +
                      std::to_string(Spun(dialog, IDC_MAX_COUNT)) + " " +
                      std::to_string(GetDlgItemInt(dialog, IDC_FREQUENCY, nullptr, FALSE)),
                  "251 2 128 700 100 60 90 0 0 1 1 1 0 2-7 55");
        const std::tuple<const char *, std::function<void()>, int> steps[] = {
            {"red slider", [=] { Send(dialog, IDC_RED, WM_HSCROLL, 50); }, 64},
            {"brightness", [=] { Send(dialog, IDC_BRIGHTNESS, WM_HSCROLL, 200); }, 100},
            {"speed slider", [=] { Send(dialog, IDC_SPEED, WM_HSCROLL, 400); }, 100},
            {"smooth curves box", [=] { Click(dialog, IDC_SMOOTH_CURVES); }, 100},
            {"fine curves box", [=] { Click(dialog, IDC_FINE_CURVES); }, 100},
            {"fixed frequency box", [=] { Click(dialog, IDC_USE_FIXED_FREQUENCY); }, 100},
            {"frequency", [=] { SetDlgItemTextA(dialog, IDC_FREQUENCY, "999"); }, 100},
            {"points slider", [=] { Send(dialog, IDC_POINTS, WM_HSCROLL, 300); }, 100},
            {"pause slider", [=] { Send(dialog, IDC_PAUSE, WM_HSCROLL, 5); }, 100},
            {"minimum count", [=] { Send(dialog, IDC_MIN_COUNT, WM_VSCROLL, 3); }, 100},
            {"reset", [=] { Click(dialog, IDC_RESET); }, 128}};
        for (const auto &[what, act, centreRed] : steps) {
          ASSERT_TRUE(Marked(dialog, true));
          clockOffset += 1000; // a new background may come
          act();
          EXPECT_FALSE(Marked(dialog)) << what << ": the picture was not renewed";
          EXPECT_EQ(centerWalker.upperBound[0], centreRed) << what;
        }
        EXPECT_EQ(centerWalker.changeChance[0], 1000); // Reset: not fixed any more
        EXPECT_FALSE(fineBoxEnabled()) << "Reset: smooth again";
        EXPECT_EQ(calls.front() + calls.end()[-2] + calls.back(), // stored, slider's, Reset's speed
                  "timer 1 250timer 1 101timer 1 250");
        Click(dialog, IDC_USE_FIXED_FREQUENCY); // the frequency box takes digits from 1 to 1000
        for (const char *text : {"7", "0", "1001", "12a", "", "1"}) {
          SetDlgItemTextA(dialog, IDC_FREQUENCY, text);
          calls.push_back(std::to_string(settings.ChangeFrequency));
        }
        const std::string no = "GyrelSaver: Frequency should be between 1 and 1000";
        EXPECT_EQ(std::vector<std::string>(calls.end() - 9, calls.end()),
                  (std::vector<std::string>{"7", no, "7", no, "7", no, "7", "7", "1"}));
        Click(dialog, IDC_DONT_CHANGE_BACKGROUND); // not changing: box and frequency disabled
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_USE_FIXED_FREQUENCY)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_FREQUENCY)));
        // Help on a control: its topic popped up at the mouse through the entry answered above.
        HELPINFO help{sizeof help, HELPINFO_WINDOW, IDC_POINTS, nullptr, 1002, {120, 340}};
        SendMessageA(dialog, WM_HELP, 0, LPARAM(&help));
        EXPECT_EQ(calls.back(), besideHelp + "::/HelpTopics.txt 14 " +
                                    std::to_string(sizeof(HH_POPUP)) + " 1002 120 340");
        help.iCtrlId = IDC_SMOOTH_CURVES, help.dwContextId = 1011; // the smooth box's topic
        SendMessageA(dialog, WM_HELP, 0, LPARAM(&help));
        EXPECT_EQ(calls.back(), besideHelp + "::/HelpTopics.txt 14 " +
                                    std::to_string(sizeof(HH_POPUP)) + " 1011 120 340");
        // by its full path, what it needs from the system directory only
        EXPECT_EQ(helpLoad, "hhctrl.ocx " + std::to_string(LOAD_LIBRARY_SEARCH_SYSTEM32));
        Click(dialog, IDCANCEL);
      },
      "", nullptr);
  EXPECT_EQ(Stored(), SettingsText(stored));
}

// What a policy sets shows greyed with its labels and buddy, under a line saying so; recommended
// values start where the user has none; OK keeps the user's own and writes no policy.
TEST_F(ConfigureDialog, ManagedSettingsAreShownGreyedAndKept) {
  const auto set = [](HKEY root, const char *path, const char *name, DWORD value) {
    RegSetKeyValueA(root, path, name, REG_DWORD, &value, 4);
  };
  set(HKEY_CURRENT_USER, kSettingsKeyPath, "DrawSpeed", 100);
  set(HKEY_CURRENT_USER, kSettingsKeyPath, "SmoothCurves", 0);
  set(HKEY_LOCAL_MACHINE, kPolicyKeyPath, "DrawSpeed", 9);
  set(HKEY_CURRENT_USER, kPolicyKeyPath, "MaxGyrels", 4);
  set(HKEY_LOCAL_MACHINE, kPolicyKeyPath, "SmoothCurves", 1);
  set(HKEY_LOCAL_MACHINE, kPolicyKeyPath, "UseFixedFrequency", 0);
  set(HKEY_CURRENT_USER, kRecommendedKeyPath, "Red", 20);
  set(HKEY_LOCAL_MACHINE, kRecommendedKeyPath, "Blue", 30); // changed below: then stored
  RunDialog(
      [](HWND dialog) {
        std::string enabled;
        for (int id : {IDC_SPEED, IDC_SPEED_LABEL, IDC_SLOWER_LABEL, IDC_FASTER_LABEL,
                       IDC_MAX_COUNT, IDC_MAX_COUNT_TEXT, IDC_MAX_COUNT_LABEL, IDC_SMOOTH_CURVES,
                       IDC_FINE_CURVES, IDC_USE_FIXED_FREQUENCY, IDC_POINTS, IDC_POINTS_LABEL,
                       IDC_MIN_COUNT, IDC_MIN_COUNT_TEXT, IDC_RED, IDC_DONT_CHANGE_BACKGROUND})
          enabled += std::to_string(IsWindowEnabled(GetDlgItem(dialog, id)));
        EXPECT_EQ(enabled, "0000000000111111");
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_MANAGED_NOTE)));
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SPEED, TBM_GETPOS, 0, 0), 492);
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_RED, TBM_GETPOS, 0, 0), 20);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SMOOTH_CURVES), BST_CHECKED);
        Send(dialog, IDC_MIN_COUNT, WM_VSCROLL, 6); // the maximum is the organisation's
        EXPECT_EQ(Spun(dialog, IDC_MIN_COUNT), 4);
        EXPECT_EQ(Spun(dialog, IDC_MAX_COUNT), 4);
        Send(dialog, IDC_BLUE, WM_HSCROLL, 40);
        Click(dialog, IDOK);
      },
      "", nullptr);
  EXPECT_NE(RegGetValueA(HKEY_CURRENT_USER, kPolicyKeyPath, "MinGyrels", RRF_RT_ANY, 0, 0, 0),
            ERROR_SUCCESS);
  // With the policies gone the user's own come back (a recommendation left as
  // it was is not stored), and the line goes.
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Policies\\Quorvel");
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Policies\\Quorvel");
  for (const char *item : {" DrawSpeed=100 ", " SmoothCurves=0 ", " MaxGyrels=5 ", " Red=100 ",
                           " MinGyrels=4 ", " Blue=40 "})
    EXPECT_NE(Stored().find(item), std::string::npos) << item;
  RunDialog(
      [](HWND dialog) {
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_MANAGED_NOTE)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_SPEED)));
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_SPEED, TBM_GETPOS, 0, 0), 401);
        Click(dialog, IDCANCEL);
      },
      "", nullptr);
}
