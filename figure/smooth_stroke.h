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

// floor for values an int holds (callers bound them), without a library
// call in the pixel loops.
inline int FloorInt(double v) {
  const int i = static_cast<int>(v);
  return i - (v < i);
}

// An sRGB value in linear light (0 to 65535), through a table.
std::uint16_t LinearFromSrgb(std::uint8_t value);
// A buffer pixel with the pen laid over `coverage` (0 to 1) of it.
std::uint32_t BlendPixel(std::uint32_t pixel, ColorRef pen, double coverage);
constexpr std::uint32_t BufferPixel(ColorRef color) { // red and blue change places
  return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

// Where a stroke ended, so that the next one can go on from there without a
// seam: the last point and direction, and the pixels across the end's line
// with what the stroke covered of them and what they held before it.
struct StrokeEnd {
  struct Held {
    std::ptrdiff_t index; // into the buffer's pixels
    std::uint32_t before;
    float coverage;
  };
  StrokePoint point{0, 0};
  StrokePoint direction{1, 0};
  std::vector<Held> held;
};

// Strokes polylines with flat ends and mitred joins. A pixel takes the area
// of the stroke inside it: across the line from its distance to the line
// (through a table, within 0.0033 of exact); at the stroke's ends and where
// a segment meets the next at the line that halves their angle, the exact
// area of each side's piece, except through bends under 30 degrees, where
// that line parts whole pixels by their centres (within 0.03). So a line
// has the same ink per unit length at every angle and a polyline has no
// beads or gaps at its joins. Buffers are kept between strokes: warm
// strokes allocate nothing.
class StrokeRasterizer {
public:
  // `from`, when given, is where an earlier stroke ended at points[0]: this
  // one goes on from it. `end`, when given, is filled with where this one
  // ends. Returns the rectangle it may have written in (empty when none);
  // nothing outside `clip` and the buffer is touched.
  SurfaceRect Stroke(PixelBuffer &buffer, SurfaceRect clip, const StrokePoint *points,
                     std::size_t count, double width, ColorRef pen, StrokeEnd *from = nullptr,
                     StrokeEnd *end = nullptr);

  std::uint64_t pixelsLaid = 0; // for the benchmark's time per covered pixel

private:
  struct Pending { // a pixel across a join's line, laid once both sides are in
    std::ptrdiff_t index;
    float coverage;
    std::size_t join;
  };
  // A band's share of a pixel by the distance of the pixel's centre from the
  // band's middle, tabulated for a band of half-width r at 65 angles.
  struct BandProfile {
    double r = -1;
    int length = 0;            // entries per angle
    std::vector<float> shares; // of 4096, each step's and its rise to the next
  };
  const BandProfile &ProfileFor(double r);
  void CutJoins(const StrokeEnd *from); // fills starts, ends and parted from kept
  // Lays segment i's share of the stroke inside `inside`; returns where it laid.
  SurfaceRect LaySegment(PixelBuffer &buffer, SurfaceRect inside, std::size_t i, double r,
                         const BandProfile &profile);
  void Lay(PixelBuffer &buffer, std::ptrdiff_t index, double coverage);
  void Defer(std::ptrdiff_t index, double coverage, std::size_t join);

  std::vector<StrokePoint> kept;         // the points that make segments
  std::vector<StrokePoint> starts, ends; // per segment: the forward normals of its end lines
  std::vector<std::uint8_t> parted; // per point: whether its join parts pixels by their centres
  std::vector<Pending> pending;
  std::vector<BandProfile> profiles; // the widths met, newest last
  std::int32_t inkLinear[3] = {};    // the pen in linear light, blue first
};
