// A surface that records every call, for tests of the drawing order.
#pragma once
#include <string>
#include <vector>

#include "figure/surface.h"

struct RecordingSurface final : Surface {
  std::vector<std::string> calls; // "Name(arg,arg)" in call order
  std::vector<ColorRef> penColors;
  std::vector<SurfacePoint> moves;
  std::vector<std::vector<SurfacePoint>> polylines;
  std::vector<MeshVertex> lastVertices;
  std::vector<MeshTriangle> lastTriangles;
  SurfaceRect client{0, 0, 0, 0};
  SurfaceObject nextPen = 100;
  SurfaceObject selected = 1; // the stock pen a fresh DC holds
  int livePens = 0;

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
};

// Just the names of the calls, for order checks.
std::vector<std::string> CallNames(const RecordingSurface &surface);
