#include "raster/smooth_stroke.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {
// A buffer with a frame of guard pixels around it that no stroke may touch.
struct GuardedBuffer {
  static constexpr std::uint32_t kGuard = 0xA5A5A5A5u;
  int width, height;
  std::vector<std::uint32_t> all;
  PixelBuffer buffer;
  GuardedBuffer(int width_, int height_, std::uint32_t fill = 0)
      : width(width_), height(height_),
        all(static_cast<std::size_t>(width_ + 2) * (height_ + 2), kGuard) {
    buffer = {all.data() + width + 3, width, height, width + 2};
    for (int y = 0; y < height; ++y)
      std::fill_n(&At(0, y), width, fill);
  }
  std::uint32_t &At(int x, int y) { return buffer.pixels[y * buffer.stride + x]; }
  bool GuardsWhole() const {
    return std::count(all.begin(), all.end(), kGuard) == 2 * (width + 2) + 2 * height;
  }
  double Linear(int x, int y, int shift = 8) { // a channel in linear light, 0 to 1
    return LinearFromSrgb((At(x, y) >> shift) & 0xFF) / 65535.0;
  }
};

constexpr ColorRef kWhite = 0xFFFFFF;
SurfaceRect Whole(const GuardedBuffer &b) { return {0, 0, b.width, b.height}; }
using Points = std::vector<StrokePoint>;

// The reference: the union of each segment's band and each join's mitre (at most four widths
// long) or bevel, measured in each pixel by clipping polygons, with inclusion and exclusion.
ConvexPolygon Shape(std::initializer_list<StrokePoint> corners) {
  ConvexPolygon shape;
  for (StrokePoint p : corners)
    shape.Add(p);
  return shape;
}
std::vector<ConvexRegion> StrokeShapes(const Points &line, double width) {
  const double r = width / 2;
  std::vector<ConvexRegion> shapes;
  const auto unit = [&](std::size_t i) {
    const double dx = line[i + 1].x - line[i].x, dy = line[i + 1].y - line[i].y;
    return StrokePoint{dx / std::hypot(dx, dy), dy / std::hypot(dx, dy)};
  };
  for (std::size_t i = 0; i + 1 < line.size(); ++i) {
    const StrokePoint u = unit(i), a = line[i], b = line[i + 1];
    shapes.emplace_back(Shape({{a.x - u.y * r, a.y + u.x * r},
                               {b.x - u.y * r, b.y + u.x * r},
                               {b.x + u.y * r, b.y - u.x * r},
                               {a.x + u.y * r, a.y - u.x * r}}));
  }
  for (std::size_t j = 1; j + 1 < line.size(); ++j) {
    const StrokePoint u = unit(j - 1), v = unit(j), p = line[j];
    const double cross = u.x * v.y - u.y * v.x, side = cross > 0 ? -r : r;
    const StrokePoint c1{p.x - u.y * side, p.y + u.x * side},
        c2{p.x - v.y * side, p.y + v.x * side};
    const double cosHalf = std::hypot(u.x + v.x, u.y + v.y) / 2;
    if (std::fabs(cross) < 1e-12 && cosHalf > 0.5) continue;
    const StrokePoint mid{(c1.x + c2.x) / 2 - p.x, (c1.y + c2.y) / 2 - p.y};
    const double k = r / cosHalf / std::hypot(mid.x, mid.y); // the outer sides meet at the tip
    shapes.emplace_back(cosHalf >= 0.25 ? Shape({p, c1, {p.x + mid.x * k, p.y + mid.y * k}, c2})
                                        : Shape({p, c1, c2}));
  }
  return shapes;
}
double UnionInPixel(const std::vector<ConvexRegion> &all, int x, int y) {
  const ConvexPolygon pixel = Shape(
      {{double(x), double(y)}, {x + 1.0, double(y)}, {x + 1.0, y + 1.0}, {double(x), y + 1.0}});
  const auto inside = [](ConvexPolygon p, const ConvexRegion &shape) {
    for (int h = 0; h < shape.count && p.count; ++h)
      ClipBy(p, shape.k[h], shape.limit[h]);
    return p;
  };
  std::vector<const ConvexRegion *> shapes;
  for (const ConvexRegion &shape : all)
    if (inside(pixel, shape).count) shapes.push_back(&shape);
  double total = 0;
  const auto walk = [&](auto &&self, std::size_t from, const ConvexPolygon &common,
                        int depth) -> void {
    for (std::size_t k = from; k < shapes.size(); ++k) {
      const ConvexPolygon both = inside(common, *shapes[k]);
      if (!both.count) continue;
      total += (depth % 2 ? -1 : 1) * Area(both);
      self(self, k + 1, both, depth + 1);
    }
  };
  walk(walk, 0, pixel, 0);
  return total;
}

