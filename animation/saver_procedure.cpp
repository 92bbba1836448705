#include "animation/saver_procedure.h"

#include <cstring>

#include "drawing/gdi_surface.h"
#include "figure/background.h"
#include "figure/curve_set.h"
#include "figure/random.h"
#include "host/host_state.h"
#include "settings/saver_settings.h"

HWND animationWindow = nullptr;
UINT_PTR timerId = 0;
int clientWidth = 0;
int clientHeight = 0;
bool isPaused = false;
DWORD finishedTicks = 0;

namespace {
// A new background repaints the whole window in new colours. However short
// the pictures (no curves, no pause), that happens at most once a second:
// faster full-screen flashing is a seizure risk. A picture asked for sooner
// waits, and the tick that finds the second over starts it.
constexpr DWORD kBackgroundInterval = 1000; // ms
DWORD lastBackgroundTick = 0;
bool backgroundShown = false; // this window has had a picture
bool pictureWaiting = false;

// The power notifications the full-screen saver asks for: with the display
// off it draws nothing; while the system saves energy, at most 20 ticks a
// second. (The headers at hand lack these GUIDs.)
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr GUID kPowerSavingStatus = {
    0xe00958c0, 0xc213, 0x4ace, {0xac, 0x77, 0xfe, 0xcc, 0xed, 0x2e, 0xee, 0xa5}};
constexpr GUID kEnergySaverStatus = {
    0x550e8400, 0xe29b, 0x41d4, {0xa7, 0x16, 0x44, 0x66, 0x55, 0x44, 0x00, 0x00}};
constexpr DWORD kSavingInterval = 50; // ms between drawn ticks while saving energy
HPOWERNOTIFY powerNotifications[3] = {};
bool displayOff = false, batterySaver = false, energySaver = false;
DWORD lastDrawnTick = 0;

void RegisterPowerNotifications(HWND window) {
  const GUID *settings[] = {&kConsoleDisplayState, &kPowerSavingStatus, &kEnergySaverStatus};
  for (int i = 0; i < 3; ++i)
    powerNotifications[i] =
        RegisterPowerSettingNotification(window, settings[i], DEVICE_NOTIFY_WINDOW_HANDLE);
}

void UnregisterPowerNotifications() {
  for (HPOWERNOTIFY &notification : powerNotifications)
    if (notification) UnregisterPowerSettingNotification(notification), notification = nullptr;
  displayOff = batterySaver = energySaver = false;
}

void OnPowerSetting(const POWERBROADCAST_SETTING *setting) {
  if (!setting || setting->DataLength < sizeof(DWORD)) return;
  DWORD value;
  std::memcpy(&value, setting->Data, sizeof value);
  if (setting->PowerSetting == kConsoleDisplayState)
    displayOff = value == 0; // 1 on, 2 dimmed: drawing goes on where it stopped
  else if (setting->PowerSetting == kPowerSavingStatus)
    batterySaver = value != 0;
  else if (setting->PowerSetting == kEnergySaverStatus)
    energySaver = value != 0; // standard or high savings
}
} // namespace

void ReadPictureMonitors(HWND window) {
  pictureMonitors.clear();
  // Only the full-screen window: previews are one small picture.
  if (!settings.PictureOnEachMonitor || (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)) return;
  // The monitors' parts of the window, in its client coordinates. Over the
  // window's DC they would come out empty while it is being made and not yet shown.
  RECT area;
  POINT origin{0, 0};
  GetClientRect(window, &area);
  ClientToScreen(window, &origin);
  OffsetRect(&area, origin.x, origin.y);
  EnumDisplayMonitors(
      nullptr, &area,
      [](HMONITOR, HDC, RECT *r, LPARAM data) -> BOOL {
        const POINT &o = *reinterpret_cast<const POINT *>(data);
        pictureMonitors.push_back({r->left - o.x, r->top - o.y, r->right - o.x, r->bottom - o.y});
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&origin));
  if (pictureMonitors.size() < 2) pictureMonitors.clear(); // one monitor: the classic picture
}

void NewPicture(HWND window) {
  const DWORD now = GetTickCount();
  if (backgroundShown && now - lastBackgroundTick < kBackgroundInterval) {
    pictureWaiting = true;
    return;
  }
  backgroundShown = true;
  lastBackgroundTick = now;
  pictureWaiting = false;
  finishedTicks = 0; // each picture rests its own pause, also one the dialog started
  if (smoothCanvas.refused == window) smoothCanvas.refused = nullptr; // its buffer asked again
  WindowDrawing drawing(window);
  PaintBackground(drawing.surface);
  const int span = settings.MaxGyrels - settings.MinGyrels + 1;
  const int draw = NextRandom();
  // Load keeps the range ordered; a span below 1 could only come from a
  // field changed behind its back, and then the minimum is used.
  const int count = span > 0 ? draw % span + settings.MinGyrels : settings.MinGyrels;
  SpawnCurves(pictureCurves, count);
}

