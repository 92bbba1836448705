#include "figure/smooth_stroke.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>
#include <utility>

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

// The pen over `share` (of 4096) of a pixel, mixed in linear light.
// Inlined into the stroke's pixel loop: a call there costs as much as the mix.
[[gnu::always_inline]] inline std::uint32_t Mix(std::uint32_t pixel, const std::int32_t (&ink)[3],
                                                std::int32_t share) {
  const std::int32_t keep = 4096 - share;
  // The mix in 16-bit linear light times 4096, rounded once to the 4,097 steps back.
  const auto channel = [pixel, share, keep](int shift, std::int32_t inked) {
    const std::int32_t was = tables.linear[(pixel >> shift) & 0xFFu];
    return std::uint32_t{tables.srgb[(inked * share + was * keep + 32768) >> 16]} << shift;
  };
  return (pixel & 0xFF000000u) | channel(0, ink[0]) | channel(8, ink[1]) | channel(16, ink[2]);
}

// The pen over `share` (of 4096, unrounded) of a pixel, counted in `laid`;
// nothing where under a thousandth would not show.
[[gnu::always_inline]] inline void LayPixel(std::uint32_t *pixel, const std::int32_t (&ink)[3],
                                            float share, std::uint64_t &laid) {
  if (share <= 4) return;
  *pixel = Mix(*pixel, ink, static_cast<std::int32_t>(std::min(share, 4096.0f) + 0.5f));
  ++laid;
}
} // namespace

std::uint32_t BlendPixel(std::uint32_t pixel, ColorRef pen, double coverage) {
  std::int32_t ink[3];
  LinearInk(pen, ink);
  return Mix(pixel, ink, static_cast<std::int32_t>(std::clamp(coverage, 0.0, 1.0) * 4096 + 0.5));
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

// How far a pixel's square reaches along a unit normal n from its centre:
// half its extent across any line with that normal.
double Reach(StrokePoint n) { return (std::fabs(n.x) + std::fabs(n.y)) / 2; }

// The area of the pixel centred at c inside the half-planes k . p <= limit:
// the square cut by each in turn, then measured.
struct HalfPlane {
  StrokePoint k;
  double limit;
};
double ClippedArea(StrokePoint c, const HalfPlane *planes, int count) {
  StrokePoint polygon[2][8] = {{{c.x - 0.5, c.y - 0.5},
                                {c.x + 0.5, c.y - 0.5},
                                {c.x + 0.5, c.y + 0.5},
                                {c.x - 0.5, c.y + 0.5}}};
  int corners = 4, from = 0; // a square cut by 4 lines keeps at most 8 corners
  for (int h = 0; h < count && corners > 0; ++h) {
    const HalfPlane &plane = planes[h];
    // A line clear of the square keeps all of it or none.
    const double reach = Reach(plane.k), off = plane.k.x * c.x + plane.k.y * c.y - plane.limit;
    if (off <= -reach) continue;
    if (off >= reach) return 0;
    const StrokePoint *in = polygon[from];
    StrokePoint *out = polygon[from ^ 1];
    int kept = 0;
    for (int i = 0; i < corners; ++i) {
      const StrokePoint p = in[i], q = in[(i + 1) % corners];
      const double dp = plane.k.x * p.x + plane.k.y * p.y - plane.limit,
                   dq = plane.k.x * q.x + plane.k.y * q.y - plane.limit;
      if (dp <= 0) out[kept++] = p;
      if ((dp < 0) != (dq < 0) && dp != 0 && dq != 0) {
        const double t = dp / (dp - dq);
        out[kept++] = {p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)};
      }
    }
    corners = kept;
    from ^= 1;
  }
  double twice = 0;
  for (int i = 0; i < corners; ++i) {
    const StrokePoint p = polygon[from][i], q = polygon[from][(i + 1) % corners];
    twice += p.x * q.y - q.x * p.y;
  }
  return std::fabs(twice) / 2;
}

// ceil for values an int holds (the callers bound them), as FloorInt.
int CeilInt(double v) {
  const int i = static_cast<int>(v);
  return i + (v > i);
}

StrokePoint Unit(StrokePoint from, StrokePoint to) {
  const double dx = to.x - from.x, dy = to.y - from.y, length = std::sqrt(dx * dx + dy * dy);
  return {dx / length, dy / length};
}

// Where the line k . (p - o) = offset crosses a row of pixel centres y, as
// x = base + slope * y. A line along the rows (k.x near 0) crosses far to
// one side or the other, so the bounds it gives still hold.
struct Crossing {
  double base, slope;
  double At(double y) const { return base + slope * y; }
};
double InverseX(StrokePoint k) {
  return 1 / (std::fabs(k.x) < 1e-9 ? (k.x < 0 ? -1e-9 : 1e-9) : k.x);
}
Crossing Cross(StrokePoint k, double inverseX, StrokePoint o, double offset) {
  return {o.x + (offset + k.y * o.y) * inverseX, -k.y * inverseX};
}
} // namespace

