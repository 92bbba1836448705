#include "raster/smooth_stroke.h"

#include <algorithm>
#include <cmath>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {
// Far enough outside any buffer, and within int.
double Bounded(double v) { return std::clamp(v, -1e9, 1e9); }

// Under this share of a pixel nothing would show: not laid.
constexpr float kFaint = 4.0f / 4096;

// Which of a tile row's eight cells hold more than `least`, as bits.
unsigned Above(const float *cells, float least) {
#ifdef __SSE2__
  const __m128 floor = _mm_set1_ps(least);
  return static_cast<unsigned>(_mm_movemask_ps(_mm_cmpgt_ps(_mm_loadu_ps(cells), floor)) |
                               _mm_movemask_ps(_mm_cmpgt_ps(_mm_loadu_ps(cells + 4), floor)) << 4);
#else
  unsigned bits = 0;
  for (int i = 0; i < 8; ++i)
    bits |= unsigned{cells[i] > least} << i;
  return bits;
#endif
}
unsigned ColumnsFrom(int from, int to) { return ((1u << to) - 1) & ~((1u << from) - 1); }

bool Overlap(const SurfaceRect &a, const SurfaceRect &b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
} // namespace

// A knot is laid as the union of its shapes less the pieces around it,
// which their runs lay: each shape less all before it, in convex pieces
// that meet only on their lines, so that every part counts once. Its shapes
// are its segments' pieces, flat where a segment meets one that does not
// tile, and the joins there.
void StrokeRasterizer::CoverKnot(CoverageTiles &into, std::size_t first, std::size_t last,
                                 float weight) {
  const std::size_t segments = shape.Segments();
  cuts.clear(), knot.clear();
  // The pieces around it that can reach it: mitre tips reach four widths.
  const double reach = 8 * shape.r + 2;
  for (std::size_t i = first; i > 0 && shape.along[first] - shape.along[i] < reach; --i)
    cuts.emplace_back(shape.Piece(i - 1));
  for (std::size_t i = last + 1; i < segments && shape.along[i] - shape.along[last + 1] < reach;
       ++i)
    cuts.emplace_back(shape.Piece(i));
  // Where a segment ends flat, the join there is a shape of its own.
  ConvexPolygon piece;
  for (std::size_t i = first; i <= last; ++i) {
    knot.push_back(shape.KnotShape(i));
    if (i + 1 < segments && shape.FlatAt(i + 1) && shape.JoinPiece(i + 1, piece))
      knot.push_back(piece);
  }
  if (first > 0 && shape.FlatAt(first) && shape.JoinPiece(first, piece)) knot.push_back(piece);
  for (const ConvexPolygon &next : knot) {
    parts.assign(1, next);
    const ConvexRegion whole(next);
    for (const ConvexRegion &cut : cuts) {
      if (!Overlap(cut.pixels, whole.pixels)) continue;
      remaining.clear();
      for (const ConvexPolygon &part : parts)
        AddOutside(part, cut, remaining);
      parts.swap(remaining);
    }
    for (const ConvexPolygon &part : parts)
      into.AddPolygon(part.corners, part.count, weight);
    cuts.push_back(whole);
  }
}

void StrokeRasterizer::Cover(CoverageTiles &into, const StrokePoint *polyline, std::size_t count,
                             double r, float weight) {
  shape.Build(polyline, count, r);
  for (const StrokeShape::Run &run : shape.runs) {
    if (run.knot) continue;
    shape.Outline(run.first, run.last, outline);
    into.AddPolygon(outline.data(), static_cast<int>(outline.size()), weight);
  }
  for (const StrokeShape::Run &run : shape.runs)
    if (run.knot) CoverKnot(into, run.first, run.last, weight);
}

SurfaceRect StrokeRasterizer::Stroke(PixelBuffer &buffer, SurfaceRect clip,
                                     const StrokePoint *points, std::size_t count, double width,
                                     ColorRef pen, StrokeEnd *from, StrokeEnd *end) {
  written.clear();
  // A long stroke goes in pieces, each on from the last as a next tick
  // would: a piece's tiles, and the buffer's rows they asked for, are still
  // in the caches when it is laid.
  constexpr std::size_t kPiece = 256; // segments
  SurfaceRect all{0, 0, 0, 0};
  for (std::size_t first = 0;;) {
    const std::size_t last = count > 1 ? std::min(count - 1, first + kPiece) : count;
    const bool final = last + 1 >= count;
    const SurfaceRect r = StrokePiece(buffer, clip, points + first, last - first + (count > 1),
                                      width, pen, first ? &link : from, final ? end : &link);
    if (r.left < r.right)
      all = all.left < all.right
                ? SurfaceRect{std::min(all.left, r.left), std::min(all.top, r.top),
                              std::max(all.right, r.right), std::max(all.bottom, r.bottom)}
                : r;
    if (final) return all;
    first = last;
  }
}

