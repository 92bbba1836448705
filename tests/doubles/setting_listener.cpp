// Stands for the other programs on the desktop: a top-level window that notes
// each WM_SETTINGCHANGE broadcast it is sent (the system tells every window
// when a setting changes with SPIF_SENDCHANGE) in the file GYREL_DOUBLE_LOG
// names, for as many seconds as its command line says.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
  WNDCLASSA listener{};
  listener.lpszClassName = "GyrelSettingListener";
  listener.hInstance = GetModuleHandleA(nullptr);
  listener.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    const char *path = std::getenv("GYREL_DOUBLE_LOG");
    if (FILE *log = message == WM_SETTINGCHANGE && path ? std::fopen(path, "a") : nullptr)
      std::fprintf(log, "setting %u\n", static_cast<unsigned>(wParam)), std::fclose(log);
    return DefWindowProcA(window, message, wParam, lParam);
  };
  RegisterClassA(&listener);
  CreateWindowExA(0, listener.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                  listener.hInstance, nullptr);
  SetTimer(nullptr, 0, 1000u * (argc > 1 ? std::atoi(argv[1]) : 10),
           [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); });
  for (MSG message; GetMessageA(&message, nullptr, 0, 0) > 0;)
    DispatchMessageA(&message);
  return 0;
}
