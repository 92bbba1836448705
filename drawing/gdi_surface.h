// The engine's drawing seam on a real device context.
#pragma once
#include <windows.h>

#include <optional>
#include <vector>

#include "drawing/mirror_surface.h"
#include "drawing/smooth_canvas.h"
#include "drawing/surface.h"

// Counts of the GDI resources the saver makes, so long runs can show that
// every pen is deleted and every device context released.
struct GdiResourceCounts {
  long pensCreated = 0;
  long pensDeleted = 0;
  long contextsTaken = 0;
  long contextsReleased = 0;
};
extern GdiResourceCounts gdiResourceCounts;

class GdiSurface final : public Surface {
public:
  HWND window; // for the client rectangle; may be null with an explicit size
  HDC dc;
  RECT fallbackClient{}; // used when window is null (memory DCs in tests)

  GdiSurface(HWND window_, HDC dc_) : window(window_), dc(dc_) {}

  void SetMapMode(int mode) override;
  void SetWindowExtEx(int width, int height) override;
  void SetViewportExtEx(int width, int height) override;
  void SetViewportOrgEx(int x, int y) override;
  SurfaceObject CreatePen(int style, int width, ColorRef color) override;
  SurfaceObject SelectObject(SurfaceObject object) override;
  void DeleteObject(SurfaceObject object) override;
  void MoveToEx(int x, int y) override;
  void PolylineTo(const SurfacePoint *points, std::uint32_t count) override;
  SurfaceRect GetClientRect() override;
  void Rectangle(int left, int top, int right, int bottom) override;
  void GradientFill(const MeshVertex *vertices, std::uint32_t vertexCount,
                    const MeshTriangle *triangles, std::uint32_t triangleCount) override;
  void SelectClipRect(const SurfaceRect *rect) override;
};

// The monitors, in the saver window's client coordinates, when each shows
// the picture; empty when one picture covers the whole window.
extern std::vector<SurfaceRect> pictureMonitors;

// A window's device context for the length of one handler, always released;
// `surface` draws on it, or smooth into the window's canvas when the setting
// asks for that and the canvas can be had, once per monitor when
// pictureMonitors says so. What changed in the canvas is shown when the
// handler ends.
class WindowDrawing {
public:
  explicit WindowDrawing(HWND window);
  ~WindowDrawing();
  WindowDrawing(const WindowDrawing &) = delete;
  WindowDrawing &operator=(const WindowDrawing &) = delete;
  GdiSurface gdi;
  SmoothCanvas *canvas;
  std::optional<SmoothSurface> smooth;
  std::optional<MirrorSurface> mirror;
  Surface &surface;
};
