// The curves of the current picture, drawn together one tick at a time.
#pragma once
#include <list>

#include "figure/trochoid_curve.h"

class CurveSet {
public:
  // A list node per curve: a held curve never moves.
  std::list<TrochoidCurve> curves;
  int finishedCount = 0; // curves that returned false in the last DrawAll
  int curveCount = 0;

  void Clear();
  void Add(const TrochoidCurve &curve);
  void DrawAll(Surface &surface, int width, int height, int count, int scale = 1);
  bool AllFinished() const { return curveCount == finishedCount; }
};

// Replaces the set's curves by `count` new random curves, four draws each.
void SpawnCurves(CurveSet &set, int count);

extern CurveSet pictureCurves;
