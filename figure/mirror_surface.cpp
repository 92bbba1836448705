#include "figure/mirror_surface.h"

void MirrorSurface::SetWindowExtEx(int width, int height) {
  windowExtent = {width, height};
  windowExtentSet = true;
}

void MirrorSurface::SetViewportExtEx(int width, int height) {
  viewportExtent = {width, height};
  viewportExtentSet = true;
}

// A length across the client becomes the same share of the monitor.
int MirrorSurface::ScaleX(long long x, const SurfaceRect &monitor) const {
  const long long span = client.right - client.left;
  return span ? static_cast<int>(x * (monitor.right - monitor.left) / span) : 0;
}

int MirrorSurface::ScaleY(long long y, const SurfaceRect &monitor) const {
  const long long span = client.bottom - client.top;
  return span ? static_cast<int>(y * (monitor.bottom - monitor.top) / span) : 0;
}

void MirrorSurface::Enter(const SurfaceRect &monitor) {
  inner.SetMapMode(mapMode);
  if (windowExtentSet) inner.SetWindowExtEx(windowExtent.x, windowExtent.y);
  if (viewportExtentSet)
    inner.SetViewportExtEx(ScaleX(viewportExtent.x, monitor), ScaleY(viewportExtent.y, monitor));
  inner.SetViewportOrgEx(monitor.left + ScaleX(viewportOrigin.x, monitor),
                         monitor.top + ScaleY(viewportOrigin.y, monitor));
  inner.SelectClipRect(&monitor);
}

// Curve points are logical units: the monitor's mapping places and scales them.
void MirrorSurface::PolylineTo(const SurfacePoint *points, std::uint32_t count) {
  for (const SurfaceRect &monitor : monitors) {
    Enter(monitor);
    inner.MoveToEx(position.x, position.y);
    inner.PolylineTo(points, count);
  }
  inner.SelectClipRect(nullptr);
}

// The background is drawn in pixels of the client: they are scaled to each monitor.
void MirrorSurface::Rectangle(int left, int top, int right, int bottom) {
  for (const SurfaceRect &monitor : monitors) {
    Enter(monitor);
    inner.Rectangle(ScaleX(left, monitor), ScaleY(top, monitor), ScaleX(right, monitor),
                    ScaleY(bottom, monitor));
  }
  inner.SelectClipRect(nullptr);
}

void MirrorSurface::GradientFill(const MeshVertex *vertices, std::uint32_t vertexCount,
                                 const MeshTriangle *triangles, std::uint32_t triangleCount) {
  scaledVertices.assign(vertices, vertices + vertexCount);
  for (const SurfaceRect &monitor : monitors) {
    Enter(monitor);
    for (std::uint32_t i = 0; i < vertexCount; ++i) {
      scaledVertices[i].x = ScaleX(vertices[i].x, monitor);
      scaledVertices[i].y = ScaleY(vertices[i].y, monitor);
    }
    inner.GradientFill(scaledVertices.data(), vertexCount, triangles, triangleCount);
  }
  inner.SelectClipRect(nullptr);
}
