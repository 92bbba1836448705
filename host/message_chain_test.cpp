// The saver window's message chain (SaverWindowProc -> ScreenSaverProc ->
// SaverDefaultProc -> DefWindowProcA) checked by recorded sequences: what
// reaches DefWindowProcA, what is posted, what is drawn.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "animation/saver_procedure.h"
#include "figure/curve_set.h"
#include "figure/gdi_surface.h"
#include "host/host_state.h"
#include "settings/saver_settings.h"
#include "tests/import_hook.h"

namespace {
struct Reached {
  UINT message;
  WPARAM wParam;
};
std::vector<Reached> defaultCalls;
std::vector<UINT_PTR> killedTimers;
using DefWindowProcFn = LRESULT(WINAPI *)(HWND, UINT, WPARAM, LPARAM);
using KillTimerFn = BOOL(WINAPI *)(HWND, UINT_PTR);
DefWindowProcFn realDefWindowProc;
KillTimerFn realKillTimer;

LRESULT WINAPI RecordDefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  defaultCalls.push_back({message, wParam});
  return realDefWindowProc(window, message, wParam, lParam);
}
BOOL WINAPI RecordKillTimer(HWND window, UINT_PTR id) {
  killedTimers.push_back(id);
  return realKillTimer(window, id);
}

bool ReachedDefault(UINT message, WPARAM wParam = static_cast<WPARAM>(-1)) {
  for (const Reached &r : defaultCalls)
    if (r.message == message && (wParam == static_cast<WPARAM>(-1) || r.wParam == wParam))
      return true;
  return false;
}

int PostedCount(HWND window, UINT message) {
  MSG msg;
  int count = 0;
  while (PeekMessageA(&msg, window, message, message, PM_REMOVE))
    ++count;
  return count;
}

class MessageChain : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    realDefWindowProc =
        HookImport<DefWindowProcFn>("user32.dll", "DefWindowProcA", RecordDefWindowProc);
    realKillTimer = HookImport<KillTimerFn>("user32.dll", "KillTimer", RecordKillTimer);
    ASSERT_NE(realDefWindowProc, nullptr);
    ASSERT_NE(realKillTimer, nullptr);
    WNDCLASSA saverClass{};
    saverClass.style = CS_OWNDC;
    saverClass.lpfnWndProc = SaverWindowProc;
    saverClass.hInstance = GetModuleHandleA(nullptr);
    saverClass.lpszClassName = "TestSaverClass";
    RegisterClassA(&saverClass);
    WNDCLASSA parentClass{};
    parentClass.lpfnWndProc = DefWindowProcA;
    parentClass.hInstance = GetModuleHandleA(nullptr);
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
    if (window && IsWindow(window)) DestroyWindow(window);
    if (parent) DestroyWindow(parent);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  void MakeFullScreen() {
    window = CreateWindowExA(WS_EX_TOPMOST, "TestSaverClass", "Screen Saver", WS_POPUP | WS_VISIBLE,
                             0, 0, 320, 240, nullptr, nullptr, hostState.instance, nullptr);
    ASSERT_NE(window, nullptr);
    Settle();
  }

  void MakePreview() {
    parent = CreateWindowExA(0, "TestParentClass", "Parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                             300, 200, nullptr, nullptr, hostState.instance, nullptr);
    hostState.isPreview = 1;
    window = CreateWindowExA(0, "TestSaverClass", "Preview", WS_CHILD | WS_VISIBLE, 0, 0, 150, 100,
                             parent, nullptr, hostState.instance, nullptr);
    ASSERT_NE(window, nullptr);
    Settle();
  }

  // Lets creation messages pass, then starts recording from a clean slate.
  void Settle() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message != WM_TIMER) DispatchMessageA(&msg);
    }
    PostedCount(window, WM_CLOSE);
    defaultCalls.clear();
    killedTimers.clear();
  }

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(window, message, wParam, lParam);
  }

  HWND window = nullptr;
  HWND parent = nullptr;
};
} // namespace

