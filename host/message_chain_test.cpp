// The saver window's message chain (SaverWindowProc -> ScreenSaverProc ->
// SaverDefaultProc -> DefWindowProcA), checked by recorded sequences: the
// result, the WM_CLOSE posted and whether the message reached DefWindowProcA.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <vector>

#include "animation/saver_procedure.h"
#include "figure/curve_set.h"
#include "figure/random.h"
#include "host/host_state.h"
#include "settings/saver_settings.h"
#include "tests/import_hook.h"

namespace {
std::vector<UINT> reachedDefault;
decltype(&DefWindowProcA) realDefWindowProc;
LRESULT WINAPI RecordDefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  reachedDefault.push_back(message);
  return realDefWindowProc(window, message, wParam, lParam);
}

int TakePosted(HWND window, UINT message) {
  MSG msg;
  int count = 0;
  while (PeekMessageA(&msg, window, message, message, PM_REMOVE))
    ++count;
  return count;
}

enum Mode { FullScreen, PreviewChild, DialogControl };

class MessageChain : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    realDefWindowProc = HookImport("user32.dll", "DefWindowProcA", RecordDefWindowProc);
    WNDCLASSA saverClass{CS_OWNDC, SaverWindowProc, 0, 0, GetModuleHandleA(nullptr)};
    saverClass.lpszClassName = "TestSaverClass";
    RegisterClassA(&saverClass);
    WNDCLASSA parentClass{0, DefWindowProcA, 0, 0, GetModuleHandleA(nullptr)};
    parentClass.lpszClassName = "TestParentClass";
    RegisterClassA(&parentClass);
    RegisterPreviewControlClass(nullptr);
  }
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel\\GyrelSaver");
    hostState = SaverHostState{};
    hostState.instance = GetModuleHandleA(nullptr);
    isPaused = false;
    finishedTicks = 0;
  }
  void TearDown() override {
    if (parent) DestroyWindow(parent);
    if (window && IsWindow(window)) DestroyWindow(window);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  void Make(Mode mode) {
    if (window && IsWindow(window)) DestroyWindow(window);
    if (parent) DestroyWindow(parent);
    parent = nullptr;
    hostState.isPreview = mode != FullScreen;
    if (mode != FullScreen)
      parent = CreateWindowExA(0, "TestParentClass", "Parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                               0, 300, 200, nullptr, nullptr, hostState.instance, nullptr);
    const char *className = mode == DialogControl ? "GyrelClass" : "TestSaverClass";
    const DWORD style = mode == FullScreen ? WS_POPUP | WS_VISIBLE : WS_CHILD | WS_VISIBLE;
    window = CreateWindowExA(0, className, "Screen Saver", style, 0, 0, 320, 240, parent, nullptr,
                             hostState.instance, nullptr);
    ASSERT_NE(window, nullptr);
    MSG msg; // creation settles; recording starts from a clean slate
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      if (msg.message != WM_TIMER) DispatchMessageA(&msg);
    TakePosted(window, WM_CLOSE);
    reachedDefault.clear();
  }
  // "result/closes/default" of one message.
  std::string Trace(UINT message, WPARAM wParam, LPARAM lParam) {
    reachedDefault.clear();
    const LRESULT result = SendMessageA(window, message, wParam, lParam);
    bool reached = false;
    for (UINT m : reachedDefault)
      reached |= m == message;
    std::ostringstream out;
    out << result << "/" << TakePosted(window, WM_CLOSE) << "/" << (reached ? "D" : "-");
    isPaused = false;
    return out.str();
  }
  HWND window = nullptr, parent = nullptr;
};
} // namespace

