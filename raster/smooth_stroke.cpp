#include "raster/smooth_stroke.h"

#include <algorithm>
#include <cmath>

namespace {
// Far enough outside any buffer, and within int.
double Bounded(double v) { return std::clamp(v, -1e9, 1e9); }

// Under this share of a pixel nothing would show: not laid.
constexpr float kFaint = 4.0f / 4096;

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
  const auto bad = [&](std::size_t i) { return i < segments && !shape.Tiling(i); };
  laid.clear(), knot.clear();
  // The pieces around it that can reach it: mitre tips reach four widths.
  const double reach = 8 * shape.r + 2;
  for (std::size_t i = first; i > 0 && shape.along[first] - shape.along[i] < reach; --i)
    laid.emplace_back(shape.Piece(i - 1));
  for (std::size_t i = last + 1; i < segments && shape.along[i] - shape.along[last + 1] < reach;
       ++i)
    laid.emplace_back(shape.Piece(i));
  // A segment ends flat where it or the one it meets there does not tile,
  // and the join there is a shape of its own.
  const auto flatAt = [&](std::size_t point) {
    return point == 0 || point >= segments || bad(point - 1) || bad(point);
  };
  ConvexPolygon piece;
  for (std::size_t i = first; i <= last; ++i) {
    knot.push_back(shape.KnotShape(i));
    if (i + 1 < segments && flatAt(i + 1) && shape.JoinPiece(i + 1, piece)) knot.push_back(piece);
  }
  if (first > 0 && flatAt(first) && shape.JoinPiece(first, piece)) knot.push_back(piece);
  for (const ConvexPolygon &next : knot) {
    parts.assign(1, next);
    const ConvexRegion whole(next);
    for (const ConvexRegion &cut : laid) {
      if (!Overlap(cut.pixels, whole.pixels)) continue;
      remaining.clear();
      for (const ConvexPolygon &part : parts)
        AddOutside(part, cut, remaining);
      parts.swap(remaining);
    }
    for (const ConvexPolygon &part : parts)
      into.AddPolygon(part.corners, part.count, weight);
    laid.push_back(whole);
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
  constexpr int kSize = CoverageTiles::kSize;
  const SurfaceRect held = carried ? before.reach : SurfaceRect{0, 0, 0, 0};
  const auto soon = [](int, int) {};
  const auto lay = [&](int tileX, int tileY, const float *v) {
    const int x0 = tileX * kSize, y0 = tileY * kSize;
    const int columnFrom = std::max(L - x0, 0), columnTo = std::min(R - x0, kSize);
    const int rowFrom = std::max(T - y0, 0), rowTo = std::min(B - y0, kSize);
    const bool inHeld =
        carried && x0 < held.right && x0 >= held.left && y0 < held.bottom && y0 >= held.top;
    int left = kSize, top = kSize, right = -1, bottom = -1;
    for (int row = rowFrom; row < rowTo; ++row) {
      std::uint32_t *line = buffer.pixels + (y0 + row) * buffer.stride + x0;
      for (int column = columnFrom; column < columnTo; ++column) {
        float share = v[row * kSize + column];
        if (!(share > kFaint)) continue;
        if (inHeld) {
          const float already = before.At(x0 + column, y0 + row);
          if (already > 0) share = already < 1 - kFaint ? share / (1 - already) : 0;
          if (!(share > kFaint)) continue;
        }
        line[column] =
            Mix(line[column], ink, static_cast<std::int32_t>(std::min(share, 1.0f) * 4096 + 0.5f));
        ++pixelsLaid;
        left = std::min(left, column), right = std::max(right, column);
        top = std::min(top, row), bottom = std::max(bottom, row);
      }
    }
    if (right < 0) return;
    const SurfaceRect laid{x0 + left, y0 + top, x0 + right + 1, y0 + bottom + 1};
    written.push_back(laid);
    touched = {std::min(touched.left, laid.left), std::min(touched.top, laid.top),
               std::max(touched.right, laid.right), std::max(touched.bottom, laid.bottom)};
  };
  tiles.Walk(lay, soon);

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
