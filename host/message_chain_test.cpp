// The saver window's message chain, down to DefWindowProcA, checked by traces:
// the result, the WM_CLOSE posted, whether DefWindowProcA was reached.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "animation/saver_procedure.h"
#include "drawing/gdi_surface.h"
#include "figure/curve_set.h"
#include "figure/random.h"
#include "host/host_state.h"
#include "settings/saver_settings.h"
#include "tests/import_hook.h"

namespace {
UINT traced;
bool reachedDefault;
decltype(&DefWindowProcA) realDefWindowProc;
LRESULT WINAPI RecordDefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  reachedDefault |= message == traced;
  return realDefWindowProc(window, message, wParam, lParam);
}

// Canvas buffers asked for, and whether the system refuses them.
int buffersAsked;
bool refuseBuffers;
decltype(&CreateDIBSection) realCreateDIBSection;
HBITMAP WINAPI CreateOrRefuse(HDC dc, const BITMAPINFO *info, UINT usage, void **bits,
                              HANDLE section, DWORD offset) {
  ++buffersAsked;
  return refuseBuffers ? nullptr : realCreateDIBSection(dc, info, usage, bits, section, offset);
}

int backgrounds; // gradient fills drawn
BOOL WINAPI CountGradientFill(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG) {
  return ++backgrounds, TRUE;
}

// The monitors the system reports while a test sets them.
std::vector<RECT> monitors;
BOOL WINAPI ReportedMonitors(HDC, LPCRECT clip, MONITORENUMPROC callback, LPARAM data) {
  for (RECT part : monitors)
    if (IntersectRect(&part, &part, clip)) callback(nullptr, nullptr, &part, data);
  return TRUE;
}

int TakePosted(HWND window, UINT message) {
  int count = 0;
  for (MSG msg; PeekMessageA(&msg, window, message, message, PM_REMOVE);)
    ++count;
  return count;
}

enum Mode { FullScreen, PreviewChild, DialogControl, Closing };
HWND window, parent;

void Fresh() { // the state a new process starts with
  hostState = SaverHostState{};
  hostState.instance = GetModuleHandleA(nullptr);
  isPaused = false;
}

void Make(Mode mode) {
  DestroyWindow(parent);
  DestroyWindow(window);
  Fresh();
  hostState.isPreview = mode == PreviewChild || mode == DialogControl;
  parent = hostState.isPreview ? CreateWindowExA(0, "STATIC", "Parent", WS_POPUP | WS_VISIBLE, 0, 0,
                                                 300, 200, nullptr, nullptr, nullptr, nullptr)
                               : nullptr;
  window = CreateWindowExA(0, mode == DialogControl ? "GyrelClass" : "TestSaverClass",
                           "Screen Saver", parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_VISIBLE,
                           0, 0, 320, 240, parent, nullptr, hostState.instance, nullptr);
  for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) // creation settles first
    if (msg.message != WM_TIMER) DispatchMessageA(&msg);
  TakePosted(window, WM_CLOSE);
  hostState.isClosing = mode == Closing;
}

// "result/closes/D" (D: it reached DefWindowProcA) of one sent message.
std::string Trace(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  traced = message;
  reachedDefault = false;
  const LRESULT result = SendMessageA(window, message, wParam, lParam);
  return std::to_string(result) + "/" + std::to_string(TakePosted(window, WM_CLOSE)) +
         (reachedDefault ? "/D" : "/-");
}

class MessageChain : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    realDefWindowProc = HookImport("user32.dll", "DefWindowProcA", RecordDefWindowProc);
    HookTickCount();
    realCreateDIBSection = HookImport("gdi32.dll", "CreateDIBSection", CreateOrRefuse);
    WNDCLASSA saverClass{CS_OWNDC, SaverWindowProc, 0,       0,       GetModuleHandleA(nullptr),
                         nullptr,  nullptr,         nullptr, nullptr, "TestSaverClass"};
    RegisterClassA(&saverClass);
    RegisterPreviewControlClass(nullptr);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel\\GyrelSaver");
  }
};
} // namespace