// The worst gap between a pixel's exact share and what its 8-bit value stands for (white on black).
double WorstFromExact(GuardedBuffer &b, const Points &line, double width) {
  const std::vector<ConvexRegion> shapes = StrokeShapes(line, width);
  const auto linear = [](double s) {
    s = std::clamp(s / 255, 0.0, 1.0);
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  double worst = 0;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) {
      const double exact = UnionInPixel(shapes, x, y);
      const int value = (b.At(x, y) >> 8) & 0xFF;
      const double low = linear(value - 0.5), high = linear(value + 0.5);
      worst = std::max(worst, std::max(low - exact, exact - high));
    }
  return worst;
}

Points Rotated(Points line, double degrees, StrokePoint about) {
  const double t = degrees * std::numbers::pi / 180, c = std::cos(t), s = std::sin(t);
  for (StrokePoint &p : line)
    p = {about.x + c * (p.x - about.x) - s * (p.y - about.y),
         about.y + s * (p.x - about.x) + c * (p.y - about.y)};
  return line;
}
} // namespace

// The ink of a segment of length 80 is its area, width x length, at every
// angle: the coverage of each pixel is the stroke's area inside it.
TEST(SmoothStroke, InkPerUnitLengthAtEveryAngle) {
  for (double width : {1.0, 1.5, 2.0}) {
    for (int step = 0; step <= 12; ++step) {
      const double angle = step * 7.5 * std::numbers::pi / 180, length = 80;
      GuardedBuffer b(128, 128);
      const StrokePoint line[2] = {
          {64.3 - length / 2 * std::cos(angle), 64.2 - length / 2 * std::sin(angle)},
          {64.3 + length / 2 * std::cos(angle), 64.2 + length / 2 * std::sin(angle)}};
      StrokeRasterizer().Stroke(b.buffer, Whole(b), line, 2, width, kWhite);
      double ink = 0;
      for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
          ink += b.Linear(x, y);
      EXPECT_NEAR(ink / length, width, 0.01 * width)
          << "width " << width << ", " << step * 7.5 << "°";
    }
  }
}

// Each pixel takes the stroke's exact area within 0.01: bends either side of 30 degrees and the
// mitre limit (151), in eight directions and three widths; cusps; short first and last pieces.
TEST(SmoothStroke, EachPixelTakesTheExactArea) {
  const auto bend = [](double degrees, double first = 14, double second = 14) {
    const double t = degrees * std::numbers::pi / 180;
    return Points{{24.3 - first, 24.2},
                  {24.3, 24.2},
                  {24.3 + second * std::cos(t), 24.2 + second * std::sin(t)}};
  };
  Points cusp, loop; // a hypocycloid's cusp in steps of 1/3 to 1 px; a loop tighter than the line
  for (int i = -16; i <= 16; ++i)
    cusp.push_back(
        {10.1 + 60 * (1 - std::cos(i * 0.045)), 24.3 + 60 * (i * 0.045 - std::sin(i * 0.045))});
  for (int i = 0; i <= 40; ++i)
    loop.push_back({20.1 + i * 0.3 + 0.8 * std::cos(i * 0.45), 24.3 + 0.8 * std::sin(i * 0.45)});
  // Each line with the directions tried, 45 degrees apart (0: as given, on pixel edges and
  // corners).
  // clang-format off
  std::vector<std::pair<Points, int>> cases{
      {{{12, 32.8}, {32.2, 32.8}, {52.2, 42.8}}, 1}, {cusp, 4}, {loop, 2},
      {bend(90, 14, 0.1), 4}, {bend(120, 0.15, 14), 4}, // short last and first pieces
      {{{10.2, 20.3}, {30.4, 20.3}, {30.5, 20.4}, {10.3, 21.1}}, 2}, // turned back
      {{{5, 20}, {40, 20}, {40, 44}}, 0}, {{{8, 8}, {30, 30}, {8, 44}}, 0}};
  // clang-format on
  for (double degrees :
       {5.0, 25.0, 35.0, 45.0, 60.0, 90.0, 120.0, 135.0, 150.0, 151.5, 160.0, 177.0})
    cases.push_back({bend(degrees, 14, degrees > 140 ? 20 : 14), 8});
  for (const auto &[line, turns] : cases)
    for (int turn = 0; turn < std::max(turns, 1); ++turn)
      for (double width : {1.0, 1.5, 2.0}) {
        const Points turned = turns ? Rotated(line, turn * 45 + 3, {24.1, 24.6}) : line;
        GuardedBuffer b(48, 48);
        StrokeRasterizer().Stroke(b.buffer, Whole(b), turned.data(), turned.size(), width, kWhite);
        ASSERT_LE(WorstFromExact(b, turned, width), 0.01)
            << line.size() << " points to " << line.back().x << "," << line.back().y << ", turned "
            << turn * 45 + 3 << "°, width " << width;
      }
}

