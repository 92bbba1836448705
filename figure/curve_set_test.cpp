#include "figure/curve_set.h"

#include <gtest/gtest.h>

#include "figure/color_walker.h"
#include "figure/random.h"
#include "tests/recording_surface.h"

namespace {
int DrawsSince(std::uint32_t seed, int probe) {
  for (int draws = 0; draws < 1000; ++draws) {
    SeedRandom(seed);
    for (int i = 0; i < draws; ++i)
      NextRandom();
    if (NextRandom() == probe) return draws;
  }
  return -1;
}

int RollingFrom(int draw) {
  const int rolling = 100 - draw % 200;
  return rolling == 0 ? 1 : rolling;
}

// A seed whose four next draws have the same remainders as `draws` under the
// divisors SpawnCurves uses, so they make the same curve. The first draw is
// set exactly by stepping the generator back from a chosen state; the free
// low bits of that state are searched for the other three.
std::uint32_t SeedMakingCurve(const std::vector<int> &draws) {
  std::uint32_t inverse = 214013u; // multiplicative inverse mod 2^32 by Newton's method
  for (int i = 0; i < 5; ++i)
    inverse *= 2u - 214013u * inverse;
  const int rolling = RollingFrom(draws[1]);
  for (std::uint32_t free = 0; free < 0x20000u; ++free) {
    const std::uint32_t state =
        ((free >> 16) << 31) | (static_cast<std::uint32_t>(draws[0]) << 16) | (free & 0xFFFFu);
    const std::uint32_t seed = (state - 2531011u) * inverse;
    SeedRandom(seed);
    NextRandom();
    const int b = NextRandom(), d = NextRandom(), s = NextRandom();
    if (b % 200 == draws[1] % 200 && d % rolling == draws[2] % rolling && s % 2 == draws[3] % 2)
      return seed;
  }
  ADD_FAILURE() << "no seed found";
  return 0;
}
} // namespace

TEST(SpawnCurves, MakesCurvesFromFourDrawsEach) {
  struct Case {
    std::vector<int> draws;
    int fixedRadius, rollingRadius, penDistance;
    double step;
    int stepsPerRun;
  };
  const Case cases[] = {
      {{150, 190, 33, 5}, 150, -90, 33, 0.01, 1885}, {{0, 100, 7, 2}, 1, 1, 0, -0.01, 629},
      {{399, 60, 95, 1}, 199, 40, 15, 0.01, 25133},  {{200, 295, 200, 4}, 1, 5, 0, -0.01, 3142},
      {{95, 140, 95, 3}, 95, -40, 15, 0.01, 5027}, // 95 mod -40 is 15
  };
  for (const Case &c : cases) {
    const std::uint32_t seed = SeedMakingCurve(c.draws);
    CurveSet set;
    SeedRandom(seed);
    SpawnCurves(set, 1);
    ASSERT_EQ(set.curveCount, 1);
    const TrochoidCurve &curve = set.curves.front();
    EXPECT_EQ(curve.fixedRadius, c.fixedRadius);
    EXPECT_EQ(curve.rollingRadius, c.rollingRadius);
    EXPECT_EQ(curve.penDistance, c.penDistance);
    EXPECT_EQ(curve.angleStep, c.step);
    EXPECT_EQ(curve.stepsPerRun, c.stepsPerRun);
    EXPECT_EQ(curve.stepsDone, 0);
    EXPECT_EQ(curve.angle, 0);
    EXPECT_EQ(curve.rotation, 0);
  }
}

TEST(SpawnCurves, TakesFourDrawsPerCurveAndNoneForZero) {
  for (int count : {0, 1, 5, 20, -3}) {
    CurveSet set;
    SeedRandom(99);
    SpawnCurves(set, count);
    const int expectedCurves = count > 0 ? count : 0;
    EXPECT_EQ(set.curveCount, expectedCurves);
    EXPECT_EQ(static_cast<int>(set.curves.size()), expectedCurves);
    EXPECT_EQ(DrawsSince(99, NextRandom()), 4 * expectedCurves);
  }
}

TEST(SpawnCurves, RangesOfManyCurves) {
  CurveSet set;
  SeedRandom(7);
  SpawnCurves(set, 5000);
  int negative = 0;
  for (const TrochoidCurve &curve : set.curves) {
    EXPECT_GE(curve.fixedRadius, 1);
    EXPECT_LE(curve.fixedRadius, 199);
    EXPECT_GE(curve.rollingRadius, -99);
    EXPECT_LE(curve.rollingRadius, 100);
    EXPECT_NE(curve.rollingRadius, 0);
    EXPECT_GE(curve.penDistance, 0);
    EXPECT_LT(curve.penDistance,
              std::abs(curve.rollingRadius) == 1 ? 1 : std::abs(curve.rollingRadius));
    if (curve.rollingRadius < 0) ++negative;
  }
  EXPECT_GT(negative, 2000);
  EXPECT_LT(negative, 3000);
}

TEST(CurveSet, EmptySetIsFinishedAndDrawsNothing) {
  CurveSet set;
  EXPECT_TRUE(set.AllFinished());
  penWalker = ColorWalker();
  const ColorWalker before = penWalker;
  RecordingSurface surface;
  set.DrawAll(surface, 100, 100, 200);
  EXPECT_TRUE(surface.calls.empty());
  EXPECT_EQ(set.finishedCount, 0);
  EXPECT_EQ(penWalker.GetColor(), before.GetColor());
  EXPECT_EQ(penWalker.direction, before.direction);
}

TEST(CurveSet, FinishesInTheTickThatDrawsTheLastPoints) {
  CurveSet set;
  TrochoidCurve small; // 629 steps
  TrochoidCurve large;
  large.SetRollingRadius(40); // 200, 40: 1 lap -> 629 steps too; make it longer:
  large.SetFixedRadius(150);  // 150, 40: 4 laps, 2514 steps
  set.Add(small);
  set.Add(large);
  EXPECT_FALSE(set.AllFinished());
  RecordingSurface surface;
  int ticks = 0;
  while (!set.AllFinished()) {
    set.DrawAll(surface, 100, 100, 200);
    ++ticks;
    if (ticks == 4) {
      EXPECT_EQ(set.finishedCount, 1); // 629 done in the 4th tick
    }
  }
  EXPECT_EQ(ticks, 13); // 2514 = 12 * 200 + 114
  // Every curve draws every tick, finished or not: one pen each.
  EXPECT_EQ(surface.penColors.size(), 26u);
  EXPECT_EQ(surface.livePens, 0);
}

TEST(CurveSet, AddCopiesProgressAndClearEmpties) {
  CurveSet set;
  TrochoidCurve curve;
  RecordingSurface surface;
  curve.DrawStep(surface, 10, 10, 50);
  set.Add(curve);
  EXPECT_EQ(set.curves.front().stepsDone, 50);
  curve.SetDefaults();
  EXPECT_EQ(set.curves.front().stepsDone, 50); // a copy, not a reference
  set.Clear();
  EXPECT_EQ(set.curveCount, 0);
  EXPECT_TRUE(set.curves.empty());
}