TEST_F(MessageChain, InputAndCommandsByMode) {
  // Expected: full screen, preview child, dialog's control, closing granted.
  const std::tuple<const char *, UINT, WPARAM, LPARAM, const char *> cases[] = {
      {"key (pause)", WM_KEYDOWN, 'K', 0, "0/0/- 0/0/- 0/0/- 0/0/D"},
      {"alt+key", WM_SYSKEYDOWN, 'X', 0, "0/1/D 0/0/D 0/0/D 0/0/D"},
      {"left button", WM_LBUTTONDOWN, 0, 0, "0/1/D 0/0/D 1/0/- 0/0/D"},
      {"right button", WM_RBUTTONDOWN, 0, 0, "0/1/D 0/0/D 1/0/- 0/0/D"},
      {"middle button", WM_MBUTTONDOWN, 0, 0, "0/1/D 0/0/D 1/0/- 0/0/D"},
      {"activate", WM_ACTIVATE, WA_ACTIVE, 0, "0/0/D 0/0/D 1/0/- 0/0/D"},
      {"double click", WM_LBUTTONDBLCLK, 0, 0, "0/0/D 0/0/D 0/0/D 0/0/D"},
      {"deactivated", WM_ACTIVATEAPP, 0, 0, "0/1/D 0/0/D 0/0/D 0/0/D"},
      {"activated", WM_ACTIVATEAPP, 1, 0, "0/0/D 0/0/D 0/0/D 0/0/D"},
      {"critical resume", WM_POWER, PWR_CRITICALRESUME, 0, "0/1/D 0/0/D 0/0/D 0/0/D"},
      {"suspend request", WM_POWER, PWR_SUSPENDREQUEST, 0, "0/0/D 0/0/D 0/0/D 0/0/D"},
      {"query suspend", WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0, "0/1/D 0/0/D 0/0/D 0/0/D"},
      {"resume, failed", WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 1, "0/0/D 0/0/D 0/0/D 0/0/D"},
      {"critical, failed", WM_POWERBROADCAST, PBT_APMRESUMECRITICAL, 1, "0/0/D 0/0/D 0/0/D 0/0/D"},
      {"standby, failed", WM_POWERBROADCAST, PBT_APMRESUMESTANDBY, 1, "0/0/D 0/0/D 0/0/D 0/0/D"},
      {"auto, failed", WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 1, "0/0/D 0/0/D 0/0/D 0/0/D"},
      {"power setting", WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0, "1/0/- 1/0/- 1/0/- 1/0/-"},
      {"set cursor", WM_SETCURSOR, 0, HTCLIENT, "1/0/- 0/0/D 1/0/- 0/0/D"},
      {"screen save", WM_SYSCOMMAND, SC_SCREENSAVE, 0, "0/0/- 0/0/D 0/0/D 0/0/-"},
      {"next window|3", WM_SYSCOMMAND, SC_NEXTWINDOW | 3, 0, "0/0/- 0/0/D 0/0/D 0/0/-"},
      {"previous window", WM_SYSCOMMAND, SC_PREVWINDOW, 0, "0/0/- 0/0/D 0/0/D 0/0/-"},
      {"set text", WM_SETTEXT, 0, LPARAM("Other"), "0/0/- 0/0/- 1/0/D 0/0/-"},
      {"erase", WM_ERASEBKGND, 0, 0, "0/0/- 0/0/- 0/0/- 0/0/-"},
      {"animation tick", WM_TIMER, kAnimationTimer, 0, "0/0/- 0/0/- 0/0/- 0/0/-"},
      {"foreign timer", WM_TIMER, 12345, 0, "0/0/D 0/0/D 0/0/D 0/0/-"},
      {"context menu", WM_CONTEXTMENU, 0, 7, "0/0/D 1/0/- 0/0/D 0/0/D"},
  };
  std::string traces[std::size(cases)];
  for (Mode mode : {FullScreen, PreviewChild, DialogControl, Closing}) {
    Make(mode);
    EXPECT_EQ(std::pair(clientWidth, clientHeight), std::pair(320, 240)) << "the client size";
    const int stepsBefore = pictureCurves.curves.front().stepsDone;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
      const auto &[name, message, wParam, lParam, expect] = cases[i];
      (traces[i] += mode ? " " : "") += Trace(message, wParam, lParam);
      isPaused = false;
    }
    EXPECT_EQ(pictureCurves.curves.front().stepsDone > stepsBefore, mode != Closing) << mode;
    SendMessageA(window, WM_KEYDOWN, 'K', 0); // paused, a tick draws nothing
    const int paused = pictureCurves.curves.front().stepsDone;
    Trace(WM_TIMER, kAnimationTimer);
    EXPECT_EQ(pictureCurves.curves.front().stepsDone, paused) << mode;
  }
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(traces[i], std::get<4>(cases[i])) << std::get<0>(cases[i]);
}

