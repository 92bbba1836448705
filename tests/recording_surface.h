// A surface that records every call as "Name(args) ", the points handed to it and each
// line's start and mapping, and keeps a fingerprint (FNV-1a) of every call, point, vertex.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "drawing/mirror_surface.h"

struct RecordingSurface final : Surface {
  std::string calls;
  std::vector<std::vector<SurfacePoint>> polylines;
  SurfaceMapping map;
  std::vector<std::pair<SurfacePoint, SurfaceMapping>> lineStarts;
  std::uint64_t fingerprint = 14695981039346656037u;
  SurfaceRect client{0, 0, 0, 0};
  SurfaceObject nextPen = 100, selected = 1; // 1: the pen a fresh DC holds
  int pensMade = 0, livePens = 0;

  void Mix(std::int64_t value) { fingerprint = (fingerprint ^ value) * 1099511628211u; }
  template <typename... Args> void Log(const char *name, Args... args) {
    std::string text;
    ((text.append(",").append(std::to_string(args))), ...);
    const std::size_t start = calls.size();
    calls.append(name).append("(").append(text.empty() ? "" : text.c_str() + 1).append(") ");
    for (std::size_t i = start; i < calls.size(); ++i)
      Mix(calls[i]);
  }
  void SetMapMode(int mode) override { Log("SetMapMode", map.mode = mode); }
  void SetWindowExtEx(int w, int h) override {
    Log("SetWindowExtEx", w, h), map.windowExtent = {w, h};
  }
  void SetViewportExtEx(int w, int h) override {
    Log("SetViewportExtEx", w, h), map.viewportExtent = {w, h};
  }
  void SetViewportOrgEx(int x, int y) override { Log("SetViewportOrgEx", x, y); }
  SurfaceObject CreatePen(int style, int width, ColorRef color) override {
    Log("CreatePen", style, width, color);
    ++pensMade, ++livePens;
    return nextPen++;
  }
  SurfaceObject SelectObject(SurfaceObject object) override {
    Log("SelectObject", object);
    return std::exchange(selected, object);
  }
  void DeleteObject(SurfaceObject object) override { Log("DeleteObject", object), --livePens; }
  void MoveToEx(int x, int y) override {
    Log("MoveToEx", x, y), lineStarts.push_back({{x, y}, map});
  }
  void PolylineTo(const SurfacePoint *points, std::uint32_t count) override {
    Log("PolylineTo", count);
    for (const SurfacePoint &p : polylines.emplace_back(points, points + count))
      Mix(p.x), Mix(p.y);
  }
  SurfaceRect GetClientRect() override { return Log("GetClientRect"), client; }
  void Rectangle(int l, int t, int r, int b) override { Log("Rectangle", l, t, r, b); }
  void GradientFill(const MeshVertex *v, std::uint32_t n, const MeshTriangle *,
                    std::uint32_t triangles) override {
    Log("GradientFill", n, triangles);
    for (const MeshVertex *end = v + n; v < end; ++v)
      Mix(v->x), Mix(v->y), Mix(v->red), Mix(v->green), Mix(v->blue);
  }
  void SelectClipRect(const SurfaceRect *r) override {
    r ? Log("Clip", r->left, r->top, r->right, r->bottom) : Log("Clip");
  }
};
