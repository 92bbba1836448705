// The drawing seam of the figure engine. The saver draws through a GDI
// implementation; tests record the calls; the benchmark discards them.
// The records below have the memory layout of POINT, RECT, TRIVERTEX and
// GRADIENT_TRIANGLE so the GDI side can hand them over unchanged.
#pragma once
#include <cstdint>

using ColorRef = std::uint32_t;       // red in bits 0-7, green 8-15, blue 16-23
using SurfaceObject = std::uintptr_t; // a GDI object handle, opaque here

struct SurfacePoint {
  std::int32_t x;
  std::int32_t y;
};

struct SurfaceRect {
  std::int32_t left;
  std::int32_t top;
  std::int32_t right;
  std::int32_t bottom;
};

struct MeshVertex {
  std::int32_t x;
  std::int32_t y;
  std::uint16_t red;
  std::uint16_t green;
  std::uint16_t blue;
  std::uint16_t alpha;
};

struct MeshTriangle {
  std::uint32_t vertex1;
  std::uint32_t vertex2;
  std::uint32_t vertex3;
};

// GDI's values for the constants the engine passes.
constexpr int kMapModeText = 1;        // MM_TEXT
constexpr int kMapModeIsotropic = 7;   // MM_ISOTROPIC
constexpr int kMapModeAnisotropic = 8; // MM_ANISOTROPIC
constexpr int kPenStyleSolid = 0;      // PS_SOLID

class Surface {
public:
  virtual void SetMapMode(int mode) = 0;
  virtual void SetWindowExtEx(int width, int height) = 0;
  virtual void SetViewportExtEx(int width, int height) = 0;
  virtual void SetViewportOrgEx(int x, int y) = 0;
  virtual SurfaceObject CreatePen(int style, int width, ColorRef color) = 0;
  virtual SurfaceObject SelectObject(SurfaceObject object) = 0;
  virtual void DeleteObject(SurfaceObject object) = 0;
  virtual void MoveToEx(int x, int y) = 0;
  virtual void PolylineTo(const SurfacePoint *points, std::uint32_t count) = 0;
  virtual SurfaceRect GetClientRect() = 0;
  virtual void Rectangle(int left, int top, int right, int bottom) = 0;
  virtual void GradientFill(const MeshVertex *vertices, std::uint32_t vertexCount,
                            const MeshTriangle *triangles, std::uint32_t triangleCount) = 0;
  // Limits drawing to a rectangle in device pixels; null lifts the limit.
  // The engine never calls it: the mirror of pictures on each monitor does.
  virtual void SelectClipRect(const SurfaceRect *rect) = 0;

protected:
  ~Surface() = default;
};
