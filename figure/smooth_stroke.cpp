#include "figure/smooth_stroke.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
// 4097 steps of linear light back to sRGB: fine enough that every sRGB value
// survives the way there and back, so a pen over its own colour changes nothing.
constexpr int kLinearSteps = 4096;

struct ColourTables {
  std::array<std::uint16_t, 256> linear;
  std::array<std::uint8_t, kLinearSteps + 1> srgb;
  ColourTables() {
    for (int i = 0; i < 256; ++i) {
      const double s = i / 255.0;
      const double l = s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
      linear[i] = static_cast<std::uint16_t>(std::lround(l * 65535));
    }
    for (int i = 0; i <= kLinearSteps; ++i) {
      const double l = double(i) / kLinearSteps;
      const double s = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
      srgb[i] = static_cast<std::uint8_t>(std::lround(std::clamp(s, 0.0, 1.0) * 255));
    }
    for (int i = 0; i < 256; ++i) // the nearest step of each value is that value
      srgb[(linear[i] + 8) >> 4] = static_cast<std::uint8_t>(i);
  }
};
const ColourTables &Tables() {
  static const ColourTables tables;
  return tables;
}

// Far enough outside any buffer, and within int.
double Bounded(double v) { return std::clamp(v, -1e9, 1e9); }
} // namespace

std::uint16_t LinearFromSrgb(std::uint8_t value) { return Tables().linear[value]; }

std::uint8_t SrgbFromLinear(std::uint16_t value) { return Tables().srgb[(value + 8u) >> 4]; }

std::uint32_t BlendPixel(std::uint32_t pixel, ColorRef pen, double coverage) {
  const ColourTables &t = Tables();
  const std::uint32_t ink = BufferPixel(pen);
  std::uint32_t out = pixel & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const double from = t.linear[(pixel >> shift) & 0xFFu];
    const double to = t.linear[(ink >> shift) & 0xFFu];
    const auto mixed = static_cast<std::uint32_t>(from + (to - from) * coverage + 0.5);
    out |= std::uint32_t{t.srgb[(mixed + 8u) >> 4]} << shift;
  }
  return out;
}

void StrokeRasterizer::AddPiece(const Piece &piece) {
  Piece p = piece;
  p.top = p.bottom = p.corner[0].y;
  p.left = p.right = p.corner[0].x;
  for (int i = 1; i < p.corners; ++i) {
    p.top = std::min(p.top, p.corner[i].y), p.bottom = std::max(p.bottom, p.corner[i].y);
    p.left = std::min(p.left, p.corner[i].x), p.right = std::max(p.right, p.corner[i].x);
  }
  pieces.push_back(p);
}

SurfaceRect StrokeRasterizer::Stroke(PixelBuffer &buffer, SurfaceRect clip,
                                     const StrokePoint *points, std::size_t count,
                                     std::size_t drawnCount, double width, ColorRef pen) {
  pieces.clear();
  const SurfaceRect none{0, 0, 0, 0};
  if (count < 2 || !(width > 0) || !buffer.pixels) return none;
  const double r = width / 2;
  bool turning = false; // a segment came before: the next one joins it
  double lastX = 0, lastY = 0;
  for (std::size_t i = 0; i + 1 < count; ++i) {
    const StrokePoint a{Bounded(points[i].x), Bounded(points[i].y)};
    const StrokePoint b{Bounded(points[i + 1].x), Bounded(points[i + 1].y)};
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (!(length > 1e-9)) continue; // also not a number
    const double ux = (b.x - a.x) / length, uy = (b.y - a.y) / length;
    const double nx = -uy * r, ny = ux * r;
    if (turning) {
      // The gap on the outer side of the bend is closed by a wedge; the
      // inner side is inside both bands already.
      const double cross = lastX * uy - lastY * ux;
      if (std::fabs(cross) > 1e-12) {
        const double side = cross > 0 ? -1 : 1;
        AddPiece({{a,
                   {a.x - side * lastY * r, a.y + side * lastX * r},
                   {a.x + side * nx, a.y + side * ny}},
                  3,
                  0,
                  0,
                  0,
                  0,
                  i + 1 < drawnCount});
      }
    }
    AddPiece(
        {{{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}},
         4,
         0,
         0,
         0,
         0,
         i + 1 < drawnCount});
    turning = true, lastX = ux, lastY = uy;
  }
  if (pieces.empty()) return none;

  double top = pieces[0].top, bottom = pieces[0].bottom;
  double left = pieces[0].left, right = pieces[0].right;
  for (const Piece &p : pieces) {
    top = std::min(top, p.top), bottom = std::max(bottom, p.bottom);
    left = std::min(left, p.left), right = std::max(right, p.right);
  }
  const int L = std::max({clip.left, 0, static_cast<int>(std::floor(left))});
  const int R = std::min({clip.right, buffer.width, static_cast<int>(std::floor(right)) + 1});
  const int T = std::max({clip.top, 0, static_cast<int>(std::floor(top))});
  const int B = std::min({clip.bottom, buffer.height, static_cast<int>(std::floor(bottom)) + 1});
  if (L >= R || T >= B) return none;

  // Each piece listed under every row it touches (a counting sort).
  rowStart.assign(static_cast<std::size_t>(B - T) + 1, 0);
  const auto rowsOf = [&](const Piece &p) {
    return std::pair(std::max(T, static_cast<int>(std::floor(p.top))),
                     std::min(B - 1, static_cast<int>(std::floor(p.bottom))));
  };
  for (const Piece &p : pieces)
    for (auto [row, last] = rowsOf(p); row <= last; ++row)
      ++rowStart[static_cast<std::size_t>(row - T) + 1];
  for (std::size_t i = 1; i < rowStart.size(); ++i)
    rowStart[i] += rowStart[i - 1];
  rowPieces.resize(rowStart.back());
  cluster.assign(rowStart.begin(), rowStart.end() - 1); // the next free place per row
  for (std::uint32_t index = 0; index < pieces.size(); ++index)
    for (auto [row, last] = rowsOf(pieces[index]); row <= last; ++row)
      rowPieces[cluster[static_cast<std::size_t>(row - T)]++] = index;

  firstRow = T;
  for (int row = T; row < B; ++row)
    StrokeRow(buffer, row, L, R, pen);
  return {L, T, R, B};
}

