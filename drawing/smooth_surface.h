// The drawing seam over a pixel buffer: the curves stroked smooth and the
// background painted, all by our own code.
#pragma once
#include <vector>

#include "drawing/mirror_surface.h"
#include "raster/smooth_stroke.h"

// The parts of the buffer changed since they were last shown: in tiles, each
// with the bounds of what changed inside it, so a curve crossing a tile
// copies a strip of it rather than all of it.
struct DirtyTiles {
  static constexpr int kTile = 64;
  struct Bounds { // in pixels from the tile's corner; empty while right is 0
    std::uint8_t left, top, right, bottom;
  };
  int columns = 0, rows = 0;
  std::vector<Bounds> marks;
  bool any = false;
  int marked = 0; // tiles with changes

  void Resize(int width, int height);
  void Mark(SurfaceRect rect); // in pixels
  void Clear();
  // Each row's runs of changed tiles, as the rectangles their changes span,
  // inside width x height; runs of the same tiles one under another joined.
  std::vector<SurfaceRect> Runs(int width, int height) const;
};

// What a smooth picture keeps from one handler to the next.
struct SmoothMemory {
  // Where each curve's stroke ended, so that its next tick continues it
  // without a seam; found again by the point the next tick starts from.
  struct Tail {
    StrokeEnd end;
    double width;
  };
  std::vector<Tail> tails;
  StrokeEnd ending; // the end of the stroke being laid
  DirtyTiles dirty;
  StrokeRasterizer rasterizer;
  std::vector<StrokePoint> stroke; // the points of one PolylineTo, tail first

  bool painted = false;       // holds a background
  bool newBackground = false; // painted since last shown: shown at once, whole

  void Forget() { tails.clear(); } // a new background: nothing to continue
};

class SmoothSurface final : public Surface {
public:
  PixelBuffer &buffer;
  SmoothMemory &memory;
  double lineWidth = 1; // device pixels
  SurfaceMapping mapping;
  SurfaceRect clip;
  ColorRef pen = 0;
  SurfaceObject selected = 0;
  SurfacePoint position{0, 0};

  SmoothSurface(PixelBuffer &buffer_, SmoothMemory &memory_);

  void SetMapMode(int mode) override { mapping.mode = mode; }
  void SetWindowExtEx(int width, int height) override { mapping.SetWindowExtent(width, height); }
  void SetViewportExtEx(int width, int height) override {
    mapping.SetViewportExtent(width, height);
  }
  void SetViewportOrgEx(int x, int y) override { mapping.viewportOrigin = {x, y}; }
  // A pen is its colour: nothing to make or delete.
  SurfaceObject CreatePen(int, int, ColorRef color) override { return color | kPenTag; }
  SurfaceObject SelectObject(SurfaceObject object) override;
  void DeleteObject(SurfaceObject) override {}
  void MoveToEx(int x, int y) override { position = {x, y}; }
  void PolylineTo(const SurfacePoint *points, std::uint32_t count) override;
  SurfaceRect GetClientRect() override { return {0, 0, buffer.width, buffer.height}; }
  void Rectangle(int left, int top, int right, int bottom) override;
  void GradientFill(const MeshVertex *vertices, std::uint32_t vertexCount,
                    const MeshTriangle *triangles, std::uint32_t triangleCount) override;
  void SelectClipRect(const SurfaceRect *rect) override;

  // A logical point in device pixels, as GDI's mapping puts it, unrounded.
  StrokePoint DevicePlace(SurfacePoint p) const;
  // The same as a place inside the pixel grid: GDI lights the pixel whose
  // corner is the device point, so its centre is half a pixel on.
  StrokePoint ToDevice(SurfacePoint p) const;

private:
  static constexpr SurfaceObject kPenTag = SurfaceObject{1} << 32;
  std::vector<StrokePoint> corners; // of the mesh being filled
};
