#include "figure/background.h"

#include <gtest/gtest.h>

#include "settings/saver_settings.h"
#include "tests/recording_surface.h"

namespace {
struct Channels {
  int red, green, blue;
};

void ExpectWalker(const ColorWalker &walker, Channels lower, Channels upper, Channels color,
                  Channels chance, const char *name) {
  SCOPED_TRACE(name);
  EXPECT_EQ(walker.lowerBound[0], lower.red);
  EXPECT_EQ(walker.lowerBound[1], lower.green);
  EXPECT_EQ(walker.lowerBound[2], lower.blue);
  EXPECT_EQ(walker.upperBound[0], upper.red);
  EXPECT_EQ(walker.upperBound[1], upper.green);
  EXPECT_EQ(walker.upperBound[2], upper.blue);
  EXPECT_EQ(walker.channel[0], color.red);
  EXPECT_EQ(walker.channel[1], color.green);
  EXPECT_EQ(walker.channel[2], color.blue);
  EXPECT_EQ(walker.changeChance[0], chance.red);
  EXPECT_EQ(walker.changeChance[1], chance.green);
  EXPECT_EQ(walker.changeChance[2], chance.blue);
  EXPECT_EQ(walker.stepSize, 20);
}

class Background : public ::testing::Test {
protected:
  void SetUp() override {
    settings = SaverSettings();
    corner = edge = center = ColorWalker();
  }
  ColorWalker corner, edge, center;
};
} // namespace

TEST_F(Background, DefaultRanges) {
  SetBackgroundRanges(corner, edge, center);
  ExpectWalker(corner, {0, 0, 0}, {64, 64, 64}, {0, 0, 0}, {1000, 1000, 1000}, "corner");
  ExpectWalker(edge, {0, 0, 0}, {64, 64, 64}, {64, 64, 64}, {1000, 1000, 1000}, "edge");
  ExpectWalker(center, {64, 64, 64}, {128, 128, 128}, {128, 128, 128}, {1000, 1000, 1000},
               "center");
}

TEST_F(Background, ChancesByWeightAndSwitches) {
  struct Case {
    unsigned brightness, red, green, blue;
    bool change, fixed;
    unsigned frequency;
    Channels full, chance, cornerChance;
  };
  const Case cases[] = {
      {200, 100, 50, 0, true, false, 1000, {200, 100, 0}, {1000, 500, 0}, {1000, 0, 500}},
      {128, 100, 100, 100, false, false, 1000, {128, 128, 128}, {0, 0, 0}, {0, 0, 0}},
      {128, 100, 100, 100, true, true, 1, {128, 128, 128}, {1, 1, 1}, {1, 1, 1}},
      {128, 100, 100, 100, false, true, 7, {128, 128, 128}, {0, 0, 0}, {0, 0, 0}},
      {128, 0, 0, 0, true, false, 1000, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
      {0, 100, 30, 70, true, false, 1000, {0, 0, 0}, {1000, 300, 700}, {1000, 700, 300}},
      {255, 33, 100, 1, true, false, 1000, {84, 255, 2}, {330, 1000, 10}, {330, 10, 1000}},
  };
  for (const Case &c : cases) {
    settings.MaxBrightness = c.brightness;
    settings.Red = c.red;
    settings.Green = c.green;
    settings.Blue = c.blue;
    settings.ChangeBackground = c.change;
    settings.UseFixedFrequency = c.fixed;
    settings.ChangeFrequency = c.frequency;
    corner = edge = center = ColorWalker();
    SetBackgroundRanges(corner, edge, center);
    const Channels half = {c.full.red / 2, c.full.green / 2, c.full.blue / 2};
    ExpectWalker(corner, {0, 0, 0}, half, {0, 0, 0}, c.cornerChance, "corner");
    ExpectWalker(edge, {0, 0, 0}, half, half, c.chance, "edge");
    ExpectWalker(center, half, c.full, c.full, c.chance, "center");
  }
}

TEST_F(Background, PaintStepsFirstThenFillsNineVerticesEightTriangles) {
  SetBackgroundRanges(cornerWalker, edgeWalker, centerWalker);
  RecordingSurface surface;
  surface.client = {0, 0, 7, 5};
  PaintBackground(surface);
  const std::vector<std::string> expected = {"SetMapMode(1)", "SetViewportOrgEx(0,0)",
                                             "GetClientRect()", "Rectangle(0,0,7,5)",
                                             "GradientFill(9,8)"};
  EXPECT_EQ(surface.calls, expected);

  const int xs[9] = {0, 3, 7, 7, 7, 3, 0, 0, 3};
  const int ys[9] = {0, 0, 0, 2, 5, 5, 5, 2, 2};
  const int owner[9] = {0, 1, 0, 1, 0, 1, 0, 1, 2}; // corner, edge, centre
  const ColorWalker *walkers[3] = {&cornerWalker, &edgeWalker, &centerWalker};
  for (int i = 0; i < 9; ++i) {
    const MeshVertex &v = surface.lastVertices[i];
    EXPECT_EQ(v.x, xs[i]);
    EXPECT_EQ(v.y, ys[i]);
    const ColorWalker &w = *walkers[owner[i]];
    EXPECT_EQ(v.red, w.channel[0] << 8);
    EXPECT_EQ(v.green, w.channel[1] << 8);
    EXPECT_EQ(v.blue, w.channel[2] << 8);
    EXPECT_EQ(v.alpha, 0);
  }
  const unsigned triangles[8][3] = {{0, 1, 8}, {1, 2, 8}, {2, 3, 8}, {3, 4, 8},
                                    {4, 5, 8}, {5, 6, 8}, {6, 7, 8}, {7, 0, 8}};
  for (int t = 0; t < 8; ++t) {
    EXPECT_EQ(surface.lastTriangles[t].vertex1, triangles[t][0]);
    EXPECT_EQ(surface.lastTriangles[t].vertex2, triangles[t][1]);
    EXPECT_EQ(surface.lastTriangles[t].vertex3, triangles[t][2]);
  }
}

// The first paint never shows the start colours: each walker has moved one channel by 20.
TEST_F(Background, FirstPaintHasMovedEveryWalkerOnce) {
  SetBackgroundRanges(cornerWalker, edgeWalker, centerWalker);
  RecordingSurface surface;
  surface.client = {0, 0, 640, 480};
  PaintBackground(surface);
  const auto sum = [](const MeshVertex &v) { return (v.red + v.green + v.blue) >> 8; };
  EXPECT_EQ(sum(surface.lastVertices[0]), 20);           // corner channel rose to 20
  EXPECT_EQ(sum(surface.lastVertices[1]), 3 * 64 - 20);  // edge channel fell to 44
  EXPECT_EQ(sum(surface.lastVertices[8]), 3 * 128 - 20); // centre channel fell to 108
}