TEST_F(MessageChain, InputAndCommandsByMode) {
  struct Case {
    const char *name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char *expected[3]; // full screen, preview child, dialog's preview control
  };
  const Case cases[] = {
      {"key (pause)", WM_KEYDOWN, 'K', 0, {"0/0/-", "0/0/-", "0/0/-"}},
      {"alt+key", WM_SYSKEYDOWN, 'X', 0, {"0/1/D", "0/0/D", "0/0/D"}},
      {"left button", WM_LBUTTONDOWN, 0, 0, {"0/1/D", "0/0/D", "1/0/-"}},
      {"right button", WM_RBUTTONDOWN, 0, 0, {"0/1/D", "0/0/D", "1/0/-"}},
      {"middle button", WM_MBUTTONDOWN, 0, 0, {"0/1/D", "0/0/D", "1/0/-"}},
      {"activate", WM_ACTIVATE, WA_ACTIVE, 0, {"0/0/D", "0/0/D", "1/0/-"}},
      {"double click", WM_LBUTTONDBLCLK, 0, 0, {"0/0/D", "0/0/D", "0/0/D"}},
      {"deactivated", WM_ACTIVATEAPP, 0, 0, {"0/1/D", "0/0/D", "0/0/D"}},
      {"activated", WM_ACTIVATEAPP, 1, 0, {"0/0/D", "0/0/D", "0/0/D"}},
      {"critical resume", WM_POWER, PWR_CRITICALRESUME, 0, {"0/1/D", "0/0/D", "0/0/D"}},
      {"suspend request", WM_POWER, PWR_SUSPENDREQUEST, 0, {"0/0/D", "0/0/D", "0/0/D"}},
      {"query suspend", WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0, {"0/1/D", "0/0/D", "0/0/D"}},
      {"resume", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0, {"0/1/D", "0/0/D", "0/0/D"}},
      {"resume after failure", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, PBTF_APMRESUMEFROMFAILURE,
       {"0/0/D", "0/0/D", "0/0/D"}},
      {"set cursor", WM_SETCURSOR, 0, HTCLIENT, {"1/0/-", "0/0/D", "1/0/-"}},
      {"screen save", WM_SYSCOMMAND, SC_SCREENSAVE, 0, {"0/0/-", "0/0/D", "0/0/D"}},
      {"next window, low bits set", WM_SYSCOMMAND, SC_NEXTWINDOW | 3, 0, {"0/0/-", "0/0/D", "0/0/D"}},
      {"previous window", WM_SYSCOMMAND, SC_PREVWINDOW, 0, {"0/0/-", "0/0/D", "0/0/D"}},
      {"set text", WM_SETTEXT, 0, LPARAM("Other"), {"0/0/-", "0/0/-", "1/0/D"}},
      {"erase", WM_ERASEBKGND, 0, 0, {"0/0/-", "0/0/-", "0/0/-"}},
      {"foreign timer", WM_TIMER, 12345, 0, {"0/0/D", "0/0/D", "0/0/D"}},
      {"context menu", WM_CONTEXTMENU, 0, 0x00420017, {"0/0/D", "1/0/-", "0/0/D"}},
  };
  std::ostringstream expected, actual;
  for (Mode mode : {FullScreen, PreviewChild, DialogControl}) {
    Make(mode);
    for (const Case &c : cases) {
      expected << mode << " " << c.name << ": " << c.expected[mode] << "\n";
      actual << mode << " " << c.name << ": " << Trace(c.message, c.wParam, c.lParam) << "\n";
    }
    if (mode == PreviewChild) {
      MSG posted; // the preview hands the context menu to its parent
      EXPECT_TRUE(PeekMessageA(&posted, parent, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE));
    }
  }
  EXPECT_EQ(actual.str(), expected.str());
}

// The cursor reference: travel adds up from it, and a refused close resets it;
// a close requested while the prompt is open brings no second prompt.
TEST_F(MessageChain, MouseTravelAndARefusedPassword) {
  static int prompts;
  static HWND saver;
  prompts = 0;
  SetCursorPos(100, 100);
  Make(FullScreen);
  saver = window;
  hostState.isWin9x = 1;
  hostState.verifyPassword = [](HWND) -> BOOL {
    ++prompts;
    SetCursorPos(150, 150); // the user moved the mouse to the prompt
    SendMessageA(saver, WM_CLOSE, 0, 0);
    return FALSE;
  };
  const int steps[][3] = {{102, 102, 0}, {101, 103, 0}, {103, 102, 1}, {104, 102, 0}, {108, 102, 1}};
  for (const auto &s : steps) {
    SetCursorPos(s[0], s[1]);
    EXPECT_EQ(Trace(WM_MOUSEMOVE, 0, 0), s[2] ? "0/1/D" : "0/0/D") << s[0] << "," << s[1];
  }
  EXPECT_EQ(Trace(WM_CLOSE, 0, 0), "0/0/-"); // refused
  EXPECT_EQ(prompts, 1);
  EXPECT_EQ(GetCursor(), nullptr);
  SetCursorPos(152, 151);
  EXPECT_EQ(Trace(WM_MOUSEMOVE, 0, 0), "0/0/D"); // 3 from the reset reference
}

