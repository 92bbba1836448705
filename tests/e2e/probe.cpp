// A small Windows helper for the end-to-end scripts: it looks at the saver's
// windows from outside and plays the Display settings' part.
//   probe fullscreen          the virtual screen; the saver's rect, topmost, in front
//   probe preview SCR         host SCR /p <parent> for 2 s, then close the parent
//   probe help SCR            start SCR /c, press Help: is a help viewer shown?
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

PROCESS_INFORMATION Start(const char *scr, std::string line) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  CreateProcessA(scr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                 &process);
  return process;
}

// Waits up to 30 s, pumping this thread's messages meanwhile.
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
  HWND parent = CreateWindowExA(0, "STATIC", "Preview host", WS_POPUP | WS_VISIBLE, 50, 50, 152,
                                112, nullptr, nullptr, nullptr, nullptr);
  const PROCESS_INFORMATION process =
      Start(scr, "GyrelSaver.scr /p " + std::to_string(UINT_PTR(parent)));
  HWND child = WaitFor(parent, "WindowsScreenSaverClass", "Preview");
  if (!child) return std::printf("no preview child\n"), 1;
  RECT c, p;
  GetClientRect(child, &c);
  GetClientRect(parent, &p);
  std::printf("fills %d child-handle 0x%llx\n", c.right == p.right && c.bottom == p.bottom,
              static_cast<unsigned long long>(UINT_PTR(child)));
  Pump(2000);
  DestroyWindow(parent);
  return ReportExit(process);
}

int Help(const char *scr) { // the dialog's Help button, then Cancel
  const PROCESS_INFORMATION process = Start(scr, "GyrelSaver.scr /c");
  HWND dialog = WaitFor(nullptr, "#32770", "Configure GyrelSaver Screensaver");
  if (!dialog) return std::printf("no dialog\n"), 1;
  PostMessageA(dialog, WM_COMMAND, 1032, LPARAM(GetDlgItem(dialog, 1032)));
  std::printf("help viewer %d\n", WaitFor(nullptr, "HH Parent", nullptr) != nullptr);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  return ReportExit(process);
}
} // namespace

int main(int argc, char **argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "fullscreen") return FullScreen();
  if (command == "preview" && argc > 2) return Preview(argv[2]);
  if (command == "help" && argc > 2) return Help(argv[2]);
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  return std::printf("running %d\n", running), 0;
}