namespace {
LRESULT OnTick(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (isPaused) return 0;
  if (wParam != timerId) return SaverDefaultProc(window, message, wParam, lParam);
  if (displayOff) return 0;
  const DWORD now = GetTickCount();
  if ((batterySaver || energySaver) && now - lastDrawnTick < kSavingInterval) return 0;
  lastDrawnTick = now;
  WindowDrawing drawing(window);
  if (pictureWaiting) {
    NewPicture(window);
  } else if (pictureCurves.AllFinished()) {
    const DWORD ticks = finishedTicks++;
    if (ticks >= settings.PauseTicks) NewPicture(window);
  }
  const int scale = drawing.smooth        ? SmoothCurveScale(clientWidth, clientHeight)
                    : settings.FineCurves ? FineCurveScale(clientWidth, clientHeight)
                                          : 1;
  pictureCurves.DrawAll(drawing.surface, clientWidth, clientHeight,
                        static_cast<int>(settings.PointsPerCycle), scale);
  return 0;
}

// An erase repaints the background. Within the second after the last new
// one it keeps its colours: display changes can come in bursts, and each
// would otherwise flash the whole screen in new colours.
void EraseBackground(HWND window) {
  const DWORD now = GetTickCount();
  const bool step = !backgroundShown || now - lastBackgroundTick >= kBackgroundInterval;
  if (step) backgroundShown = true, lastBackgroundTick = now;
  WindowDrawing drawing(window);
  PaintBackground(drawing.surface, step);
  if (drawing.canvas) PresentCanvas(drawing.gdi.dc, true);
}

} // namespace

extern "C" LRESULT WINAPI ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_CREATE:
    animationWindow = window;
    settings.Load();
    ReadPictureMonitors(window);
    backgroundShown = pictureWaiting = false; // a new window's first picture is never held back
    timerId = SetTimer(window, kAnimationTimer, settings.DrawSpeed, nullptr);
    if (!(GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)) RegisterPowerNotifications(window);
    SetBackgroundRanges(cornerWalker, edgeWalker, centerWalker);
    NewPicture(window);
    return 0;
  case WM_DESTROY:
    if (timerId != 0) KillTimer(window, timerId);
    if (smoothCanvas.window == window) ReleaseCanvas();
    UnregisterPowerNotifications();
    break;
  case WM_POWERBROADCAST:
    if (wParam != PBT_POWERSETTINGCHANGE) break;
    OnPowerSetting(reinterpret_cast<const POWERBROADCAST_SETTING *>(lParam));
    return TRUE;
  case WM_DISPLAYCHANGE:
    // The window may have a new size and the monitors new places: the
    // picture's curves start again on a background painted afresh.
    ReadPictureMonitors(window);
    for (TrochoidCurve &curve : pictureCurves.curves)
      curve.Restart();
    pictureCurves.finishedCount = 0;
    finishedTicks = 0;
    if (smoothCanvas.window == window) smoothCanvas.memory.painted = false; // erased anew
    InvalidateRect(window, nullptr, TRUE);
    break;
  case WM_DPICHANGED:
    // The window keeps its place over the screens; its smooth lines keep
    // their weight at the new scale.
    if (smoothCanvas.window == window) smoothCanvas.lineWidth = LineWidthAt(LOWORD(wParam));
    return 0;
  case WM_SIZE:
    clientWidth = LOWORD(lParam);
    clientHeight = HIWORD(lParam);
    break;
  case WM_ERASEBKGND: {
    // A smooth picture is shown again as it was; otherwise the saver paints
    // through its own DC, not the system's in wParam.
    RECT client;
    GetClientRect(window, &client);
    if (RestoreFromCanvas(window, reinterpret_cast<HDC>(wParam), client)) return 1;
    EraseBackground(window);
    return 0;
  }
  case WM_PAINT:
    if (smoothCanvas.window == window && smoothCanvas.memory.painted) {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RestoreFromCanvas(window, dc, paint.rcPaint);
      EndPaint(window, &paint);
      return 0;
    }
    break;
  case WM_KEYDOWN:
    isPaused = !isPaused;
    if (smoothCanvas.window == window) { // what the last ticks drew is shown before the pause
      HDC dc = GetDC(window);
      PresentCanvas(dc, true);
      ReleaseDC(window, dc);
    }
    return 0;
  case WM_TIMER:
    return OnTick(window, message, wParam, lParam);
  default:
    break;
  }
  return SaverDefaultProc(window, message, wParam, lParam);
}
