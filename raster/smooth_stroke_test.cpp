#include "raster/smooth_stroke.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "drawing/smooth_surface.h"

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
  double Ink() { // of a white pen over black: each pixel's coverage from its green channel
    double sum = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        sum += LinearFromSrgb((At(x, y) >> 8) & 0xFF) / 65535.0;
    return sum;
  }
};

constexpr ColorRef kWhite = 0xFFFFFF;
SurfaceRect Whole(const GuardedBuffer &b) { return {0, 0, b.width, b.height}; }
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
      EXPECT_NEAR(b.Ink() / length, width, 0.03 * width)
          << "width " << width << ", " << step * 7.5 << "°";
    }
  }
}

// Many short collinear segments, at several angles, give the pixels of one
// long segment; a stroke laid in two calls, the second continuing the first,
// gives the pixels of the stroke laid at once, also where it bends.
TEST(SmoothStroke, PiecesAndContinuationsAreSeamless) {
  const auto worst = [](std::vector<StrokePoint> whole, std::vector<std::vector<StrokePoint>> parts,
                        std::vector<bool> continued) {
    GuardedBuffer one(96, 96, 0x202020), many(96, 96, 0x202020);
    StrokeRasterizer r;
    r.Stroke(one.buffer, Whole(one), whole.data(), whole.size(), 1.5, kWhite);
    StrokeEnd end;
    for (std::size_t i = 0; i < parts.size(); ++i)
      r.Stroke(many.buffer, Whole(many), parts[i].data(), parts[i].size(), 1.5, kWhite,
               continued[i] ? &end : nullptr, &end);
    int most = 0;
    for (int y = 0; y < 96; ++y)
      for (int x = 0; x < 96; ++x)
        most = std::max(
            most, std::abs(int((one.At(x, y) >> 8) & 0xFF) - int((many.At(x, y) >> 8) & 0xFF)));
    return most;
  };
  // Pieces from a pixel's centre, 2:1 going left or upright, join on pixel centres.
  const double left = 180 + std::atan(0.5) * 180 / std::numbers::pi, root5 = std::sqrt(5.0);
  const struct {
    double degrees, x, y, step;
  } runs[] = {{0, 8.25, 8.6, 1.9},  {10, 8.25, 8.6, 1.9},      {45, 8.25, 8.6, 1.9},
              {71, 8.25, 8.6, 1.9}, {left, 88.5, 60.5, root5}, {90, 30.5, 8.5, 2}};
  for (const auto &[degrees, x, y, step] : runs) {
    const double c = std::cos(degrees * std::numbers::pi / 180),
                 s = std::sin(degrees * std::numbers::pi / 180);
    std::vector<StrokePoint> pieces;
    for (int i = 0; i <= 40; ++i)
      pieces.push_back({x + step * i * c, y + step * i * s});
    EXPECT_LE(worst({pieces.front(), pieces.back()}, {pieces}, {false}), 2)
        << degrees << "° in pieces";
  }
  // A bend of a curve, laid at once and as two ticks, the second from the first's end.
  std::vector<StrokePoint> bend;
  for (int i = 0; i <= 30; ++i)
    bend.push_back({48 + 30 * std::cos(i * 0.1), 48 + 30 * std::sin(i * 0.1)});
  const std::vector<StrokePoint> first(bend.begin(), bend.begin() + 16),
      second(bend.begin() + 15, bend.end());
  EXPECT_LE(worst(bend, {first, second}, {false, true}), 2) << "continued";
  EXPECT_GT(worst(bend, {first, second}, {false, false}), 2) << "not continued: the check sees it";
}

