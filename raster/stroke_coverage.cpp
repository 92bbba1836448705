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

ConvexRegion::ConvexRegion(const ConvexPolygon &polygon) {
  double twice = 0, left = 1e300, top = 1e300, right = -1e300, bottom = -1e300;
  const int n = polygon.count;
  for (int i = 0; i < n; ++i) {
    const StrokePoint p = polygon.corners[i], q = polygon.corners[(i + 1) % n];
    twice += p.x * q.y - q.x * p.y;
    left = std::min(left, p.x), right = std::max(right, p.x);
    top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  }
  const double turn = twice > 0 ? 1 : -1; // so that inside is k . p <= limit
  for (int i = 0; i < n; ++i) {
    const StrokePoint p = polygon.corners[i], q = polygon.corners[(i + 1) % n];
    const StrokePoint normal{(q.y - p.y) * turn, -(q.x - p.x) * turn};
    if (normal.x == 0 && normal.y == 0) continue;
    k[count] = normal, limit[count] = normal.x * p.x + normal.y * p.y, ++count;
  }
  const auto at = [](double v) { return FloorInt(std::clamp(v, -1e9, 1e9)); };
  pixels = {at(left), at(top), at(right) + 1, at(bottom) + 1};
  if (n < 3) pixels = {0, 0, 0, 0};
}

namespace {
// Whether the polygon lies wholly past one of the region's lines (within
// `slack` of it counts as past).
bool WhollyPast(const ConvexPolygon &polygon, const ConvexRegion &region, double slack) {
  for (int h = 0; h < region.count; ++h) {
    const double limit =
        region.limit[h] - (slack > 0 ? slack * std::hypot(region.k[h].x, region.k[h].y) : 0);
    int past = 0;
    for (int i = 0; i < polygon.count; ++i)
      past += region.k[h].x * polygon.corners[i].x + region.k[h].y * polygon.corners[i].y >= limit;
    if (past == polygon.count) return true;
  }
  return false;
}
} // namespace

bool Overlapping(const ConvexPolygon &a, const ConvexPolygon &b) {
  return a.count >= 3 && b.count >= 3 && !WhollyPast(b, ConvexRegion(a), 1e-9) &&
         !WhollyPast(a, ConvexRegion(b), 1e-9);
}

void AddOutside(const ConvexPolygon &polygon, const ConvexRegion &region,
                std::vector<ConvexPolygon> &out) {
  if (WhollyPast(polygon, region, 0)) { // all of it is outside
    out.push_back(polygon);
    return;
  }
  ConvexPolygon rest = polygon;
  for (int h = 0; h < region.count && rest.count; ++h) {
    ConvexPolygon past = rest;
    ClipBy(past, {-region.k[h].x, -region.k[h].y}, -region.limit[h]);
    if (past.count && Area(past) > 1e-12) out.push_back(past);
    ClipBy(rest, region.k[h], region.limit[h]);
  }
}

double Area(const ConvexPolygon &polygon) {
  double twice = 0;
  for (int i = 0; i < polygon.count; ++i) {
    const StrokePoint p = polygon.corners[i], q = polygon.corners[(i + 1) % polygon.count];
    twice += p.x * q.y - q.x * p.y;
  }
  return std::fabs(twice) / 2;
}

void CoverageTiles::Begin(int width, int height, SurfaceRect clip_, const PixelBuffer *ahead) {
  clip = clip_;
  ahead_ = ahead;
  const int wantColumns = (width + kWide - 1) / kWide, wantRows = (height + kTall - 1) / kTall;
  if (wantColumns != columns || wantRows != rows) {
    columns = wantColumns, rows = wantRows;
    directory.assign(std::size_t(columns) * rows, -1);
  } else {
    for (const Tile &tile : tiles)
      directory[std::size_t(tile.y) * columns + tile.x] = -1;
  }
  tiles.clear();
  lastIndex = -1;
  lastSlot = nullptr;
}

