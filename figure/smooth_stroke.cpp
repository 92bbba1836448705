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

namespace {
// A pen in linear light, per channel of the buffer (blue first).
void LinearInk(ColorRef pen, std::int32_t (&ink)[3]) {
  const std::uint32_t color = BufferPixel(pen);
  for (int i = 0; i < 3; ++i)
    ink[i] = tables.linear[(color >> (8 * i)) & 0xFFu];
}

// The pen over `coverage` (0 to 1) of a pixel, mixed in linear light.
std::uint32_t Mix(std::uint32_t pixel, const std::int32_t (&ink)[3], double coverage) {
  const auto share = static_cast<std::int32_t>(std::min(coverage, 1.0) * 4096 + 0.5); // of 4096
  std::uint32_t out = pixel & 0xFF000000u;
  for (int i = 0, shift = 0; i < 3; ++i, shift += 8) {
    const std::int32_t was = tables.linear[(pixel >> shift) & 0xFFu];
    const std::int32_t mixed = was + (((ink[i] - was) * share + 2048) >> 12);
    out |= std::uint32_t{tables.srgb[(mixed + 8) >> 4]} << shift;
  }
  return out;
}
} // namespace

std::uint32_t BlendPixel(std::uint32_t pixel, ColorRef pen, double coverage) {
  std::int32_t ink[3];
  LinearInk(pen, ink);
  return Mix(pixel, ink, coverage);
}

namespace {
// The share of a pixel (the unit square about its centre) on the near side of
// a line, n . p <= t, exactly, for a line whose unit normal is n: zero, a
// corner's triangle, a band's straight part, all but a corner, all of it.
struct SquareShare {
  double a, s, q, twoAB;
  explicit SquareShare(StrokePoint n) {
    a = std::max(std::fabs(n.x), std::fabs(n.y));
    const double b = std::min(std::fabs(n.x), std::fabs(n.y));
    s = (a + b) / 2, q = (a - b) / 2, twoAB = 2 * a * b;
  }
  double operator()(double t) const {
    if (t <= -s) return 0;
    if (t >= s) return 1;
    if (t < -q) return (t + s) * (t + s) / twoAB;
    if (t <= q) return 0.5 + t / a;
    return 1 - (s - t) * (s - t) / twoAB;
  }
};

// floor and ceil for values an int holds (the callers bound them), without a
// library call in the row loop.
int FloorInt(double v) {
  const int i = static_cast<int>(v);
  return i - (v < i);
}
int CeilInt(double v) {
  const int i = static_cast<int>(v);
  return i + (v > i);
}

StrokePoint Unit(StrokePoint from, StrokePoint to) {
  const double dx = to.x - from.x, dy = to.y - from.y, length = std::sqrt(dx * dx + dy * dy);
  return {dx / length, dy / length};
}

// The x-range of a row of pixel centres y where lo <= k.x * (x - o.x) + k.y * (y - o.y) <= hi;
// `inverse` is 1 / k.x, or 0 when k.x is 0.
void Narrow(double &from, double &to, StrokePoint k, double inverse, StrokePoint o, double y,
            double lo, double hi) {
  const double rest = k.y * (y - o.y);
  if (inverse == 0) {
    if (rest < lo || rest > hi) from = 1, to = 0;
    return;
  }
  double x0 = o.x + (lo - rest) * inverse, x1 = o.x + (hi - rest) * inverse;
  if (x0 > x1) std::swap(x0, x1);
  from = std::max(from, x0), to = std::min(to, x1);
}
double Inverse(double v) { return std::fabs(v) < 1e-12 ? 0 : 1 / v; }
} // namespace

void StrokeRasterizer::Lay(PixelBuffer &buffer, std::ptrdiff_t index, double coverage) {
  if (coverage <= 1.0 / 1024) return;
  buffer.pixels[index] = Mix(buffer.pixels[index], inkLinear, coverage);
  ++pixelsLaid;
}

void StrokeRasterizer::Defer(std::ptrdiff_t index, double coverage, std::size_t join) {
  for (Pending &p : pending)
    if (p.index == index) {
      p.coverage += static_cast<float>(coverage);
      p.join = std::max(p.join, join);
      return;
    }
  pending.push_back({index, static_cast<float>(coverage), join});
}

