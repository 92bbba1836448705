// The configuration dialog's live preview: the saver itself in a child
// control, kept from the mouse, the cursor and activation.
#include "animation/saver_procedure.h"

ATOM RegisterPreviewControlClass(HINSTANCE) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_SAVEBITS;
  windowClass.lpfnWndProc = PreviewControlProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = "GyrelClass";
  return RegisterClassExA(&windowClass);
}

LRESULT CALLBACK PreviewControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_ACTIVATE:
  case WM_SETCURSOR:
  case WM_MOUSEMOVE:
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN:
    return 1;
  default:
    return ScreenSaverProc(window, message, wParam, lParam);
  }
}
