#include "drawing/mirror_surface.h"

#include <cstdlib>

namespace {
// One kept drawing call with the mapping and pen it was made under. Points,
// vertices and triangles live in shared buffers that keep their capacity
// between handlers, so that drawing allocates nothing once warm.
struct KeptCall {
  enum Kind { Line, Box, Fill } kind;
  SurfaceMapping mapping;
  SurfaceObject pen;
  SurfacePoint from;   // Line: the start; Box: left, top
  SurfacePoint to;     // Box: right, bottom
  std::size_t first;   // into keptPoints or keptVertices
  std::uint32_t count; // points or vertices
  std::size_t firstTriangle;
  std::uint32_t triangleCount;
};
std::vector<KeptCall> keptCalls;
std::vector<SurfacePoint> keptPoints;
std::vector<MeshVertex> keptVertices, scaledVertices;
std::vector<MeshTriangle> keptTriangles;
std::vector<ColorRef> penColors;
std::vector<SurfaceObject> madePens;

// A length across the client becomes the same share of the monitor.
int Scale(long long length, int clientSpan, int monitorSpan) {
  return clientSpan ? static_cast<int>(length * monitorSpan / clientSpan) : 0;
}
// The viewport extent an isotropic mapping settles on for square pixels:
// the axis with the smaller scale keeps its extent, the other shrinks to it.
SurfacePoint IsotropicExtent(SurfacePoint window, SurfacePoint viewport) {
  const long long wx = std::llabs(window.x), wy = std::llabs(window.y);
  const long long vx = std::llabs(viewport.x), vy = std::llabs(viewport.y);
  if (wx == 0 || wy == 0) return viewport;
  const auto sign = [](int v) { return v < 0 ? -1 : 1; };
  if (vx * wy <= vy * wx) return {viewport.x, static_cast<int>(sign(viewport.y) * (vx * wy / wx))};
  return {static_cast<int>(sign(viewport.x) * (vy * wx / wy)), viewport.y};
}
} // namespace

MirrorSurface::MirrorSurface(Surface &inner_, const std::vector<SurfaceRect> &monitors_)
    : inner(inner_), monitors(monitors_), client(inner_.GetClientRect()) {}

SurfaceObject MirrorSurface::CreatePen(int, int, ColorRef color) {
  penColors.push_back(color); // the engine's pens are solid and one pixel wide
  return penColors.size();
}

SurfaceObject MirrorSurface::SelectObject(SurfaceObject object) {
  const SurfaceObject previous = selectedPen;
  selectedPen = object;
  return previous;
}

void MirrorSurface::PolylineTo(const SurfacePoint *points, std::uint32_t count) {
  keptCalls.push_back(
      {KeptCall::Line, mapping, selectedPen, position, {}, keptPoints.size(), count, 0, 0});
  keptPoints.insert(keptPoints.end(), points, points + count);
}

void MirrorSurface::Rectangle(int left, int top, int right, int bottom) {
  keptCalls.push_back(
      {KeptCall::Box, mapping, selectedPen, {left, top}, {right, bottom}, 0, 0, 0, 0});
}

void MirrorSurface::GradientFill(const MeshVertex *vertices, std::uint32_t vertexCount,
                                 const MeshTriangle *triangles, std::uint32_t triangleCount) {
  keptCalls.push_back({KeptCall::Fill,
                       mapping,
                       selectedPen,
                       {},
                       {},
                       keptVertices.size(),
                       vertexCount,
                       keptTriangles.size(),
                       triangleCount});
  keptVertices.insert(keptVertices.end(), vertices, vertices + vertexCount);
  keptTriangles.insert(keptTriangles.end(), triangles, triangles + triangleCount);
}

void MirrorSurface::Flush() {
  if (keptCalls.empty()) return;
  madePens.clear();
  for (ColorRef color : penColors)
    madePens.push_back(inner.CreatePen(kPenStyleSolid, 0, color));
  SurfaceObject ownPen = 0, current = 0;
  bool swapped = false;
  const int clientWidth = client.right - client.left, clientHeight = client.bottom - client.top;
  for (const SurfaceRect &m : monitors) {
    const int width = m.right - m.left, height = m.bottom - m.top;
    const auto x = [&](long long v) { return Scale(v, clientWidth, width); };
    const auto y = [&](long long v) { return Scale(v, clientHeight, height); };
    inner.SelectClipRect(&m);
    for (const KeptCall &call : keptCalls) {
      const SurfaceMapping &map = call.mapping;
      SurfacePoint extent{x(map.viewportExtent.x), y(map.viewportExtent.y)};
      if (map.mode == kMapModeIsotropic) {
        // Moving the origin of an isotropic mapping makes some GDIs redo the
        // whole mapping (Wine: about 0.4 ms a call), and every monitor moves
        // it. The same mapping as an anisotropic one with the extents
        // already made equal in scale moves for free.
        extent = IsotropicExtent(map.windowExtent, extent);
        inner.SetMapMode(kMapModeAnisotropic);
      } else {
        inner.SetMapMode(map.mode);
      }
      if (map.windowExtentSet) inner.SetWindowExtEx(map.windowExtent.x, map.windowExtent.y);
      if (map.viewportExtentSet) inner.SetViewportExtEx(extent.x, extent.y);
      inner.SetViewportOrgEx(m.left + x(map.viewportOrigin.x), m.top + y(map.viewportOrigin.y));
      const SurfaceObject pen = call.pen ? madePens[call.pen - 1] : ownPen;
      if (!swapped && call.pen) {
        ownPen = inner.SelectObject(pen);
        swapped = true;
      } else if (swapped && pen != current) {
        inner.SelectObject(pen);
      }
      current = pen;
      if (call.kind == KeptCall::Line) {
        inner.MoveToEx(call.from.x, call.from.y); // logical units: the mapping fits them
        // A finished curve keeps an empty line whose start is the buffer's end.
        inner.PolylineTo(keptPoints.data() + call.first, call.count);
      } else if (call.kind == KeptCall::Box) {
        inner.Rectangle(x(call.from.x), y(call.from.y), x(call.to.x), y(call.to.y));
      } else { // the background is drawn in client pixels: they are scaled to the monitor
        scaledVertices.assign(keptVertices.begin() + call.first,
                              keptVertices.begin() + call.first + call.count);
        for (MeshVertex &v : scaledVertices) {
          v.x = x(v.x);
          v.y = y(v.y);
        }
        inner.GradientFill(scaledVertices.data(), call.count,
                           keptTriangles.data() + call.firstTriangle, call.triangleCount);
      }
    }
  }
  inner.SelectClipRect(nullptr);
  if (swapped) inner.SelectObject(ownPen);
  for (SurfaceObject pen : madePens)
    inner.DeleteObject(pen);
  keptCalls.clear();
  keptPoints.clear();
  keptVertices.clear();
  keptTriangles.clear();
  penColors.clear();
}
