// Prints the texts of the visible controls of the top-level window whose title
// starts with the given text, one a line: what a person sees on a page of it.
//   window_texts.exe TITLE
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
  static const char *title = argc > 1 ? argv[1] : "";
  HWND found = nullptr;
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        char text[256] = "";
        GetWindowTextA(window, text, sizeof text);
        if (std::strncmp(text, title, std::strlen(title)) != 0 || !IsWindowVisible(window))
          return TRUE;
        *reinterpret_cast<HWND *>(data) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  if (!found) return 1;
  EnumChildWindows(
      found,
      [](HWND control, LPARAM) -> BOOL {
        char text[512] = "";
        if (IsWindowVisible(control) && GetWindowTextA(control, text, sizeof text) > 0)
          std::printf("%s\n", text);
        return TRUE;
      },
      0);
  return 0;
}
