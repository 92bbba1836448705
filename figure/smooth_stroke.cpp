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
const ColourTables tables; // made before main: no check on every pixel

// Far enough outside any buffer, and within int.
double Bounded(double v) { return std::clamp(v, -1e9, 1e9); }
} // namespace

std::uint16_t LinearFromSrgb(std::uint8_t value) { return tables.linear[value]; }

std::uint8_t SrgbFromLinear(std::uint16_t value) { return tables.srgb[(value + 8u) >> 4]; }

std::uint32_t BlendPixel(std::uint32_t pixel, ColorRef pen, double coverage) {
  const std::uint32_t ink = BufferPixel(pen);
  const auto share = static_cast<std::int32_t>(coverage * 4096 + 0.5); // of 4096
  std::uint32_t out = pixel & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::int32_t from = tables.linear[(pixel >> shift) & 0xFFu];
    const std::int32_t to = tables.linear[(ink >> shift) & 0xFFu];
    const std::int32_t mixed = from + (((to - from) * share + 2048) >> 12);
    out |= std::uint32_t{tables.srgb[(mixed + 8) >> 4]} << shift;
  }
  return out;
}

bool StrokeRasterizer::Outline(const StrokePoint *points, std::size_t count, double radius) {
  // The points that make segments: finite, each apart from the one before.
  kept.clear();
  for (std::size_t i = 0; i < count; ++i) {
    const StrokePoint p = points[i];
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
    const StrokePoint b{Bounded(p.x), Bounded(p.y)};
    if (kept.empty() || std::fabs(b.x - kept.back().x) + std::fabs(b.y - kept.back().y) > 1e-9)
      kept.push_back(b);
  }
  outline.clear();
  const std::size_t m = kept.size();
  if (m < 2) return false;
  const auto normal = [&](std::size_t i) { // of segment i, one unit long
    const double dx = kept[i + 1].x - kept[i].x, dy = kept[i + 1].y - kept[i].y;
    const double length = std::sqrt(dx * dx + dy * dy);
    return StrokePoint{-dy / length, dx / length};
  };
  // The left side forward, then the right side backward: one closed polygon.
  rightSide.clear();
  const auto add = [&](StrokePoint p, double nx, double ny, double side) {
    (side > 0 ? outline : rightSide).push_back({p.x + nx, p.y + ny});
  };
  for (std::size_t i = 0; i < m; ++i) {
    const StrokePoint p = kept[i];
    if (i == 0 || i == m - 1) {
      const StrokePoint n = normal(i == 0 ? 0 : m - 2);
      add(p, n.x * radius, n.y * radius, 1);
      add(p, -n.x * radius, -n.y * radius, -1);
      continue;
    }
    const StrokePoint a = normal(i - 1), b = normal(i);
    const double dot = a.x * b.x + a.y * b.y;
    if (1 + dot > 0.5) { // bends up to 120 degrees meet at the mitre points
      const double mx = (a.x + b.x) / (1 + dot) * radius, my = (a.y + b.y) / (1 + dot) * radius;
      add(p, mx, my, 1);
      add(p, -mx, -my, -1);
      continue;
    }
    // Sharper: the outer side is bevelled, the inner side turns about the point.
    const double inner = a.x * b.y - a.y * b.x > 0 ? -1 : 1; // which side the bend is toward
    for (double side : {1.0, -1.0}) {
      add(p, side * a.x * radius, side * a.y * radius, side);
      if (side == inner) add(p, 0, 0, side);
      add(p, side * b.x * radius, side * b.y * radius, side);
    }
  }
  outline.insert(outline.end(), rightSide.rbegin(), rightSide.rend());
  return true;
}