SurfaceRect StrokeRasterizer::StrokePiece(PixelBuffer &buffer, SurfaceRect clip,
                                          const StrokePoint *points, std::size_t count,
                                          double width, ColorRef pen, StrokeEnd *from,
                                          StrokeEnd *end) {
  const int L = std::max(clip.left, 0), T = std::max(clip.top, 0);
  const int R = std::min(clip.right, buffer.width), B = std::min(clip.bottom, buffer.height);
  if (!(width > 0) || !(width < 1e4) || !buffer.pixels || L >= R || T >= B) return {0, 0, 0, 0};
  const double r = width / 2;
  // Going on: the last stroke's tail first, then this one's points.
  path.clear();
  std::size_t carried = 0;
  const auto add = [this](StrokePoint p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    const StrokePoint b{Bounded(p.x), Bounded(p.y)};
    if (path.empty() || std::fabs(b.x - path.back().x) + std::fabs(b.y - path.back().y) > 1e-9)
      path.push_back(b);
  };
  if (from && count > 0 && from->tail.size() >= 2 && points[0].x == from->point.x &&
      points[0].y == from->point.y) {
    path = from->tail;
    carried = path.size();
  }
  for (std::size_t i = 0; i < count; ++i)
    add(points[i]);
  if (path.size() < 2 || path.size() == carried) return {0, 0, 0, 0};

  tiles.Begin(buffer.width, buffer.height, {L, T, R, B}, &buffer);
  Cover(tiles, path.data(), path.size(), r, 1.0f);
  if (carried) {
    // The tail was laid with a flat end: what the whole adds is the whole
    // less that, laid over what the pixels hold now.
    Cover(tiles, path.data(), carried, r, -1.0f);
    before.Begin(buffer.width, buffer.height, {L, T, R, B});
    Cover(before, path.data(), carried, r, 1.0f);
    before.Resolve();
  }

  const LinearInk ink(pen);
  SurfaceRect touched{R, B, L, T};
  constexpr int kWide = CoverageTiles::kWide, kTall = CoverageTiles::kTall;
  const SurfaceRect held = carried ? before.reach : SurfaceRect{0, 0, 0, 0};
  std::uint64_t count_ = 0;
  const auto lay = [&, pixels = buffer.pixels, stride = buffer.stride](int tileX, int tileY,
                                                                       const float *v) {
    const int x0 = tileX * kWide, y0 = tileY * kTall;
    const int columnFrom = std::max(L - x0, 0), columnTo = std::min(R - x0, kWide);
    const int rowFrom = std::max(T - y0, 0), rowTo = std::min(B - y0, kTall);
    const bool inHeld =
        carried && x0 < held.right && x0 >= held.left && y0 < held.bottom && y0 >= held.top;
    const LinearInk pen_ = ink; // held here: the pixel writes could be taken to change it
    int left = kWide, top = kTall, right = -1, bottom = -1;
    for (int row = rowFrom; row < rowTo; ++row) {
      std::uint32_t *line = pixels + (y0 + row) * stride + x0;
      // The cells worth laying, found at once: a test of each mispredicts.
      unsigned mask = Above(v + row * kWide, kFaint) & ColumnsFrom(columnFrom, columnTo);
      if (!mask) continue;
      top = std::min(top, row), bottom = row;
      left = std::min(left, __builtin_ctz(mask));
      right = std::max(right, 31 - __builtin_clz(mask));
      for (; mask; mask &= mask - 1) {
        const int column = __builtin_ctz(mask);
        float share = v[row * kWide + column];
        if (inHeld) {
          const float already = before.At(x0 + column, y0 + row);
          if (already > 0) share = already < 1 - kFaint ? share / (1 - already) : 0;
          if (!(share > kFaint)) continue;
        }
        line[column] =
            Mix(line[column], pen_, static_cast<std::int32_t>(std::min(share, 1.0f) * 4096 + 0.5f));
        ++count_;
      }
    }
    if (right < 0) return;
    const SurfaceRect rect{x0 + left, y0 + top, x0 + right + 1, y0 + bottom + 1};
    written.push_back(rect);
    touched = {std::min(touched.left, rect.left), std::min(touched.top, rect.top),
               std::max(touched.right, rect.right), std::max(touched.bottom, rect.bottom)};
  };
  tiles.Walk(lay);
  pixelsLaid += count_;

  if (end) {
    // Enough of the end for the next stroke's join and any knot it makes.
    const double keep = 8 * width + 4;
    std::size_t from_ = path.size() - 1;
    double length = 0;
    while (from_ > 0 && length < keep) {
      length += std::hypot(path[from_].x - path[from_ - 1].x, path[from_].y - path[from_ - 1].y);
      --from_;
    }
    end->point = points[count - 1];
    end->tail.assign(path.begin() + static_cast<std::ptrdiff_t>(from_), path.end());
  }
  return touched.left < touched.right ? touched : SurfaceRect{0, 0, 0, 0};
}