std::int32_t CoverageTiles::NewTile(int tileX, int tileY) {
  const auto slot = static_cast<std::int32_t>(tiles.size());
  tiles.push_back({tileX, tileY, slot});
  if (values.size() < tiles.size() * kCells) values.resize(tiles.size() * kCells * 2);
  std::fill_n(&values[std::size_t(slot) * kCells], kCells, 0.0f);
  if (ahead_) { // the rows of a 4K buffer lie far apart, each on pages of its own
    const int x = std::min(tileX * kWide, clip.right - 1);
    for (int y = tileY * kTall; y < std::min(tileY * kTall + kTall, clip.bottom); ++y)
      __builtin_prefetch(ahead_->pixels + y * ahead_->stride + x, 1);
  }
  directory[std::size_t(tileY) * columns + tileX] = slot;
  return slot;
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
  const int first = std::max(clip.top, FloorInt(p.y));
  const int last = std::min(clip.bottom - 1, CeilInt(q.y) - 1);
  // Most edges lie inside the clip with a column to spare: no cell of
  // theirs needs moving or leaving out.
  if (std::min(p.x, q.x) >= clip.left && std::max(p.x, q.x) < clip.right - 1) {
    for (int y = first; y <= last; ++y) {
      const double top = std::max(p.y, double(y)), bottom = std::min(q.y, double(y + 1));
      if (!(bottom > top)) continue;
      const double xTop = p.x + (top - p.y) * slope, xBottom = p.x + (bottom - p.y) * slope;
      const double height = (bottom - top) * sign;
      const double low = std::min(xTop, xBottom), high = std::max(xTop, xBottom);
      const int lowColumn = static_cast<int>(low), highColumn = static_cast<int>(high);
      const auto uy = static_cast<unsigned>(y);
      const unsigned rowInTile = (uy % kTall) * kWide;
      int tileX = -1;
      float *cells = nullptr;
      const auto put = [&](int x, double value) {
        const auto ux = static_cast<unsigned>(x);
        if (static_cast<int>(ux / kWide) != tileX) {
          tileX = static_cast<int>(ux / kWide);
          cells = Slot(tileX, static_cast<int>(uy / kTall)) + rowInTile;
        }
        cells[ux % kWide] += static_cast<float>(value);
      };
      if (lowColumn == highColumn) {
        const double middle = (low + high) / 2 - lowColumn;
        put(lowColumn, height * (1 - middle));
        put(lowColumn + 1, height * middle);
        continue;
      }
      // Each column's part is a straight piece of its own; a whole
      // column's part is split evenly between it and the next.
      const double perX = height / (high - low);
      const double firstPart = perX * (lowColumn + 1 - low),
                   firstMiddle = (low - lowColumn + 1) / 2;
      put(lowColumn, firstPart * (1 - firstMiddle));
      double pending = firstPart * firstMiddle;
      for (int column = lowColumn + 1; column < highColumn; ++column) {
        put(column, pending + perX / 2);
        pending = perX / 2;
      }
      const double lastPart = perX * (high - highColumn), lastMiddle = (high - highColumn) / 2;
      put(highColumn, pending + lastPart * (1 - lastMiddle));
      put(highColumn + 1, lastPart * lastMiddle);
    }
    return;
  }
  for (int y = first; y <= last; ++y) {
    const double top = std::max(p.y, double(y)), bottom = std::min(q.y, double(y + 1));
    if (!(bottom > top)) continue;
    const double xTop = p.x + (top - p.y) * slope, xBottom = p.x + (bottom - p.y) * slope;
    const double height = (bottom - top) * sign;
    double low = std::min(xTop, xBottom), high = std::max(xTop, xBottom);
    const double perX = high - low > 1e-12 ? height / (high - low) : 0;
    if (perX == 0 || FloorInt(low) == FloorInt(high)) {
      const int column = FloorInt(low);
      const double middle = (low + high) / 2 - column;
      AddCell(column, y, height * (1 - middle));
      AddCell(column + 1, y, height * middle);
      continue;
    }
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
  // The walk's coverage kept in the tiles, with those the sums run through.
  Walk([this](int x, int y, const float *v) { std::copy(v, v + kCells, Slot(x, y)); });
  reach = {clip.right, clip.bottom, clip.left, clip.top};
  for (const Tile &tile : tiles)
    reach = {std::min(reach.left, tile.x * kWide), std::min(reach.top, tile.y * kTall),
             std::max(reach.right, tile.x * kWide + kWide),
             std::max(reach.bottom, tile.y * kTall + kTall)};
  lastIndex = -1;
  lastSlot = nullptr;
}

float CoverageTiles::At(int x, int y) const {
  if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) return 0;
  const std::int32_t slot = directory[std::size_t(y / kTall) * columns + x / kWide];
  return slot < 0 ? 0.0f : values[std::size_t(slot) * kCells + (y % kTall) * kWide + x % kWide];
}
