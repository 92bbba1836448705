#include "figure/curve_set.h"

#include <gtest/gtest.h>

#include <array>

#include "figure/color_walker.h"
#include "figure/random.h"
#include "tests/recording_surface.h"

namespace {
// A seed whose next four draws make the same curve as `draws`: the first is
// set exactly by stepping the generator back from a chosen state, the free
// low bits of that state are searched for the other three.
std::uint32_t SeedMakingCurve(const std::array<int, 4> &draws) {
  std::uint32_t inverse = 214013u; // inverse mod 2^32 by Newton's method
  for (int i = 0; i < 5; ++i)
    inverse *= 2u - 214013u * inverse;
  const int rolling = 100 - draws[1] % 200 ? 100 - draws[1] % 200 : 1;
  for (std::uint32_t free = 0; free < 0x20000u; ++free) {
    const std::uint32_t state =
        ((free >> 16) << 31) | (std::uint32_t(draws[0]) << 16) | (free & 0xFFFFu);
    const std::uint32_t seed = (state - 2531011u) * inverse;
    SeedRandom(seed);
    NextRandom();
    const int b = NextRandom(), d = NextRandom(), s = NextRandom();
    if (b % 200 == draws[1] % 200 && d % rolling == draws[2] % rolling && s % 2 == draws[3] % 2)
      return seed;
  }
  return 0;
}
} // namespace

// Each case: the four draws, then R, r, d, step and steps per run of the curve.
TEST(SpawnCurves, MakesCurvesFromFourDrawsEach) {
  const std::pair<std::array<int, 4>, const char *> cases[] = {
      {{150, 190, 33, 5}, "150 -90 33 0.010000 1885"},
      {{0, 100, 7, 2}, "1 1 0 -0.010000 629"},
      {{399, 60, 95, 1}, "199 40 15 0.010000 25133"},
      {{95, 140, 95, 3}, "95 -40 15 0.010000 5027"}}; // 95 mod -40 is 15
  for (const auto &[draws, expected] : cases) {
    CurveSet set;
    SeedRandom(SeedMakingCurve(draws));
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
