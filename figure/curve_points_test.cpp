// Built natively and for Windows: both builds must hand on the formula's points.
#include <gtest/gtest.h>

#include <cmath>

#include "figure/curve_set.h"
#include "figure/random.h"
#include "tests/recording_surface.h"

TEST(CurvePoints, EveryPointOfFullRunsEqualsTheFormula) {
  CurveSet set;
  long long points = 0, mismatches = 0;
  int kinds[2][2] = {}; // [rolling < 0][step < 0]
  int smallest = 1000, largest = 0;
  for (std::uint32_t seed = 1; seed <= 100; ++seed) {
    SeedRandom(seed);
    SpawnCurves(set, 20);
    for (TrochoidCurve &curve : set.curves) {
      ++kinds[curve.rollingRadius < 0][curve.angleStep < 0];
      smallest = std::min({smallest, curve.fixedRadius, std::abs(curve.rollingRadius)});
      largest = std::max({largest, curve.fixedRadius, std::abs(curve.rollingRadius)});
      RecordingSurface surface;
      while (curve.DrawStep(surface, 640, 480, 777)) {
      }
      double angle = 0;
      for (const auto &line : surface.polylines)
        for (const SurfacePoint &p : line) {
          double x, y;
          curve.PointAt(angle, x, y);
          mismatches += p.x != static_cast<int>(x) || p.y != static_cast<int>(y);
          ++points;
          angle += curve.angleStep;
        }
    }
  }
  EXPECT_EQ(mismatches, 0) << "of " << points << " points";
  for (auto &row : kinds)
    for (int count : row)
      EXPECT_GT(count, 100);
  EXPECT_EQ(smallest, 1);
  EXPECT_GE(largest, 199);
}
