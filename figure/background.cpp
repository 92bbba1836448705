#include "figure/background.h"

#include "settings/saver_settings.h"

void SetBackgroundRanges(ColorWalker &corner, ColorWalker &edge, ColorWalker &center) {
  // Settings hold at most 255 and 100 after Load; 64 bits keep any value defined.
  const unsigned long long brightness = settings.MaxBrightness;
  const unsigned long long weight[3] = {settings.Red, settings.Green, settings.Blue};
  int full[3];
  int half[3];
  for (int i = 0; i < 3; ++i) {
    full[i] = static_cast<int>(brightness * weight[i] / 100);
    half[i] = full[i] / 2;
  }

  int chance[3] = {0, 0, 0};
  if (settings.ChangeBackground) {
    if (settings.UseFixedFrequency) {
      for (int &c : chance)
        c = static_cast<int>(settings.ChangeFrequency);
    } else {
      unsigned long long largest = weight[0];
      if (weight[1] > largest) largest = weight[1];
      if (weight[2] > largest) largest = weight[2];
      if (largest != 0) {
        for (int i = 0; i < 3; ++i)
          chance[i] = static_cast<int>(weight[i] * 1000 / largest);
      }
    }
  }

  corner.SetUpperBounds(half[0], half[1], half[2]);
  corner.SetStepSize(20);
  // Green and blue chances crossed on purpose: the corners drift apart from
  // the edges even when both use the same weights.
  corner.SetChangeChances(chance[0], chance[2], chance[1]);
  corner.SetColor(0, 0, 0);

  edge.SetUpperBounds(half[0], half[1], half[2]);
  edge.SetStepSize(20);
  edge.SetChangeChances(chance[0], chance[1], chance[2]);
  edge.SetColor(half[0], half[1], half[2]);

  center.SetLowerBounds(half[0], half[1], half[2]);
  center.SetUpperBounds(full[0], full[1], full[2]);
  center.SetStepSize(20);
  center.SetChangeChances(chance[0], chance[1], chance[2]);
  center.SetColor(full[0], full[1], full[2]);
}

namespace {

MeshVertex Vertex(int x, int y, ColorRef color) {
  return {x,
          y,
          static_cast<std::uint16_t>((color & 0xFFu) << 8),
          static_cast<std::uint16_t>(((color >> 8) & 0xFFu) << 8),
          static_cast<std::uint16_t>(((color >> 16) & 0xFFu) << 8),
          0};
}

// Each border neighbour pair, clockwise from the top-left corner, with the centre.
constexpr MeshTriangle kTriangles[8] = {{0, 1, 8}, {1, 2, 8}, {2, 3, 8}, {3, 4, 8},
                                        {4, 5, 8}, {5, 6, 8}, {6, 7, 8}, {7, 0, 8}};

} // namespace

void PaintBackground(Surface &surface, bool step) {
  // The saver's DC is private to its window, so the curves' isotropic
  // mapping is still in force here.
  surface.SetMapMode(kMapModeText);
  surface.SetViewportOrgEx(0, 0);
  const SurfaceRect rect = surface.GetClientRect();
  surface.Rectangle(rect.left, rect.top, rect.right, rect.bottom);

  if (step) {
    cornerWalker.Step();
    edgeWalker.Step();
    centerWalker.Step();
  }
  const ColorRef corner = cornerWalker.GetColor();
  const ColorRef edge = edgeWalker.GetColor();
  const ColorRef center = centerWalker.GetColor();

  const int midX = rect.right / 2;
  const int midY = rect.bottom / 2;
  const MeshVertex vertices[9] = {Vertex(rect.left, rect.top, corner),
                                  Vertex(midX, rect.top, edge),
                                  Vertex(rect.right, rect.top, corner),
                                  Vertex(rect.right, midY, edge),
                                  Vertex(rect.right, rect.bottom, corner),
                                  Vertex(midX, rect.bottom, edge),
                                  Vertex(rect.left, rect.bottom, corner),
                                  Vertex(rect.left, midY, edge),
                                  Vertex(midX, midY, center)};
  surface.GradientFill(vertices, 9, kTriangles, 8);
}