// Each pixel takes the area of the mitred stroke inside it, as counted at
// 32 x 32 points: along a line and through sharp bends (shared by area) to
// within the 8-bit read-back; through gentle ones (parted by pixel centres)
// within 0.03 of the pixel.
TEST(SmoothStroke, EachPixelTakesTheStrokesArea) {
  const auto bend = [](double degrees) {
    const double t = degrees * std::numbers::pi / 180;
    return std::vector<StrokePoint>{
        {6.3, 20.2}, {20.1, 20.6}, {20.1 + 14 * std::cos(t), 20.6 + 14 * std::sin(t)}};
  };
  std::vector<StrokePoint> arc;
  for (int i = 0; i <= 12; ++i)
    arc.push_back({20 + 14 * std::cos(i * 0.06), 6 + 14 * std::sin(i * 0.06 + 0.9)});
  const struct {
    std::vector<StrokePoint> line;
    double within;
  } cases[] = {
      {bend(0), 0.009}, {bend(25), 0.03}, {bend(60), 0.009}, {bend(140), 0.009}, {arc, 0.03}};
  for (const auto &[line, within] : cases) {
    GuardedBuffer b(40, 40);
    StrokeRasterizer().Stroke(b.buffer, Whole(b), line.data(), line.size(), 1.5, kWhite);
    std::vector<StrokePoint> dirs; // each segment's direction
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
      const double dx = line[i + 1].x - line[i].x, dy = line[i + 1].y - line[i].y;
      dirs.push_back({dx / std::hypot(dx, dy), dy / std::hypot(dx, dy)});
    }
    // Segment i's piece: its band, after the line halving its first join, before its last's.
    const auto inside = [&](StrokePoint p) {
      for (std::size_t i = 0; i < dirs.size(); ++i) {
        const StrokePoint a = line[i], c = line[i + 1], u = dirs[i], v = i ? dirs[i - 1] : u,
                          w = i + 1 < dirs.size() ? dirs[i + 1] : u;
        if (std::fabs(u.x * (p.y - a.y) - u.y * (p.x - a.x)) <= 0.75 &&
            (u.x + v.x) * (p.x - a.x) + (u.y + v.y) * (p.y - a.y) >= 0 &&
            (u.x + w.x) * (p.x - c.x) + (u.y + w.y) * (p.y - c.y) < 0)
          return true;
      }
      return false;
    };
    double worst = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) {
        int count = 0;
        for (int k = 0; k < 32 * 32; ++k)
          count += inside({x + (k % 32 + 0.5) / 32, y + (k / 32 + 0.5) / 32});
        worst = std::max(
            worst, std::fabs(LinearFromSrgb((b.At(x, y) >> 8) & 0xFF) / 65535.0 - count / 1024.0));
      }
    EXPECT_LE(worst, within) << line.size() << " points, ending at " << line.back().x << ","
                             << line.back().y;
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
  const std::vector<std::vector<StrokePoint>> strokes = {
      {{-50, 10}, {90, 30}},   {{10, -40}, {30, 120}},         {{-1e12, -1e12}, {1e12, 1e12}},
      {{80.5, 1}, {80.5, 63}}, {{-3, -3}, {-1, 70}, {83, 70}}, {{NAN, 5}, {20, 20}, {INFINITY, 3}}};
  for (const auto &s : strokes) {
    GuardedBuffer b(80, 64);
    StrokeRasterizer().Stroke(b.buffer, Whole(b), s.data(), s.size(), 2, kWhite);
    EXPECT_TRUE(b.GuardsWhole()) << s[0].x << "," << s[0].y;
  }
  // A stroke that turns back on itself (points a quarter pixel apart can) stays near its points.
  GuardedBuffer back(80, 64);
  const StrokePoint turning[4] = {{20, 30.2}, {40, 30.2}, {39.75, 30.2}, {60, 31.3}};
  StrokeRasterizer().Stroke(back.buffer, Whole(back), turning, 4, 2, kWhite);
  int strays = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 80; ++x)
      strays += back.At(x, y) != 0 && (x < 17 || x > 62 || y < 27 || y > 34);
  EXPECT_EQ(strays, 0) << "pixels lit away from a stroke that turns back";
  GuardedBuffer whole(80, 64), clipped(80, 64);
  const StrokePoint diagonal[2] = {{-10, 2}, {90, 60}};
  StrokeRasterizer().Stroke(whole.buffer, Whole(whole), diagonal, 2, 2, kWhite);
  StrokeRasterizer().Stroke(clipped.buffer, {20, 10, 50, 40}, diagonal, 2, 2, kWhite);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 80; ++x) {
      const bool inside = x >= 20 && x < 50 && y >= 10 && y < 40;
      ASSERT_EQ(clipped.At(x, y), inside ? whole.At(x, y) : 0u) << x << "," << y;
    }
}

// Dirty tiles come back as the rectangles their changes span: marks in one
// tile together, a row's run, and runs of the same tiles one under another
// joined.
TEST(SmoothSurface, DirtyTilesAsRectangles) {
  DirtyTiles tiles;
  tiles.Resize(300, 200); // 5 x 4 tiles, the last ones cut
  tiles.Mark({10, 10, 20, 20});
  tiles.Mark({30, 40, 35, 50});
  tiles.Mark({130, 70, 290, 140});
  tiles.Mark({-5, 150, 3, 400});
  std::string got;
  for (SurfaceRect r : tiles.Runs(300, 200))
    got += std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom) + " ";
  EXPECT_EQ(got, "10,10,35,50 130,70,290,140 0,150,3,200 ");
}

// A stroke marks, in each tile it changes, bounds that hold every changed
// pixel there and little more: three quarters of a circle in short pieces.
TEST(SmoothSurface, MarksTheTilesAStrokeChanges) {
  GuardedBuffer b(400, 400, 0x808080); // the pen is black
  SmoothMemory memory;
  memory.dirty.Resize(400, 400);
  SmoothSurface surface(b.buffer, memory);
  std::vector<SurfacePoint> arc;
  for (int k = 0; k <= 300; ++k)
    arc.push_back({static_cast<int>(200 + 150 * std::cos(k * std::numbers::pi / 200)),
                   static_cast<int>(200 + 150 * std::sin(k * std::numbers::pi / 200))});
  surface.MoveToEx(arc[0].x, arc[0].y);
  surface.PolylineTo(arc.data() + 1, 300);
  int tile = DirtyTiles::kTile, columns = memory.dirty.columns, marked = 0, needed = 0;
  for (std::size_t t = 0; t < memory.dirty.marks.size(); ++t) {
    const int x0 = static_cast<int>(t % columns) * tile, y0 = static_cast<int>(t / columns) * tile;
    int left = tile, top = tile, right = 0, bottom = 0; // of the changed pixels, in the tile
    for (int y = y0; y < std::min(400, y0 + tile); ++y)
      for (int x = x0; x < std::min(400, x0 + tile); ++x)
        if (b.At(x, y) != 0x808080u)
          left = std::min(left, x - x0), right = std::max(right, x - x0 + 1),
          top = std::min(top, y - y0), bottom = std::max(bottom, y - y0 + 1);
    if (right == 0) continue;
    const DirtyTiles::Bounds m = memory.dirty.marks[t];
    ASSERT_TRUE(m.left <= left && m.top <= top && m.right >= right && m.bottom >= bottom) << t;
    marked += (m.right - m.left) * (m.bottom - m.top), needed += (right - left) * (bottom - top);
  }
  EXPECT_LT(marked, needed * 13 / 10) << "marked " << marked << " pixels for " << needed;
}