// One call, or two to five going on each from the last (cut anywhere, at bends too): one stroke.
TEST(SmoothStroke, OneStrokeHoweverItIsCut) {
  const auto worst = [](const Points &line, std::vector<std::size_t> cuts, double width) {
    GuardedBuffer one(96, 64, 0x203040), cut(96, 64, 0x203040);
    StrokeRasterizer whole, parts;
    whole.Stroke(one.buffer, Whole(one), line.data(), line.size(), width, kWhite);
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    StrokeEnd end;
    for (std::size_t c = 0; c + 1 < cuts.size(); ++c)
      parts.Stroke(cut.buffer, Whole(cut), line.data() + cuts[c], cuts[c + 1] - cuts[c] + 1, width,
                   kWhite, c ? &end : nullptr, &end);
    int most = 0;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 96; ++x)
        for (int shift : {0, 8, 16})
          most = std::max(most, std::abs(int((one.At(x, y) >> shift) & 0xFF) -
                                         int((cut.At(x, y) >> shift) & 0xFF)));
    return most;
  };
  for (double degrees : {0.0, 30.0, 100.0, 150.0, 170.0})
    for (double width : {1.0, 2.0}) {
      const double t = degrees * std::numbers::pi / 180;
      const Points line{{6.2, 30.4},
                        {20.3, 30.1},
                        {30.6, 30.3},
                        {30.6 + 14 * std::cos(t), 30.3 + 14 * std::sin(t)}};
      EXPECT_LE(worst(line, {0, 2, 3}, width), 1) << degrees << "° at the cut, width " << width;
    }
  std::mt19937 random(7);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int trial = 0; trial < 40; ++trial) {
    Points line{{8 + 4 * unit(random), 30 + 4 * unit(random)}};
    double heading = unit(random) * 0.6 - 0.3;
    while (line.size() < 60) { // rightward, with gentle and sharp bends, never crossing
      const double sharp = unit(random) < 0.15 ? (unit(random) - 0.5) * 2.4 : 0;
      heading = std::clamp(heading + (unit(random) - 0.5) * 0.5 + sharp, -1.2, 1.2);
      const double step = unit(random) < 0.1 ? 0.05 : 0.3 + 1.7 * unit(random);
      line.push_back(
          {line.back().x + step * std::cos(heading), line.back().y + step * std::sin(heading)});
    }
    std::vector<std::size_t> cuts{0, line.size() - 1};
    for (int k = 1 + trial % 4; k > 0; --k)
      cuts.push_back(1 + random() % (line.size() - 2));
    ASSERT_LE(worst(line, cuts, 1 + (trial % 3) * 0.5), 1) << "trial " << trial;
  }
}