namespace {
// Steps of the band profile: 64 angles from level to 45 degrees (by their
// tangent) and 64 per pixel of distance, linearly between. Off the exact
// share by at most 0.0033; a band's whole share across it is its width at
// every angle, so the ink per unit length is exact.
constexpr int kProfileAngles = 64, kProfileSteps = 64;
constexpr std::size_t kMostProfiles = 4; // widths: one per window's DPI, with room
// How far off a halving line a pixel's centre may be found, by rounding, and
// still be checked against it.
constexpr double kOnLine = 1e-6;
constexpr double kCellTurn = 0.8660; // cos 30 degrees: bends parting pixels by their centres
} // namespace

const StrokeRasterizer::BandProfile &StrokeRasterizer::ProfileFor(double r) {
  for (const BandProfile &profile : profiles)
    if (profile.r == r) return profile;
  if (profiles.size() >= kMostProfiles) profiles.erase(profiles.begin());
  BandProfile &profile = profiles.emplace_back();
  profile.r = r;
  // Past r + 0.7072 (half a pixel's diagonal) the band misses the pixel: the last entries are 0.
  profile.length = static_cast<int>((r + 0.7072) * kProfileSteps) + 3;
  profile.shares.resize(static_cast<std::size_t>(kProfileAngles + 1) * profile.length * 2);
  for (int angle = 0; angle <= kProfileAngles; ++angle) {
    const double tangent = double(angle) / kProfileAngles, length = std::hypot(1.0, tangent);
    const SquareShare across({1 / length, tangent / length});
    float *row = &profile.shares[static_cast<std::size_t>(angle) * profile.length * 2];
    const auto share = [&](int step) {
      const double d = double(step) / kProfileSteps;
      return (across(r - d) - across(-r - d)) * 4096;
    };
    // Each step's share and its rise to the next.
    for (int step = 0; step < profile.length; ++step) {
      row[2 * step] = static_cast<float>(share(step));
      row[2 * step + 1] = static_cast<float>(share(step + 1) - share(step));
    }
  }
  return profile;
}

