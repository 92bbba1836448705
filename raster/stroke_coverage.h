// How much of each pixel a stroke covers: convex pieces measured exactly,
// gathered for one stroke in sparse tiles before any pixel is laid.
#pragma once
#include <algorithm>
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

// A convex polygon as the half-planes k . p <= limit that bound it, with
// the pixels it reaches.
struct ConvexRegion {
  StrokePoint k[ConvexPolygon::kMost];
  double limit[ConvexPolygon::kMost];
  int count = 0;
  SurfaceRect pixels{0, 0, 0, 0};
  ConvexRegion() = default;
  explicit ConvexRegion(const ConvexPolygon &polygon);
  bool Reaches(int x, int y) const {
    return x >= pixels.left && x < pixels.right && y >= pixels.top && y < pixels.bottom;
  }
};

// Keeps the part of the polygon where k . p <= limit.
void ClipBy(ConvexPolygon &polygon, StrokePoint k, double limit);
double Area(const ConvexPolygon &polygon);
// Whether two convex polygons share more than an edge: no line along an
// edge of either keeps the other wholly outside.
bool Overlapping(const ConvexPolygon &a, const ConvexPolygon &b);
// Adds to `out` the part of the polygon outside the region, as convex
// pieces that do not overlap: past each of the region's lines in turn.
void AddOutside(const ConvexPolygon &polygon, const ConvexRegion &region,
                std::vector<ConvexPolygon> &out);

// Coverage gathered as signed areas: each polygon's edges add, cell by cell,
// what lies to their right, and a running sum along each row gives every
// pixel the area inside it. Pieces that share an edge cancel it, so a
// stroke's pieces add up to the stroke with no seam. Only the tiles an edge
// reaches are kept, and those a row's sum runs through.
class CoverageTiles {
public:
  // Tried 8 x 4, 16 x 4, 16 x 8 and 32 x 2: none laid faster.
  static constexpr int kWide = 8, kTall = 8; // a row of a tile is eight bits of a mask
  struct Tile {
    int x, y;          // in tiles
    std::int32_t slot; // of its values
  };

  // Starts afresh for a buffer of this size, gathering inside `clip` only.
  // Given the buffer's pixels, each new tile asks for its rows of them, so
  // that they are at hand when the tile is laid.
  void Begin(int width, int height, SurfaceRect clip, const PixelBuffer *ahead = nullptr);
  // Adds `weight` times the polygon's area to each pixel it covers.
  void AddPolygon(const StrokePoint *corners, int count, float weight);
  // Turns the gathered areas into each pixel's coverage, kept for At.
  void Resolve();
  float At(int x, int y) const;
  // Walks the coverage tile by tile without keeping it: lay(tileX, tileY,
  // values) for each tile gathered, in the order they were made, then for
  // those a row's sum runs through.
  template <class Lay> void Walk(Lay &&lay);
  SurfaceRect reach{0, 0, 0, 0}; // after Resolve: the pixels its tiles hold

  std::vector<Tile> tiles;
  SurfaceRect clip{0, 0, 0, 0};

private:
  static constexpr int kCells = kWide * kTall;
  void AddEdge(StrokePoint p, StrokePoint q, double weight);
  // x may lie left of the clip: its sum carries. Inline: it runs a few times
  // per pixel an edge crosses.
  [[gnu::always_inline]] void AddCell(int x, int y, double value) {
    if (x >= clip.right) return;
    if (x < clip.left) x = clip.left;
    const auto ux = static_cast<unsigned>(x), uy = static_cast<unsigned>(y);
    Slot(static_cast<int>(ux / kWide),
         static_cast<int>(uy / kTall))[(uy % kTall) * kWide + ux % kWide] +=
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
  std::vector<std::uint64_t> order;    // directory index, then slot
  std::vector<float> carries;          // per tile, the sums its rows start from
  struct Gap {                         // tiles with no edge that sums run through
    int from, to, y;
    float carry[kTall];
  };
  std::vector<Gap> gaps;
  std::vector<float> values;
  const PixelBuffer *ahead_ = nullptr;
  std::int32_t lastIndex = -1; // the directory entry of the last cell's tile
  float *lastSlot = nullptr;
};

template <class Lay> void CoverageTiles::Walk(Lay &&lay) {
  // Each tile's rows start from the sums of the tiles left of it: found in
  // rows, left to right. The tiles are then laid in the order they were
  // made, along the stroke, where the buffer's rows are still at hand.
  order.clear();
  for (const Tile &tile : tiles)
    order.push_back((std::uint64_t(tile.y) * columns + tile.x) << 32 | std::uint32_t(tile.slot));
  std::sort(order.begin(), order.end());
  carries.resize(tiles.size() * kTall);
  gaps.clear();
  const int lastColumn = (clip.right - 1) / kWide;
  float carry[kTall] = {};
  int row = -1;
  const std::size_t count = order.size();
  for (std::size_t t = 0; t < count; ++t) {
    const auto index = static_cast<int>(order[t] >> 32);
    const auto slot = std::size_t(order[t] & 0xFFFFFFFFu);
    const int x = index % columns, y = index / columns;
    if (y != row) std::fill(carry, carry + kTall, 0.0f), row = y;
    std::copy(carry, carry + kTall, &carries[slot * kTall]);
    const float *v = &values[slot * kCells];
    bool through = false; // a sum runs on past the tile
    for (int r = 0; r < kTall; ++r) {
      float sum = carry[r];
      for (int c = 0; c < kWide; ++c)
        sum += v[r * kWide + c];
      carry[r] = sum;
      through |= sum > 1e-6f || sum < -1e-6f;
    }
    if (!through) continue;
    const bool lastInRow = t + 1 == count || static_cast<int>(order[t + 1] >> 32) / columns != y;
    const int until = lastInRow ? lastColumn + 1 : static_cast<int>(order[t + 1] >> 32) % columns;
    if (x + 1 < until)
      gaps.push_back({x + 1, until, y, {}}), std::copy(carry, carry + kTall, gaps.back().carry);
  }
  float resolved[kCells];
  for (std::size_t t = 0; t < tiles.size(); ++t) {
    const float *v = &values[std::size_t(tiles[t].slot) * kCells];
    const float *in = &carries[std::size_t(tiles[t].slot) * kTall];
    for (int r = 0; r < kTall; ++r) {
      float sum = in[r];
      for (int c = 0; c < kWide; ++c)
        resolved[r * kWide + c] = sum += v[r * kWide + c];
    }
    lay(tiles[t].x, tiles[t].y, resolved);
  }
  for (const Gap &gap : gaps) {
    for (int r = 0; r < kTall; ++r)
      std::fill_n(resolved + r * kWide, kWide, gap.carry[r]);
    for (int x = gap.from; x < gap.to; ++x)
      lay(x, gap.y, resolved);
  }
}