// The cursor reference: travel adds up from it, and a refused close resets it.
// Input and a close request while the prompt is open close nothing and bring
// no second prompt; the cursor the prompt showed is hidden again.
TEST_F(MessageChain, MouseTravelAndARefusedPassword) {
  static int prompts = 0;
  SetCursorPos(100, 100);
  Make(FullScreen);
  hostState.isWin9x = 1;
  hostState.verifyPassword = [](HWND) -> BOOL {
    ++prompts;
    clockOffset += 300;     // a slow answer: the quiet time runs from the prompt's end
    SetCursorPos(150, 150); // the user moved the mouse to the prompt and clicked
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    SendMessageA(window, WM_LBUTTONDOWN, 0, 0);
    SendMessageA(window, WM_CLOSE, 0, 0);
    return FALSE;
  };
  const int steps[][3] = {
      {102, 102, 0}, {101, 103, 0}, {103, 102, 1}, {104, 102, 0}, {108, 102, 1}};
  for (const auto &s : steps) {
    SetCursorPos(s[0], s[1]);
    EXPECT_EQ(Trace(WM_MOUSEMOVE), s[2] ? "0/1/D" : "0/0/D") << s[0] << "," << s[1];
  }
  EXPECT_EQ(Trace(WM_CLOSE), "0/0/-"); // refused
  EXPECT_EQ(Trace(WM_CLOSE), "0/0/-"); // a click just after: no second prompt
  EXPECT_EQ(std::pair(prompts, GetCursor()), std::pair(1, HCURSOR(nullptr))) << "cursor hidden";
  SetCursorPos(152, 151);
  EXPECT_EQ(Trace(WM_MOUSEMOVE), "0/0/D"); // 3 from the reset reference
}

// Lines with no mode this system runs end with -1 before any window is made. On the 9x
// family /a asks the system's password change for the screen saver, owned by the given
// window. /p makes a preview that fills its parent, animates, and ends (0) with it.
TEST_F(MessageChain, CommandLines) {
  Make(FullScreen); // the owner
  for (const char *tail : {"/p 0", "/p 99999", "/a 5", "/x", "/\ts", "4"})
    EXPECT_EQ(SaverMain(GetModuleHandleA(nullptr), tail), -1) << tail;
  static std::string asked;
  const auto realVersion = HookImport(
      "kernel32.dll", "GetVersionExA",
      +[](OSVERSIONINFOA *v) { return v->dwPlatformId = VER_PLATFORM_WIN32_WINDOWS, TRUE; });
  static decltype(&GetProcAddress) realProc;
  realProc = HookImport(
      "kernel32.dll", "GetProcAddress", +[](HMODULE module, LPCSTR name) -> FARPROC {
        const auto change = +[](LPCSTR what, HWND owner, DWORD, LPVOID) -> DWORD {
          return asked = std::string(what) + " " + std::to_string(UINT_PTR(owner)), 0;
        };
        return std::string(name) == "PwdChangePasswordA" ? FARPROC(reinterpret_cast<void *>(change))
                                                         : realProc(module, name);
      });
  HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 9, 9, nullptr, nullptr,
                               nullptr, nullptr);
  SetForegroundWindow(other); // the window named on the line owns the dialog, not this one
  EXPECT_EQ(SaverMain(hostState.instance, ("/a " + std::to_string(UINT_PTR(window))).c_str()), 0);
  DestroyWindow(other);
  HookImport("kernel32.dll", "GetVersionExA", realVersion);
  HookImport("kernel32.dll", "GetProcAddress", realProc);
  EXPECT_EQ(asked, "SCRSAVE " + std::to_string(UINT_PTR(window)));
  static HWND host;
  static std::string seen;
  Fresh();
  host = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 50, 50, 152, 112, nullptr, nullptr,
                         nullptr, nullptr);
  SetTimer(nullptr, 0, 1000, [](HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    RECT c{}, p{};
    GetClientRect(FindWindowExA(host, nullptr, "WindowsScreenSaverClass", "Preview"), &c);
    GetClientRect(host, &p);
    seen = std::to_string(EqualRect(&c, &p)) +
           std::to_string(pictureCurves.curves.front().stepsDone > 0);
    DestroyWindow(host);
  });
  EXPECT_EQ(SaverMain(hostState.instance, ("/p " + std::to_string(UINT_PTR(host))).c_str()), 0);
  SetUnhandledExceptionFilter(nullptr); // the fault guard the entry installed
  UnregisterClassA("WindowsScreenSaverClass", hostState.instance);
  EXPECT_EQ(seen, "11") << "fills its parent, animates";
}