// A curve across another's tick end keeps its ink: the next tick lays only what it adds, over it.
TEST(SmoothStroke, OthersInkStays) {
  constexpr ColorRef kBlue = 0xFF0000, kRed = 0x0000FF;
  for (double degrees : {0.0, 40.0, 100.0, 160.0}) {
    const double t = degrees * std::numbers::pi / 180;
    const Points first{{6.3, 20.4}, {20.2, 20.6}}, across{{14.6, 4.1}, {25.7, 36.3}},
        second{{20.2, 20.6}, {20.2 + 12 * std::cos(t), 20.6 + 12 * std::sin(t)}};
    // Blue alone over black, then going on; the same with red across its end in between.
    GuardedBuffer alone(40, 40), both(40, 40), held(40, 40, 0x101010), going(40, 40, 0x101010);
    StrokeRasterizer r;
    StrokeEnd end;
    r.Stroke(alone.buffer, Whole(alone), first.data(), 2, 2, kBlue, nullptr, &end);
    both.all = alone.all;
    r.Stroke(both.buffer, Whole(both), second.data(), 2, 2, kBlue, &end, &end);
    r.Stroke(held.buffer, Whole(held), first.data(), 2, 2, kBlue, nullptr, &end);
    r.Stroke(held.buffer, Whole(held), across.data(), 2, 1.5, kRed);
    going.all = held.all;
    r.Stroke(going.buffer, Whole(going), second.data(), 2, 2, kBlue, &end, &end);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) {
        const double before = alone.Linear(x, y, 0), after = both.Linear(x, y, 0); // blue
        const double added = before < 0.999 ? (after - before) / (1 - before) : 0;
        ASSERT_NEAR(going.Linear(x, y, 16), held.Linear(x, y, 16) * (1 - added), 0.02) // red
            << x << "," << y << " at " << degrees << "°";
      }
  }
}

// sRGB 188 is half of white in linear light; a pen over its own colour and
// zero coverage change nothing; red and blue keep their places.
TEST(SmoothStroke, BlendsInLinearLight) {
  EXPECT_NEAR(int(BlendPixel(0x000000, kWhite, 0.5) & 0xFF), 188, 1);
  EXPECT_EQ(BlendPixel(0x102030, 0x0000FF, 1.0), 0xFF0000u) << "a red pen fills the red byte";
  for (int v = 0; v < 256; ++v) {
    const std::uint32_t grey = v * 0x010101u;
    ASSERT_EQ(BlendPixel(grey, grey, 0.6), grey) << v;
    ASSERT_EQ(BlendPixel(grey, 0xFFFFFF - grey, 0.0), grey) << v;
  }
}

// Strokes through and past every edge write inside the buffer and the clip
// only; a stroke cut by the clip keeps its true coverage inside it.
TEST(SmoothStroke, WritesNothingOutside) {
  // clang-format off
  const std::vector<Points> strokes = {
      {{-50, 10}, {90, 30}}, {{10, -40}, {30, 120}}, {{-1e12, -1e12}, {1e12, 1e12}},
      {{80.5, 1}, {80.5, 63}}, {{-3, -3}, {-1, 70}, {83, 70}}, {{NAN, 5}, {20, 20}, {INFINITY, 3}},
      {{-1e12, 5}, {40, 20}, {-1e12, 6}}, {{79.9, -1e9}, {79.95, 30}, {79.9, 1e9}}};
  // clang-format on
  for (const auto &s : strokes) {
    GuardedBuffer b(80, 64);
    StrokeRasterizer().Stroke(b.buffer, Whole(b), s.data(), s.size(), 2, kWhite);
    EXPECT_TRUE(b.GuardsWhole()) << s[0].x << "," << s[0].y;
  }
  GuardedBuffer whole(80, 64), clipped(80, 64);
  const StrokePoint diagonal[3] = {{-10, 2}, {90, 60}, {30, 61}};
  StrokeRasterizer().Stroke(whole.buffer, Whole(whole), diagonal, 3, 2, kWhite);
  StrokeRasterizer().Stroke(clipped.buffer, {20, 10, 50, 40}, diagonal, 3, 2, kWhite);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 80; ++x) {
      const bool inside = x >= 20 && x < 50 && y >= 10 && y < 40;
      ASSERT_EQ(clipped.At(x, y), inside ? whole.At(x, y) : 0u) << x << "," << y;
    }
}