SurfaceRect StrokeRasterizer::Stroke(PixelBuffer &buffer, SurfaceRect clip,
                                     const StrokePoint *points, std::size_t count,
                                     std::size_t drawnCount, double width, ColorRef pen) {
  SurfaceRect laid{0, 0, 0, 0};
  const Area all{std::max(clip.left, 0), std::max(clip.top, 0), std::min(clip.right, buffer.width),
                 std::min(clip.bottom, buffer.height)};
  if (count < 2 || !(width > 0) || !buffer.pixels || all.left >= all.right || all.top >= all.bottom)
    return laid;
  if (line.size() < static_cast<std::size_t>(buffer.width) + 2)
    line.assign(static_cast<std::size_t>(buffer.width) + 2, 0.0f); // kept zero between rows
  const double radius = width / 2;

  // A continued stroke: the part already laid is cut to its last few pixels
  // (radius + 2 along it), and what it covers there is noted first.
  joined.clear();
  Area near{0, 0, 0, 0};
  if (drawnCount >= count) return laid; // nothing new
  if (drawnCount >= 2) {
    std::size_t k = drawnCount - 1;
    joined.push_back(points[k]);
    for (double need = radius + 2; k > 0 && need > 0; --k) {
      const StrokePoint a = points[k], b = points[k - 1];
      const double length = std::hypot(b.x - a.x, b.y - a.y);
      const double t = length > need ? need / length : 1;
      joined.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
      need -= length;
    }
    std::reverse(joined.begin(), joined.end());
    if (Outline(joined.data(), joined.size(), radius)) {
      near = Bounds(all);
      earlier.assign(static_cast<std::size_t>(near.right - near.left) * (near.bottom - near.top),
                     0.0f);
      Fill(near, [&](int column, int row, double coverage) {
        earlier[static_cast<std::size_t>(row - near.top) * (near.right - near.left) +
                (column - near.left)] = static_cast<float>(coverage);
      });
    }
    joined.insert(joined.end(), points + drawnCount, points + count);
    points = joined.data(), count = joined.size();
  }
  if (!Outline(points, count, radius)) return laid;
  const Area area = Bounds(all);
  Fill(area, [&](int column, int row, double coverage) {
    if (column >= near.left && column < near.right && row >= near.top && row < near.bottom) {
      // What the new part adds over the part already laid.
      const double was =
          earlier[static_cast<std::size_t>(row - near.top) * (near.right - near.left) +
                  (column - near.left)];
      coverage = was < 1 - 1e-6 ? std::max(0.0, (coverage - was) / (1 - was)) : 0.0;
    }
    if (coverage <= 1.0 / 1024) return;
    std::uint32_t &pixel = buffer.pixels[row * buffer.stride + column];
    pixel = BlendPixel(pixel, pen, coverage);
    ++pixelsLaid;
  });
  return {area.left, area.top, area.right, area.bottom};
}

// The outline's bounding pixels inside `inside`.
StrokeRasterizer::Area StrokeRasterizer::Bounds(Area inside) const {
  double left = outline[0].x, right = left, top = outline[0].y, bottom = top;
  for (const StrokePoint &p : outline) {
    left = std::min(left, p.x), right = std::max(right, p.x);
    top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  }
  Area a{std::max(inside.left, static_cast<int>(std::floor(left))),
         std::max(inside.top, static_cast<int>(std::floor(top))),
         std::min(inside.right, static_cast<int>(std::floor(right)) + 1),
         std::min(inside.bottom, static_cast<int>(std::floor(bottom)) + 1)};
  if (a.left >= a.right || a.top >= a.bottom) a = {0, 0, 0, 0};
  return a;
}