void StrokeRasterizer::StrokeRow(PixelBuffer &buffer, int row, int L, int R, ColorRef pen) {
  // The row's pieces from the left, taken in runs whose columns overlap: a
  // pixel is laid once, with the coverage of everything over it.
  const std::size_t index = static_cast<std::size_t>(row - firstRow);
  cluster.assign(rowPieces.begin() + rowStart[index], rowPieces.begin() + rowStart[index + 1]);
  std::sort(cluster.begin(), cluster.end(),
            [&](std::uint32_t a, std::uint32_t b) { return pieces[a].left < pieces[b].left; });
  std::uint32_t *const rowPixels = buffer.pixels + row * buffer.stride;
  for (std::size_t begin = 0, end; begin < cluster.size(); begin = end) {
    double reach = pieces[cluster[begin]].right;
    bool anyDrawn = false;
    for (end = begin;
         end < cluster.size() && std::floor(pieces[cluster[end]].left) <= std::floor(reach);
         ++end) {
      reach = std::max(reach, pieces[cluster[end]].right);
      anyDrawn |= pieces[cluster[end]].drawn;
    }
    runBegin = begin, runEnd = end;
    firstColumn = std::max(L, static_cast<int>(std::floor(pieces[cluster[begin]].left)));
    lastColumn = std::min(R - 1, static_cast<int>(std::floor(reach)));
    if (firstColumn > lastColumn) continue;

    events.assign({double(row), double(row + 1)});
    for (std::size_t k = begin; k < end; ++k) {
      const Piece &p = pieces[cluster[k]];
      for (int c = 0; c < p.corners; ++c)
        if (p.corner[c].y > row && p.corner[c].y < row + 1) events.push_back(p.corner[c].y);
    }
    std::sort(events.begin(), events.end());
    const std::size_t columns = static_cast<std::size_t>(lastColumn - firstColumn) + 3;
    for (bool drawnOnly : {false, true}) {
      if (drawnOnly && !anyDrawn) break;
      target = drawnOnly ? &drawnCover : &newCover;
      target->assign(columns, 0.0f);
      for (std::size_t e = 0; e + 1 < events.size(); ++e)
        if (events[e + 1] - events[e] > 1e-12) AddStrip(events[e], events[e + 1], drawnOnly, 0);
    }
    double all = newCover[0], drawn = anyDrawn ? drawnCover[0] : 0.0;
    for (int column = firstColumn; column <= lastColumn; ++column) {
      const std::size_t k = static_cast<std::size_t>(column - firstColumn) + 1;
      all += newCover[k];
      double coverage = std::min(1.0, std::fabs(all));
      if (anyDrawn) { // what the new part adds over the part already laid
        drawn += drawnCover[k];
        const double before = std::min(1.0, std::fabs(drawn));
        coverage = before < 1 - 1e-6 ? std::max(0.0, (coverage - before) / (1 - before)) : 0.0;
      }
      if (coverage > 1.0 / 1024) rowPixels[column] = BlendPixel(rowPixels[column], pen, coverage);
    }
  }
}

