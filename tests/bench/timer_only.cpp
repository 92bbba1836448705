// The least a timer-driven window costs: a window with a timer of the given
// period and nothing else, for comparison with the saver's CPU use.
//   timer_only.exe PERIOD_MS SECONDS   prints the ticks it received
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {
long ticks = 0;
LRESULT CALLBACK TimerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    ++ticks;
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
} // namespace

int main(int argc, char **argv) {
  const UINT period = argc > 1 ? static_cast<UINT>(std::atoi(argv[1])) : 1;
  const DWORD seconds = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 30;
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = TimerProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "TimerOnly";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "TimerOnly", "Timer only", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  SetTimer(window, 1, period, nullptr);
  const DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < seconds * 1000u && GetMessageA(&message, nullptr, 0, 0) > 0)
    DispatchMessageA(&message);
  std::printf("ticks %ld\n", ticks);
  return 0;
}
