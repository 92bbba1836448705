// A real picture through GDI into a DIB section, checked pixel by pixel.
#include "figure/gdi_surface.h"

#include <gtest/gtest.h>

#include "figure/background.h"
#include "figure/curve_set.h"
#include "figure/random.h"
#include "settings/saver_settings.h"

namespace {
constexpr int kWidth = 320, kHeight = 240;

struct DibCanvas {
  HDC dc = CreateCompatibleDC(nullptr);
  std::uint32_t *pixels = nullptr;
  DibCanvas() {
    BITMAPINFO info{{sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB}};
    void *bits = nullptr;
    DeleteObject(SelectObject(dc, CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
    pixels = static_cast<std::uint32_t *>(bits);
  }
  ~DibCanvas() { DeleteDC(dc); } // the section is left to the process's end
  int Channel(int x, int y, int shift) const { return (pixels[y * kWidth + x] >> shift) & 0xFF; }
  int Brightness(int x, int y) const { return Channel(x, y, 0) + Channel(x, y, 8) + Channel(x, y, 16); }
  GdiSurface Surface() {
    GdiSurface surface(nullptr, dc);
    surface.fallbackClient = {0, 0, kWidth, kHeight};
    return surface;
  }
};
} // namespace

TEST(GdiPicture, GradientAndCurvesInPenWalkColours) {
  settings = SaverSettings();
  SetBackgroundRanges(cornerWalker, edgeWalker, centerWalker);
  DibCanvas canvas;
  GdiSurface surface = canvas.Surface();
  PaintBackground(surface);
  GdiFlush();
  const int centre = canvas.Brightness(kWidth / 2, kHeight / 2);
  EXPECT_GE(centre, 3 * 100);
  for (auto [x, y] : {std::pair{0, 0}, {kWidth - 1, 0}, {0, kHeight - 1}, {kWidth - 1, kHeight - 1}})
    EXPECT_LT(canvas.Brightness(x, y), centre / 3) << x << "," << y;

  const GdiResourceCounts before = gdiResourceCounts;
  penWalker = ColorWalker();
  SeedRandom(2024);
  CurveSet set;
  SpawnCurves(set, 4);
  for (int tick = 0; tick < 30 && !set.AllFinished(); ++tick)
    set.DrawAll(surface, kWidth, kHeight, 200);
  GdiFlush();
  // Pen channels are 255 - 10k >= 45; the background never exceeds 128.
  int curvePixels = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (canvas.Channel(x, y, 0) > 128 || canvas.Channel(x, y, 8) > 128 || canvas.Channel(x, y, 16) > 128) {
        ++curvePixels;
        for (int shift : {0, 8, 16})
          ASSERT_EQ((255 - canvas.Channel(x, y, shift)) % 10, 0) << x << "," << y;
      }
  EXPECT_GT(curvePixels, 200);
  EXPECT_GT(gdiResourceCounts.pensCreated, before.pensCreated);
  EXPECT_EQ(gdiResourceCounts.pensCreated - before.pensCreated,
            gdiResourceCounts.pensDeleted - before.pensDeleted);
}

// Also after a size change and the background's plain-pixel mapping in
// between: the surface skips only calls that would change nothing.
TEST(GdiPicture, IsotropicMappingPutsTheOriginInTheCentre) {
  DibCanvas canvas;
  GdiSurface surface = canvas.Surface();
  TrochoidCurve curve; // R 200, r -10, d 5: a ring of 185 to 195 units
  curve.DrawStep(surface, kWidth / 2, kHeight / 2, 10);
  curve.DrawStep(surface, kWidth, kHeight, 10);
  PaintBackground(surface);
  PatBlt(canvas.dc, 0, 0, kWidth, kHeight, BLACKNESS);
  curve.Restart();
  curve.DrawStep(surface, kWidth, kHeight, 700);
  GdiFlush();
  // 200 units span 120 pixels; at theta 0 the ring crosses the axis at 185 units, 111 pixels.
  int lit = -1;
  for (int x = kWidth - 1; x > kWidth / 2 && lit < 0; --x)
    if (canvas.pixels[kHeight / 2 * kWidth + x]) lit = x - kWidth / 2;
  EXPECT_NEAR(lit, 111, 1);
  EXPECT_EQ(canvas.pixels[kHeight / 2 * kWidth + kWidth / 2], 0u);
}
