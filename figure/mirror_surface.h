// The same picture on every monitor: each drawing call of the engine is
// replayed once per monitor, with that monitor's rectangle standing in for
// the client area (mapping, origin, gradient vertices) and drawing clipped
// to it. Pens are made once and shared by every monitor.
#pragma once
#include <vector>

#include "figure/surface.h"

class MirrorSurface final : public Surface {
public:
  Surface &inner;
  const std::vector<SurfaceRect> &monitors; // in client coordinates
  SurfaceRect client;

  // The engine's mapping requests, applied per monitor before each drawing call.
  int mapMode = kMapModeText;
  SurfacePoint windowExtent{0, 0}, viewportExtent{0, 0}, viewportOrigin{0, 0};
  bool windowExtentSet = false, viewportExtentSet = false;
  SurfacePoint position{0, 0}; // of the last MoveToEx
  std::vector<MeshVertex> scaledVertices;

  MirrorSurface(Surface &inner_, const std::vector<SurfaceRect> &monitors_)
      : inner(inner_), monitors(monitors_), client(inner_.GetClientRect()) {}

  void SetMapMode(int mode) override { mapMode = mode; }
  void SetWindowExtEx(int width, int height) override;
  void SetViewportExtEx(int width, int height) override;
  void SetViewportOrgEx(int x, int y) override { viewportOrigin = {x, y}; }
  SurfaceObject CreatePen(int style, int width, ColorRef color) override {
    return inner.CreatePen(style, width, color);
  }
  SurfaceObject SelectObject(SurfaceObject object) override { return inner.SelectObject(object); }
  void DeleteObject(SurfaceObject object) override { inner.DeleteObject(object); }
  void MoveToEx(int x, int y) override { position = {x, y}; }
  void PolylineTo(const SurfacePoint *points, std::uint32_t count) override;
  SurfaceRect GetClientRect() override { return client; }
  void Rectangle(int left, int top, int right, int bottom) override;
  void GradientFill(const MeshVertex *vertices, std::uint32_t vertexCount,
                    const MeshTriangle *triangles, std::uint32_t triangleCount) override;
  void SelectClipRect(const SurfaceRect *rect) override { inner.SelectClipRect(rect); }

private:
  void Enter(const SurfaceRect &monitor); // mapping and clip of one monitor
  int ScaleX(long long x, const SurfaceRect &monitor) const;
  int ScaleY(long long y, const SurfaceRect &monitor) const;
};