SurfaceRect StrokeRasterizer::Stroke(PixelBuffer &buffer, SurfaceRect clip,
                                     const StrokePoint *points, std::size_t count, double width,
                                     ColorRef pen, StrokeEnd *from, StrokeEnd *end) {
  const int L = std::max(clip.left, 0), T = std::max(clip.top, 0);
  const int R = std::min(clip.right, buffer.width), B = std::min(clip.bottom, buffer.height);
  kept.clear();
  for (std::size_t i = 0; i < count; ++i) {
    const StrokePoint p = points[i];
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
    const StrokePoint b{Bounded(p.x), Bounded(p.y)};
    if (kept.empty() || std::fabs(b.x - kept.back().x) + std::fabs(b.y - kept.back().y) > 1e-9)
      kept.push_back(b);
  }
  const std::size_t m = kept.size();
  if (m < 2 || !(width > 0) || !buffer.pixels || L >= R || T >= B) return {0, 0, 0, 0};
  LinearInk(pen, inkLinear);
  const double r = width / 2;

  // The lines that part one segment's pixels from the next one's, as forward
  // normals: square to the stroke at its ends (or to the stroke it goes on
  // from), halving the angle at each join. Where a join turns back sharper
  // than about 150 degrees (points a quarter pixel apart can), each segment
  // is cut square to itself instead: a halving line there would face
  // backward and let a band run on past its segment.
  starts.resize(m - 1);
  ends.resize(m - 1);
  for (std::size_t i = 0; i + 1 < m; ++i)
    starts[i] = ends[i] = Unit(kept[i], kept[i + 1]);
  if (from && from->direction.x * starts[0].x + from->direction.y * starts[0].y > 0.5)
    starts[0] = from->direction;
  for (std::size_t i = 1; i + 1 < m; ++i) {
    const StrokePoint u = ends[i - 1], v = starts[i];
    const double length = std::sqrt((u.x + v.x) * (u.x + v.x) + (u.y + v.y) * (u.y + v.y));
    if (length > 0.5) ends[i - 1] = starts[i] = {(u.x + v.x) / length, (u.y + v.y) / length};
  }

  // The pixels the last stroke left across its end's line: as they were, with
  // what it covered of them, to be laid again together with this stroke.
  pending.clear();
  if (from) {
    for (const StrokeEnd::Held &held : from->held) {
      buffer.pixels[held.index] = held.before;
      pending.push_back({held.index, held.coverage, 0});
    }
    from->held.clear();
  }

  SurfaceRect touched{R, B, L, T};
  for (std::size_t i = 0; i + 1 < m; ++i) {
    const StrokePoint a = kept[i], b = kept[i + 1], u = Unit(a, b), n{-u.y, u.x};
    const StrokePoint m0 = starts[i], m1 = ends[i];
    const SquareShare across(n), start(m0), stop(m1);
    const double inverseN = Inverse(n.x), inverse0 = Inverse(m0.x), inverse1 = Inverse(m1.x);
    // The rows of the band between the two lines, and a pixel around it: a
    // pixel's share is its share of the band times its share between the lines.
    double top = 1e300, bottom = -1e300;
    for (const auto &[v, k] : {std::pair(a, m0), std::pair(b, m1)})
      for (double side : {-r, r}) {
        const double along = k.x * u.x + k.y * u.y;
        const double t = std::fabs(along) > 1e-6 ? -(k.x * n.x + k.y * n.y) * side / along : 0;
        const double y = v.y + side * n.y + t * u.y;
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
    const int firstRow = std::max(T, FloorInt(std::max(top - 1, -1e9)));
    const int lastRow = std::min(B - 1, FloorInt(std::min(bottom + 1, 1e9)));
    // The rows' pixels are far apart in a large buffer: ask for them all before the first is
    // needed.
    if (firstRow <= lastRow) {
      const double slope = std::fabs(u.y) > 1e-9 ? u.x / u.y : 0;
      for (int row = firstRow; row <= lastRow; ++row) {
        const double x =
            std::clamp(a.x + (row + 0.5 - a.y) * slope, std::min(a.x, b.x), std::max(a.x, b.x));
        const int column = std::clamp(static_cast<int>(x), L, R - 1);
        __builtin_prefetch(buffer.pixels + row * buffer.stride + column, 1);
      }
    }
    for (int row = firstRow; row <= lastRow; ++row) {
      const double y = row + 0.5;
      double x0 = L + 0.5, x1 = R - 0.5;
      Narrow(x0, x1, n, inverseN, a, y, -(r + across.s), r + across.s);
      Narrow(x0, x1, m0, inverse0, a, y, -start.s, 1e300);
      Narrow(x0, x1, m1, inverse1, b, y, -1e300, stop.s);
      if (x0 > x1) continue;
      const int firstColumn = CeilInt(x0 - 0.5); // x0 and x1 lie inside the area
      const int lastColumn = FloorInt(x1 - 0.5);
      if (firstColumn > lastColumn) continue;
      touched.left = std::min(touched.left, firstColumn);
      touched.right = std::max(touched.right, lastColumn + 1);
      touched.top = std::min(touched.top, row), touched.bottom = std::max(touched.bottom, row + 1);
      const double cx = firstColumn + 0.5;
      double d = n.x * (cx - a.x) + n.y * (y - a.y);
      double e0 = m0.x * (cx - a.x) + m0.y * (y - a.y);
      double e1 = m1.x * (cx - b.x) + m1.y * (y - b.y);
      const std::ptrdiff_t rowIndex = row * buffer.stride;
      for (int column = firstColumn; column <= lastColumn;
           ++column, d += n.x, e0 += m0.x, e1 += m1.x) {
        const double band = across(r - d) - across(-r - d);
        if (band <= 0) continue;
        if (e0 >= start.s && e1 <= -stop.s) { // clear of both lines: this segment's alone
          Lay(buffer, rowIndex + column, band);
          continue;
        }
        const double after = start(e0), beyond = e1 <= -stop.s ? 0.0 : stop(e1);
        const double share = band * after * (1 - beyond);
        if (share > 0) Defer(rowIndex + column, share, beyond > 0 ? i + 1 : i);
      }
    }
    // The pixels across this segment's first line have both their sides now.
    std::size_t kept_ = 0;
    for (const Pending &p : pending) {
      if (p.join <= i)
        Lay(buffer, p.index, p.coverage);
      else
        pending[kept_++] = p;
    }
    pending.resize(kept_);
  }
  if (end) {
    end->point = kept[m - 1];
    end->direction = ends[m - 2];
    end->held.clear();
  }
  for (const Pending &p : pending) { // across the last line: laid now, and kept for the next stroke
    if (end) end->held.push_back({p.index, buffer.pixels[p.index], p.coverage});
    Lay(buffer, p.index, p.coverage);
  }
  return touched.left < touched.right ? touched : SurfaceRect{0, 0, 0, 0};
}