TEST_F(MessageChain, InputClosesFullScreenButNotPreview) {
  struct Case {
    UINT message;
    WPARAM wParam;
    int closesFullScreen;
  };
  const Case cases[] = {
      {WM_SYSKEYDOWN, 'X', 1},
      {WM_LBUTTONDOWN, 0, 1},
      {WM_RBUTTONDOWN, 0, 1},
      {WM_MBUTTONDOWN, 0, 1},
      {WM_ACTIVATEAPP, 0, 1},
      {WM_ACTIVATEAPP, 1, 0},
      {WM_POWER, PWR_CRITICALRESUME, 1},
      {WM_POWER, PWR_SUSPENDREQUEST, 0},
      {WM_KEYDOWN, 'K', 0}, // consumed by the pause toggle
  };
  MakeFullScreen();
  for (const Case &c : cases) {
    Send(c.message, c.wParam);
    EXPECT_EQ(PostedCount(window, WM_CLOSE), c.closesFullScreen) << std::hex << c.message;
  }
  DestroyWindow(window);
  MakePreview();
  for (const Case &c : cases) {
    Send(c.message, c.wParam);
    EXPECT_EQ(PostedCount(window, WM_CLOSE), 0) << std::hex << c.message;
  }
}

TEST_F(MessageChain, KeyDownTogglesThePauseAndStopsThere) {
  MakeFullScreen();
  EXPECT_EQ(Send(WM_KEYDOWN, 'A'), 0);
  EXPECT_TRUE(isPaused);
  EXPECT_FALSE(ReachedDefault(WM_KEYDOWN));
  const long pens = gdiResourceCounts.pensCreated;
  EXPECT_EQ(Send(WM_TIMER, 12345), 0); // paused: any timer id, not passed on
  EXPECT_FALSE(ReachedDefault(WM_TIMER));
  EXPECT_EQ(gdiResourceCounts.pensCreated, pens);
  Send(WM_KEYDOWN, 'A');
  EXPECT_FALSE(isPaused);
  Send(WM_TIMER, timerId);
  EXPECT_EQ(gdiResourceCounts.pensCreated - pens, pictureCurves.curveCount);
  Send(WM_TIMER, 12345); // a foreign timer goes on down the chain
  EXPECT_TRUE(ReachedDefault(WM_TIMER, 12345));
}

TEST_F(MessageChain, NothingAfterClosingWasGranted) {
  MakeFullScreen();
  hostState.isClosing = 1;
  const long pens = gdiResourceCounts.pensCreated;
  EXPECT_EQ(Send(WM_TIMER, timerId), 0);
  EXPECT_EQ(gdiResourceCounts.pensCreated, pens);
  EXPECT_FALSE(ReachedDefault(WM_TIMER));
  Send(WM_KEYDOWN, 'A'); // straight to DefWindowProcA: no pause toggle
  EXPECT_FALSE(isPaused);
  EXPECT_TRUE(ReachedDefault(WM_KEYDOWN));
  Send(WM_LBUTTONDOWN);
  EXPECT_EQ(PostedCount(window, WM_CLOSE), 0);
}

TEST_F(MessageChain, WindowTextNeverChanges) {
  MakeFullScreen();
  EXPECT_EQ(Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Other")), 0);
  char text[64];
  GetWindowTextA(window, text, sizeof text);
  EXPECT_STREQ(text, "Screen Saver");
}

TEST_F(MessageChain, SystemCommandsRefusedOnlyInFullScreen) {
  const WPARAM refused[] = {SC_SCREENSAVE, SC_NEXTWINDOW, SC_PREVWINDOW};
  MakeFullScreen();
  for (WPARAM command : refused) {
    EXPECT_EQ(Send(WM_SYSCOMMAND, command), 0);
    EXPECT_FALSE(ReachedDefault(WM_SYSCOMMAND, command)) << std::hex << command;
  }
  DestroyWindow(window);
  MakePreview();
  for (WPARAM command : {SC_NEXTWINDOW, SC_PREVWINDOW}) {
    Send(WM_SYSCOMMAND, command);
    EXPECT_TRUE(ReachedDefault(WM_SYSCOMMAND, command)) << std::hex << command;
  }
}

TEST_F(MessageChain, PreviewHandsHelpAndContextMenuToItsParent) {
  MakePreview();
  EXPECT_EQ(Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), 0x00420017), 1);
  MSG posted;
  ASSERT_TRUE(PeekMessageA(&posted, parent, WM_CONTEXTMENU, WM_CONTEXTMENU, PM_REMOVE));
  EXPECT_EQ(posted.wParam, reinterpret_cast<WPARAM>(parent));
  EXPECT_EQ(posted.lParam, 0x00420017);
  EXPECT_FALSE(ReachedDefault(WM_CONTEXTMENU));
  // WM_HELP carries a pointer, which the system does not post across; the
  // preview still keeps it from its own default handling.
  HELPINFO help{sizeof help, HELPINFO_WINDOW, 0, window, 0, {1, 2}};
  EXPECT_EQ(Send(WM_HELP, 0, reinterpret_cast<LPARAM>(&help)), 1);
  EXPECT_FALSE(ReachedDefault(WM_HELP));
}