// The union's spans at height y, of the pieces that cover the strip around `mid`.
void StrokeRasterizer::Unite(double y, double mid, bool drawnOnly, std::vector<Span> &spans) {
  spans.clear();
  for (std::size_t k = runBegin; k < runEnd; ++k) {
    const Piece &p = pieces[cluster[k]];
    if ((drawnOnly && !p.drawn) || !(p.top < mid && mid < p.bottom)) continue;
    double from = INFINITY, to = -INFINITY;
    for (int c = 0; c < p.corners; ++c) {
      const StrokePoint a = p.corner[c], b = p.corner[(c + 1) % p.corners];
      if (a.y == b.y) {
        if (a.y == y) from = std::min({from, a.x, b.x}), to = std::max({to, a.x, b.x});
      } else if ((y - a.y) * (y - b.y) <= 0) {
        const double x = a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y);
        from = std::min(from, x), to = std::max(to, x);
      }
    }
    if (from <= to) spans.push_back({from, to});
  }
  std::sort(spans.begin(), spans.end(), [](Span a, Span b) { return a.from < b.from; });
  std::size_t kept = 0;
  for (const Span &s : spans) {
    if (kept && s.from <= spans[kept - 1].to)
      spans[kept - 1].to = std::max(spans[kept - 1].to, s.to);
    else
      spans[kept++] = s;
  }
  spans.resize(kept);
}

// Between two heights where no corner lies, each span's ends move in straight
// lines; where spans join or part inside the strip, it is halved until they don't.
void StrokeRasterizer::AddStrip(double top, double bottom, bool drawnOnly, int depth) {
  const double mid = (top + bottom) / 2, height = bottom - top;
  Unite(top, mid, drawnOnly, upper);
  Unite(bottom, mid, drawnOnly, lower);
  if (upper.size() == lower.size()) {
    for (std::size_t m = 0; m < upper.size(); ++m) {
      AddEdge(upper[m].from, lower[m].from, height, 1);
      AddEdge(upper[m].to, lower[m].to, height, -1);
    }
  } else if (depth < 6) {
    AddStrip(top, mid, drawnOnly, depth + 1);
    AddStrip(mid, bottom, drawnOnly, depth + 1);
  } else {
    Unite(mid, mid, drawnOnly, upper);
    for (const Span &s : upper) {
      AddEdge(s.from, s.from, height, 1);
      AddEdge(s.to, s.to, height, -1);
    }
  }
}

// Adds one side of a span over a strip `height` high, from x0 at its top to x1
// at its bottom: each column gets the area right of the edge inside it, and
// what lies further right is carried by the running sum. A start (+1) opens
// coverage and an end (-1) closes it. Index 0 carries what lies left of the
// first column, so a stroke cut by the clip keeps its true coverage inside.
void StrokeRasterizer::AddEdge(double x0, double x1, double height, float sign) {
  std::vector<float> &acc = *target;
  const double L = firstColumn, R = lastColumn + 1.0;
  double xa = std::min(x0, x1), xb = std::max(x0, x1);
  if (xb <= L) {
    acc[0] += static_cast<float>(sign * height);
    return;
  }
  if (xa >= R) return;
  const auto add = [&](int column, double value) {
    const long long k = static_cast<long long>(column) - firstColumn + 1;
    if (k >= 0 && k < static_cast<long long>(acc.size())) acc[k] += static_cast<float>(value);
  };
  if (xb - xa < 1e-9) {
    const int column = static_cast<int>(std::floor(xa));
    const double f = xa - column;
    add(column, sign * height * (1 - f));
    add(column + 1, sign * height * f);
    return;
  }
  const double slope = height / (xb - xa);
  if (xa < L) {
    acc[0] += static_cast<float>(sign * (L - xa) * slope);
    xa = L;
  }
  xb = std::min(xb, R); // further right only matters past the last column
  int column = static_cast<int>(std::floor(xa));
  for (double x = xa; x < xb; ++column) {
    const double next = std::min(column + 1.0, xb);
    const double share = (next - x) * slope, f = (x + next) / 2 - column;
    add(column, sign * share * (1 - f));
    add(column + 1, sign * share * f);
    x = next;
  }
}
