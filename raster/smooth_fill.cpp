#include "raster/smooth_fill.h"

#include <algorithm>
#include <cmath>

namespace {
// Rounding may put a corner that lies on an edge shared by two triangles a
// hair outside both: the spans are widened by this much, so no pixel is
// missed (one laid twice takes about the same colour either way).
constexpr double kOnEdge = 1e-7;
constexpr double kFixed = 65536; // colour values in 16.16 fixed point, in 8-bit units

int Clamped(double v) { return static_cast<int>(std::clamp(v, -1e9, 1e9)); }

SurfaceRect Within(const PixelBuffer &buffer, SurfaceRect inside) {
  return {std::max(inside.left, 0), std::max(inside.top, 0), std::min(inside.right, buffer.width),
          std::min(inside.bottom, buffer.height)};
}

void FillTriangle(PixelBuffer &buffer, SurfaceRect in, const StrokePoint (&p)[3],
                  const MeshVertex *(&v)[3]) {
  const double det = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[2].x - p[0].x) * (p[1].y - p[0].y);
  if (!(std::fabs(det) > 1e-12)) return;
  // Each channel is a plane: its value at p0 and its change per pixel across and down.
  double base[3], across[3], down[3], low[3], high[3];
  for (int c = 0; c < 3; ++c) {
    const auto value = [&](int k) {
      return (c == 0 ? v[k]->red : c == 1 ? v[k]->green : v[k]->blue) / 256.0;
    };
    const double c0 = value(0), d1 = value(1) - c0, d2 = value(2) - c0;
    base[c] = c0;
    across[c] = (d1 * (p[2].y - p[0].y) - d2 * (p[1].y - p[0].y)) / det;
    down[c] = (d2 * (p[1].x - p[0].x) - d1 * (p[2].x - p[0].x)) / det;
    low[c] = std::min({c0, value(1), value(2)});
    high[c] = std::max({c0, value(1), value(2)});
  }
  const double top = std::min({p[0].y, p[1].y, p[2].y}),
               bottom = std::max({p[0].y, p[1].y, p[2].y});
  const int firstRow = std::max(in.top, Clamped(std::ceil(top)));
  const int lastRow = std::min(in.bottom - 1, Clamped(std::floor(bottom)));
  const double side = det > 0 ? 1 : -1;
  for (int row = firstRow; row <= lastRow; ++row) {
    const double y = row;
    double left = in.left, right = in.right - 1;
    for (int e = 0; e < 3; ++e) { // inside each edge: side * cross(b - a, corner - a) >= 0
      const StrokePoint a = p[e], b = p[(e + 1) % 3];
      const double dy = side * (b.y - a.y), k = side * ((b.x - a.x) * (y - a.y)) + dy * a.x;
      if (dy == 0) {
        if (k < 0) left = right + 1;
      } else if (dy > 0) {
        right = std::min(right, k / dy + kOnEdge);
      } else {
        left = std::max(left, k / dy - kOnEdge);
      }
    }
    if (left > right) continue;
    const int first = Clamped(std::ceil(left)), last = Clamped(std::floor(right));
    if (first > last) continue;
    // The colours at the span's two ends (kept within the triangle's against
    // rounding), and evenly between.
    std::int32_t value[3], step[3];
    for (int c = 0; c < 3; ++c) {
      const auto at = [&](int x) {
        const double s = base[c] + across[c] * (x - p[0].x) + down[c] * (row - p[0].y);
        return std::clamp(s, low[c], high[c]) * kFixed;
      };
      const double from = at(first), to = at(last);
      value[c] = static_cast<std::int32_t>(from);
      step[c] = last > first ? static_cast<std::int32_t>((to - from) / (last - first)) : 0;
    }
    std::uint32_t *pixel = buffer.pixels + row * buffer.stride + first;
    // Buffer pixels hold blue lowest: the mesh's red goes to bits 16-23.
    for (int x = first; x <= last; ++x, ++pixel) {
      *pixel = (static_cast<std::uint32_t>(value[0] >> 16) << 16) |
               (static_cast<std::uint32_t>(value[1] >> 16) << 8) |
               static_cast<std::uint32_t>(value[2] >> 16);
      value[0] += step[0], value[1] += step[1], value[2] += step[2];
    }
  }
}
} // namespace

void FillMesh(PixelBuffer &buffer, SurfaceRect inside, const StrokePoint *corners,
              const MeshVertex *vertices, std::uint32_t vertexCount, const MeshTriangle *triangles,
              std::uint32_t triangleCount) {
  const SurfaceRect in = Within(buffer, inside);
  if (!buffer.pixels || in.left >= in.right || in.top >= in.bottom) return;
  for (std::uint32_t t = 0; t < triangleCount; ++t) {
    const std::uint32_t index[3] = {triangles[t].vertex1, triangles[t].vertex2,
                                    triangles[t].vertex3};
    if (std::max({index[0], index[1], index[2]}) >= vertexCount) continue;
    const StrokePoint p[3] = {corners[index[0]], corners[index[1]], corners[index[2]]};
    if (!std::isfinite(p[0].x + p[0].y + p[1].x + p[1].y + p[2].x + p[2].y)) continue;
    const MeshVertex *v[3] = {&vertices[index[0]], &vertices[index[1]], &vertices[index[2]]};
    FillTriangle(buffer, in, p, v);
  }
}

void FillBox(PixelBuffer &buffer, SurfaceRect inside, SurfaceRect box, std::uint32_t pixel) {
  const SurfaceRect in = Within(buffer, inside);
  const int left = std::max(in.left, box.left), right = std::min(in.right, box.right);
  if (!buffer.pixels || left >= right) return;
  for (int row = std::max(in.top, box.top); row < std::min(in.bottom, box.bottom); ++row)
    std::fill_n(buffer.pixels + row * buffer.stride + left, right - left, pixel);
}
