// How much of each pixel a stroke covers: convex pieces measured exactly,
// gathered for one stroke in sparse tiles before any pixel is laid.
#pragma once
#include <cstdint>
#include <vector>

#include "drawing/surface.h"
#include "raster/pixel_buffer.h"

// A convex polygon of a few corners, in either turning order.
struct ConvexPolygon {
  static constexpr int kMost = 16; // a square cut by six lines keeps at most ten
  StrokePoint corners[kMost];
  int count = 0;
  void Add(StrokePoint p) {
    if (count < kMost) corners[count++] = p;
  }
};

// Keeps the part of the polygon where k . p <= limit.
void ClipBy(ConvexPolygon &polygon, StrokePoint k, double limit);
// The part of the polygon inside pixel (x, y).
ConvexPolygon ClipToPixel(const ConvexPolygon &polygon, int x, int y);
double Area(const ConvexPolygon &polygon);
// The area of the union of convex polygons, exactly: swept across in slabs
// between every corner and crossing, where the covered height is linear.
double UnionArea(const ConvexPolygon *polygons, int count);

// Coverage gathered as signed areas: each polygon's edges add, cell by cell,
// what lies to their right, and a running sum along each row gives every
// pixel the area inside it. Pieces that share an edge cancel it, so a
// stroke's pieces add up to the stroke with no seam. Only the tiles an edge
// reaches are kept, and those a row's sum runs through.
class CoverageTiles {
public:
  static constexpr int kSize = 8; // pixels a side
  struct Tile {
    int x, y;          // in tiles
    std::int32_t slot; // of its values
    bool operator<(const Tile &o) const { return y != o.y ? y < o.y : x < o.x; }
  };

  // Starts afresh for a buffer of this size, gathering inside `clip` only.
  void Begin(int width, int height, SurfaceRect clip);
  // Adds `weight` times the polygon's area to each pixel it covers.
  void AddPolygon(const StrokePoint *corners, int count, float weight);
  // Adds `delta` to one pixel's coverage alone.
  void AddPixel(int x, int y, float delta);
  // Turns the gathered areas into each pixel's coverage; after it, `tiles`
  // are in rows, left to right, and At reads them.
  void Resolve();
  float At(int x, int y) const;
  SurfaceRect reach{0, 0, 0, 0}; // after Resolve: the pixels its tiles hold
  const float *Values(const Tile &tile) const { return &values[std::size_t(tile.slot) * kCells]; }

  std::vector<Tile> tiles;
  SurfaceRect clip{0, 0, 0, 0};

private:
  static constexpr int kCells = kSize * kSize;
  void AddEdge(StrokePoint p, StrokePoint q, double weight);
  // x may lie left of the clip: its sum carries. Inline: it runs a few times
  // per pixel an edge crosses.
  [[gnu::always_inline]] void AddCell(int x, int y, double value) {
    if (x >= clip.right) return;
    if (x < clip.left) x = clip.left;
    const auto ux = static_cast<unsigned>(x), uy = static_cast<unsigned>(y);
    Slot(static_cast<int>(ux / kSize),
         static_cast<int>(uy / kSize))[(uy % kSize) * kSize + ux % kSize] +=
        static_cast<float>(value);
  }
  [[gnu::always_inline]] float *Slot(int tileX, int tileY) {
    const std::int32_t index = tileY * columns + tileX;
    if (index != lastIndex) {
      std::int32_t slot = directory[std::size_t(index)];
      if (slot < 0) slot = NewTile(tileX, tileY);
      lastIndex = index;
      lastSlot = &values[std::size_t(slot) * kCells];
    }
    return lastSlot;
  }
  std::int32_t NewTile(int tileX, int tileY);

  int columns = 0, rows = 0;           // of tiles over the buffer
  std::vector<std::int32_t> directory; // tile to slot, -1 for none
  std::vector<float> values;
  std::int32_t lastIndex = -1; // the directory entry of the last cell's tile
  float *lastSlot = nullptr;
};