TEST_F(MessageChain, PowerBroadcast) {
  struct Case {
    WPARAM event;
    LPARAM flags;
    int closes;
  };
  const Case cases[] = {{PBT_APMQUERYSUSPEND, 0, 1},
                        {PBT_APMSUSPEND, 0, 1},
                        {PBT_APMRESUMESUSPEND, 0, 1},
                        {PBT_APMRESUMESUSPEND, PBTF_APMRESUMEFROMFAILURE, 0},
                        {PBT_APMRESUMEAUTOMATIC, PBTF_APMRESUMEFROMFAILURE, 0},
                        {PBT_APMBATTERYLOW, 0, 1},
                        {PBT_APMOEMEVENT, 0, 1}};
  MakeFullScreen();
  for (const Case &c : cases) {
    Send(WM_POWERBROADCAST, c.event, c.flags);
    EXPECT_EQ(PostedCount(window, WM_CLOSE), c.closes) << c.event << "/" << c.flags;
    EXPECT_TRUE(ReachedDefault(WM_POWERBROADCAST, c.event));
  }
  hostState.lastAcLineStatus = ReadAcLineStatus();
  Send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
  EXPECT_EQ(PostedCount(window, WM_CLOSE), 0); // the AC line status is as it was
  hostState.lastAcLineStatus = 77;
  Send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
  EXPECT_EQ(PostedCount(window, WM_CLOSE), 1);
  EXPECT_EQ(hostState.lastAcLineStatus, ReadAcLineStatus());
}

TEST_F(MessageChain, MouseTravelAddsUpFromTheReference) {
  SetCursorPos(100, 100);
  MakeFullScreen();
  ASSERT_EQ(hostState.lastCursorPos.x, 100);
  struct Step {
    int x, y, closes;
  };
  const Step steps[] = {{102, 102, 0}, {101, 103, 0}, {103, 102, 1}, {104, 102, 0}, {108, 102, 1}};
  for (const Step &s : steps) {
    SetCursorPos(s.x, s.y);
    Send(WM_MOUSEMOVE);
    EXPECT_EQ(PostedCount(window, WM_CLOSE), s.closes) << s.x << "," << s.y;
  }
}

TEST_F(MessageChain, SetCursorIsAnsweredWithoutACursor) {
  MakeFullScreen();
  EXPECT_EQ(Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window), HTCLIENT), 1);
  EXPECT_EQ(GetCursor(), nullptr);
}

TEST_F(MessageChain, EraseBackgroundPaintsThroughItsOwnContext) {
  MakeFullScreen();
  const GdiResourceCounts before = gdiResourceCounts;
  HDC dc = GetDC(window);
  EXPECT_EQ(Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)), 0);
  ReleaseDC(window, dc);
  EXPECT_EQ(gdiResourceCounts.contextsTaken - before.contextsTaken, 1);
  EXPECT_EQ(gdiResourceCounts.contextsReleased - before.contextsReleased, 1);
  EXPECT_FALSE(ReachedDefault(WM_ERASEBKGND));
}

TEST_F(MessageChain, DestroyStopsTheTimerAndQuits) {
  MakeFullScreen();
  const UINT_PTR id = timerId;
  ASSERT_NE(id, 0u);
  DestroyWindow(window);
  ASSERT_EQ(killedTimers.size(), 1u);
  EXPECT_EQ(killedTimers[0], id);
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 0u);
}

