// The smooth strokes' CPU time per covered pixel and per segment, against
// the bare linear-light blend of the same pixels in the same order: 20
// curves of 800 points 0.3 to 2 px apart on a 3840 x 2160 buffer, widths
// 1, 1.5 and 2, with the caches hot (the same tick again) and cold (the
// caches flushed before each tick).
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "raster/smooth_stroke.h"

namespace {
constexpr int kWidth = 3840, kHeight = 2160, kCurves = 20, kPoints = 800, kTicks = 8;

double CpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Wandering curves that turn gently, now and then sharply, and keep inside.
std::vector<std::vector<StrokePoint>> MakeCurves(unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> unit(0, 1);
  std::vector<std::vector<StrokePoint>> curves(kCurves);
  for (auto &curve : curves) {
    StrokePoint p{200 + unit(random) * (kWidth - 400), 200 + unit(random) * (kHeight - 400)};
    double heading = unit(random) * 6.283, turn = 0;
    for (int i = 0; i < kPoints; ++i) {
      curve.push_back(p);
      turn = std::clamp(turn + (unit(random) - 0.5) * 0.04, -0.25, 0.25);
      heading += turn + (unit(random) < 0.01 ? 2.5 : 0);
      const double step = 0.3 + 1.7 * unit(random);
      p = {std::clamp(p.x + step * std::cos(heading), 4.0, kWidth - 4.0),
           std::clamp(p.y + step * std::sin(heading), 4.0, kHeight - 4.0)};
    }
  }
  return curves;
}

std::vector<char> flush(64 << 20);
void FlushCaches() {
  for (std::size_t i = 0; i < flush.size(); i += 64)
    flush[i] = static_cast<char>(flush[i] + 1);
}

struct Figures {
  double strokeSeconds = 0, blendSeconds = 0; // over kTicks ticks each
  std::uint64_t pixels = 0, segments = 0;     // per tick: laid, stroked
  std::size_t blended = 0;                    // per tick
};

void Measure(double width, bool cold, std::vector<std::uint32_t> &pixels, Figures &f) {
  PixelBuffer buffer{pixels.data(), kWidth, kHeight, kWidth};
  StrokeRasterizer rasterizer;
  const auto curves = MakeCurves(7);
  std::vector<std::uint32_t> copy;
  std::vector<std::uint32_t *> laid; // in the order laid
  for (int tick = 0; tick <= kTicks; ++tick) {
    std::fill(pixels.begin(), pixels.end(), 0x00404040u + std::uint32_t(tick));
    if (tick == 1) copy = pixels;
    if (cold) FlushCaches();
    const std::uint64_t before = rasterizer.pixelsLaid;
    const double start = CpuSeconds();
    for (int c = 0; c < kCurves; ++c) {
      rasterizer.Stroke(buffer, {0, 0, kWidth, kHeight}, curves[c].data(), curves[c].size(), width,
                        0x3080F0u + std::uint32_t(c));
      if (tick == 1) // the pixels this stroke changed, tile by tile as laid
        for (const SurfaceRect &r : rasterizer.written)
          for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
              if (pixels[std::size_t(y) * kWidth + x] != copy[std::size_t(y) * kWidth + x]) {
                laid.push_back(&pixels[std::size_t(y) * kWidth + x]);
                copy[std::size_t(y) * kWidth + x] = pixels[std::size_t(y) * kWidth + x];
              }
    }
    if (tick < 2) continue; // warm, and the tick that found the pixels
    f.strokeSeconds += CpuSeconds() - start;
    f.pixels = rasterizer.pixelsLaid - before;
  }
  f.segments = kCurves * (kPoints - 1);
  f.blended = laid.size();
  // The bare blend: read, three lookups in, the mix, three back, write.
  const LinearInk ink(0x3080F0u);
  for (int tick = 0; tick < kTicks; ++tick) {
    if (cold) FlushCaches();
    const double start = CpuSeconds();
    std::int32_t share = 1000;
    for (std::uint32_t *p : laid)
      *p = Mix(*p, ink, share = (share + 1237) & 4095);
    f.blendSeconds += CpuSeconds() - start;
  }
}
} // namespace

int main() {
  std::vector<std::uint32_t> pixels(std::size_t(kWidth) * kHeight);
  std::printf("smooth strokes, %d curves of %d points 0.3 to 2 px apart, %dx%d\n", kCurves, kPoints,
              kWidth, kHeight);
  std::printf("%-6s %-5s %10s %12s %12s %14s %7s\n", "width", "cache", "px/tick", "ns/pixel",
              "ns/segment", "blend ns/px", "ratio");
  for (bool cold : {false, true})
    for (double width : {1.0, 1.5, 2.0}) {
      Figures f;
      Measure(width, cold, pixels, f);
      const double perPixel = f.strokeSeconds * 1e9 / (double(f.pixels) * kTicks);
      const double blend = f.blendSeconds * 1e9 / (double(f.blended) * kTicks);
      std::printf("%-6.1f %-5s %10llu %12.1f %12.1f %14.1f %7.2f\n", width, cold ? "cold" : "hot",
                  static_cast<unsigned long long>(f.pixels), perPixel,
                  f.strokeSeconds * 1e9 / (double(f.segments) * kTicks), blend, perPixel / blend);
    }
  return 0;
}
