#include "raster/smooth_stroke.h"

#include <algorithm>
#include <cmath>

namespace {
// Far enough outside any buffer, and within int.
double Bounded(double v) { return std::clamp(v, -1e9, 1e9); }

// Under this share of a pixel nothing would show: not laid.
constexpr float kFaint = 4.0f / 4096;

SurfaceRect Bounds(const ConvexPolygon &polygon) {
  double left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
  for (int i = 0; i < polygon.count; ++i) {
    left = std::min(left, polygon.corners[i].x), right = std::max(right, polygon.corners[i].x);
    top = std::min(top, polygon.corners[i].y), bottom = std::max(bottom, polygon.corners[i].y);
  }
  return {FloorInt(Bounded(left)), FloorInt(Bounded(top)), FloorInt(Bounded(right)) + 1,
          FloorInt(Bounded(bottom)) + 1};
}

// The columns a convex polygon reaches in row y, as [first, last].
bool RowSpan(const ConvexPolygon &polygon, int y, int &first, int &last) {
  ConvexPolygon strip = polygon;
  ClipBy(strip, {0, -1}, -y);
  ClipBy(strip, {0, 1}, y + 1);
  if (strip.count == 0) return false;
  const SurfaceRect b = Bounds(strip);
  first = b.left, last = b.right - 1;
  return true;
}
} // namespace

// A knot's pixels take the exact area of the union of its bands and joins
// and of the pieces next to it, in place of what those pieces laid there.
void StrokeRasterizer::CoverKnot(CoverageTiles &into, std::size_t first, std::size_t last,
                                 float weight) {
  const std::size_t segments = shape.Segments();
  knot.clear(), around.clear();
  ConvexPolygon piece;
  for (std::size_t i = first; i <= last; ++i) {
    knot.push_back(shape.Band(i));
    if (i > 0 && shape.JoinPiece(i, piece)) knot.push_back(piece);
  }
  if (last + 1 < segments && shape.JoinPiece(last + 1, piece)) knot.push_back(piece);
  // The pieces around it that can reach its pixels.
  const double reach = 2 * (shape.along[last + 1] - shape.along[first]) + 8;
  for (std::size_t i = first; i > 0 && shape.along[first] - shape.along[i] < reach; --i)
    around.push_back(shape.Piece(i - 1));
  for (std::size_t i = last + 1; i < segments && shape.along[i] - shape.along[last + 1] < reach;
       ++i)
    around.push_back(shape.Piece(i));
  std::vector<SurfaceRect> aroundBounds, knotBounds; // small
  for (const ConvexPolygon &p : around)
    aroundBounds.push_back(Bounds(p));
  SurfaceRect all{into.clip.right, into.clip.bottom, into.clip.left, into.clip.top};
  for (const ConvexPolygon &p : knot) {
    const SurfaceRect b = Bounds(p);
    knotBounds.push_back(b);
    all = {std::max(std::min(all.left, b.left), into.clip.left),
           std::max(std::min(all.top, b.top), into.clip.top),
           std::min(std::max(all.right, b.right), into.clip.right),
           std::min(std::max(all.bottom, b.bottom), into.clip.bottom)};
  }
  std::vector<std::pair<int, int>> spans;
  for (int y = all.top; y < all.bottom; ++y) {
    spans.clear();
    for (std::size_t k = 0; k < knot.size(); ++k) {
      int from = 0, to = 0;
      if (knotBounds[k].top <= y && y < knotBounds[k].bottom && RowSpan(knot[k], y, from, to))
        spans.emplace_back(std::max(from, all.left), std::min(to, all.right - 1));
    }
    std::sort(spans.begin(), spans.end());
    int done = all.left - 1;
    for (const auto &[from, to] : spans)
      for (int x = std::max(from, done + 1); x <= to; done = x, ++x) {
        inPixel.clear();
        for (std::size_t k = 0; k < knot.size(); ++k) {
          const SurfaceRect &b = knotBounds[k];
          if (x < b.left || x >= b.right || y < b.top || y >= b.bottom) continue;
          const ConvexPolygon part = ClipToPixel(knot[k], x, y);
          if (part.count) inPixel.push_back(part);
        }
        if (inPixel.empty()) continue;
        const std::size_t own = inPixel.size();
        double laid = 0; // by the pieces around, as they were gathered
        for (std::size_t k = 0; k < around.size(); ++k) {
          const SurfaceRect &b = aroundBounds[k];
          if (x < b.left || x >= b.right || y < b.top || y >= b.bottom) continue;
          const ConvexPolygon part = ClipToPixel(around[k], x, y);
          if (part.count) inPixel.push_back(part), laid += Area(part);
        }
        (void)own;
        const double exact = UnionArea(inPixel.data(), static_cast<int>(inPixel.size()));
        into.AddPixel(x, y, static_cast<float>((exact - laid) * weight));
      }
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

  tiles.Begin(buffer.width, buffer.height, {L, T, R, B});
  Cover(tiles, path.data(), path.size(), r, 1.0f);
  if (carried) {
    // The tail was laid with a flat end: what the whole adds is the whole
    // less that, laid over what the pixels hold now.
    Cover(tiles, path.data(), carried, r, -1.0f);
    before.Begin(buffer.width, buffer.height, {L, T, R, B});
    Cover(before, path.data(), carried, r, 1.0f);
    before.Resolve();
  }
  tiles.Resolve();

  const LinearInk ink(pen);
  SurfaceRect touched{R, B, L, T};
  constexpr int kSize = CoverageTiles::kSize;
  const SurfaceRect held = carried ? before.reach : SurfaceRect{0, 0, 0, 0};
  const std::size_t count_ = tiles.tiles.size();
  for (std::size_t t = 0; t < count_; ++t) {
    // The rows of a 4K buffer lie far apart, each on pages of its own: ask
    // for a tile's a few tiles ahead.
    if (t + 4 < count_) {
      const CoverageTiles::Tile ahead = tiles.tiles[t + 4];
      const std::uint32_t *corner = buffer.pixels +
                                    std::min(ahead.y * kSize, B - 1) * buffer.stride +
                                    std::min(ahead.x * kSize, R - 1);
      for (int row = 0; row < kSize && ahead.y * kSize + row < B; ++row)
        __builtin_prefetch(corner + row * buffer.stride, 1);
    }
    const CoverageTiles::Tile &tile = tiles.tiles[t];
    const float *v = tiles.Values(tile);
    const bool inHeld = carried && tile.x * kSize < held.right && tile.x * kSize >= held.left &&
                        tile.y * kSize < held.bottom && tile.y * kSize >= held.top;
    const int x0 = tile.x * kSize, y0 = tile.y * kSize;
    const int columnFrom = std::max(L - x0, 0), columnTo = std::min(R - x0, kSize);
    const int rowFrom = std::max(T - y0, 0), rowTo = std::min(B - y0, kSize);
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
    if (right < 0) continue;
    const SurfaceRect laid{x0 + left, y0 + top, x0 + right + 1, y0 + bottom + 1};
    written.push_back(laid);
    touched = {std::min(touched.left, laid.left), std::min(touched.top, laid.top),
               std::max(touched.right, laid.right), std::max(touched.bottom, laid.bottom)};
  }

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
