#include "raster/stroke_coverage.h"

#include <algorithm>
#include <cmath>

void ClipBy(ConvexPolygon &polygon, StrokePoint k, double limit) {
  ConvexPolygon kept;
  const int n = polygon.count;
  for (int i = 0; i < n; ++i) {
    const StrokePoint p = polygon.corners[i], q = polygon.corners[(i + 1) % n];
    const double dp = k.x * p.x + k.y * p.y - limit, dq = k.x * q.x + k.y * q.y - limit;
    if (dp <= 0) kept.Add(p);
    if ((dp < 0 && dq > 0) || (dp > 0 && dq < 0)) {
      const double t = dp / (dp - dq);
      kept.Add({p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)});
    }
  }
  polygon = kept.count >= 3 ? kept : ConvexPolygon{};
}

ConvexPolygon ClipToPixel(const ConvexPolygon &polygon, int x, int y) {
  ConvexPolygon part = polygon;
  ClipBy(part, {-1, 0}, -x);
  ClipBy(part, {1, 0}, x + 1);
  ClipBy(part, {0, -1}, -y);
  ClipBy(part, {0, 1}, y + 1);
  return part;
}

double Area(const ConvexPolygon &polygon) {
  double twice = 0;
  for (int i = 0; i < polygon.count; ++i) {
    const StrokePoint p = polygon.corners[i], q = polygon.corners[(i + 1) % polygon.count];
    twice += p.x * q.y - q.x * p.y;
  }
  return std::fabs(twice) / 2;
}

double UnionArea(const ConvexPolygon *polygons, int count) {
  if (count == 1) return Area(polygons[0]);
  std::vector<double> xs; // small: the few pieces that meet in one pixel
  for (int a = 0; a < count; ++a)
    for (int i = 0; i < polygons[a].count; ++i)
      xs.push_back(polygons[a].corners[i].x);
  // Where an edge of one polygon crosses an edge of another.
  for (int a = 0; a < count; ++a)
    for (int b = a + 1; b < count; ++b)
      for (int i = 0; i < polygons[a].count; ++i) {
        const StrokePoint p = polygons[a].corners[i],
                          p2 = polygons[a].corners[(i + 1) % polygons[a].count];
        for (int j = 0; j < polygons[b].count; ++j) {
          const StrokePoint q = polygons[b].corners[j],
                            q2 = polygons[b].corners[(j + 1) % polygons[b].count];
          const double dx = p2.x - p.x, dy = p2.y - p.y, ex = q2.x - q.x, ey = q2.y - q.y;
          const double det = dx * ey - dy * ex;
          if (std::fabs(det) < 1e-18) continue;
          const double t = ((q.x - p.x) * ey - (q.y - p.y) * ex) / det,
                       s = ((q.x - p.x) * dy - (q.y - p.y) * dx) / det;
          if (t > 0 && t < 1 && s > 0 && s < 1) xs.push_back(p.x + t * dx);
        }
      }
  std::sort(xs.begin(), xs.end());
  double area = 0;
  struct Span {
    double low, high;
  };
  Span spans[64];
  for (std::size_t e = 0; e + 1 < xs.size(); ++e) {
    const double x0 = xs[e], x1 = xs[e + 1];
    if (!(x1 - x0 > 1e-12)) continue;
    // Between two events each polygon's height is linear, and so is their
    // union's: its value halfway is the slab's mean.
    const double x = (x0 + x1) / 2;
    int found = 0;
    for (int a = 0; a < count && found < 64; ++a) {
      double low = 1e300, high = -1e300;
      const ConvexPolygon &polygon = polygons[a];
      for (int i = 0; i < polygon.count; ++i) {
        const StrokePoint p = polygon.corners[i], q = polygon.corners[(i + 1) % polygon.count];
        if ((p.x < x) == (q.x < x)) continue;
        const double y = p.y + (x - p.x) / (q.x - p.x) * (q.y - p.y);
        low = std::min(low, y), high = std::max(high, y);
      }
      if (high > low) spans[found++] = {low, high};
    }
    std::sort(spans, spans + found, [](const Span &a, const Span &b) { return a.low < b.low; });
    double covered = 0, reach = -1e300;
    for (int i = 0; i < found; ++i) {
      const double low = std::max(spans[i].low, reach);
      if (spans[i].high > low) covered += spans[i].high - low;
      reach = std::max(reach, spans[i].high);
    }
    area += covered * (x1 - x0);
  }
  return area;
}

void CoverageTiles::Begin(int width, int height, SurfaceRect clip_) {
  clip = clip_;
  const int wantColumns = (width + kSize - 1) / kSize, wantRows = (height + kSize - 1) / kSize;
  if (wantColumns != columns || wantRows != rows) {
    columns = wantColumns, rows = wantRows;
    directory.assign(std::size_t(columns) * rows, -1);
  } else {
    for (const Tile &tile : tiles)
      directory[std::size_t(tile.y) * columns + tile.x] = -1;
  }
  tiles.clear();
  values.clear();
  lastIndex = -1;
  lastSlot = nullptr;
}

std::int32_t CoverageTiles::NewTile(int tileX, int tileY) {
  const auto slot = static_cast<std::int32_t>(tiles.size());
  tiles.push_back({tileX, tileY, slot});
  values.resize(values.size() + kCells, 0.0f);
  directory[std::size_t(tileY) * columns + tileX] = slot;
  return slot;
}

