#include "raster/blending.h"

#include <algorithm>
#include <cmath>

ColourTables::ColourTables() {
  for (int i = 0; i < 256; ++i) {
    const double s = i / 255.0;
    const double l = s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    linear[i] = static_cast<std::uint16_t>(std::lround(l * 65535));
  }
  for (int i = 0; i <= kLinearSteps; ++i) {
    const double l = double(i) / kLinearSteps;
    const double s = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
    srgb[i] = static_cast<std::uint8_t>(std::lround(std::clamp(s, 0.0, 1.0) * 255));
  }
  for (int i = 0; i < 256; ++i) // the nearest step of each value is that value
    srgb[(linear[i] + 8) >> 4] = static_cast<std::uint8_t>(i);
}
const ColourTables colourTables;

LinearInk::LinearInk(ColorRef pen) {
  const std::uint32_t color = BufferPixel(pen);
  for (int i = 0; i < 3; ++i)
    channel[i] = colourTables.linear[(color >> (8 * i)) & 0xFFu];
}

std::uint32_t BlendPixel(std::uint32_t pixel, ColorRef pen, double coverage) {
  return Mix(pixel, LinearInk(pen),
             static_cast<std::int32_t>(std::clamp(coverage, 0.0, 1.0) * 4096 + 0.5));
}
