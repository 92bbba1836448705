#include "figure/background.h"

#include <gtest/gtest.h>

#include "settings/saver_settings.h"
#include "tests/recording_surface.h"

namespace {
std::string Channels(const int (&values)[3]) {
  return std::to_string(values[0]) + "," + std::to_string(values[1]) + "," +
         std::to_string(values[2]);
}
} // namespace

// Brightness and mix give the ranges; the corners' green and blue chances are crossed.
// Expected: corner upper bound / centre colour / edge chances / corner chances.
TEST(Background, RangesFromTheSettings) {
  struct Case {
    unsigned brightness, red, green, blue;
    bool change, fixed;
    const char *expected;
  };
  const Case cases[] = {
      {128, 100, 100, 100, true, false, "64,64,64 128,128,128 1000,1000,1000 1000,1000,1000"},
      {200, 100, 50, 0, true, false, "100,50,0 200,100,0 1000,500,0 1000,0,500"},
      {255, 33, 100, 1, true, false, "42,127,1 84,255,2 330,1000,10 330,10,1000"},
      {128, 100, 100, 100, false, true, "64,64,64 128,128,128 0,0,0 0,0,0"},
      {128, 100, 100, 100, true, true, "64,64,64 128,128,128 7,7,7 7,7,7"},
      {128, 0, 0, 0, true, false, "0,0,0 0,0,0 0,0,0 0,0,0"}};
  for (const Case &c : cases) {
    settings = SaverSettings();
    settings.MaxBrightness = c.brightness;
    settings.Red = c.red;
    settings.Green = c.green;
    settings.Blue = c.blue;
    settings.ChangeBackground = c.change;
    settings.UseFixedFrequency = c.fixed;
    settings.ChangeFrequency = 7;
    ColorWalker corner, edge, center;
    SetBackgroundRanges(corner, edge, center);
    EXPECT_EQ(Channels(corner.upperBound) + " " + Channels(center.channel) + " " +
                  Channels(edge.changeChance) + " " + Channels(corner.changeChance),
              c.expected);
    // Corners start black, edges at half, the centre from half to full, in steps of 20.
    EXPECT_EQ(Channels(corner.channel), "0,0,0");
    EXPECT_EQ(Channels(edge.channel), Channels(corner.upperBound));
    EXPECT_EQ(Channels(center.lowerBound), Channels(corner.upperBound));
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
  EXPECT_NE(Channels(cornerWalker.channel), "0,0,0") << "the walkers step before the fill";
  const int xs[9] = {0, 3, 7, 7, 7, 3, 0, 0, 3}, ys[9] = {0, 0, 0, 2, 5, 5, 5, 2, 2};
  const ColorWalker *owner[3] = {&cornerWalker, &edgeWalker, &centerWalker};
  for (int i = 0; i < 9; ++i) {
    const MeshVertex &v = surface.vertices[i];
    const ColorWalker &w = *owner[i == 8 ? 2 : i % 2];
    EXPECT_EQ(std::to_string(v.x) + "," + std::to_string(v.y) + " " + std::to_string(v.red) + "," +
                  std::to_string(v.blue),
              std::to_string(xs[i]) + "," + std::to_string(ys[i]) + " " +
                  std::to_string(w.channel[0] << 8) + "," + std::to_string(w.channel[2] << 8))
        << i;
  }
}
