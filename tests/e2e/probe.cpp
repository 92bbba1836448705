// A small Windows helper for the end-to-end scripts: it looks at the saver's
// windows from outside, and plays the Display settings' part for a preview.
//   probe fullscreen              describe the running full-screen saver
//   probe preview SCR [ARGS...]   host SCR /p <parent> and watch it
//   probe foreground              the class and text of the foreground window
//   probe run SCR COMMANDLINE     start SCR with exactly that command line, print its exit code
//   probe running-flag            the system's screen-saver-running flag
//   probe config SCR TAIL BUTTON  start SCR with TAIL ("{given}" is a window made here;
//                                 another one is in the foreground), report the
//                                 dialog's owner, press BUTTON (ok, cancel, help), exit code
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {
int Fail(const char *what) {
  std::printf("FAIL %s\n", what);
  return 1;
}

int DescribeFullScreen() {
  HWND saver = FindWindowA("WindowsScreenSaverClass", "Screen Saver");
  if (!saver) return Fail("no full-screen saver window");
  RECT rect;
  GetWindowRect(saver, &rect);
  const LONG_PTR exStyle = GetWindowLongPtrA(saver, GWL_EXSTYLE);
  std::printf("window %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
              rect.bottom - rect.top);
  std::printf("virtual %d %d %d %d\n", GetSystemMetrics(SM_XVIRTUALSCREEN),
              GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
              GetSystemMetrics(SM_CYVIRTUALSCREEN));
  std::printf("topmost %d\n", (exStyle & WS_EX_TOPMOST) ? 1 : 0);
  std::printf("visible %d\n", IsWindowVisible(saver) ? 1 : 0);
  return 0;
}

int DescribeForeground() {
  HWND window = GetForegroundWindow();
  char className[128] = "", text[128] = "";
  if (window) {
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, text, sizeof text);
  }
  std::printf("foreground %s|%s\n", className, text);
  return 0;
}

void Pump(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&msg);
    if (milliseconds) Sleep(10);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

int HostPreview(const char *scr) {
  WNDCLASSA parentClass{};
  parentClass.lpfnWndProc = DefWindowProcA;
  parentClass.hInstance = GetModuleHandleA(nullptr);
  parentClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  parentClass.lpszClassName = "ProbePreviewParent";
  RegisterClassA(&parentClass);
  HWND parent = CreateWindowExA(0, "ProbePreviewParent", "Preview host", WS_POPUP | WS_VISIBLE, 50,
                                50, 152, 112, nullptr, nullptr, parentClass.hInstance, nullptr);
  RECT parentClient;
  GetClientRect(parent, &parentClient);

  std::string command =
      std::string("\"") + scr + "\" /p " + std::to_string(reinterpret_cast<UINT_PTR>(parent));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return Fail("could not start the saver");

  HWND child = nullptr;
  for (int i = 0; i < 300 && !child; ++i) {
    Pump(20);
    child = FindWindowExA(parent, nullptr, "WindowsScreenSaverClass", "Preview");
  }
  if (!child) return Fail("no preview child");
  RECT childRect;
  GetClientRect(child, &childRect);
  std::printf("child %ld %ld parent %ld %ld\n", childRect.right, childRect.bottom,
              parentClient.right, parentClient.bottom);

  // Wine does not composite a child drawn by another process into its
  // parent, so its pixels cannot be watched from here; the script counts the
  // animation timer's ticks to this handle in Wine's message trace instead.
  std::printf("child-handle 0x%llx\n",
              static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(child)));
  Pump(2000);
  // Input of every kind goes to the preview; none may close it.
  const UINT inputs[] = {WM_MOUSEMOVE,   WM_LBUTTONDOWN, WM_RBUTTONDOWN,
                         WM_MBUTTONDOWN, WM_SYSKEYDOWN,  WM_ACTIVATEAPP};
  for (UINT message : inputs)
    PostMessageA(child, message, 0, MAKELPARAM(40, 40));
  SetCursorPos(10, 10);
  SetCursorPos(140, 100);
  Pump(1000);
  std::printf("alive-after-input %d\n", IsWindow(child) ? 1 : 0);

  DestroyWindow(parent);
  const DWORD waited = WaitForSingleObject(process.hProcess, 10000);
  DWORD exitCode = 12345;
  GetExitCodeProcess(process.hProcess, &exitCode);
  std::printf("exit %s %ld\n", waited == WAIT_OBJECT_0 ? "ended" : "running",
              static_cast<long>(exitCode));
  if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  return 0;
}
bool Start(const char *scr, std::string line, PROCESS_INFORMATION &process) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  return CreateProcessA(scr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process) != 0;
}