// A picture's curve count is the draw after the background's nine, modulo the span,
// plus the minimum; four draws per curve follow (from seed 4242, 2 to 9 gives 7, then
// 5216). A finished picture rests PauseTicks ticks, counted from the first tick that
// finds every curve closed; however short the pictures, a new background comes at most
// once a second, on the first tick after it: one asked for sooner (as the dialog asks
// on a change) waits for it.
TEST_F(MessageChain, PicturesDrawTheirCountRestThenRenewAtMostOnceASecond) {
  Make(FullScreen);
  std::tie(settings.MinGyrels, settings.MaxGyrels) = std::pair(2, 9);
  SeedRandom(4242);
  clockOffset += 1000;
  NewPicture(window);
  EXPECT_EQ(std::pair(pictureCurves.curveCount, NextRandom()), std::pair(7, 5216));
  const auto realGradientFill = HookImport("msimg32.dll", "GradientFill", CountGradientFill);
  // curves (closed at once), pause (1: 50 ticks), a change at (ms): backgrounds, 100 ms a tick
  const std::tuple<int, int, int, const char *> runs[] = {
      {0, 0, 0, "1000 2000 3000 4000 5000 6000 "},
      {0, 1, 0, "5100 "},
      {3, 1, 0, "5200 "},
      {0, 0, 1500, "1000 2000 "}, // the change: one curve that outlasts the run
      {0, 1, 500, "1000 "}};      // within the second: held, then shown, not dropped
  for (const auto &[curves, pause, change, expected] : runs) {
    settings.MinGyrels = settings.MaxGyrels = curves;
    settings.SetRefreshPause(pause);
    clockOffset += 1000;
    NewPicture(window);
    for (TrochoidCurve &curve : pictureCurves.curves)
      curve.stepsDone = curve.stepsPerRun;
    std::string painted;
    for (int ms = 100; ms <= 6000; ms += 100) {
      clockOffset += 100;
      backgrounds = 0;
      Trace(WM_TIMER, kAnimationTimer);
      if (ms == change) {
        settings.MinGyrels = settings.MaxGyrels = settings.PointsPerCycle = 1;
        NewPicture(window);
      }
      if (backgrounds) painted += std::to_string(ms) + " ";
    }
    EXPECT_EQ(painted, expected) << curves << " curves, pause " << pause;
  }
  HookImport("msimg32.dll", "GradientFill", realGradientFill);
  settings = SaverSettings();
}

// The full-screen window covers the virtual screen, topmost, and reads the AC line as it
// starts: an unchanged status does not close it. After a display change it covers the
// screen again, reads the monitors again (two now) and starts its curves again.
TEST_F(MessageChain, RunSaverWindowCoversTheScreenAndReadsTheAcLine) {
  static std::string seen;
  Fresh();
  const auto realEnum = HookImport("user32.dll", "EnumDisplayMonitors", ReportedMonitors);
  SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND saver = hostState.saverWindow;
    const auto covers = [saver] {
      RECT r, all{0, 0, GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
      return std::to_string(GetWindowRect(saver, &r) && EqualRect(&r, &all) &&
                            clientWidth == all.right);
    };
    const auto unitsOfATick = [saver] { // the logical units a tick's curves were drawn in
      SendMessageA(saver, WM_TIMER, kAnimationTimer, 0);
      SIZE units{};
      GetWindowExtEx(GetDC(saver), &units); // the window's own DC
      return std::to_string(units.cx) + " ";
    };
    seen = covers() + std::to_string(GetWindowLongPtrA(saver, GWL_EXSTYLE) & WS_EX_TOPMOST) + " " +
           unitsOfATick();
    settings.FineCurves = true; // a tick draws in units as fine as the screen's pixels
    seen += unitsOfATick();
    settings.PictureOnEachMonitor = true;
    monitors = {{0, 0, 400, 300}, {400, 0, 900, 150}};
    SetWindowPos(saver, nullptr, 10, 10, 90, 90, SWP_NOZORDER); // the old screen's
    SendMessageA(saver, WM_DISPLAYCHANGE, 32, 0);
    seen += covers() + std::to_string(pictureMonitors.size()) +
            std::to_string(pictureCurves.curves.front().stepsDone) + " ";
    seen += unitsOfATick();
    for (int i = 0; i < 3; ++i) { // unchanged; then as if the line changed; the same again
      if (i == 1) hostState.lastAcLineStatus ^= 1;
      SendMessageA(saver, WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0);
      seen += std::to_string(TakePosted(saver, WM_CLOSE));
    }
    DestroyWindow(saver);
  });
  EXPECT_EQ(RunSaverWindow(nullptr), 0);
  HookImport("user32.dll", "EnumDisplayMonitors", realEnum);
  settings = SaverSettings();
  const int fine = 200 * FineCurveScale(GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                        GetSystemMetrics(SM_CYVIRTUALSCREEN));
  // covers, topmost; classic, then fine units; covers, 2 monitors, 0 steps, fine units on
  // each monitor; closes 0, 1, 0
  EXPECT_EQ(seen, "18 200 " + std::to_string(fine) + " 120 " + std::to_string(fine) + " 010");
  UnregisterClassA("WindowsScreenSaverClass", hostState.instance);
}

