#include "figure/curve_set.h"

#include <gtest/gtest.h>

#include "figure/color_walker.h"
#include "figure/random.h"
#include "tests/recording_surface.h"

// Each seed's next four draws (in the comment) make the curve R r d step steps-per-run.
TEST(SpawnCurves, MakesCurvesFromFourDrawsEach) {
  const std::pair<std::uint32_t, const char *> cases[] = {
      {1541779564, "150 -90 33 0.010000 1885"}, // 150 7990 3183 23527
      {443338115, "1 1 0 -0.010000 629"},       // 0 1900 6695 12968
      {3837039319, "199 40 15 0.010000 25133"}, // 399 32460 26655 13235
      {2085140182, "95 -40 15 0.010000 5027"}}; // 95 18340 15335 29395: 95 mod -40 is 15
  for (const auto &[seed, expected] : cases) {
    CurveSet set;
    SeedRandom(seed);
    SpawnCurves(set, 1);
    const TrochoidCurve &c = set.curves.front();
    EXPECT_EQ(std::to_string(c.fixedRadius) + " " + std::to_string(c.rollingRadius) + " " +
                  std::to_string(c.penDistance) + " " + std::to_string(c.angleStep) + " " +
                  std::to_string(c.stepsPerRun),
              expected);
  }
}

// Spawning replaces what the set held, with four draws per curve.
TEST(SpawnCurves, ReplacesTheSetWithFourDrawsPerCurve) {
  for (const auto &[asked, made] : {std::pair{0, 0}, {1, 1}, {5, 5}, {-3, 0}}) {
    CurveSet set;
    RecordingSurface surface;
    SpawnCurves(set, 7);
    set.DrawAll(surface, 10, 10, 50);
    SeedRandom(99);
    SpawnCurves(set, asked);
    const int next = NextRandom();
    SeedRandom(99);
    for (int i = 0; i < 4 * made; ++i)
      NextRandom();
    EXPECT_EQ(NextRandom(), next) << asked;
    EXPECT_EQ(set.curveCount + set.finishedCount, made);
    EXPECT_EQ(int(set.curves.size()), made);
  }
}

// Finished curves keep drawing an empty polyline and stepping the pen walker.
TEST(CurveSet, EveryCurveTakesAPenStepEveryTick) {
  CurveSet set;
  TrochoidCurve shortCurve; // 629 steps
  TrochoidCurve longCurve;
  longCurve.SetFixedRadius(150);
  longCurve.SetRollingRadius(40); // 2514 steps
  set.Add(shortCurve);
  set.Add(longCurve);
  RecordingSurface surface;
  penWalker = ColorWalker();
  SeedRandom(5);
  int ticks = 0;
  for (; !set.AllFinished(); ++ticks) {
    set.DrawAll(surface, 100, 100, 200);
    if (ticks == 3) {
      EXPECT_EQ(set.finishedCount, 1);
    }
  }
  EXPECT_EQ(ticks, 13); // 2514 = 12 * 200 + 114
  ASSERT_EQ(surface.penColors.size(), 26u);
  EXPECT_EQ(surface.polylines[8].size(), 0u); // the short curve in tick 5
  ColorWalker replay;
  SeedRandom(5);
  replay.SetLowerBounds(43, 43, 43);
  replay.SetStepSize(10);
  for (std::size_t i = 0; i < surface.penColors.size(); ++i, replay.Step())
    EXPECT_EQ(surface.penColors[i], replay.GetColor()) << i;
}
