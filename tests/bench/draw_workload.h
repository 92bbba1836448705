// The heaviest tick the settings allow: 20 curves of 800 points each,
// drawn on a surface that discards everything, next to a bare loop of the
// four trigonometric calls per point that the drawing cannot avoid.
#pragma once
#include <cstdint>

constexpr int kBenchCurves = 20;
constexpr int kBenchPointsPerTick = 800;
constexpr long long kPointsPerTick = static_cast<long long>(kBenchCurves) * kBenchPointsPerTick;

void PrepareDrawWorkload();
// DrawAll of the prepared picture, restarted when finished: classic, or at
// the resolution of a 3840 x 2160 screen.
void RunDrawTick(bool fine4k = false);
double RunBareTrigTick();
// The same tick drawn smooth into a 3840 x 2160 pixel buffer; returns the
// pixels laid so far.
std::uint64_t RunSmoothTick(); // the same number of sin/cos quadruples; returns a sum to keep
