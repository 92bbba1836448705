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

// Strokes polylines with flat ends and bevelled joins. A pixel's coverage is
// the area of the union of the segments' bands and joins inside it, so a
// line has the same ink per unit length at every angle and a polyline has
// no beads at its joins. Buffers are kept between strokes: warm strokes
// allocate nothing.
class StrokeRasterizer {
public:
  // The first `drawnCount` points (0, or 2 or more) end a stroke already laid
  // with the join point as its last: only what the new part adds to their
  // union is laid, so a stroke continued over two calls is seamless. Returns
  // the pixels written (empty when none); nothing outside `clip` and the
  // buffer is touched.
  SurfaceRect Stroke(PixelBuffer &buffer, SurfaceRect clip, const StrokePoint *points,
                     std::size_t count, std::size_t drawnCount, double width, ColorRef pen);

  struct Piece { // a segment's band or a join's wedge: a convex polygon
    StrokePoint corner[4];
    int corners;
    double top, bottom, left, right;
    bool drawn; // part of the stroke already laid
  };
  struct Span {
    double from, to;
  };

private:
  void AddPiece(const Piece &piece);
  void StrokeRow(PixelBuffer &buffer, int row, int left, int right, ColorRef pen);
  void AddStrip(double top, double bottom, bool drawnOnly, int depth);
  void Unite(double y, double mid, bool drawnOnly, std::vector<Span> &spans);
  void AddEdge(double x0, double x1, double height, float sign);

  std::vector<Piece> pieces;
  std::vector<std::uint32_t> rowStart, rowPieces; // pieces by the rows they touch
  std::vector<std::uint32_t> cluster;             // pieces of one run of columns in a row
  std::vector<double> events;
  std::vector<Span> upper, lower;
  std::vector<float> newCover, drawnCover; // per column of a cluster, then summed
  std::vector<float> *target = nullptr;
  std::size_t runBegin = 0, runEnd = 0; // the run of `cluster` being laid
  int firstRow = 0;
  int firstColumn = 0, lastColumn = 0; // of the run, inside the clip
};
