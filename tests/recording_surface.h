// A surface that records every call as "Name(args)", for tests of the drawing order.
#pragma once
#include <string>
#include <vector>

#include "figure/surface.h"

struct RecordingSurface final : Surface {
  std::vector<std::string> calls;
  std::vector<ColorRef> penColors;
  std::vector<std::vector<SurfacePoint>> polylines;
  std::vector<MeshVertex> vertices;
  SurfaceRect client{0, 0, 0, 0};
  SurfaceObject nextPen = 100, selected = 1; // 1: the pen a fresh DC holds
  int livePens = 0;

  void Log(const char *name, std::initializer_list<long long> args) {
    std::string text = std::string(name) + "(";
    for (long long arg : args)
      text += std::to_string(arg) + ",";
    if (args.size()) text.pop_back();
    calls.push_back(text + ")");
  }
  void SetMapMode(int mode) override { Log("SetMapMode", {mode}); }
  void SetWindowExtEx(int w, int h) override { Log("SetWindowExtEx", {w, h}); }
  void SetViewportExtEx(int w, int h) override { Log("SetViewportExtEx", {w, h}); }
  void SetViewportOrgEx(int x, int y) override { Log("SetViewportOrgEx", {x, y}); }
  SurfaceObject CreatePen(int style, int width, ColorRef color) override {
    Log("CreatePen", {style, width, color});
    penColors.push_back(color);
    ++livePens;
    return nextPen++;
  }
  SurfaceObject SelectObject(SurfaceObject object) override {
    Log("SelectObject", {static_cast<long long>(object)});
    std::swap(selected, object);
    return object;
  }
  void DeleteObject(SurfaceObject object) override {
    Log("DeleteObject", {static_cast<long long>(object)});
    --livePens;
  }
  void MoveToEx(int x, int y) override { Log("MoveToEx", {x, y}); }
  void PolylineTo(const SurfacePoint *points, std::uint32_t count) override {
    Log("PolylineTo", {count});
    polylines.emplace_back(points, points + count);
  }
  SurfaceRect GetClientRect() override {
    Log("GetClientRect", {});
    return client;
  }
  void Rectangle(int l, int t, int r, int b) override { Log("Rectangle", {l, t, r, b}); }
  void GradientFill(const MeshVertex *v, std::uint32_t nv, const MeshTriangle *,
                    std::uint32_t nt) override {
    Log("GradientFill", {nv, nt});
    vertices.assign(v, v + nv);
  }
  void SelectClipRect(const SurfaceRect *r) override {
    if (r)
      Log("Clip", {r->left, r->top, r->right, r->bottom});
    else
      Log("Clip", {});
  }
};
