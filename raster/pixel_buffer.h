// The pixel buffer the smooth picture is drawn into, and places in it.
#pragma once
#include <cstddef>
#include <cstdint>

// Rows of 32-bit pixels as a top-down DIB section holds them: blue in bits
// 0-7, green 8-15, red 16-23.
struct PixelBuffer {
  std::uint32_t *pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0; // pixels from one row to the next
};

// A place in device pixels: pixel (i, j) is the square [i, i+1) x [j, j+1).
struct StrokePoint {
  double x;
  double y;
};

// floor and ceil for values an int holds (callers bound them), without a
// library call in the pixel loops.
inline int FloorInt(double v) {
  const int i = static_cast<int>(v);
  return i - (v < i);
}
inline int CeilInt(double v) {
  const int i = static_cast<int>(v);
  return i + (v > i);
}
