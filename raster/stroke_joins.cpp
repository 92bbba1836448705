#include "raster/stroke_joins.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kMitreLimit = 4;    // line widths, as SVG's default
constexpr double kTurnedBack = 1e-3; // cos of half a bend past which no line halves it
double Dot(StrokePoint a, StrokePoint b) { return a.x * b.x + a.y * b.y; }
StrokePoint Left(StrokePoint u) { return {-u.y, u.x}; }
StrokePoint Along(StrokePoint p, StrokePoint d, double t) { return {p.x + d.x * t, p.y + d.y * t}; }
} // namespace

void StrokeShape::Build(const StrokePoint *points_, std::size_t count, double r_) {
  points = points_, r = r_;
  const std::size_t m = count, segments = m - 1;
  direction.resize(segments);
  along.resize(m);
  along[0] = 0;
  for (std::size_t i = 0; i < segments; ++i) {
    const double dx = points[i + 1].x - points[i].x, dy = points[i + 1].y - points[i].y,
                 length = std::sqrt(dx * dx + dy * dy);
    direction[i] = {dx / length, dy / length};
    along[i + 1] = along[i] + length;
  }
  joins.resize(m);
  for (std::size_t j = 1; j + 1 < m; ++j) {
    const StrokePoint u = direction[j - 1], v = direction[j], sum{u.x + v.x, u.y + v.y};
    const double length = std::sqrt(sum.x * sum.x + sum.y * sum.y);
    StrokeJoin &join = joins[j];
    join.cosHalf = length / 2;
    join.halving = length > 1e-12 ? StrokePoint{sum.x / length, sum.y / length} : Left(u);
    join.outer = u.x * v.y - u.y * v.x > 0 ? -1 : 1;
    join.outward = {join.outer * join.halving.y * -1, join.outer * join.halving.x};
    join.bevelled = join.cosHalf * kMitreLimit < 1;
  }
  // Knots: segments whose pieces do not tile, with their neighbours within
  // a few line widths, where other pieces may reach into them.
  knotted.assign(segments, 0);
  tiling.resize(segments);
  for (std::size_t i = 0; i < segments; ++i)
    tiling[i] = Tiles(i);
  for (std::size_t i = 0; i < segments; ++i) {
    if (tiling[i]) continue;
    for (std::size_t k = i > 0 ? i - 1 : 0; k <= i + 1 && k < segments; ++k)
      knotted[k] = 1;
  }
  // A knot takes in the pieces next to it while they overlap one of its
  // own other than their neighbour: the two sides of a cusp run close for a
  // while past it.
  constexpr std::size_t kLookBack = 48;
  const auto overlaps = [&](std::size_t next, std::size_t from, std::size_t to) {
    const ConvexPolygon candidate = KnotShape(next);
    for (std::size_t j = from; j <= to && j < segments; ++j)
      if (j + 1 != next && next + 1 != j && j != next && Overlapping(candidate, KnotShape(j)))
        return true;
    return false;
  };
  for (bool grown = true; grown;) { // the two sides in turn, till neither grows
    grown = false;
    for (std::size_t i = 0; i + 1 < segments; ++i) {
      if (!knotted[i] || knotted[i + 1]) continue;
      std::size_t start = i;
      while (start > 0 && knotted[start - 1] && i - start < kLookBack)
        --start;
      if (overlaps(i + 1, start, i)) knotted[i + 1] = 1, grown = true;
    }
    for (std::size_t i = segments; i-- > 1;) {
      if (!knotted[i] || knotted[i - 1]) continue;
      std::size_t stop = i;
      while (stop + 1 < segments && knotted[stop + 1] && stop - i < kLookBack)
        ++stop;
      if (overlaps(i - 1, i, stop)) knotted[i - 1] = 1, grown = true;
    }
  }
  runs.clear();
  for (std::size_t i = 0; i < segments;) {
    std::size_t last = i;
    while (last + 1 < segments && knotted[last + 1] == knotted[i])
      ++last;
    runs.push_back({i, last, knotted[i] != 0});
    i = last + 1;
  }
}

