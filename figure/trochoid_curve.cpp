#include "figure/trochoid_curve.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "figure/color_walker.h"
#include "figure/curve_points.h"

namespace {

// The period constant is ten significant digits of 2 pi, not full precision:
// stored step counts and the look of a closing curve depend on it.
constexpr double kTurn = 6.283185307;

// Truncation toward zero that stays defined for values no int can hold.
inline int TruncateToInt(double value) {
  if (std::fabs(value) < 2147483648.0) return static_cast<int>(value);
  if (value != value) return 0;
  return value < 0 ? INT_MIN : INT_MAX;
}

// The points of one DrawStep. Kept between calls so that a warm tick
// allocates nothing; only the message-loop thread draws.
std::vector<SurfacePoint> pointBuffer;

} // namespace

int GreatestCommonDivisor(int a, int b) {
  if (a == 0 || b == 0) return -1;
  long long p = std::llabs(a);
  long long q = std::llabs(b);
  if (p < q) std::swap(p, q);
  while (p % q != 0) {
    const long long rest = p % q;
    p = q;
    q = rest;
  }
  return static_cast<int>(q < INT_MAX ? q : INT_MAX);
}

int FineCurveScale(int width, int height) {
  const long long half = std::min(std::llabs(width / 2), std::llabs(height / 2));
  return static_cast<int>(std::max(1LL, (half + 199) / 200)); // the pixels per unit, rounded up
}

TrochoidCurve::TrochoidCurve() { SetDefaults(); }

void TrochoidCurve::SetDefaults() {
  fixedRadius = 200;
  rollingRadius = -10;
  penDistance = 5;
  rotationSin = 0;
  rotationCos = 1;
  rotation = 0;
  angle = 0;
  angleStep = 0.01;
  stepsDone = 0;
  stepsPerRun = CountStepsPerRun();
}

void TrochoidCurve::SetFixedRadius(int radius) {
  fixedRadius = radius;
  Restart();
}

void TrochoidCurve::SetRollingRadius(int radius) {
  rollingRadius = radius;
  Restart();
}

void TrochoidCurve::SetPenDistance(int distance) {
  penDistance = distance;
  Restart();
}

void TrochoidCurve::SetAngleStep(double step) {
  angleStep = step;
  Restart();
}

void TrochoidCurve::SetRotation(double phi) {
  rotationSin = std::sin(phi);
  rotationCos = std::cos(phi);
  rotation = phi;
  Restart();
}

void TrochoidCurve::Restart() {
  angle = 0;
  stepsDone = 0;
  stepsPerRun = CountStepsPerRun();
}

void TrochoidCurve::PointAt(double theta, double &x, double &y) const {
  PointFormula(*this).At(theta, x, y);
}

int TrochoidCurve::ClosingLaps() const {
  const long long divisor = GreatestCommonDivisor(rollingRadius, fixedRadius);
  const long long laps = std::llabs(rollingRadius / divisor);
  return static_cast<int>(laps < INT_MAX ? laps : INT_MAX);
}

int TrochoidCurve::CountStepsPerRun() const {
  const int whole = TruncateToInt(ClosingLaps() * (kTurn / std::fabs(angleStep)));
  return whole < INT_MAX ? whole + 1 : INT_MAX;
}

bool TrochoidCurve::DrawStep(Surface &surface, int width, int height, int count, int scale) {
  bool still = true;
  // A negative count would run the progress backwards; it draws nothing.
  long long n = count > 0 ? count : 0;
  if (stepsDone + n > stepsPerRun) {
    n = stepsPerRun > stepsDone ? stepsPerRun - stepsDone : 0;
    still = false;
    stepsDone = stepsPerRun;
  } else {
    stepsDone += static_cast<int>(n);
  }

  surface.SetMapMode(kMapModeIsotropic);
  surface.SetWindowExtEx(200 * scale, 200 * scale);
  surface.SetViewportExtEx(width / 2, height / 2);
  surface.SetViewportOrgEx(width / 2, height / 2);

  penWalker.SetLowerBounds(43, 43, 43);
  penWalker.SetStepSize(10);

  // Sized before any point is computed; keeps its capacity between calls.
  pointBuffer.resize(static_cast<std::size_t>(n));

  const SurfaceObject pen = surface.CreatePen(kPenStyleSolid, 0, penWalker.GetColor());
  const SurfaceObject previousPen = surface.SelectObject(pen);

  const PointFormula formula(*this);
  double x;
  double y;
  formula.At(angle - angleStep, x, y);
  surface.MoveToEx(TruncateToInt(x * scale), TruncateToInt(y * scale));
  SurfacePoint *points = pointBuffer.data();
  RotatingPoints rotating(formula, angleStep);
  for (long long i = 0; i < n; ++i) {
    if (i % kAnchorInterval == 0)
      rotating.Anchor(angle);
    else
      rotating.Advance();
    rotating.Current(x, y);
    // Scaling by 1 is exact, so the classic points are as they always were.
    x *= scale;
    y *= scale;
    if (!TruncatesSafely(x) || !TruncatesSafely(y)) {
      formula.At(angle, x, y);
      x *= scale;
      y *= scale;
    }
    points[i] = {TruncateToInt(x), TruncateToInt(y)};
    angle += angleStep;
  }
  surface.PolylineTo(pointBuffer.data(), static_cast<std::uint32_t>(pointBuffer.size()));

  surface.SelectObject(previousPen);
  surface.DeleteObject(pen);
  penWalker.Step();
  return still;
}

int SmoothCurveScale(int width, int height) { return 4 * FineCurveScale(width, height); }