void CoverageTiles::AddPixel(int x, int y, float delta) {
  if (y < clip.top || y >= clip.bottom || x < clip.left || x >= clip.right) return;
  AddCell(x, y, delta);
  AddCell(x + 1, y, -delta);
}

// An edge from p to q adds, in each row it crosses, the signed height it
// spans there times the share of each pixel to its right: the whole of the
// pixels past it (carried by the row's running sum) and, in the columns it
// passes through, the part right of its middle there.
void CoverageTiles::AddEdge(StrokePoint p, StrokePoint q, double weight) {
  if (p.y == q.y) return;
  const double sign = q.y > p.y ? weight : -weight;
  if (q.y < p.y) std::swap(p, q);
  const double slope = (q.x - p.x) / (q.y - p.y);
  const int first = std::max(clip.top, FloorInt(p.y)),
            last = std::min(clip.bottom - 1, CeilInt(q.y) - 1);
  for (int y = first; y <= last; ++y) {
    const double top = std::max(p.y, double(y)), bottom = std::min(q.y, double(y + 1));
    if (!(bottom > top)) continue;
    const double xTop = p.x + (top - p.y) * slope, xBottom = p.x + (bottom - p.y) * slope;
    const double height = (bottom - top) * sign;
    double low = std::min(xTop, xBottom), high = std::max(xTop, xBottom);
    if (high - low < 1e-12 || FloorInt(low) == FloorInt(high)) {
      const int column = FloorInt(low);
      const double middle = (low + high) / 2 - column;
      AddCell(column, y, height * (1 - middle));
      AddCell(column + 1, y, height * middle);
      continue;
    }
    // Across several columns each column's part is a straight piece of its own.
    const double perX = height / (high - low);
    if (low < clip.left) { // what lies left of the clip only carries
      const double cut = std::min(high, double(clip.left));
      AddCell(clip.left, y, perX * (cut - low));
      low = cut;
    }
    high = std::min(high, double(clip.right));
    for (int column = FloorInt(low); column < high; ++column) {
      const double from = std::max(low, double(column)), to = std::min(high, double(column + 1));
      if (!(to > from)) continue;
      const double part = perX * (to - from), middle = (from + to) / 2 - column;
      AddCell(column, y, part * (1 - middle));
      AddCell(column + 1, y, part * middle);
    }
  }
}

void CoverageTiles::AddPolygon(const StrokePoint *corners, int count, float weight) {
  if (count < 3) return;
  // Inside is to the right of edges going down in a clockwise polygon (as
  // the screen shows it); a counter-clockwise one is turned round.
  double twice = 0;
  for (int i = 0; i < count; ++i) {
    const StrokePoint p = corners[i], q = corners[(i + 1) % count];
    twice += p.x * q.y - q.x * p.y;
  }
  const double w = twice > 0 ? -double(weight) : double(weight);
  for (int i = 0; i < count; ++i)
    AddEdge(corners[i], corners[(i + 1) % count], w);
}

void CoverageTiles::Resolve() {
  std::sort(tiles.begin(), tiles.end());
  const std::size_t gathered = tiles.size();
  float carry[kSize];
  const auto anyCarry = [&carry] {
    for (float c : carry)
      if (std::fabs(c) > 1e-6f) return true;
    return false;
  };
  const int lastColumn = (clip.right - 1) / kSize;
  for (std::size_t t = 0; t < gathered; ++t) {
    const Tile tile = tiles[t];
    if (t == 0 || tiles[t - 1].y != tile.y) std::fill(carry, carry + kSize, 0.0f);
    float *v = &values[std::size_t(tile.slot) * kCells];
    for (int row = 0; row < kSize; ++row) {
      float sum = carry[row];
      for (int column = 0; column < kSize; ++column)
        v[row * kSize + column] = sum += v[row * kSize + column];
      carry[row] = sum;
    }
    // Pixels past this tile inside the stroke, with no edge of their own in
    // their tile, take the sum that runs through them.
    const bool lastInRow = t + 1 == gathered || tiles[t + 1].y != tile.y;
    const int until = lastInRow ? lastColumn + 1 : tiles[t + 1].x;
    if (tile.x + 1 < until && anyCarry())
      for (int x = tile.x + 1; x < until; ++x) {
        const std::int32_t slot = NewTile(x, tile.y);
        float *fill = &values[std::size_t(slot) * kCells];
        for (int row = 0; row < kSize; ++row)
          std::fill_n(fill + row * kSize, kSize, carry[row]);
      }
  }
  if (tiles.size() > gathered) std::sort(tiles.begin(), tiles.end());
  reach = {clip.right, clip.bottom, clip.left, clip.top};
  for (const Tile &tile : tiles)
    reach = {std::min(reach.left, tile.x * kSize), std::min(reach.top, tile.y * kSize),
             std::max(reach.right, tile.x * kSize + kSize),
             std::max(reach.bottom, tile.y * kSize + kSize)};
  lastIndex = -1;
  lastSlot = nullptr;
}

float CoverageTiles::At(int x, int y) const {
  if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) return 0;
  const std::int32_t slot = directory[std::size_t(y / kSize) * columns + x / kSize];
  return slot < 0 ? 0.0f : values[std::size_t(slot) * kCells + (y % kSize) * kSize + x % kSize];
}
