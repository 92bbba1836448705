// One epitrochoid (rollingRadius > 0) or hypotrochoid (rollingRadius < 0),
// drawn a few points at a time until it has closed once.
#pragma once
#include "drawing/surface.h"

int GreatestCommonDivisor(int a, int b);

// The whole factor by which curves drawn at the screen's resolution scale
// their logical units, so that one unit is at most one pixel in an area of
// this size (200 units span half its shorter side); at least 1.
int FineCurveScale(int width, int height);
// The logical units per device pixel of curves drawn smooth: four times
// finer than at the screen's full resolution, so each vertex lies within a
// quarter pixel of its curve.
int SmoothCurveScale(int width, int height);

class TrochoidCurve {
public:
  int fixedRadius;   // R
  int rollingRadius; // r
  int penDistance;   // d
  double rotationSin;
  double rotationCos;
  double rotation;
  double angle; // parameter of the next point to draw
  double angleStep;
  int stepsPerRun; // points that close the curve once
  int stepsDone;

  TrochoidCurve();

  void SetDefaults();
  void SetFixedRadius(int radius);
  void SetRollingRadius(int radius);
  void SetPenDistance(int distance);
  void SetAngleStep(double step);
  void SetRotation(double phi);
  void Restart();

  void PointAt(double theta, double &x, double &y) const;
  int ClosingLaps() const;
  int CountStepsPerRun() const;

  // Draws the next `count` points as one polyline in the pen walker's colour,
  // in logical units `scale` times finer than the classic 200 per half side.
  // Returns false from the call that completes the run onward.
  bool DrawStep(Surface &surface, int width, int height, int count, int scale = 1);
};
