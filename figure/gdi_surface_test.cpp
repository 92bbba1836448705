// A real picture through GDI into a DIB section, checked pixel by pixel.
#include "figure/gdi_surface.h"

#include <gtest/gtest.h>

#include <set>

#include "figure/background.h"
#include "figure/curve_set.h"
#include "figure/random.h"
#include "settings/saver_settings.h"

namespace {
constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct DibCanvas {
  HDC dc = CreateCompatibleDC(nullptr);
  std::uint32_t *pixels = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;

  DibCanvas() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels = static_cast<std::uint32_t *>(bits);
    previous = SelectObject(dc, bitmap);
  }
  ~DibCanvas() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  // DIB pixels are 0x00RRGGBB; return a COLORREF (0x00BBGGRR).
  ColorRef At(int x, int y) const {
    GdiFlush();
    const std::uint32_t p = pixels[y * kWidth + x];
    return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
  }
  static int Brightness(ColorRef c) { return (c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF); }
};

GdiSurface SurfaceOn(DibCanvas &canvas) {
  GdiSurface surface(nullptr, canvas.dc);
  surface.fallbackClient = {0, 0, kWidth, kHeight};
  return surface;
}
} // namespace

TEST(GdiPicture, DefaultGradientIsBrightestInTheCentre) {
  settings = SaverSettings();
  SetBackgroundRanges(cornerWalker, edgeWalker, centerWalker);
  DibCanvas canvas;
  GdiSurface surface = SurfaceOn(canvas);
  PaintBackground(surface);
  const int centre = DibCanvas::Brightness(canvas.At(kWidth / 2, kHeight / 2));
  EXPECT_GE(centre, 3 * 100); // (108..128) per channel
  for (auto [x, y] :
       {std::pair{0, 0}, {kWidth - 1, 0}, {0, kHeight - 1}, {kWidth - 1, kHeight - 1}})
    EXPECT_LT(DibCanvas::Brightness(canvas.At(x, y)), centre / 3) << x << "," << y;
}

TEST(GdiPicture, CurvesCarryPenColoursOfTheWalk) {
  settings = SaverSettings();
  SetBackgroundRanges(cornerWalker, edgeWalker, centerWalker);
  DibCanvas canvas;
  GdiSurface surface = SurfaceOn(canvas);
  PaintBackground(surface);
  const long pensBefore = gdiResourceCounts.pensCreated;
  const long deletedBefore = gdiResourceCounts.pensDeleted;

  penWalker = ColorWalker();
  SeedRandom(2024);
  CurveSet set;
  SpawnCurves(set, 4);
  for (int tick = 0; tick < 30 && !set.AllFinished(); ++tick)
    set.DrawAll(surface, kWidth, kHeight, 200);

  // Pen colours have channels 255 - 10k >= 45; the background never exceeds 128.
  int curvePixels = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const ColorRef c = canvas.At(x, y);
      const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
      if (r > 128 || g > 128 || b > 128) {
        ++curvePixels;
        for (int channel : {r, g, b}) {
          ASSERT_GE(channel, 45) << x << "," << y;
          ASSERT_EQ((255 - channel) % 10, 0) << x << "," << y;
        }
      }
    }
  }
  EXPECT_GT(curvePixels, 200);
  // One pen per curve per tick, each deleted again.
  EXPECT_GT(gdiResourceCounts.pensCreated, pensBefore);
  EXPECT_EQ(gdiResourceCounts.pensCreated - pensBefore,
            gdiResourceCounts.pensDeleted - deletedBefore);
}

// Also after the background's plain-pixel mapping and a size change in
// between: the surface skips only calls that would change nothing.
TEST(GdiPicture, IsotropicMappingPutsTheOriginInTheCentre) {
  DibCanvas canvas;
  GdiSurface surface = SurfaceOn(canvas);
  TrochoidCurve curve; // R 200, r -10, d 5: a ring of radius 185..195 logical units
  penWalker = ColorWalker();
  curve.DrawStep(surface, kWidth / 2, kHeight / 2, 10);
  curve.DrawStep(surface, kWidth, kHeight, 10);
  settings = SaverSettings();
  SetBackgroundRanges(cornerWalker, edgeWalker, centerWalker);
  PaintBackground(surface);
  PatBlt(canvas.dc, 0, 0, kWidth, kHeight, BLACKNESS);
  curve.Restart();
  curve.DrawStep(surface, kWidth, kHeight, 700);
  // 200 units span min(160, 120) = 120 pixels; at theta 0 the curve crosses the
  // axis at 190 - 5 = 185 units, 111 pixels right of the centre.
  int litOnAxis = -1;
  for (int x = kWidth - 1; x > kWidth / 2; --x) {
    if (canvas.At(x, kHeight / 2) != 0) {
      litOnAxis = x - kWidth / 2;
      break;
    }
  }
  EXPECT_NEAR(litOnAxis, 111, 1);
  EXPECT_EQ(canvas.At(kWidth / 2, kHeight / 2), 0u); // nothing drawn at the centre
}
