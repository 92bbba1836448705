// The largest distance between a rotated point and the exact formula's, over
// full runs of spawned curves, and how often the exact fallback is taken.
#include <cmath>
#include <cstdio>

#include "figure/curve_points.h"
#include "figure/curve_set.h"
#include "figure/random.h"

int main() {
  double worst = 0;
  long long points = 0, nearInteger = 0;
  CurveSet set;
  for (unsigned seed = 1; seed <= 250; ++seed) {
    SeedRandom(seed);
    SpawnCurves(set, 20);
    for (const TrochoidCurve &curve : set.curves) {
      const PointFormula formula(curve);
      RotatingPoints rotating(formula, curve.angleStep);
      double angle = 0;
      for (int i = 0; i < curve.stepsPerRun; ++i) {
        if (i % kAnchorInterval == 0)
          rotating.Anchor(angle);
        else
          rotating.Advance();
        double x, y, ex, ey;
        rotating.Current(x, y);
        formula.At(angle, ex, ey);
        worst = std::fmax(worst, std::fmax(std::fabs(x - ex), std::fabs(y - ey)));
        for (double v : {x, y}) {
          const double f = std::fabs(v) - std::floor(std::fabs(v));
          if (f <= kTruncationMargin || f >= 1 - kTruncationMargin) ++nearInteger;
        }
        ++points;
        angle += curve.angleStep;
      }
    }
  }
  std::printf("points %lld, largest drift %.3g logical units, margin %.0e, exact fallbacks %lld\n",
              points, worst, kTruncationMargin, nearInteger);
  return 0;
}