void StrokeRasterizer::Lay(PixelBuffer &buffer, std::ptrdiff_t index, double coverage) {
  LayPixel(buffer.pixels + index, inkLinear, static_cast<float>(coverage * 4096), pixelsLaid);
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

// The lines that part one segment's pixels from the next one's, as forward
// normals: square to the stroke at its ends (or to the stroke it goes on
// from), halving the angle at each join. Where a join turns back sharper
// than about 150 degrees (points a quarter pixel apart can), each segment
// is cut square to itself instead: a halving line there would face
// backward and let a band run on past its segment.
void StrokeRasterizer::CutJoins(const StrokeEnd *from) {
  const std::size_t m = kept.size();
  starts.resize(m - 1);
  ends.resize(m - 1);
  parted.assign(m, 0);
  for (std::size_t i = 0; i + 1 < m; ++i)
    starts[i] = ends[i] = Unit(kept[i], kept[i + 1]);
  if (from && from->direction.x * starts[0].x + from->direction.y * starts[0].y > 0.5)
    starts[0] = from->direction;
  for (std::size_t i = 1; i + 1 < m; ++i) {
    const StrokePoint u = ends[i - 1], v = starts[i];
    const double length = std::sqrt((u.x + v.x) * (u.x + v.x) + (u.y + v.y) * (u.y + v.y));
    if (length > 0.5) ends[i - 1] = starts[i] = {(u.x + v.x) / length, (u.y + v.y) / length};
    parted[i] = u.x * v.x + u.y * v.y > kCellTurn;
  }
}

SurfaceRect StrokeRasterizer::LaySegment(PixelBuffer &buffer, SurfaceRect inside, std::size_t i,
                                         double r, const BandProfile &profile) {
  const int L = inside.left, T = inside.top, R = inside.right, B = inside.bottom;
  const int lastStep = profile.length - 2;
  // Held here, where the pixel writes cannot be taken to change them.
  std::uint32_t *const pixels = buffer.pixels;
  const std::int32_t ink[3] = {inkLinear[0], inkLinear[1], inkLinear[2]};
  std::uint64_t laid = 0;
  // A steep segment is walked column by column, as lines of the buffer's
  // transpose: fewer lines, each with more pixels.
  const bool steep = std::fabs(kept[i + 1].y - kept[i].y) > std::fabs(kept[i + 1].x - kept[i].x);
  const auto frame = [steep](StrokePoint p) { return steep ? StrokePoint{p.y, p.x} : p; };
  const int lineLow = steep ? L : T, lineHigh = steep ? R : B;
  const int placeLow = steep ? T : L, placeHigh = steep ? B : R;
  const std::ptrdiff_t lineStep = steep ? 1 : buffer.stride, placeStep = steep ? buffer.stride : 1;
  const StrokePoint a = frame(kept[i]), b = frame(kept[i + 1]), u = Unit(a, b), n{-u.y, u.x};
  const StrokePoint m0 = frame(starts[i]), m1 = frame(ends[i]);
  const SquareShare across(n);
  const double startReach = Reach(m0), stopReach = Reach(m1);
  // The profile for the nearest angle: the tangent is the smaller of |n.x|, |n.y| over the
  // larger.
  const int angle =
      static_cast<int>((across.s - across.q) / (across.s + across.q) * kProfileAngles + 0.5);
  const float *const profileRow =
      &profile.shares[static_cast<std::size_t>(angle) * profile.length * 2];
  // The band's share (of 4096) of a pixel whose centre lies d from its middle.
  const auto bandShare = [profileRow, lastStep](double d) {
    const float x = static_cast<float>(std::fabs(d) * kProfileSteps);
    const int step = std::min(static_cast<int>(x), lastStep);
    return profileRow[2 * step] + (x - static_cast<float>(step)) * profileRow[2 * step + 1];
  };
  // Where the stroke bends by less than 30 degrees, a pixel whose centre
  // lies on this segment's side of the line halving the join takes its
  // share of this segment's band, whole: the line parts the pixels, not
  // their areas. The two bands there differ by a sliver (at most 0.03 of a
  // pixel), and each pixel is laid once, from one of them, with no bead or
  // gap. At the stroke's ends and sharper bends, a pixel across the line
  // takes the exact area of each side's piece, laid once both are in.
  const bool cellStart = parted[i], cellStop = parted[i + 1];
  const double startPad = cellStart ? kOnLine : startReach,
               stopPad = cellStop ? kOnLine : stopReach;
  const double skipBefore = cellStart ? 0.0 : -1e300, skipFrom = cellStop ? 0.0 : 1e300;
  const double clearFrom = cellStart ? -1e300 : startReach, clearTo = cellStop ? 1e300 : -stopReach;
  // Pixels whose centres lie where the band, widened by a pixel's reach
  // across it, meets the two end lines' sides, each widened likewise where
  // it shares areas: the only pixels this segment's area can reach. Line by
  // line that is a range between the lines' crossings, linear in the line.
  const double reach = r + across.s;
  const double inverseN = InverseX(n);
  const Crossing bounds[4] = {Cross(n, inverseN, a, -reach), Cross(n, inverseN, a, reach),
                              Cross(m0, InverseX(m0), a, -startPad),
                              Cross(m1, InverseX(m1), b, stopPad)};
  // The corners of that area give its lines: where each side of the band
  // meets each end line.
  double top = 1e300, bottom = -1e300;
  for (const auto &[v, k, offset] : {std::tuple(a, m0, -startPad), std::tuple(b, m1, stopPad)}) {
    const double across_ = k.x * n.x + k.y * n.y, along = 1 / (k.x * u.x + k.y * u.y);
    for (double side : {-reach, reach}) {
      const double y = v.y + side * n.y + (offset - side * across_) * along * u.y;
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  const int firstLine = std::max(lineLow, CeilInt(std::max(top - 0.5, -1e9)));
  const int lastLine = std::min(lineHigh - 1, FloorInt(std::min(bottom - 0.5, 1e9)));
  // The band's sides face opposite ways: one is a low bound, one a high.
  const bool startLow = m0.x >= 0, stopLow = m1.x < 0;
  int lowest = placeHigh, highest = placeLow - 1, firstLaid = lastLine + 1,
      lastLaid = firstLine - 1;
  for (int line = firstLine; line <= lastLine; ++line) {
    const double y = line + 0.5;
    const double s0 = bounds[0].At(y), s1 = bounds[1].At(y), c0 = bounds[2].At(y),
                 c1 = bounds[3].At(y);
    const double x0 =
        std::max({placeLow + 0.5, std::min(s0, s1), startLow ? c0 : -1e300, stopLow ? c1 : -1e300});
    const double x1 =
        std::min({placeHigh - 0.5, std::max(s0, s1), startLow ? 1e300 : c0, stopLow ? 1e300 : c1});
    if (x0 > x1) continue;
    const int first = CeilInt(x0 - 0.5); // x0 and x1 lie inside the area
    const int last = FloorInt(x1 - 0.5);
    if (first > last) continue;
    lowest = std::min(lowest, first), highest = std::max(highest, last);
    firstLaid = std::min(firstLaid, line), lastLaid = line;
    double d = n.x * (first + 0.5 - a.x) + n.y * (y - a.y);
    // Across a halving line both segments must part the pixels alike: the
    // sides are reckoned afresh at each pixel, from the join, so the two
    // reckonings are the same sums.
    const double e0Row = m0.y * (y - a.y), e1Row = m1.y * (y - b.y);
    const auto sides = [&](double cx) { // of the first and last lines, at a pixel's centre
      return std::pair(m0.x * (cx - a.x) + e0Row, m1.x * (cx - b.x) + e1Row);
    };
    std::ptrdiff_t index = line * lineStep + first * placeStep;
    if (cellStart && cellStop) {
      // Both lines part whole pixels, and along a line each side's sum only
      // grows or only falls: this segment's pixels are one run, found by
      // trimming the ends, and laid with no test of their own.
      const auto ours = [&](int place) {
        const auto [e0, e1] = sides(place + 0.5);
        return e0 >= 0 && e1 < 0;
      };
      int from = first, to = last;
      while (to >= from && !ours(to))
        --to;
      for (; from <= to && !ours(from); ++from, index += placeStep)
        d += n.x;
      for (int place = from; place <= to; ++place, index += placeStep, d += n.x)
        LayPixel(pixels + index, ink, bandShare(d), laid);
      continue;
    }
    for (int place = first; place <= last; ++place, index += placeStep, d += n.x) {
      const float band = bandShare(d);
      if (band <= 0) continue;
      const double cx = place + 0.5;
      const auto [e0, e1] = sides(cx);
      if (e0 < skipBefore || e1 >= skipFrom) continue; // the next or last segment's pixel
      if (e0 >= clearFrom && e1 <= clearTo) {          // clear of both lines: this segment's alone
        LayPixel(pixels + index, ink, band, laid);
        continue;
      }
      // Across a line that shares areas the pixel takes this segment's piece
      // of it exactly: the square cut by the band's sides and that line (a
      // line that parts by centres does not cut it).
      HalfPlane piece[4] = {{n, n.x * a.x + n.y * a.y + r},
                            {{-n.x, -n.y}, -(n.x * a.x + n.y * a.y) + r}};
      int planes = 2;
      if (e0 < clearFrom) piece[planes++] = {{-m0.x, -m0.y}, -(m0.x * a.x + m0.y * a.y)};
      const bool beyond = e1 > clearTo;
      if (beyond) piece[planes++] = {m1, m1.x * b.x + m1.y * b.y};
      const double share = ClippedArea({cx, y}, piece, planes);
      if (share > 0) Defer(index, share, beyond ? i + 1 : i);
    }
  }
  pixelsLaid += laid;
  if (firstLaid > lastLaid) return {0, 0, 0, 0};
  return steep ? SurfaceRect{firstLaid, lowest, lastLaid + 1, highest + 1}
               : SurfaceRect{lowest, firstLaid, highest + 1, lastLaid + 1};
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
  const BandProfile &profile = ProfileFor(r);

  CutJoins(from);

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
    // The rows' pixels are far apart in a large buffer: ask for those along
    // the middle of the segment after next (the first ones too at the start).
    // Inline: a function holding only this would count as free of effects.
    for (std::size_t ahead = i == 0 ? 0 : i + 2; ahead <= i + 2 && ahead + 1 < m; ++ahead) {
      const StrokePoint p = kept[ahead], q = kept[ahead + 1];
      const int first = std::max(T, FloorInt(std::max(std::min(p.y, q.y) - r, -1e9)));
      const int last = std::min(B - 1, FloorInt(std::min(std::max(p.y, q.y) + r, 1e9)));
      const double slope = std::fabs(q.y - p.y) > 1e-9 ? (q.x - p.x) / (q.y - p.y) : 0;
      for (int row = first; row <= last; ++row) {
        const double x =
            std::clamp(p.x + (row + 0.5 - p.y) * slope, std::min(p.x, q.x), std::max(p.x, q.x));
        const int column = std::min(std::max(static_cast<int>(x), L), R - 1);
        __builtin_prefetch(buffer.pixels + row * buffer.stride + column, 1);
      }
    }
    const SurfaceRect laid = LaySegment(buffer, {L, T, R, B}, i, r, profile);
    if (laid.left < laid.right) {
      touched.left = std::min(touched.left, laid.left);
      touched.top = std::min(touched.top, laid.top);
      touched.right = std::max(touched.right, laid.right);
      touched.bottom = std::max(touched.bottom, laid.bottom);
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