bool StrokeShape::Tiles(std::size_t i) const {
  const std::size_t m = direction.size() + 1;
  const StrokePoint u = direction[i], n = Left(u);
  const bool firstEnd = i == 0, lastEnd = i + 2 == m;
  if ((!firstEnd && joins[i].cosHalf < kTurnedBack) ||
      (!lastEnd && joins[i + 1].cosHalf < kTurnedBack))
    return false;
  const StrokePoint m0 = firstEnd ? u : joins[i].halving, m1 = lastEnd ? u : joins[i + 1].halving;
  const double length = along[i + 1] - along[i];
  for (double s : {r, -r}) {
    const double t0 = -s * Dot(m0, n) / Dot(m0, u), t1 = length - s * Dot(m1, n) / Dot(m1, u);
    if (!(t0 < t1)) return false;
  }
  return true;
}

// The corners on one side (+1 left, -1 right) where a piece meets the line
// at `point`: the end's corner, a mitre's tip, the inner corner, or a
// bevel's two (the half of it nearer the piece, from the halving line on).
void StrokeShape::SideCorners(std::size_t point, int side, bool first, bool last,
                              std::vector<StrokePoint> &out) const {
  const StrokePoint p = points[point];
  const std::size_t m = direction.size() + 1;
  if (point == 0 || point + 1 == m) { // a flat end
    const StrokePoint n = Left(direction[point == 0 ? 0 : point - 1]);
    out.push_back(Along(p, n, side * r));
    return;
  }
  const StrokeJoin &join = joins[point];
  if (side != join.outer) { // inner: where the two sides cross
    out.push_back(Along(p, join.outward, -r / join.cosHalf));
    return;
  }
  if (!join.bevelled) {
    out.push_back(Along(p, join.outward, r / join.cosHalf));
    return;
  }
  const StrokePoint before = Along(p, Left(direction[point - 1]), side * r),
                    after = Along(p, Left(direction[point]), side * r),
                    middle = Along(p, join.outward, r * join.cosHalf);
  // `first`: the piece starts at this point; `last`: it ends here; neither:
  // it goes through.
  if (!first && !last) {
    out.push_back(before);
    out.push_back(after);
  } else if (first) {
    out.push_back(middle);
    out.push_back(after);
  } else {
    out.push_back(before);
    out.push_back(middle);
  }
}

void StrokeShape::Outline(std::size_t first, std::size_t last, std::vector<StrokePoint> &outline,
                          bool flatStart, bool flatEnd) const {
  outline.clear();
  for (int side : {1, -1}) {
    const std::size_t from = outline.size();
    for (std::size_t j = first; j <= last + 1; ++j)
      if ((j == first && flatStart) || (j == last + 1 && flatEnd)) // as the band ends
        outline.push_back(Along(points[j], Left(direction[j == first ? first : last]), side * r));
      else
        SideCorners(j, side, j == first, j == last + 1, outline);
    if (side < 0) std::reverse(outline.begin() + static_cast<std::ptrdiff_t>(from), outline.end());
  }
}

ConvexPolygon StrokeShape::Piece(std::size_t i, bool flatStart, bool flatEnd) const {
  std::vector<StrokePoint> corners; // small; knots only
  Outline(i, i, corners, flatStart, flatEnd);
  ConvexPolygon piece;
  for (StrokePoint p : corners)
    piece.Add(p);
  return piece;
}

bool StrokeShape::FlatAt(std::size_t point) const {
  return point == 0 || point >= direction.size() || !tiling[point - 1] || !tiling[point];
}

ConvexPolygon StrokeShape::KnotShape(std::size_t i) const {
  return Piece(i, FlatAt(i), FlatAt(i + 1));
}

bool StrokeShape::JoinPiece(std::size_t j, ConvexPolygon &piece) const {
  const StrokeJoin &join = joins[j];
  if (join.cosHalf > 1 - 1e-12) return false;
  const StrokePoint p = points[j];
  piece = {};
  piece.Add(p);
  piece.Add(Along(p, Left(direction[j - 1]), join.outer * r));
  if (!join.bevelled) piece.Add(Along(p, join.outward, r / join.cosHalf));
  piece.Add(Along(p, Left(direction[j]), join.outer * r));
  return true;
}
