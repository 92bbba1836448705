#include "drawing/gdi_surface.h"

#include <cstddef>

GdiResourceCounts gdiResourceCounts;

static_assert(sizeof(SurfacePoint) == sizeof(POINT) && offsetof(POINT, y) == 4);
static_assert(sizeof(MeshVertex) == sizeof(TRIVERTEX) && offsetof(TRIVERTEX, Red) == 8 &&
              offsetof(TRIVERTEX, Alpha) == 14);
static_assert(sizeof(MeshTriangle) == sizeof(GRADIENT_TRIANGLE));

// Setting an extent or origin makes GDI rebuild the DC's transform, which
// some implementations make expensive (Wine: about 0.3 ms a call, so four
// calls per curve per tick were most of the saver's CPU). The curves set the
// same mapping every time, so a call that would leave the DC exactly as it
// is, as read back from the DC itself, is skipped.
namespace {
// The isotropic fix-up makes the resulting viewport extent differ from the
// one asked for; remember the last request and its result to recognise it.
struct ViewportRequest {
  HDC dc = nullptr;
  SIZE window{};
  SIZE requested{};
  SIZE result{};
};
ViewportRequest lastViewportRequest;

bool Same(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }
} // namespace

void GdiSurface::SetMapMode(int mode) {
  if (::GetMapMode(dc) != mode) ::SetMapMode(dc, mode);
}

void GdiSurface::SetWindowExtEx(int width, int height) {
  SIZE current;
  if (::GetWindowExtEx(dc, &current) && Same(current, SIZE{width, height})) return;
  ::SetWindowExtEx(dc, width, height, nullptr);
}

void GdiSurface::SetViewportExtEx(int width, int height) {
  SIZE windowExt, viewport;
  const SIZE requested{width, height};
  const ViewportRequest &last = lastViewportRequest;
  if (::GetWindowExtEx(dc, &windowExt) && ::GetViewportExtEx(dc, &viewport) && last.dc == dc &&
      Same(last.window, windowExt) && Same(last.requested, requested) &&
      Same(last.result, viewport))
    return;
  ::SetViewportExtEx(dc, width, height, nullptr);
  if (::GetViewportExtEx(dc, &viewport)) lastViewportRequest = {dc, windowExt, requested, viewport};
}

void GdiSurface::SetViewportOrgEx(int x, int y) {
  POINT current;
  if (::GetViewportOrgEx(dc, &current) && current.x == x && current.y == y) return;
  ::SetViewportOrgEx(dc, x, y, nullptr);
}

SurfaceObject GdiSurface::CreatePen(int style, int width, ColorRef color) {
  ++gdiResourceCounts.pensCreated;
  return reinterpret_cast<SurfaceObject>(::CreatePen(style, width, color));
}

SurfaceObject GdiSurface::SelectObject(SurfaceObject object) {
  return reinterpret_cast<SurfaceObject>(::SelectObject(dc, reinterpret_cast<HGDIOBJ>(object)));
}

void GdiSurface::DeleteObject(SurfaceObject object) {
  if (::DeleteObject(reinterpret_cast<HGDIOBJ>(object))) ++gdiResourceCounts.pensDeleted;
}

void GdiSurface::MoveToEx(int x, int y) { ::MoveToEx(dc, x, y, nullptr); }

void GdiSurface::PolylineTo(const SurfacePoint *points, std::uint32_t count) {
  ::PolylineTo(dc, reinterpret_cast<const POINT *>(points), count);
}

SurfaceRect GdiSurface::GetClientRect() {
  RECT rect = fallbackClient;
  if (window) ::GetClientRect(window, &rect);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

void GdiSurface::Rectangle(int left, int top, int right, int bottom) {
  ::Rectangle(dc, left, top, right, bottom);
}

void GdiSurface::GradientFill(const MeshVertex *vertices, std::uint32_t vertexCount,
                              const MeshTriangle *triangles, std::uint32_t triangleCount) {
  // GradientFill takes non-const arrays but only reads them.
  ::GradientFill(dc, reinterpret_cast<TRIVERTEX *>(const_cast<MeshVertex *>(vertices)), vertexCount,
                 const_cast<MeshTriangle *>(triangles), triangleCount, GRADIENT_FILL_TRIANGLE);
}

void GdiSurface::SelectClipRect(const SurfaceRect *rect) {
  HRGN region = rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr;
  SelectClipRgn(dc, region); // the DC keeps a copy
  if (region) ::DeleteObject(region);
}

std::vector<SurfaceRect> pictureMonitors;

WindowDrawing::WindowDrawing(HWND window)
    : gdi(window, GetDC(window)), canvas(CanvasFor(window)),
      smooth(canvas ? std::optional<SmoothSurface>(std::in_place, canvas->pixels, canvas->memory)
                    : std::nullopt),
      mirror(pictureMonitors.empty()
                 ? std::nullopt
                 : std::optional<MirrorSurface>(std::in_place,
                                                smooth ? static_cast<Surface &>(*smooth) : gdi,
                                                pictureMonitors)),
      surface(mirror   ? static_cast<Surface &>(*mirror)
              : smooth ? static_cast<Surface &>(*smooth)
                       : gdi) {
  ++gdiResourceCounts.contextsTaken;
  if (canvas) smooth->lineWidth = canvas->lineWidth;
}

WindowDrawing::~WindowDrawing() {
  if (mirror) mirror->Flush();
  if (canvas) PresentCanvas(gdi.dc, false);
  if (ReleaseDC(gdi.window, gdi.dc)) ++gdiResourceCounts.contextsReleased;
}
