#include "figure/background.h"

#include <gtest/gtest.h>

#include "settings/saver_settings.h"
#include "tests/recording_surface.h"

namespace {
using Rgb = std::array<int, 3>;
Rgb Channels(const int (&values)[3]) { return {values[0], values[1], values[2]}; }
} // namespace

// Ranges and chances from the settings; the corners' green and blue chances are crossed.
TEST(Background, RangesFromTheSettings) {
  struct Case {
    unsigned brightness, red, green, blue;
    bool change, fixed;
    unsigned frequency;
    Rgb full, chance, cornerChance;
  };
  const Case cases[] = {
      {128,
       100,
       100,
       100,
       true,
       false,
       1000,
       {128, 128, 128},
       {1000, 1000, 1000},
       {1000, 1000, 1000}},
      {200, 100, 50, 0, true, false, 1000, {200, 100, 0}, {1000, 500, 0}, {1000, 0, 500}},
      {255, 33, 100, 1, true, false, 1000, {84, 255, 2}, {330, 1000, 10}, {330, 10, 1000}},
      {128, 100, 100, 100, false, true, 7, {128, 128, 128}, {0, 0, 0}, {0, 0, 0}},
      {128, 100, 100, 100, true, true, 1, {128, 128, 128}, {1, 1, 1}, {1, 1, 1}},
      {128, 0, 0, 0, true, false, 1000, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
  };
  for (const Case &c : cases) {
    settings = SaverSettings();
    settings.MaxBrightness = c.brightness;
    settings.Red = c.red;
    settings.Green = c.green;
    settings.Blue = c.blue;
    settings.ChangeBackground = c.change;
    settings.UseFixedFrequency = c.fixed;
    settings.ChangeFrequency = c.frequency;
    ColorWalker corner, edge, center;
    SetBackgroundRanges(corner, edge, center);
    const Rgb half = {c.full[0] / 2, c.full[1] / 2, c.full[2] / 2}, zero = {0, 0, 0};
    SCOPED_TRACE(c.brightness * 1000 + c.green);
    EXPECT_EQ(Channels(corner.upperBound), half);
    EXPECT_EQ(Channels(corner.channel), zero);
    EXPECT_EQ(Channels(corner.changeChance), c.cornerChance);
    EXPECT_EQ(Channels(edge.upperBound), half);
    EXPECT_EQ(Channels(edge.channel), half);
    EXPECT_EQ(Channels(edge.changeChance), c.chance);
    EXPECT_EQ(Channels(center.lowerBound), half);
    EXPECT_EQ(Channels(center.channel), c.full);
    EXPECT_EQ(center.stepSize, 20);
  }
}

TEST(Background, PaintFillsNineVerticesFromThreeWalkers) {
  settings = SaverSettings();
  SetBackgroundRanges(cornerWalker, edgeWalker, centerWalker);
  RecordingSurface surface;
  surface.client = {0, 0, 7, 5};
  PaintBackground(surface);
  const std::vector<std::string> expected = {"SetMapMode(1)", "SetViewportOrgEx(0,0)",
                                             "GetClientRect()", "Rectangle(0,0,7,5)",
                                             "GradientFill(9,8)"};
  EXPECT_EQ(surface.calls, expected);
  const int xs[9] = {0, 3, 7, 7, 7, 3, 0, 0, 3}, ys[9] = {0, 0, 0, 2, 5, 5, 5, 2, 2};
  const ColorWalker *owner[3] = {&cornerWalker, &edgeWalker, &centerWalker};
  for (int i = 0; i < 9; ++i) {
    const MeshVertex &v = surface.vertices[i];
    const ColorWalker &w = *owner[i == 8 ? 2 : i % 2];
    EXPECT_EQ(v.x, xs[i]);
    EXPECT_EQ(v.y, ys[i]);
    EXPECT_EQ(v.red, w.channel[0] << 8);
    EXPECT_EQ(v.blue, w.channel[2] << 8);
  }
  EXPECT_NE(cornerWalker.channel[0] + cornerWalker.channel[1] + cornerWalker.channel[2], 0)
      << "the walkers step before the fill";
}
