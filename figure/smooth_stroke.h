// Anti-aliased strokes into a 32-bit pixel buffer: each pixel takes the
// area of the stroke inside it, and the pen is blended in linear light.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "figure/surface.h"

// Rows of 32-bit pixels as a top-down DIB section holds them: blue in bits
// 0-7, green 8-15, red 16-23.
struct PixelBuffer {
  std::uint32_t *pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0; // pixels from one row to the next
};

// A place in device pixels: pixel (i, j) is the square [i, i+1) x [j, j+1).
struct StrokePoint {
  double x;
  double y;
};

// sRGB values and linear light (0 to 65535), converted through tables.
std::uint16_t LinearFromSrgb(std::uint8_t value);
std::uint8_t SrgbFromLinear(std::uint16_t value);
// A buffer pixel with the pen laid over `coverage` (0 to 1) of it.
std::uint32_t BlendPixel(std::uint32_t pixel, ColorRef pen, double coverage);
constexpr std::uint32_t BufferPixel(ColorRef color) { // red and blue change places
  return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

// Strokes polylines with flat ends and mitred joins: the stroke's outline is
// one polygon, and each pixel takes the exact area of it inside the pixel,
// summed over the outline's edges row by row. So a line has the same ink per
// unit length at every angle and a polyline has no beads at its joins.
// Buffers are kept between strokes: warm strokes allocate nothing.
class StrokeRasterizer {
public:
  // The first `drawnCount` points (0, or 2 or more) end a stroke already laid,
  // with the join point as their last: only what the new part adds to them is
  // laid, so a stroke continued over two calls is seamless. Returns the
  // rectangle it may have written in (empty when none); nothing outside `clip`
  // and the buffer is touched.
  SurfaceRect Stroke(PixelBuffer &buffer, SurfaceRect clip, const StrokePoint *points,
                     std::size_t count, std::size_t drawnCount, double width, ColorRef pen);

  std::uint64_t pixelsLaid = 0; // for the benchmark's time per covered pixel

private:
  struct Area { // the rows and columns a stroke may touch
    int left, top, right, bottom;
  };
  bool Outline(const StrokePoint *points, std::size_t count, double radius);
  Area Bounds(Area inside) const;
  // Calls lay(column, row, coverage) for each pixel of `area` the outline covers.
  template <typename Lay> void Fill(Area area, Lay lay);
  void AddEdge(double x0, double x1, double height);

  std::vector<StrokePoint> outline, rightSide;             // the polygon
  std::vector<std::uint32_t> rowStart, rowEdges, nextFree; // edges by the rows they cross
  std::vector<float> line;                                 // one row's area sums, column c at c + 1
  struct Range {
    int from, to;
  };
  std::vector<Range> ranges;       // the columns one row's edges touched
  std::vector<float> earlier;      // coverage of the part already laid, near the join
  std::vector<StrokePoint> kept;   // the points that make segments
  std::vector<StrokePoint> joined; // the end of the part already laid, then the new points
  int lineLeft = 0, lineRight = 0;
};
