// Anti-aliased strokes into a 32-bit pixel buffer: each pixel takes the
// area of the stroke inside it, and the pen is blended in linear light.
#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "drawing/surface.h"
#include "raster/blending.h"
#include "raster/pixel_buffer.h"
#include "raster/stroke_coverage.h"
#include "raster/stroke_joins.h"

// Where a stroke ended, so that the next one can go on from there as if the
// two were one: its last points, back a few line widths.
struct StrokeEnd {
  StrokePoint point{0, 0};
  std::vector<StrokePoint> tail; // ending at `point`
};

// Strokes polylines with flat ends and mitred joins (bevelled past a mitre
// four line widths long). A pixel takes the area of the stroke inside it,
// exactly: pieces that meet at a join count once, and a stroke that goes on
// from another lays what the two together add, over whatever the pixels
// hold now. Each pixel a call reaches is laid once. Buffers are kept between
// strokes: warm strokes allocate nothing.
class StrokeRasterizer {
public:
  // `from`, when given, is where an earlier stroke ended at points[0]: this
  // one goes on from it. `end`, when given, is filled with where this one
  // ends (it may be `from`). Returns the rectangle it may have written in
  // (empty when none); nothing outside `clip` and the buffer is touched.
  SurfaceRect Stroke(PixelBuffer &buffer, SurfaceRect clip, const StrokePoint *points,
                     std::size_t count, double width, ColorRef pen, StrokeEnd *from = nullptr,
                     StrokeEnd *end = nullptr);

  // The bounds of what the last stroke laid, one for each small tile it
  // laid pixels in.
  std::vector<SurfaceRect> written;
  std::uint64_t pixelsLaid = 0; // for the benchmark's time per covered pixel

private:
  SurfaceRect StrokePiece(PixelBuffer &buffer, SurfaceRect clip, const StrokePoint *points,
                          std::size_t count, double width, ColorRef pen, StrokeEnd *from,
                          StrokeEnd *end);
  void Cover(CoverageTiles &tiles, const StrokePoint *polyline, std::size_t count, double r,
             float weight);
  void CoverKnot(CoverageTiles &tiles, std::size_t first, std::size_t last, float weight);

  std::vector<StrokePoint> path; // the last stroke's tail, then this one's points
  StrokeEnd link;                // between the pieces of a long stroke
  StrokeShape shape;
  CoverageTiles tiles, before; // what the stroke adds; what the tail had laid
  std::vector<StrokePoint> outline;
  std::vector<ConvexRegion> cuts; // a knot's shapes laid, and the pieces around it
  std::vector<ConvexPolygon> knot, parts, remaining; // its shapes; one's parts not yet laid
};