// Waits for the process while pumping: a dialog owned by a window here sends
// to it while it ends.
int ReportExit(const PROCESS_INFORMATION &process) {
  bool ended = false;
  for (int i = 0; i < 300 && !ended; ++i) {
    ended =
        MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0;
    Pump(0);
  }
  if (!ended) {
    TerminateProcess(process.hProcess, 1);
    std::printf("exit running\n");
    return 0;
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  std::printf("exit %ld\n", static_cast<long>(exitCode));
  return 0;
}

int RunExact(const char *scr, const char *commandLine) {
  // "{hwnd}" in the command line stands for a window made here, as owner or parent.
  std::string line = commandLine;
  const std::size_t mark = line.find("{hwnd}");
  if (mark != std::string::npos) {
    HWND owner = CreateWindowExA(0, "STATIC", "Probe owner", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    const UINT_PTR handle = reinterpret_cast<UINT_PTR>(owner);
    line.replace(mark, 6, std::to_string(handle));
    std::printf("window 0x%llx\n", static_cast<unsigned long long>(handle));
  }
  PROCESS_INFORMATION process{};
  if (!Start(scr, line, process)) return Fail("could not start the saver");
  return ReportExit(process);
}

HWND MakeWindow(const char *title) {
  return CreateWindowExA(0, "STATIC", title, WS_POPUP | WS_VISIBLE, 600, 600, 40, 40, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND WaitForWindow(const char *className, const char *title, DWORD milliseconds) {
  HWND found = nullptr;
  for (DWORD waited = 0; !found && waited < milliseconds; waited += 50) {
    Pump(50);
    found = FindWindowA(className, title);
  }
  return found;
}

int DriveConfiguration(const char *scr, const char *tail, const char *button) {
  HWND foreground = MakeWindow("Probe foreground");
  HWND given = MakeWindow("Probe given");
  SetForegroundWindow(foreground);
  Pump(200);
  std::string line = std::string("GyrelSaver.scr ") + tail;
  const std::size_t mark = line.find("{given}");
  if (mark != std::string::npos)
    line.replace(mark, 7, std::to_string(reinterpret_cast<UINT_PTR>(given)));
  PROCESS_INFORMATION process{};
  if (!Start(scr, line, process)) return Fail("could not start the saver");
  HWND dialog = WaitForWindow("#32770", "Configure GyrelSaver Screensaver", 15000);
  if (!dialog) return Fail("no configuration dialog");
  HWND owner = GetWindow(dialog, GW_OWNER);
  std::printf("owner %s\n", owner == given        ? "given"
                            : owner == foreground ? "foreground"
                            : owner               ? "other"
                                                  : "none");
  if (std::strcmp(button, "help") == 0) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1032, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1032)));
    HWND viewer = WaitForWindow("HH Parent", nullptr, 15000);
    std::printf("help viewer %d\n", viewer != nullptr);
    if (!viewer) {
      EnumWindows(
          [](HWND w, LPARAM) -> BOOL {
            char cls[128], text[128];
            GetClassNameA(w, cls, sizeof cls);
            GetWindowTextA(w, text, sizeof text);
            std::printf("  window %s|%s\n", cls, text);
            return TRUE;
          },
          0);
    }
    button = "cancel";
  }
  PostMessageA(dialog, WM_COMMAND, std::strcmp(button, "ok") == 0 ? IDOK : IDCANCEL, 0);
  return ReportExit(process);
}
} // namespace

int main(int argc, char **argv) {
  if (argc >= 2 && std::strcmp(argv[1], "fullscreen") == 0) return DescribeFullScreen();
  if (argc >= 2 && std::strcmp(argv[1], "foreground") == 0) return DescribeForeground();
  if (argc >= 3 && std::strcmp(argv[1], "preview") == 0) return HostPreview(argv[2]);
  if (argc >= 4 && std::strcmp(argv[1], "run") == 0) return RunExact(argv[2], argv[3]);
  if (argc >= 5 && std::strcmp(argv[1], "config") == 0)
    return DriveConfiguration(argv[2], argv[3], argv[4]);
  if (argc >= 2 && std::strcmp(argv[1], "running-flag") == 0) {
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    std::printf("running %d\n", running);
    return 0;
  }
  std::printf("usage: probe fullscreen | foreground | preview SCR\n");
  return 2;
}
