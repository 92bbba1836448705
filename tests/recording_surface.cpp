#include "tests/recording_surface.h"

#include <string>

namespace {
std::string Call(const char *name, std::initializer_list<long long> args) {
  std::string text = std::string(name) + "(";
  bool first = true;
  for (long long arg : args) {
    if (!first) text += ",";
    text += std::to_string(arg);
    first = false;
  }
  return text + ")";
}
} // namespace

void RecordingSurface::SetMapMode(int mode) { calls.push_back(Call("SetMapMode", {mode})); }
void RecordingSurface::SetWindowExtEx(int width, int height) {
  calls.push_back(Call("SetWindowExtEx", {width, height}));
}
void RecordingSurface::SetViewportExtEx(int width, int height) {
  calls.push_back(Call("SetViewportExtEx", {width, height}));
}
void RecordingSurface::SetViewportOrgEx(int x, int y) {
  calls.push_back(Call("SetViewportOrgEx", {x, y}));
}
SurfaceObject RecordingSurface::CreatePen(int style, int width, ColorRef color) {
  calls.push_back(Call("CreatePen", {style, width, color}));
  penColors.push_back(color);
  ++livePens;
  return nextPen++;
}
SurfaceObject RecordingSurface::SelectObject(SurfaceObject object) {
  calls.push_back(Call("SelectObject", {static_cast<long long>(object)}));
  const SurfaceObject previous = selected;
  selected = object;
  return previous;
}
void RecordingSurface::DeleteObject(SurfaceObject object) {
  calls.push_back(Call("DeleteObject", {static_cast<long long>(object)}));
  --livePens;
}
void RecordingSurface::MoveToEx(int x, int y) {
  calls.push_back(Call("MoveToEx", {x, y}));
  moves.push_back({x, y});
}
void RecordingSurface::PolylineTo(const SurfacePoint *points, std::uint32_t count) {
  calls.push_back(Call("PolylineTo", {count}));
  polylines.emplace_back(points, points + count);
}
SurfaceRect RecordingSurface::GetClientRect() {
  calls.push_back("GetClientRect()");
  return client;
}
void RecordingSurface::Rectangle(int left, int top, int right, int bottom) {
  calls.push_back(Call("Rectangle", {left, top, right, bottom}));
}
void RecordingSurface::GradientFill(const MeshVertex *vertices, std::uint32_t vertexCount,
                                    const MeshTriangle *triangles, std::uint32_t triangleCount) {
  calls.push_back(Call("GradientFill", {vertexCount, triangleCount}));
  lastVertices.assign(vertices, vertices + vertexCount);
  lastTriangles.assign(triangles, triangles + triangleCount);
}

std::vector<std::string> CallNames(const RecordingSurface &surface) {
  std::vector<std::string> names;
  for (const std::string &call : surface.calls)
    names.push_back(call.substr(0, call.find('(')));
  return names;
}
