// Built natively and for Windows: both builds must hand on the formula's points.
#include <gtest/gtest.h>

#include <cmath>

#include "figure/curve_points.h"
#include "figure/curve_set.h"
#include "figure/random.h"
#include "tests/recording_surface.h"

// Every point of full runs, classic and in the finer units of curves at the
// screen's resolution (4K and the largest factor, an 8K screen's).
TEST(CurvePoints, EveryPointOfFullRunsEqualsTheFormula) {
  const std::tuple<int, int, int, std::uint32_t> areas[] = {
      {640, 480, 1, 100},
      {3840, 2160, 6, 25},
      {7680, 4320, 11, 25}, // width height scale seeds
      {3840, 2160, 24, 5},
      {7680, 4320, 44, 5}}; // and as fine as smooth curves place them
  for (const auto &[width, height, scale, seeds] : areas) {
    CurveSet set;
    long long points = 0, mismatches = 0;
    int smallest = 1000;
    for (std::uint32_t seed = 1; seed <= seeds; ++seed) {
      SeedRandom(seed);
      SpawnCurves(set, 20);
      for (TrochoidCurve &curve : set.curves) {
        smallest = std::min({smallest, curve.fixedRadius, std::abs(curve.rollingRadius)});
        RecordingSurface surface;
        while (curve.DrawStep(surface, width, height, 777, scale)) {
        }
        double angle = 0;
        for (const auto &line : surface.polylines)
          for (const SurfacePoint &p : line) {
            double x, y;
            curve.PointAt(angle, x, y);
            mismatches += p.x != static_cast<int>(x * scale) || p.y != static_cast<int>(y * scale);
            ++points;
            angle += curve.angleStep;
          }
      }
    }
    EXPECT_EQ(mismatches, 0) << "of " << points << " points at scale " << scale;
    EXPECT_EQ(smallest, 1) << "drawn radii of 0 are made 1";
  }
  // Pixels per unit, rounded up: half the shorter side over 200.
  const std::tuple<int, int, int> scales[] = {{152, 112, 1}, {0, 0, 1},       {800, 800, 2},
                                              {802, 900, 3}, {2160, 3840, 6}, {7680, 4320, 11}};
  for (const auto &[width, height, scale] : scales)
    EXPECT_EQ(FineCurveScale(width, height), scale) << width << "x" << height;
}

// Values within the margin of a whole number, where a rotated point could truncate
// the other way, go to the exact formula; so do values no int holds.
TEST(CurvePoints, NearWholeNumbersTakeTheExactPath) {
  const std::pair<double, bool> values[] = {
      {3.5, true},           {3 + 1e-8, false}, {3 - 1e-8, false}, {-7 + 1e-8, false},
      {-7.25, true},         {0.0, false},      {3 + 2e-6, true},  {4 - 2e-6, true},
      {2147483647.5, false}, {NAN, false},      {-1e12, false}};
  for (const auto &[value, safe] : values)
    EXPECT_EQ(TruncatesSafely(value), safe) << value;
}
