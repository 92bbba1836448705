// What a tick that draws anything costs on a real window, apart from the
// drawing: a window like the saver's (a topmost pop-up over the screen with
// its own DC), a one-point line, then the message loop finding its queue
// empty, which is when the system hands the window's new pixels on (under
// Wine: to the X server). Prints microseconds per pass of each kind.
//   window_flush.exe
#include <windows.h>

#include <cstdio>

namespace {
double Seconds() {
  LARGE_INTEGER frequency, count;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&count);
  return double(count.QuadPart) / double(frequency.QuadPart);
}

void EmptyQueue() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageA(&message);
}

// Microseconds per pass of `passes` runs of: an optional one-point line, an optional idle queue.
double PerPass(HDC dc, int passes, bool draw, bool idle) {
  const double start = Seconds();
  for (int i = 0; i < passes; ++i) {
    const POINT end{10 + i % 50, 10};
    if (draw) MoveToEx(dc, 5, 5, nullptr), PolylineTo(dc, &end, 1);
    if (idle) EmptyQueue();
  }
  return (Seconds() - start) / passes * 1e6;
}
} // namespace

int main() {
  WNDCLASSA windowClass{};
  windowClass.style = CS_OWNDC;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = "WindowFlushBench";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(WS_EX_TOPMOST, "WindowFlushBench", "", WS_POPUP | WS_VISIBLE, 0, 0,
                                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                nullptr, nullptr, nullptr, nullptr);
  for (int i = 0; i < 50; ++i, Sleep(10))
    EmptyQueue();
  HDC dc = GetDC(window);
  std::printf("window_flush: one-point line %.2f us; empty queue %.2f us; "
              "line then empty queue %.2f us\n",
              PerPass(dc, 5000, true, false), PerPass(dc, 2000, false, true),
              PerPass(dc, 1000, true, true));
  ReleaseDC(window, dc);
  DestroyWindow(window);
  return 0;
}
