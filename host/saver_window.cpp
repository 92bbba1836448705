// The saver's one window: a topmost pop-up over the virtual screen, or a
// child filling a preview window, with its message loop.
#include "animation/saver_procedure.h"
#include "host/host_state.h"

namespace {
const char *const kSaverClass = "WindowsScreenSaverClass";
const char *const kFullScreenText = "Screen Saver";

bool IsInputMessage(UINT message) {
  switch (message) {
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
  case WM_MOUSEMOVE:
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN:
    return true;
  default:
    return false;
  }
}

// The whole virtual screen (every monitor); where the system reports none,
// the screen's clip box.
RECT VirtualScreen() {
  RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
  screen.right = screen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
  screen.bottom = screen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (IsRectEmpty(&screen)) {
    HDC dc = GetDC(nullptr);
    GetClipBox(dc, &screen);
    ReleaseDC(nullptr, dc);
  }
  return screen;
}

void DetachInputMethod(HWND window) {
  // Only an IMM32 the process already has; the saver never loads it.
  hostState.imeModule = GetModuleHandleA("IMM32.DLL");
  if (!hostState.imeModule) return;
  hostState.associateContext = reinterpret_cast<ImmAssociateContextFn>(
      reinterpret_cast<void *>(GetProcAddress(hostState.imeModule, "ImmAssociateContext")));
  if (hostState.associateContext)
    hostState.savedInputContext = hostState.associateContext(window, nullptr);
}
} // namespace

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_CREATE:
    DetachInputMethod(window);
    GetCursorPos(&hostState.lastCursorPos);
    if (!hostState.isPreview) SetCursor(nullptr);
    break;
  case WM_DESTROY:
    if (hostState.imeModule && hostState.associateContext && hostState.savedInputContext)
      hostState.associateContext(window, hostState.savedInputContext);
    PostQuitMessage(0);
    break;
  case WM_SETTEXT:
    return 0; // the text identifies a running saver to FindWindowA
  case WM_PAINT:
    if (hostState.isClosing) return DefWindowProcA(window, message, wParam, lParam);
    if (!hostState.isPreview) SetCursor(nullptr);
    break;
  case WM_HELP:
  case WM_CONTEXTMENU:
    if (hostState.isPreview) {
      HWND parent = GetParent(window);
      if (parent && IsWindow(parent))
        PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
      return 1;
    }
    break;
  case WM_SYSCOMMAND:
    // The system keeps flags of its own in the low four bits.
    if (!hostState.isPreview &&
        ((wParam & 0xFFF0) == SC_NEXTWINDOW || (wParam & 0xFFF0) == SC_PREVWINDOW ||
         (wParam & 0xFFF0) == SC_SCREENSAVE))
      return 0;
    break;
  case WM_TIMER:
    if (hostState.isClosing) return 0;
    Sleep(0);
    break;
  case WM_DISPLAYCHANGE:
    // Monitors came or went: cover the virtual screen as it is now.
    if (!hostState.isPreview) {
      const RECT screen = VirtualScreen();
      SetWindowPos(window, HWND_TOPMOST, screen.left, screen.top, screen.right - screen.left,
                   screen.bottom - screen.top, SWP_NOACTIVATE);
    }
    break;
  default:
    if (IsInputMessage(message) && hostState.isClosing)
      return DefWindowProcA(window, message, wParam, lParam);
    break;
  }
  return ScreenSaverProc(window, message, wParam, lParam);
}

int RunSaverWindow(HWND parent) {
  WNDCLASSA windowClass{};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  windowClass.lpfnWndProc = SaverWindowProc;
  windowClass.hInstance = hostState.instance;
  windowClass.hIcon = LoadIconA(hostState.instance, MAKEINTRESOURCEA(100));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kSaverClass;

  DWORD exStyle;
  DWORD style;
  const char *text;
  int x = 0;
  int y = 0;
  int width;
  int height;
  if (parent) {
    RECT client{};
    GetClientRect(parent, &client);
    width = client.right;
    height = client.bottom;
    exStyle = 0;
    style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    text = "Preview";
    hostState.isPreview = 1;
  } else {
    const RECT screen = VirtualScreen();
    x = screen.left;
    y = screen.top;
    width = screen.right - screen.left;
    height = screen.bottom - screen.top;
    exStyle = WS_EX_TOPMOST;
    style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    text = kFullScreenText;

    HWND running = FindWindowA(kSaverClass, kFullScreenText);
    if (running && IsWindow(running)) {
      SetForegroundWindow(running);
      return 0;
    }
    hostState.lastAcLineStatus = ReadAcLineStatus();
    LoadPasswordVerifier();
  }
  hostState.queryCancelAutoPlayMessage =
      hostState.isWin9x ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

  if (RegisterClassA(&windowClass)) {
    hostState.saverWindow = CreateWindowExA(exStyle, kSaverClass, text, style, x, y, width, height,
                                            parent, nullptr, hostState.instance, nullptr);
  }
  int exitCode = 0;
  if (hostState.saverWindow) {
    if (!parent) SetForegroundWindow(hostState.saverWindow);
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (message.message == WM_QUIT) exitCode = static_cast<int>(message.wParam);
  }
  UnloadPasswordVerifier();
  return exitCode;
}