// Smooth curves live in the canvas: a tick's show on the window, a covered window is restored,
// a window without a canvas draws classic ones. In each place, full screen on two monitors.
TEST_F(MessageChain, SmoothPicturesLiveInTheCanvas) {
  const auto realEnum = HookImport("user32.dll", "EnumDisplayMonitors", ReportedMonitors);
  monitors = {{0, 0, 160, 240}, {160, 0, 320, 240}};
  for (Mode mode : {FullScreen, PreviewChild, DialogControl}) {
    for (bool refused : {false, true}) {
      settings.SmoothCurves = true, refuseBuffers = refused;
      clockOffset += 1000;
      Make(mode); // loads the settings: the hooked ones stand
      settings.SmoothCurves = settings.PictureOnEachMonitor = true;
      settings.MinGyrels = settings.MaxGyrels = 3;
      ReadPictureMonitors(window);
      clockOffset += 1000;
      SeedRandom(5); // three curves well inside the window, pens apart from the background
      NewPicture(window);
      EXPECT_EQ(smoothCanvas.window == window, !refused) << mode;
      const long pens = gdiResourceCounts.pensCreated;
      Trace(WM_TIMER, kAnimationTimer);
      EXPECT_EQ(gdiResourceCounts.pensCreated - pens, refused ? 3 : 0) << "classic pens " << mode;
      if (refused) continue;
      Trace(WM_KEYDOWN, 'P'); // pausing shows what the ticks drew at once
      // A pixel of the curves on the second monitor, and the window shows the canvas there.
      int x = -1, y = -1, partial = 0;
      HDC dc = GetDC(window);
      for (int j = 0; j < 180; ++j) // inside the previews' parent too
        for (int i = 0; i < 280; ++i) {
          const std::uint32_t p = smoothCanvas.pixels.pixels[j * 320 + i];
          const std::uint32_t left = i ? smoothCanvas.pixels.pixels[j * 320 + i - 1] : p;
          int most = 0;
          for (int shift : {0, 8, 16})
            most = std::max(most, std::abs(int((p >> shift) & 0xFF) - int((left >> shift) & 0xFF)));
          if (most > 12 && i > 170) ++partial, x = i, y = j;
        }
      ASSERT_GT(partial, 20) << mode;
      const COLORREF shown = GetPixel(dc, x, y);
      const std::uint32_t kept = smoothCanvas.pixels.pixels[y * 320 + x];
      EXPECT_EQ(shown, BufferPixel(kept & 0xFFFFFF)) << "shown " << mode;
      // Covered and uncovered: the picture comes back, the background walkers stay.
      RECT all{0, 0, 320, 240};
      FillRect(dc, &all, HBRUSH(GetStockObject(BLACK_BRUSH)));
      SeedRandom(99);
      EXPECT_EQ(Trace(WM_ERASEBKGND, WPARAM(dc)), "1/0/-");
      const int drawn = NextRandom();
      SeedRandom(99);
      EXPECT_EQ(std::pair(GetPixel(dc, x, y), drawn), std::pair(shown, NextRandom()))
          << "restored " << mode;
      ReleaseDC(window, dc);
      Trace(WM_KEYDOWN, 'P');
    }
  }
  HookImport("user32.dll", "EnumDisplayMonitors", realEnum);
  monitors.clear();
  refuseBuffers = false;
  DestroyWindow(window);
  EXPECT_EQ(smoothCanvas.window, HWND(nullptr)) << "released with its window";
  settings = SaverSettings();
}

