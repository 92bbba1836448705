// The pen laid over a pixel in linear light, through tables both ways.
#pragma once
#include <array>
#include <cstdint>

#include "drawing/surface.h"

// 4097 steps of linear light back to sRGB: fine enough that every sRGB value
// survives the way there and back, so a pen over its own colour changes nothing.
constexpr int kLinearSteps = 4096;

struct ColourTables {
  std::array<std::uint16_t, 256> linear; // sRGB to linear light, 0 to 65535
  std::array<std::uint8_t, kLinearSteps + 1> srgb;
  ColourTables();
};
extern const ColourTables colourTables; // made before main: no check on every pixel

// An sRGB value in linear light (0 to 65535), through the table.
inline std::uint16_t LinearFromSrgb(std::uint8_t value) { return colourTables.linear[value]; }

constexpr std::uint32_t BufferPixel(ColorRef color) { // red and blue change places
  return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

// A pen in linear light, per channel of the buffer (blue first).
struct LinearInk {
  std::int32_t channel[3];
  explicit LinearInk(ColorRef pen);
};

// The pen over `share` (of 4096) of a pixel, mixed in 16-bit linear light
// times 4096 and rounded once to the 4,097 steps back. Inline: in the pixel
// loop a call costs as much as the mix.
[[gnu::always_inline]] inline std::uint32_t Mix(std::uint32_t pixel, const LinearInk &ink,
                                                std::int32_t share) {
  const std::int32_t keep = 4096 - share;
  const auto channel = [pixel, share, keep](int shift, std::int32_t inked) {
    const std::int32_t was = colourTables.linear[(pixel >> shift) & 0xFFu];
    return std::uint32_t{colourTables.srgb[(inked * share + was * keep + 32768) >> 16]} << shift;
  };
  return (pixel & 0xFF000000u) | channel(0, ink.channel[0]) | channel(8, ink.channel[1]) |
         channel(16, ink.channel[2]);
}

// A buffer pixel with the pen laid over `coverage` (0 to 1) of it.
std::uint32_t BlendPixel(std::uint32_t pixel, ColorRef pen, double coverage);
