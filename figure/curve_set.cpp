#include "figure/curve_set.h"

#include "figure/random.h"

void CurveSet::Clear() {
  curves.clear();
  curveCount = 0;
  finishedCount = 0;
}

void CurveSet::Add(const TrochoidCurve &curve) {
  curves.push_back(curve);
  ++curveCount;
}

void CurveSet::DrawAll(Surface &surface, int width, int height, int count, int scale) {
  finishedCount = 0;
  for (TrochoidCurve &curve : curves) {
    if (!curve.DrawStep(surface, width, height, count, scale)) ++finishedCount;
  }
}

void SpawnCurves(CurveSet &set, int count) {
  // Made on first use and reused: every varying field is set again per curve.
  static TrochoidCurve templateCurve;
  set.Clear();
  for (int i = 0; i < count; ++i) {
    int fixedRadius = NextRandom() % 200;
    int rollingRadius = 100 - NextRandom() % 200;
    if (fixedRadius == 0) fixedRadius = 1;
    if (rollingRadius == 0) rollingRadius = 1;
    // Truncating remainder: d takes the sign of the (non-negative) draw.
    const int penDistance = NextRandom() % rollingRadius;
    const double step = NextRandom() % 2 == 1 ? 0.01 : -0.01;
    templateCurve.SetFixedRadius(fixedRadius);
    templateCurve.SetRollingRadius(rollingRadius);
    templateCurve.SetPenDistance(penDistance);
    templateCurve.SetAngleStep(step);
    set.Add(templateCurve);
  }
}