TEST_F(MessageChain, CreationLoadsSettingsAndStartsAPicture) {
  HKEY key;
  RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Quorvel\\GyrelSaver", 0, nullptr, 0, KEY_WRITE,
                  nullptr, &key, nullptr);
  const DWORD seven = 7;
  RegSetValueExA(key, "MinGyrels", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&seven), 4);
  RegSetValueExA(key, "MaxGyrels", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&seven), 4);
  RegCloseKey(key);
  MakeFullScreen();
  EXPECT_EQ(animationWindow, window);
  EXPECT_EQ(pictureCurves.curveCount, 7);
  EXPECT_NE(timerId, 0u);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel\\GyrelSaver");
}

TEST_F(MessageChain, PictureRenewsAfterThePause) {
  MakeFullScreen();
  settings.SetRefreshPause(1); // 50 ticks at 1 ms
  for (TrochoidCurve &curve : pictureCurves.curves)
    curve.stepsDone = curve.stepsPerRun;
  Send(WM_TIMER, timerId); // finds the picture unfinished, draws: now all finished
  ASSERT_TRUE(pictureCurves.AllFinished());
  const TrochoidCurve *first = &pictureCurves.curves.front();
  for (DWORD tick = 0; tick < settings.PauseTicks; ++tick)
    Send(WM_TIMER, timerId);
  EXPECT_EQ(&pictureCurves.curves.front(), first); // still the old picture
  EXPECT_EQ(finishedTicks, settings.PauseTicks);
  Send(WM_TIMER, timerId);
  EXPECT_EQ(finishedTicks, 0u);
  EXPECT_GT(pictureCurves.curves.front().stepsDone, 0); // the new curves drew at once
}

TEST_F(MessageChain, PasswordVerificationOnTheNineXFamily) {
  static int prompts;
  static BOOL verdict;
  prompts = 0;
  verdict = FALSE;
  MakeFullScreen();
  hostState.isWin9x = 1;
  hostState.verifyPassword = [](HWND) -> BOOL {
    ++prompts;
    return verdict;
  };
  SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW))); // as a prompt leaves it
  EXPECT_EQ(Send(WM_CLOSE), 0);                                         // refused
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(GetCursor(), nullptr); // hidden again after the refusal
  EXPECT_EQ(prompts, 1);
  EXPECT_EQ(hostState.isClosing, 0u);
  Send(WM_CLOSE); // within 200 ms: refused without a prompt
  EXPECT_EQ(prompts, 1);
  Sleep(250);
  verdict = TRUE;
  Send(WM_CLOSE);
  EXPECT_EQ(prompts, 2);
  EXPECT_EQ(hostState.isClosing, 1u);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(MessageChain, AutoPlayQueryIsAnsweredEvenInAPreview) {
  MakePreview();
  hostState.queryCancelAutoPlayMessage = RegisterWindowMessageA("QueryCancelAutoPlay");
  EXPECT_EQ(Send(hostState.queryCancelAutoPlayMessage), 0);
  EXPECT_EQ(PostedCount(window, WM_CLOSE), 1);
  hostState.verifyPassword = [](HWND) -> BOOL { return TRUE; };
  EXPECT_EQ(Send(hostState.queryCancelAutoPlayMessage), 1);
  hostState.verifyPassword = nullptr;
}

TEST_F(MessageChain, PreviewControlKeepsMouseAndActivation) {
  parent = CreateWindowExA(0, "TestParentClass", "Dialog", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                           nullptr, nullptr, hostState.instance, nullptr);
  window = CreateWindowExA(0, "GyrelClass", "Custom1", WS_CHILD | WS_VISIBLE, 0, 0, 150, 100,
                           parent, nullptr, hostState.instance, nullptr);
  ASSERT_NE(window, nullptr);
  Settle();
  for (UINT message :
       {WM_ACTIVATE, WM_SETCURSOR, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
    EXPECT_EQ(Send(message), 1) << std::hex << message;
    EXPECT_FALSE(ReachedDefault(message)) << std::hex << message;
  }
  EXPECT_EQ(PostedCount(window, WM_CLOSE), 0);
  Send(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(ReachedDefault(WM_LBUTTONDBLCLK));
  EXPECT_EQ(PostedCount(window, WM_CLOSE), 0);
}
