// Google Benchmark front end: ns per point for a full DrawAll tick and for
// the bare trigonometry, then their ratio.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "tests/bench/draw_workload.h"

namespace {
double drawNs = 0;
double fineNs = 0;
double trigNs = 0;

void BM_DrawAll20x800(benchmark::State &state) {
  PrepareDrawWorkload();
  for (auto _ : state)
    RunDrawTick();
  state.SetItemsProcessed(state.iterations() * kPointsPerTick);
}

void BM_DrawAllFine4K20x800(benchmark::State &state) {
  PrepareDrawWorkload();
  for (auto _ : state)
    RunDrawTick(true);
  state.SetItemsProcessed(state.iterations() * kPointsPerTick);
}

double smoothNsPerPixel = 0, smoothMsPerTick = 0;
void BM_DrawAllSmooth4K20x800(benchmark::State &state) {
  PrepareDrawWorkload();
  RunSmoothTick(); // warm
  const std::uint64_t before = RunSmoothTick();
  std::uint64_t laid = before;
  for (auto _ : state)
    laid = RunSmoothTick();
  state.counters["pixels/tick"] = double(laid - before) / double(state.iterations());
  state.SetItemsProcessed(state.iterations() * kPointsPerTick);
}

void BM_BareTrig20x800(benchmark::State &state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(RunBareTrigTick());
  state.SetItemsProcessed(state.iterations() * kPointsPerTick);
}

class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run> &runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
      const double ns =
          run.real_accumulated_time * 1e9 / static_cast<double>(run.iterations) / kPointsPerTick;
      if (run.benchmark_name().find("DrawAll20") != std::string::npos) drawNs = ns;
      if (run.benchmark_name().find("Fine4K") != std::string::npos) fineNs = ns;
      if (run.benchmark_name().find("BareTrig") != std::string::npos) trigNs = ns;
      if (run.benchmark_name().find("Smooth4K") != std::string::npos) {
        smoothMsPerTick = ns * kPointsPerTick / 1e6;
        smoothNsPerPixel = ns * kPointsPerTick / run.counters.at("pixels/tick");
      }
    }
  }
};
} // namespace

BENCHMARK(BM_DrawAll20x800)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawAllFine4K20x800)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawAllSmooth4K20x800)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareTrig20x800)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("DrawAll 20x800: %.2f ns/point\nfine, 3840x2160: %.2f ns/point\n"
              "bare trig:      %.2f ns/point\nratio:          %.3f\n",
              drawNs, fineNs, trigNs, trigNs > 0 ? drawNs / trigNs : 0.0);
  std::printf("smooth, 3840x2160: %.2f ms/tick, %.1f ns per covered pixel\n", smoothMsPerTick,
              smoothNsPerPixel);
  benchmark::Shutdown();
  return 0;
}
