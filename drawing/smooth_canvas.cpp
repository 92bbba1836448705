#include "drawing/smooth_canvas.h"

#include <algorithm>
#include <vector>

#include "settings/saver_settings.h"

SmoothCanvas smoothCanvas;

namespace {
// Copies closer together than a display refresh would not be seen apart.
constexpr DWORD kPresentInterval = 16; // ms
// Copying much of the screen costs the saver as much as drawing it; curves
// grown over two refreshes still look smooth, at half the copying.
constexpr DWORD kLargePresentInterval = 30; // ms: every third tick of a 10 ms timer
constexpr int kLargeShare = 8;              // a large copy: over an eighth of the tiles

double LineWidthFor(HWND window, HDC dc) {
  // Each window's own DPI where the system tells it, else the DC's.
  using DpiForWindowFn = UINT(WINAPI *)(HWND);
  static const auto dpiForWindow = reinterpret_cast<DpiForWindowFn>(
      reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  UINT dpi = dpiForWindow ? dpiForWindow(window) : 0;
  if (dpi == 0) dpi = static_cast<UINT>(GetDeviceCaps(dc, LOGPIXELSX));
  return LineWidthAt(dpi);
}

// Copies parts of the canvas onto a window's DC, pixel for pixel: the DC may
// still hold the curves' mapping, which is put back after.
void CopyOut(const SmoothCanvas &c, HDC dc, const std::vector<SurfaceRect> &parts) {
  const int mode = SetMapMode(dc, MM_TEXT);
  POINT origin;
  SetViewportOrgEx(dc, 0, 0, &origin);
  for (const SurfaceRect &r : parts)
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, c.memoryDc, r.left, r.top,
           SRCCOPY);
  SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
  SetMapMode(dc, mode);
}
} // namespace

double LineWidthAt(UINT dpi) { return std::max(1.0, dpi / 96.0); }

SmoothCanvas *CanvasFor(HWND window) {
  SmoothCanvas &c = smoothCanvas;
  RECT client{};
  if (!settings.SmoothCurves || !GetClientRect(window, &client) || client.right <= 0 ||
      client.bottom <= 0) {
    if (c.window == window) ReleaseCanvas();
    return nullptr;
  }
  if (c.refused == window) return nullptr;
  if (c.bitmap && c.window == window && c.pixels.width == client.right &&
      c.pixels.height == client.bottom)
    return &c;
  ReleaseCanvas();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom; // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void *bits = nullptr;
  HDC dc = GetDC(window);
  c.bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (c.bitmap && bits) c.memoryDc = CreateCompatibleDC(dc);
  if (c.memoryDc) {
    c.previousBitmap = SelectObject(c.memoryDc, c.bitmap);
    c.window = window;
    c.pixels = {static_cast<std::uint32_t *>(bits), client.right, client.bottom, client.right};
    c.lineWidth = LineWidthFor(window, dc);
    c.memory = SmoothMemory{};
    c.memory.dirty.Resize(client.right, client.bottom);
    // Drawing goes on from the picture the window shows.
    BitBlt(c.memoryDc, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    GdiFlush();
  }
  ReleaseDC(window, dc);
  if (!c.memoryDc) {
    ReleaseCanvas();
    c.refused = window;
    return nullptr;
  }
  return &c;
}

void ReleaseCanvas() {
  SmoothCanvas &c = smoothCanvas;
  if (c.memoryDc) {
    SelectObject(c.memoryDc, c.previousBitmap);
    DeleteDC(c.memoryDc);
  }
  if (c.bitmap) DeleteObject(c.bitmap);
  c.memoryDc = nullptr;
  c.bitmap = nullptr;
  c.window = nullptr;
  c.pixels = {};
  c.memory = SmoothMemory{};
}

void PresentCanvas(HDC windowDc, bool now) {
  SmoothCanvas &c = smoothCanvas;
  if (!c.memoryDc || !c.memory.dirty.any) return;
  const DWORD tick = GetTickCount();
  const DirtyTiles &dirty = c.memory.dirty;
  const DWORD wait = dirty.marked * kLargeShare > dirty.columns * dirty.rows ? kLargePresentInterval
                                                                             : kPresentInterval;
  if (!now && !c.memory.newBackground && tick - c.lastPresent < wait) return;
  c.lastPresent = tick;
  c.memory.newBackground = false;
  SelectClipRgn(windowDc, nullptr);
  CopyOut(c, windowDc, c.memory.dirty.Runs(c.pixels.width, c.pixels.height));
  c.memory.dirty.Clear();
}

bool RestoreFromCanvas(HWND window, HDC dc, const RECT &part) {
  SmoothCanvas &c = smoothCanvas;
  if (!settings.SmoothCurves || c.window != window || !c.memoryDc || !c.memory.painted)
    return false;
  CopyOut(c, dc, {{part.left, part.top, part.right, part.bottom}});
  return true;
}