TEST_F(MessageChain, NothingDrawsOrTogglesOnceClosingIsGranted) {
  Make(FullScreen);
  hostState.isClosing = 1;
  pictureCurves.Clear();
  pictureCurves.Add(TrochoidCurve());
  EXPECT_EQ(Trace(WM_TIMER, timerId, 0), "0/0/-");
  EXPECT_EQ(pictureCurves.curves.front().stepsDone, 0);
  EXPECT_EQ(Trace(WM_KEYDOWN, 'A', 0), "0/0/D");
  EXPECT_EQ(Trace(WM_LBUTTONDOWN, 0, 0), "0/0/D");
}

// The count is the draw after the background's nine, modulo the span, plus
// the minimum; one draw even when the two are equal; then four per curve.
TEST_F(MessageChain, NewPictureDrawsTheCurveCount) {
  Make(FullScreen);
  const int ranges[][2] = {{2, 9}, {0, 3}, {5, 5}, {0, 0}, {20, 20}};
  for (const auto &range : ranges) {
    settings.MinGyrels = range[0];
    settings.MaxGyrels = range[1];
    SeedRandom(4242);
    NewPicture(window);
    const int after = NextRandom();
    SeedRandom(4242);
    for (int i = 0; i < 9; ++i)
      NextRandom();
    const int count = NextRandom() % (range[1] - range[0] + 1) + range[0];
    EXPECT_EQ(pictureCurves.curveCount, count) << range[0] << "-" << range[1];
    for (int i = 0; i < 4 * count; ++i)
      NextRandom();
    EXPECT_EQ(NextRandom(), after) << range[0] << "-" << range[1];
  }
}

// A finished picture rests PauseTicks ticks; a picture without curves too.
TEST_F(MessageChain, PictureRenewsAfterThePause) {
  Make(FullScreen);
  for (int curves : {3, 0}) {
    settings.MinGyrels = settings.MaxGyrels = curves;
    settings.SetRefreshPause(1); // 50 ticks at 1 ms
    NewPicture(window);
    for (TrochoidCurve &curve : pictureCurves.curves)
      curve.stepsDone = curve.stepsPerRun;
    if (curves) SendMessageA(window, WM_TIMER, timerId, 0); // now every curve is finished
    const TrochoidCurve *first = curves ? &pictureCurves.curves.front() : nullptr;
    for (DWORD tick = 0; tick < settings.PauseTicks; ++tick)
      SendMessageA(window, WM_TIMER, timerId, 0);
    EXPECT_EQ(finishedTicks, settings.PauseTicks);
    if (curves) EXPECT_EQ(&pictureCurves.curves.front(), first);
    SendMessageA(window, WM_TIMER, timerId, 0);
    EXPECT_EQ(finishedTicks, 0u) << curves;
    EXPECT_EQ(pictureCurves.curveCount, curves);
  }
}

TEST_F(MessageChain, DestroyStopsTheTimerAndQuits) {
  Make(FullScreen);
  const UINT_PTR id = timerId;
  DestroyWindow(window);
  EXPECT_FALSE(KillTimer(window, id)); // already gone
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// The full-screen window reads the AC line status as it starts, so a first
// status change that changes nothing does not close it.
TEST_F(MessageChain, RunSaverWindowKnowsTheAcLineFromTheStart) {
  static int closes;
  closes = -1;
  SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    SendMessageA(hostState.saverWindow, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0);
    closes = TakePosted(hostState.saverWindow, WM_CLOSE);
    DestroyWindow(hostState.saverWindow);
  });
  EXPECT_EQ(RunSaverWindow(nullptr), 0);
  EXPECT_EQ(closes, 0);
  UnregisterClassA("WindowsScreenSaverClass", hostState.instance);
}

// The loop ends on an error from GetMessageA as on WM_QUIT, with a message
// record that started zeroed, so the exit code is never read from garbage.
TEST_F(MessageChain, MessageLoopEndsOnAnErrorWithAZeroedRecord) {
  static bool zeroed;
  static decltype(&GetMessageA) realGetMessage;
  realGetMessage = HookImport("user32.dll", "GetMessageA",
                              +[](LPMSG msg, HWND, UINT, UINT) -> BOOL {
                                const MSG empty{};
                                zeroed = std::memcmp(msg, &empty, sizeof empty) == 0;
                                return -1;
                              });
  EXPECT_EQ(RunSaverWindow(nullptr), 0);
  HookImport("user32.dll", "GetMessageA", realGetMessage);
  EXPECT_TRUE(zeroed);
  DestroyWindow(hostState.saverWindow);
  UnregisterClassA("WindowsScreenSaverClass", hostState.instance);
}
