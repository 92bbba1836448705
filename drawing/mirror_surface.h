// The same picture on every monitor. The engine's drawing calls of one
// handler are kept, then replayed once per monitor when the handler ends
// (Flush), with that monitor's rectangle standing in for the client area
// (mapping, origin, gradient vertices) and drawing clipped to it. Replaying
// per monitor rather than per call keeps the device context's mapping from
// changing for every curve, which is what costs time.
#pragma once
#include <vector>

#include "drawing/surface.h"

// A device context's mapping as the engine sets it, for surfaces that keep it.
struct SurfaceMapping {
  int mode = kMapModeText;
  SurfacePoint windowExtent{0, 0}, viewportExtent{0, 0}, viewportOrigin{0, 0};
  bool windowExtentSet = false, viewportExtentSet = false;

  void SetWindowExtent(int width, int height) {
    windowExtent = {width, height}, windowExtentSet = true;
  }
  void SetViewportExtent(int width, int height) {
    viewportExtent = {width, height}, viewportExtentSet = true;
  }
};

class MirrorSurface final : public Surface {
public:
  Surface &inner;
  const std::vector<SurfaceRect> &monitors; // in client coordinates
  SurfaceRect client;
  SurfaceMapping mapping;        // as the engine last set it
  SurfaceObject selectedPen = 0; // 0: the context's own pen, else 1 + index into penColors
  SurfacePoint position{0, 0};   // of the last MoveToEx

  MirrorSurface(Surface &inner_, const std::vector<SurfaceRect> &monitors_);
  // Draws what was kept on every monitor. The kept calls are shared by all
  // mirrors; a handler that draws through two (a new picture within a tick)
  // finishes with the first before the second keeps anything.
  void Flush();

  void SetMapMode(int mode) override { mapping.mode = mode; }
  void SetWindowExtEx(int width, int height) override { mapping.SetWindowExtent(width, height); }
  void SetViewportExtEx(int width, int height) override {
    mapping.SetViewportExtent(width, height);
  }
  void SetViewportOrgEx(int x, int y) override { mapping.viewportOrigin = {x, y}; }
  SurfaceObject CreatePen(int style, int width, ColorRef color) override;
  SurfaceObject SelectObject(SurfaceObject object) override;
  void DeleteObject(SurfaceObject) override {} // made and deleted in Flush
  void MoveToEx(int x, int y) override { position = {x, y}; }
  void PolylineTo(const SurfacePoint *points, std::uint32_t count) override;
  SurfaceRect GetClientRect() override { return client; }
  void Rectangle(int left, int top, int right, int bottom) override;
  void GradientFill(const MeshVertex *vertices, std::uint32_t vertexCount,
                    const MeshTriangle *triangles, std::uint32_t triangleCount) override;
  void SelectClipRect(const SurfaceRect *rect) override { inner.SelectClipRect(rect); }
};