template <typename Lay> void StrokeRasterizer::Fill(Area area, Lay lay) {
  if (area.left >= area.right) return;
  lineLeft = area.left, lineRight = area.right;
  const std::size_t n = outline.size();
  // Each edge listed under every row it crosses (a counting sort).
  const auto rowsOf = [&](std::size_t i) {
    const StrokePoint a = outline[i], b = outline[(i + 1) % n];
    if (a.y == b.y) return std::pair(1, 0); // level edges carry no area
    const double low = std::min(a.y, b.y), high = std::max(a.y, b.y);
    return std::pair(std::max(area.top, static_cast<int>(std::floor(low))),
                     std::min(area.bottom - 1, static_cast<int>(std::ceil(high)) - 1));
  };
  rowStart.assign(static_cast<std::size_t>(area.bottom - area.top) + 1, 0);
  for (std::size_t i = 0; i < n; ++i)
    for (auto [row, last] = rowsOf(i); row <= last; ++row)
      ++rowStart[static_cast<std::size_t>(row - area.top) + 1];
  for (std::size_t i = 1; i < rowStart.size(); ++i)
    rowStart[i] += rowStart[i - 1];
  rowEdges.resize(rowStart.back());
  nextFree.assign(rowStart.begin(), rowStart.end() - 1);
  for (std::size_t i = 0; i < n; ++i)
    for (auto [row, last] = rowsOf(i); row <= last; ++row)
      rowEdges[nextFree[static_cast<std::size_t>(row - area.top)]++] =
          static_cast<std::uint32_t>(i);

  for (int row = area.top; row < area.bottom; ++row) {
    ranges.clear();
    const std::size_t r = static_cast<std::size_t>(row - area.top);
    for (std::size_t e = rowStart[r]; e < rowStart[r + 1]; ++e) {
      const StrokePoint a = outline[rowEdges[e]], b = outline[(rowEdges[e] + 1) % n];
      const double y0 = std::max<double>(row, std::min(a.y, b.y));
      const double y1 = std::min<double>(row + 1, std::max(a.y, b.y));
      if (!(y1 > y0)) continue;
      const double slope = (b.x - a.x) / (b.y - a.y);
      AddEdge(a.x + (y0 - a.y) * slope, a.x + (y1 - a.y) * slope, b.y > a.y ? y1 - y0 : y0 - y1);
    }
    std::sort(ranges.begin(), ranges.end(), [](Range p, Range q) { return p.from < q.from; });
    double sum = 0;
    int column = lineLeft - 1;        // the first column not yet summed
    const auto layGap = [&](int to) { // columns where the sum stays as it is
      if (std::fabs(sum) > 1.0 / 1024)
        for (int c = std::max(column, lineLeft); c < std::min(to, lineRight); ++c)
          lay(c, row, std::min(1.0, std::fabs(sum)));
    };
    for (const Range &range : ranges) {
      if (range.to < column) continue;
      layGap(range.from);
      for (int c = std::max(column, range.from); c <= range.to; ++c) {
        sum += line[static_cast<std::size_t>(c) + 1];
        line[static_cast<std::size_t>(c) + 1] = 0;
        if (c >= lineLeft && c < lineRight) lay(c, row, std::min(1.0, std::fabs(sum)));
      }
      column = range.to + 1;
    }
    layGap(lineRight);
  }
}

// Adds an edge's part in one row, from x0 at its top to x1 at its bottom,
// `height` of the row high (negative going up): each column gets the area
// right of the edge inside it, and what lies further right is carried by the
// row's running sum. Column lineLeft - 1 carries what lies left of the area,
// so a stroke cut by the clip keeps its true coverage inside.
void StrokeRasterizer::AddEdge(double x0, double x1, double height) {
  const double left = lineLeft, right = lineRight;
  double xa = std::min(x0, x1), xb = std::max(x0, x1);
  const auto add = [&](int column, double value) {
    line[static_cast<std::size_t>(column) + 1] += static_cast<float>(value);
  };
  if (xb <= left) {
    add(lineLeft - 1, height);
    ranges.push_back({lineLeft - 1, lineLeft - 1});
    return;
  }
  if (xa >= right) return;
  if (xb - xa < 1e-9) {
    const int column = static_cast<int>(std::floor(xa));
    const double f = xa - column;
    add(column, height * (1 - f));
    add(column + 1, height * f);
    ranges.push_back({column, column + 1});
    return;
  }
  const double slope = height / (xb - xa);
  int from = static_cast<int>(std::floor(xa));
  if (xa < left) {
    add(lineLeft - 1, (left - xa) * slope);
    xa = left;
    from = lineLeft - 1;
  }
  xb = std::min(xb, right); // further right only matters past the area
  int column = static_cast<int>(std::floor(xa));
  for (double x = xa; x < xb; ++column) {
    const double to = std::min(column + 1.0, xb);
    const double share = (to - x) * slope, f = (x + to) / 2 - column;
    add(column, share * (1 - f));
    add(column + 1, share * f);
    x = to;
  }
  ranges.push_back({from, column});
}
