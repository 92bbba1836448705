#include "tests/bench/draw_workload.h"

#include <cmath>
#include <vector>

#include "figure/curve_set.h"
#include "figure/random.h"
#include "drawing/smooth_surface.h"

namespace {
struct NullSurface final : Surface {
  void SetMapMode(int) override {}
  void SetWindowExtEx(int, int) override {}
  void SetViewportExtEx(int, int) override {}
  void SetViewportOrgEx(int, int) override {}
  SurfaceObject CreatePen(int, int, ColorRef) override { return 1; }
  SurfaceObject SelectObject(SurfaceObject) override { return 0; }
  void DeleteObject(SurfaceObject) override {}
  void MoveToEx(int, int) override {}
  void PolylineTo(const SurfacePoint *points, std::uint32_t count) override {
    if (count) sink = points[count - 1].x;
  }
  SurfaceRect GetClientRect() override { return {0, 0, 1920, 1080}; }
  void Rectangle(int, int, int, int) override {}
  void GradientFill(const MeshVertex *, std::uint32_t, const MeshTriangle *,
                    std::uint32_t) override {}
  void SelectClipRect(const SurfaceRect *) override {}
  volatile int sink = 0;
};

NullSurface nullSurface;
CurveSet benchCurves;
double bareAngle = 0;
} // namespace

void PrepareDrawWorkload() {
  SeedRandom(12345);
  SpawnCurves(benchCurves, kBenchCurves);
}

void RunDrawTick(bool fine4k) {
  // Long curves (up to 62204 points) rarely finish; respawn keeps every tick full.
  for (TrochoidCurve &curve : benchCurves.curves) {
    if (curve.stepsDone + kBenchPointsPerTick > curve.stepsPerRun) curve.Restart();
  }
  if (fine4k)
    benchCurves.DrawAll(nullSurface, 3840, 2160, kBenchPointsPerTick, FineCurveScale(3840, 2160));
  else
    benchCurves.DrawAll(nullSurface, 1920, 1080, kBenchPointsPerTick);
}

double RunBareTrigTick() {
  double sum = 0;
  const double ratio = 60.0 / -90.0;
  for (long long i = 0; i < kPointsPerTick; ++i) {
    const double inner = bareAngle * ratio;
    sum += std::cos(bareAngle) + std::sin(bareAngle) + std::cos(inner) + std::sin(inner);
    bareAngle += 0.01;
  }
  return sum;
}

std::uint64_t RunSmoothTick() {
  static std::vector<std::uint32_t> pixels(3840u * 2160u, 0x404040);
  static PixelBuffer buffer{pixels.data(), 3840, 2160, 3840};
  static SmoothMemory memory;
  static SmoothSurface surface(buffer, memory);
  for (TrochoidCurve &curve : benchCurves.curves) {
    if (curve.stepsDone + kBenchPointsPerTick > curve.stepsPerRun) curve.Restart();
  }
  benchCurves.DrawAll(surface, 3840, 2160, kBenchPointsPerTick, SmoothCurveScale(3840, 2160));
  return memory.rasterizer.pixelsLaid;
}
