#include "drawing/smooth_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

TEST(SmoothSurface, PlacesPointsAsTheMappingDoes) {
  const std::tuple<int, SurfacePoint, SurfacePoint, SurfacePoint, double, double> cases[] = {
      {kMapModeIsotropic, {800, 800}, {960, 540}, {960, 540}, 1095.5, 617.45}, // the smaller scale
      {kMapModeIsotropic, {800, 800}, {-960, 540}, {960, 540}, 825.5, 617.45}, // with its sign
      {kMapModeAnisotropic, {800, 800}, {960, 540}, {960, 540}, 1200.5, 617.45}};
  for (const auto &[mode, window, viewport, origin, x, y] : cases) {
    PixelBuffer buffer;
    SmoothMemory memory;
    SmoothSurface surface(buffer, memory);
    surface.SetMapMode(mode);
    surface.SetWindowExtEx(window.x, window.y);
    surface.SetViewportExtEx(viewport.x, viewport.y);
    surface.SetViewportOrgEx(origin.x, origin.y);
    const StrokePoint p =
        surface.ToDevice({mode == kMapModeText ? 3 : 200, mode == kMapModeText ? 7 : 114});
    EXPECT_NEAR(p.x, x, 1e-9) << mode << " " << viewport.x;
    EXPECT_NEAR(p.y, y, 1e-9) << mode << " " << viewport.x;
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

// A stroke marks bounds holding every changed pixel (mitre tips too), along a curve little more.
TEST(SmoothSurface, MarksTheTilesAStrokeChanges) {
  std::vector<SurfacePoint> arc, zigzag;
  for (int k = 0; k <= 300; ++k)
    arc.push_back({static_cast<int>(200 + 150 * std::cos(k * std::numbers::pi / 200)),
                   static_cast<int>(200 + 150 * std::sin(k * std::numbers::pi / 200))});
  for (int k = 0; k <= 24; ++k) // bends of 150 degrees whose tips cross tile edges
    zigzag.push_back({60 + 12 * k, k % 2 ? 127 : 83});
  std::vector<SurfacePoint> level{{10, 100}, {137, 100}}; // ends mid-tile, level
  const std::tuple<std::vector<SurfacePoint> *, double, double> cases[] = {
      {&arc, 1, 1.3}, {&zigzag, 1, 0}, {&zigzag, 2, 0}, {&zigzag, 3, 0}, {&level, 1, 1.5}};
  for (const auto &[line, width, within] : cases) {
    std::vector<std::uint32_t> pixels(400 * 400, 0x808080); // the pen is black
    PixelBuffer b{pixels.data(), 400, 400, 400};
    SmoothMemory memory;
    memory.dirty.Resize(400, 400);
    SmoothSurface surface(b, memory);
    surface.lineWidth = width;
    surface.MoveToEx((*line)[0].x, (*line)[0].y);
    surface.PolylineTo(line->data() + 1, static_cast<std::uint32_t>(line->size() - 1));
    const int tile = DirtyTiles::kTile, columns = memory.dirty.columns;
    int marked = 0, needed = 0;
    for (std::size_t t = 0; t < memory.dirty.marks.size(); ++t) {
      const int x0 = static_cast<int>(t % columns) * tile,
                y0 = static_cast<int>(t / columns) * tile;
      int left = tile, top = tile, right = 0, bottom = 0; // of the changed pixels, in the tile
      for (int y = y0; y < std::min(400, y0 + tile); ++y)
        for (int x = x0; x < std::min(400, x0 + tile); ++x)
          if (pixels[y * 400 + x] != 0x808080u)
            left = std::min(left, x - x0), right = std::max(right, x - x0 + 1),
            top = std::min(top, y - y0), bottom = std::max(bottom, y - y0 + 1);
      if (right == 0) continue;
      const DirtyTiles::Bounds m = memory.dirty.marks[t];
      ASSERT_TRUE(m.left <= left && m.top <= top && m.right >= right && m.bottom >= bottom)
          << "tile " << t << ", width " << width;
      marked += (m.right - m.left) * (m.bottom - m.top), needed += (right - left) * (bottom - top);
    }
    EXPECT_TRUE(within == 0 || marked < needed * within) << "marked " << marked << " of " << needed;
  }
}
