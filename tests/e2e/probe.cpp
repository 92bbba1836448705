// A small Windows helper for the end-to-end scripts: it looks at the saver's
// windows from outside and plays the Display settings' part.
//   probe fullscreen          the virtual screen; the saver's rect, topmost, in front
//   probe preview SCR         host SCR /p <parent>, send it input, close the parent
//   probe config SCR TAIL BTN start SCR with TAIL ("{hwnd}": a window made here), report
//                             the dialog's owner, press BTN (ok, cancel, help)
//   probe running-flag        the system's screen-saver-running flag
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
void Pump(DWORD milliseconds) {
  for (const DWORD end = GetTickCount() + milliseconds;; Sleep(10)) {
    for (MSG msg; PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
      DispatchMessageA(&msg);
    if (LONG(end - GetTickCount()) <= 0) return;
  }
}

HWND WaitFor(HWND parent, const char *className, const char *title) {
  HWND found = nullptr;
  for (int i = 0; i < 300 && !(found = FindWindowExA(parent, nullptr, className, title)); ++i)
    Pump(50);
  return found;
}

HWND MakeWindow(const char *title) {
  return CreateWindowExA(0, "STATIC", title, WS_POPUP | WS_VISIBLE, 50, 50, 152, 112, nullptr,
                         nullptr, nullptr, nullptr);
}

PROCESS_INFORMATION Start(const char *scr, std::string line, HWND window) {
  if (const std::size_t mark = line.find("{hwnd}"); mark != std::string::npos)
    line.replace(mark, 6, std::to_string(UINT_PTR(window)));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  CreateProcessA(scr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                 &process);
  return process;
}

// Waits while pumping, up to 30 s: a dialog owned by a window here sends to it as it ends.
int ReportExit(const PROCESS_INFORMATION &process) {
  if (!process.hProcess) return std::printf("not started\n"), 1;
  DWORD code = STILL_ACTIVE;
  for (const DWORD start = GetTickCount(); code == STILL_ACTIVE && GetTickCount() - start < 30000;
       Pump(0))
    if (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0)
      GetExitCodeProcess(process.hProcess, &code);
  if (code == STILL_ACTIVE) TerminateProcess(process.hProcess, 1);
  return std::printf(code == STILL_ACTIVE ? "exit running\n" : "exit %ld\n", long(code)), 0;
}

int FullScreen() {
  std::printf("virtual %d %d %d %d\n", GetSystemMetrics(SM_XVIRTUALSCREEN),
              GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
              GetSystemMetrics(SM_CYVIRTUALSCREEN));
  HWND saver = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
  RECT r;
  if (!saver || !GetWindowRect(saver, &r)) return std::printf("no saver\n"), 1;
  return std::printf("window %ld %ld %ld %ld topmost %d in-front %d\n", r.left, r.top,
                     r.right - r.left, r.bottom - r.top,
                     (GetWindowLongPtrA(saver, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0,
                     GetForegroundWindow() == saver),
         0;
}

// Wine does not composite another process's child into its parent, so the
// script counts the preview's timer ticks in Wine's message trace instead.
int Preview(const char *scr) {
  HWND parent = MakeWindow("Preview host");
  const PROCESS_INFORMATION process = Start(scr, "GyrelSaver.scr /p {hwnd}", parent);
  HWND child = WaitFor(parent, "WindowsScreenSaverClass", "Preview");
  if (!child) return std::printf("no preview child\n"), 1;
  RECT c, p;
  GetClientRect(child, &c);
  GetClientRect(parent, &p);
  std::printf("fills %d child-handle 0x%llx\n", c.right == p.right && c.bottom == p.bottom,
              static_cast<unsigned long long>(UINT_PTR(child)));
  Pump(2000);
  for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_SYSKEYDOWN, WM_ACTIVATEAPP})
    PostMessageA(child, message, 0, MAKELPARAM(40, 40));
  SetCursorPos(10, 10);
  SetCursorPos(140, 100);
  Pump(1000);
  std::printf("alive-after-input %d\n", IsWindow(child));
  DestroyWindow(parent);
  return ReportExit(process);
}

int Configure(const char *scr, const char *tail, const std::string &button) {
  HWND foreground = MakeWindow("Probe foreground"), given = MakeWindow("Probe given");
  SetForegroundWindow(foreground);
  Pump(200);
  const PROCESS_INFORMATION process = Start(scr, std::string("GyrelSaver.scr ") + tail, given);
  HWND dialog = WaitFor(nullptr, "#32770", "Configure GyrelSaver Screensaver");
  if (!dialog) return std::printf("no dialog\n"), 1;
  const HWND owner = GetWindow(dialog, GW_OWNER);
  std::printf("owner %s\n", owner == given        ? "given"
                            : owner == foreground ? "foreground"
                            : owner               ? "other"
                                                  : "none");
  if (button == "help") {
    PostMessageA(dialog, WM_COMMAND, 1032, LPARAM(GetDlgItem(dialog, 1032)));
    std::printf("help viewer %d\n", WaitFor(nullptr, "HH Parent", nullptr) != nullptr);
  }
  PostMessageA(dialog, WM_COMMAND, button == "ok" ? IDOK : IDCANCEL, 0);
  return ReportExit(process);
}
} // namespace

int main(int argc, char **argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "fullscreen") return FullScreen();
  if (command == "preview" && argc > 2) return Preview(argv[2]);
  if (command == "config" && argc > 4) return Configure(argv[2], argv[3], argv[4]);
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  return std::printf("running %d\n", running), 0;
}