// An erase within the second after the last new background keeps its colours (no draws), so
// display changes cannot flash; later ones step the walkers (nine draws) and start a second.
TEST_F(MessageChain, ErasesKeepTheColoursForASecond) {
  Make(FullScreen);
  const auto drawsOfOneErase = [] {
    SeedRandom(7);
    Trace(WM_ERASEBKGND);
    const int next = NextRandom();
    SeedRandom(7);
    int used = 0;
    while (NextRandom() != next && used < 20)
      ++used;
    return used;
  };
  clockOffset = 0u - GetTickCount() - 1050; // the count wraps between the third and fourth erase
  NewPicture(window);
  std::string got;
  for (int later : {0, 500, 400, 200, 400, 700, 1100, 100}) // 0 .. 900, 1100 .. 2200, 3300 ..
    got += std::to_string((clockOffset += later, drawsOfOneErase())) + " ";
  EXPECT_EQ(got, "0 0 0 9 0 9 9 0 ");
}

// The power settings the full-screen saver asks to hear about (its previews ask for none,
// and it lets them go with its window) close nothing. With the display off a tick draws
// nothing; on or dimmed it draws on; while battery or energy saving is on, at most one
// tick in 50 ms draws.
TEST_F(MessageChain, PowerSettingsRestTheDrawing) {
  static int registered = 0, unregistered = 0;
  const auto realRegister = HookImport(
      "user32.dll", "RegisterPowerSettingNotification",
      +[](HANDLE, LPCGUID, DWORD) { return HPOWERNOTIFY(UINT_PTR(++registered)); });
  const auto realUnregister = HookImport(
      "user32.dll", "UnregisterPowerSettingNotification",
      +[](HPOWERNOTIFY) { return ++unregistered, TRUE; });
  std::string asked;
  DestroyWindow(window); // an earlier test's
  for (Mode mode : {PreviewChild, DialogControl, FullScreen}) {
    registered = unregistered = 0;
    Make(mode);
    asked += std::to_string(registered) + std::to_string(unregistered) + " ";
  }
  const GUID display = {
      0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
  const GUID battery = {
      0xe00958c0, 0xc213, 0x4ace, {0xac, 0x77, 0xfe, 0xcc, 0xed, 0x2e, 0xee, 0xa5}};
  const GUID energy = {
      0x550e8400, 0xe29b, 0x41d4, {0xa7, 0x16, 0x44, 0x66, 0x55, 0x44, 0x00, 0x00}};
  const std::tuple<const GUID *, DWORD, DWORD, int> steps[] = {
      // setting, bytes of data, value, ticks drawn of 10 (a record too short changes nothing)
      {&display, 4, 0, 0},  {&display, 4, 2, 10}, {&display, 3, 0, 10}, {&display, 4, 0, 0},
      {&display, 4, 1, 10}, {&battery, 4, 1, 2},  {&battery, 4, 0, 10}, {&energy, 4, 2, 2},
      {&energy, 4, 1, 2},   {&energy, 4, 0, 10},  {&display, 4, 0, 0}};
  std::string traces, drawn, expected;
  for (const auto &[setting, length, value, ticks] : steps) {
    struct { // a POWERBROADCAST_SETTING with its one DWORD of data
      GUID setting;
      DWORD length, data;
    } record{*setting, length, value};
    traces += Trace(WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, LPARAM(&record)) + " ";
    const long pens = gdiResourceCounts.pensCreated;
    for (int i = 0; i < 10; ++i, clockOffset += 10)
      Trace(WM_TIMER, kAnimationTimer);
    drawn +=
        std::to_string((gdiResourceCounts.pensCreated - pens) / pictureCurves.curveCount) + " ";
    expected += std::to_string(ticks) + " ";
  }
  EXPECT_EQ(traces.substr(0, 6), "1/0/- ") << "asked for: not a reason to close";
  EXPECT_EQ(drawn, expected);
  const long pens = gdiResourceCounts.pensCreated;
  Make(FullScreen); // made after a window whose display went off, it draws
  Trace(WM_TIMER, kAnimationTimer);
  EXPECT_GT(gdiResourceCounts.pensCreated, pens);
  HookImport("user32.dll", "RegisterPowerSettingNotification", realRegister);
  HookImport("user32.dll", "UnregisterPowerSettingNotification", realUnregister);
  EXPECT_EQ(asked + std::to_string(unregistered), "00 00 30 3") << "registered, unregistered";
}

// Display changes: the full-screen picture starts its curves again from their start (the
// same curves, also after a finished picture with no pause), not a new picture; a
// preview child keeps its place. The second's rule holds across the tick count's wrap.
TEST_F(MessageChain, DisplayChangesAndTheClocksWrap) {
  for (Mode mode : {FullScreen, PreviewChild}) {
    Make(mode);
    settings.SetRefreshPause(0);
    RECT before, after;
    GetWindowRect(window, &before);
    for (TrochoidCurve &curve : pictureCurves.curves)
      curve.stepsDone = curve.stepsPerRun;
    Trace(WM_TIMER, kAnimationTimer); // every curve finished
    const int radius = pictureCurves.curves.front().fixedRadius;
    Trace(WM_DISPLAYCHANGE, 32);
    GetWindowRect(window, &after);
    EXPECT_EQ(std::pair(pictureCurves.finishedCount, pictureCurves.curves.front().stepsDone),
              std::pair(0, 0))
        << mode;
    Trace(WM_TIMER, kAnimationTimer);
    EXPECT_EQ(pictureCurves.curves.front().fixedRadius, radius) << "the same picture " << mode;
    EXPECT_GT(pictureCurves.curves.front().stepsDone, 0) << mode;
    EXPECT_TRUE(mode != PreviewChild || EqualRect(&before, &after)) << "the preview stays";
  }
  settings = SaverSettings();
  const auto realGradientFill = HookImport("msimg32.dll", "GradientFill", CountGradientFill);
  clockOffset = 0u - GetTickCount() - 300; // 300 ms before the count wraps to 0
  backgrounds = 0;
  NewPicture(window);
  std::string painted = std::to_string(backgrounds);
  for (int later : {500, 400, 200}) { // past the wrap: 200 ms, 600 ms, then 800 after it
    clockOffset += later;
    NewPicture(window);
    painted.append(" ").append(std::to_string(backgrounds));
  }
  HookImport("msimg32.dll", "GradientFill", realGradientFill);
  clockOffset = 0;
  EXPECT_EQ(painted, "1 1 1 2") << "a new background once the second is over, across the wrap";
}

// The fault guard: a fault the system's filter lets it handle clears the saver's
// running flag and ends the process with -1.
TEST_F(MessageChain, FaultGuardClearsTheRunningFlagAndExitsWithMinusOne) {
  Make(FullScreen);
  SaverMain(hostState.instance, "/x"); // installs the guard, runs nothing
  const LPTOP_LEVEL_EXCEPTION_FILTER guard = SetUnhandledExceptionFilter(nullptr);
  hostState.isWin9x = 1; // the running flag is the 9x family's
  static std::string seen;
  seen.clear();
  const auto realFilter = HookImport(
      "kernel32.dll", "UnhandledExceptionFilter",
      +[](EXCEPTION_POINTERS *) -> LONG { return EXCEPTION_EXECUTE_HANDLER; });
  const auto realParameters = HookImport(
      "user32.dll", "SystemParametersInfoA", +[](UINT action, UINT value, PVOID, UINT) -> BOOL {
        seen += "spi " + std::to_string(action) + " " + std::to_string(value) + " ";
        return TRUE;
      });
  const auto realExit = HookImport(
      "kernel32.dll", "ExitProcess", +[](UINT code) { throw static_cast<int>(code); });
  EXCEPTION_RECORD record{};
  record.ExceptionCode = EXCEPTION_ACCESS_VIOLATION;
  CONTEXT context{};
  EXCEPTION_POINTERS fault{&record, &context};
  try {
    guard(&fault);
  } catch (int code) {
    seen += "exit " + std::to_string(code);
  }
  HookImport("kernel32.dll", "ExitProcess", realExit);
  HookImport("user32.dll", "SystemParametersInfoA", realParameters);
  HookImport("kernel32.dll", "UnhandledExceptionFilter", realFilter);
  Fresh();
  EXPECT_EQ(seen, "spi " + std::to_string(SPI_SETSCREENSAVERRUNNING) + " 0 exit -1");
}

// The smooth canvas: chosen by a policy over the user's 0; a refused buffer asked again at the
// next picture, not each tick; a new background shown at once, a small change at the next refresh
// (16 ms), a large one (over an eighth of the tiles) at the second (30 ms); lines DPI / 96 wide as
// the scale changes; a display change paints afresh and asks for a repaint; a paint restores.
TEST_F(MessageChain, SmoothCanvasAsksShowsAndFollows) {
  static int copies = 0;
  static decltype(&BitBlt) realBitBlt;
  realBitBlt = HookImport(
      "gdi32.dll", "BitBlt",
      +[](HDC to, int x, int y, int w, int h, HDC from, int fx, int fy, DWORD op) {
        copies += from == smoothCanvas.memoryDc && to != from;
        return realBitBlt(to, x, y, w, h, from, fx, fy, op);
      });
  const DWORD on = 1, off = 0;
  RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKeyPath, "SmoothCurves", REG_DWORD, &off, 4);
  RegSetKeyValueA(HKEY_LOCAL_MACHINE, kPolicyKeyPath, "SmoothCurves", REG_DWORD, &on, 4);
  refuseBuffers = true;
  Make(FullScreen);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Policies\\Quorvel");
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Quorvel");
  settings.MinGyrels = settings.MaxGyrels = 1; // two points of it change one or two of 20 tiles
  std::string seen = std::to_string(settings.SmoothCurves && settings.Managed(kSmoothCurves));
  const auto tick = [](unsigned long ms, std::uint32_t points) {
    clockOffset += ms;
    settings.PointsPerCycle = points;
    copies = 0;
    Trace(WM_TIMER, kAnimationTimer);
    return std::to_string(copies > 0);
  };
  buffersAsked = 0;
  clockOffset += 1000;
  NewPicture(window);
  tick(1, 2), tick(1, 2), tick(1, 2), tick(1, 2);
  refuseBuffers = false;
  tick(1, 2);
  seen += std::to_string(buffersAsked) + " "; // once for the picture, none for its five ticks
  clockOffset += 1000;
  SeedRandom(5);
  copies = 0;
  NewPicture(window); // its background shown at once
  seen += std::to_string(buffersAsked) + std::to_string(smoothCanvas.window == window) +
          std::to_string(copies > 0) + " ";
  tick(40, 2);
  seen += tick(2, 2) + tick(40, 2) + " ";                     // small: none 2 ms on, shown 42 ms on
  seen += tick(2, 800) + tick(20, 800) + tick(40, 800) + " "; // large: none at 2 and 22, at 62
  for (int dpi : {192, 144, 72}) {
    RECT suggested{0, 0, 10, 10};
    seen += Trace(WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&suggested)) + " ";
    seen += std::to_string(smoothCanvas.lineWidth) + " ";
  }
  clockOffset += 1000;
  Trace(WM_DISPLAYCHANGE, 32, MAKELPARAM(320, 240));
  HDC dc = GetDCEx(window, nullptr, DCX_CACHE); // plain pixels: its own may keep a mapping
  seen += std::to_string(GetUpdateRect(window, nullptr, FALSE)) +
          std::to_string(RestoreFromCanvas(window, dc, {0, 0, 320, 240}));
  SendMessageA(window, WM_ERASEBKGND, WPARAM(dc), 0); // paints the canvas afresh
  seen += std::to_string(smoothCanvas.memory.painted);
  PatBlt(dc, 0, 0, 320, 240, BLACKNESS);
  InvalidateRect(window, nullptr, FALSE);
  SendMessageA(window, WM_PAINT, 0, 0); // the canvas comes back
  seen += std::to_string(GetPixel(dc, 160, 120) != RGB(0, 0, 0));
  ReleaseDC(window, dc);
  EXPECT_EQ(seen, "11 211 01 001 0/0/- 2.000000 0/0/- 1.500000 0/0/- 1.000000 1011");
  HookImport("gdi32.dll", "BitBlt", realBitBlt);
  DestroyWindow(window);
  settings = SaverSettings();
}
