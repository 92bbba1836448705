// A surface that records every call as "Name(args)", for tests of the drawing order.
#pragma once
#include <string>
#include <utility>
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

  std::string Calls(std::size_t from = 0, std::size_t count = ~std::size_t(0)) const {
    std::string text; // calls[from] onwards, each followed by a space
    for (std::size_t i = from; i < calls.size() && i - from < count; ++i)
      text += calls[i] + " ";
    return text;
  }
  template <typename... Args> void Log(const char *name, Args... args) {
    std::string text;
    ((text += "," + std::to_string(args)), ...);
    calls.push_back(name + ("(" + text.substr(text.empty() ? 0 : 1)) + ")");
  }
  void SetMapMode(int mode) override { Log("SetMapMode", mode); }
  void SetWindowExtEx(int w, int h) override { Log("SetWindowExtEx", w, h); }
  void SetViewportExtEx(int w, int h) override { Log("SetViewportExtEx", w, h); }
  void SetViewportOrgEx(int x, int y) override { Log("SetViewportOrgEx", x, y); }
  SurfaceObject CreatePen(int style, int width, ColorRef color) override {
    Log("CreatePen", style, width, color);
    penColors.push_back(color);
    ++livePens;
    return nextPen++;
  }
  SurfaceObject SelectObject(SurfaceObject object) override {
    Log("SelectObject", object);
    return std::exchange(selected, object);
  }
  void DeleteObject(SurfaceObject object) override {
    Log("DeleteObject", object);
    --livePens;
  }
  void MoveToEx(int x, int y) override { Log("MoveToEx", x, y); }
  void PolylineTo(const SurfacePoint *points, std::uint32_t count) override {
    Log("PolylineTo", count);
    polylines.emplace_back(points, points + count);
  }
  SurfaceRect GetClientRect() override {
    Log("GetClientRect");
    return client;
  }
  void Rectangle(int l, int t, int r, int b) override { Log("Rectangle", l, t, r, b); }
  void GradientFill(const MeshVertex *v, std::uint32_t n, const MeshTriangle *,
                    std::uint32_t triangles) override {
    Log("GradientFill", n, triangles);
    vertices.insert(vertices.end(), v, v + n);
  }
  void SelectClipRect(const SurfaceRect *r) override {
    r ? Log("Clip", r->left, r->top, r->right, r->bottom) : Log("Clip");
  }
};
