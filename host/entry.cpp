// The process entry: skip the program name, pick the mode from the first
// letter of the switch, run it under the fault guard, exit with its result.
#include "animation/saver_procedure.h"
#include "host/command_line.h"
#include "host/host_state.h"

#include <commctrl.h>

namespace {
HWND OwnerOrForeground(std::uint32_t handle) {
  HWND owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
  return handle != 0 && IsWindow(owner) ? owner : GetForegroundWindow();
}

int RunMode(const char *tail) {
  const CommandLineChoice choice = ScanCommandLine(tail);
  switch (choice.mode) {
  case SaverMode::FullScreen:
    return RunSaverWindow(nullptr);
  case SaverMode::Preview: {
    HWND parent = reinterpret_cast<HWND>(static_cast<UINT_PTR>(choice.handle));
    if (choice.handle == 0 || !IsWindow(parent)) return -1;
    return RunSaverWindow(parent);
  }
  case SaverMode::Configure:
    // An empty tail has no owner; a C without a usable handle takes the foreground window.
    if (choice.letter == '\0') return static_cast<int>(ShowConfigureDialog(nullptr));
    return static_cast<int>(ShowConfigureDialog(OwnerOrForeground(choice.handle)));
  case SaverMode::ChangePassword:
    if (!hostState.isWin9x) return -1;
    ChangeSaverPassword(OwnerOrForeground(choice.handle));
    return 0;
  case SaverMode::Invalid:
    break;
  }
  return -1;
}

// The guard: a fault that escapes a mode goes to the system's filter; when
// it lets the handler run, the running flag is cleared and the process
// ends with -1.
LONG WINAPI GuardFilter(EXCEPTION_POINTERS *exception) {
  // The system filter calls the installed top-level filter itself; take
  // ours out first so it does not come back here.
  SetUnhandledExceptionFilter(nullptr);
  const LONG answer = UnhandledExceptionFilter(exception);
  if (answer == EXCEPTION_EXECUTE_HANDLER) {
    SetSaverRunning(0);
    ExitProcess(static_cast<UINT>(-1));
  }
  return answer;
}
} // namespace

int SaverMain(HINSTANCE instance, const char *tail) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_TAB_CLASSES;
  InitCommonControlsEx(&controls);

  hostState.instance = instance;
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  hostState.isWin9x =
      GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;

  SetUnhandledExceptionFilter(GuardFilter);
  return RunMode(tail);
}

void SaverEntry() {
  const char *tail = SkipProgramName(GetCommandLineA(),
                                     [](const char *p) -> const char * { return CharNextA(p); });
  ExitProcess(static_cast<UINT>(SaverMain(GetModuleHandleA(nullptr), tail)));
}
