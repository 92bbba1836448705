// Built natively and for Windows; under Wine the smooth background is also
// checked against GDI's own gradient, pixel by pixel.
#include "raster/smooth_fill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "drawing/smooth_surface.h"
#include "figure/background.h"
#ifdef _WIN32
#include "drawing/gdi_surface.h"
#endif

constexpr std::uint32_t kUntouched = 0xDEADBEEFu;

// Every pixel inside the clip takes the mesh, none outside it; triangles that
// name a vertex past the count, or have no area, are left out.
TEST(SmoothFill, FillsEachPixelInsideTheClip) {
  const MeshVertex white{0, 0, 0xFF00, 0xFF00, 0xFF00, 0};
  const std::tuple<int, int, SurfaceRect, std::uint32_t> cases[] = {
      {37, 23, {0, 0, 37, 23}, 9}, // odd sizes
      {64, 40, {5, 3, 50, 39}, 9}, // a clip inside
      {8, 8, {-4, -4, 20, 20}, 9}, // a clip past the buffer
      {16, 16, {0, 0, 16, 16}, 8}, // the centre vertex missing: nothing filled
  };
  for (const auto &[width, height, clip, vertexCount] : cases) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, kUntouched);
    PixelBuffer buffer{pixels.data(), width, height, width};
    // Clockwise round the border by halves from the top-left corner, then the centre.
    const int across[9] = {0, 1, 2, 2, 2, 1, 0, 0, 1}, down[9] = {0, 0, 0, 1, 2, 2, 2, 1, 1};
    std::vector<MeshVertex> vertices(9, white);
    std::vector<StrokePoint> places;
    for (int i = 0; i < 9; ++i)
      places.push_back({double(vertices[i].x = across[i] * width / 2),
                        double(vertices[i].y = down[i] * height / 2)});
    const MeshTriangle triangles[] = {{0, 1, 8}, {1, 2, 8}, {2, 3, 8}, {3, 4, 8}, {4, 5, 8},
                                      {5, 6, 8}, {6, 7, 8}, {7, 0, 8}, {0, 2, 1}};
    FillMesh(buffer, clip, places.data(), vertices.data(), vertexCount, triangles, 9);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const bool inside = vertexCount == 9 && x >= clip.left && x < clip.right && y >= clip.top &&
                            y < clip.bottom;
        ASSERT_EQ(pixels[static_cast<std::size_t>(y) * width + x], inside ? 0xFFFFFFu : kUntouched)
            << width << "x" << height << " at " << x << "," << y;
      }
  }
}

#ifdef _WIN32
// The background painted smooth is GDI's gradient within one step of each
// channel, at odd and large sizes and in colours of every walk.
TEST(SmoothFill, PaintsTheBackgroundAsGdiDoes) {
  const std::pair<int, int> sizes[] = {{37, 23}, {640, 480}, {3840, 2160}};
  for (const auto &[width, height] : sizes) {
    const BITMAPINFO info{{sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0},
                          {}};
    void *bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(bitmap && bits && SelectObject(dc, bitmap));
    GdiSurface gdi(nullptr, dc);
    gdi.fallbackClient = {0, 0, width, height};
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, kUntouched);
    PixelBuffer buffer{pixels.data(), width, height, width};
    SmoothMemory memory;
    memory.dirty.Resize(width, height);
    SmoothSurface smooth(buffer, memory);
    SetBackgroundRanges(cornerWalker, edgeWalker, centerWalker);
    int worst = 0;
    for (int picture = 0; picture < 5; ++picture) {
      PaintBackground(gdi);
      PaintBackground(smooth, false); // the same colours
      GdiFlush();
      const auto *painted = static_cast<const std::uint32_t *>(bits);
      for (std::size_t i = 0; i < pixels.size(); ++i)
        for (int shift : {0, 8, 16})
          worst = std::max(worst, std::abs(int((painted[i] >> shift) & 0xFF) -
                                           int((pixels[i] >> shift) & 0xFF)));
    }
    EXPECT_LE(worst, 1) << width << "x" << height;
    DeleteDC(dc);
    DeleteObject(bitmap);
  }
}
#endif
