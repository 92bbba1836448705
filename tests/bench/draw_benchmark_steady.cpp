// The same measurement with a steady-clock harness, for the Windows build
// (Google Benchmark is packaged for Linux only). Best of several rounds.
#include <chrono>
#include <cstdio>

#include "tests/bench/draw_workload.h"

namespace {
template <typename Tick> double BestNsPerPoint(Tick tick) {
  double best = 1e30;
  for (int round = 0; round < 15; ++round) {
    const auto start = std::chrono::steady_clock::now();
    const int ticks = 20;
    for (int i = 0; i < ticks; ++i)
      tick();
    const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
    const double ns = spent.count() / (ticks * static_cast<double>(kPointsPerTick));
    if (ns < best) best = ns;
  }
  return best;
}
volatile double keep = 0;
} // namespace

int main() {
  PrepareDrawWorkload();
  RunDrawTick(); // warm: the point buffer reaches its size
  const double drawNs = BestNsPerPoint([] { RunDrawTick(); });
  const double fineNs = BestNsPerPoint([] { RunDrawTick(true); });
  const double trigNs = BestNsPerPoint([] { keep = keep + RunBareTrigTick(); });
  std::printf("DrawAll 20x800: %.2f ns/point\nfine, 3840x2160: %.2f ns/point\n"
              "bare trig:      %.2f ns/point\nratio:          %.3f\n",
              drawNs, fineNs, trigNs, drawNs / trigNs);
  return 0;
}
