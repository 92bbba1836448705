#include "figure/smooth_surface.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "figure/trochoid_curve.h"

namespace {
constexpr std::size_t kMostTails = 256; // curves times monitors, with room
} // namespace

int SmoothCurveScale(int width, int height) { return 4 * FineCurveScale(width, height); }

void DirtyTiles::Resize(int width, int height) {
  columns = std::max(0, (width + kTile - 1) / kTile);
  rows = std::max(0, (height + kTile - 1) / kTile);
  marks.assign(static_cast<std::size_t>(columns) * rows, 0);
  any = false;
}

void DirtyTiles::Mark(SurfaceRect rect) {
  const int left = std::max(0, rect.left / kTile), top = std::max(0, rect.top / kTile);
  const int right = std::min(columns - 1, (rect.right - 1) / kTile);
  const int bottom = std::min(rows - 1, (rect.bottom - 1) / kTile);
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x)
      marks[static_cast<std::size_t>(y) * columns + x] = 1, any = true;
}

void DirtyTiles::Clear() {
  std::fill(marks.begin(), marks.end(), 0);
  any = false;
}

std::vector<SurfaceRect> DirtyTiles::Runs(int width, int height) const {
  std::vector<SurfaceRect> runs;
  if (!any) return runs;
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < columns; ++x) {
      if (!marks[static_cast<std::size_t>(y) * columns + x]) continue;
      const int start = x;
      while (x + 1 < columns && marks[static_cast<std::size_t>(y) * columns + x + 1])
        ++x;
      SurfaceRect run{start * kTile, y * kTile, std::min(width, (x + 1) * kTile),
                      std::min(height, (y + 1) * kTile)};
      // A run just below one of the same columns makes one rectangle with it.
      const auto above = std::find_if(runs.begin(), runs.end(), [&](const SurfaceRect &r) {
        return r.left == run.left && r.right == run.right && r.bottom == run.top;
      });
      if (above != runs.end())
        above->bottom = run.bottom;
      else
        runs.push_back(run);
    }
  }
  return runs;
}

SmoothSurface::SmoothSurface(PixelBuffer &buffer_, SmoothMemory &memory_, Surface *background_)
    : buffer(buffer_), memory(memory_),
      background(background_), clip{0, 0, buffer_.width, buffer_.height} {}

SurfaceObject SmoothSurface::SelectObject(SurfaceObject object) {
  if (object & kPenTag) pen = static_cast<ColorRef>(object & 0xFFFFFFFFu);
  return std::exchange(selected, object);
}

StrokePoint SmoothSurface::ToDevice(SurfacePoint p) const {
  double sx = 1, sy = 1;
  const SurfacePoint w = mapping.windowExtent, v = mapping.viewportExtent;
  if (mapping.mode != kMapModeText && w.x != 0 && w.y != 0) {
    sx = double(v.x) / w.x;
    sy = double(v.y) / w.y;
    if (mapping.mode == kMapModeIsotropic) { // square pixels: the smaller scale on both axes
      const double s = std::min(std::fabs(sx), std::fabs(sy));
      sx = sx < 0 ? -s : s;
      sy = sy < 0 ? -s : s;
    }
  }
  // GDI lights the pixel whose corner is the device point: its centre is half a pixel on.
  return {mapping.viewportOrigin.x + p.x * sx + 0.5, mapping.viewportOrigin.y + p.y * sy + 0.5};
}

void SmoothSurface::PolylineTo(const SurfacePoint *points, std::uint32_t count) {
  if (count == 0) return;
  std::vector<StrokePoint> &stroke = memory.stroke;
  stroke.clear();
  stroke.push_back(ToDevice(position));
  for (std::uint32_t i = 0; i < count; ++i)
    stroke.push_back(ToDevice(points[i]));
  position = points[count - 1];
  // The curve's last tick ended where this one starts: continue its stroke.
  const StrokePoint start = stroke.front();
  auto tail =
      std::find_if(memory.tails.begin(), memory.tails.end(), [&](const SmoothMemory::Tail &t) {
        return t.width == lineWidth && t.end.point.x == start.x && t.end.point.y == start.y;
      });
  const SurfaceRect changed =
      memory.rasterizer.Stroke(buffer, clip, stroke.data(), stroke.size(), lineWidth, pen,
                               tail != memory.tails.end() ? &tail->end : nullptr, &memory.ending);
  if (changed.right <= changed.left) return; // nothing laid: the tail stays as it was
  // The changed tiles segment by segment: a tick's stroke winds across much
  // of the screen, its bounding box would be most of it.
  const double reach = lineWidth / 2 + 1;
  for (std::size_t i = 0; i + 1 < stroke.size(); ++i) {
    const StrokePoint a = stroke[i], b = stroke[i + 1];
    const auto edge = [&](double v, int low, int high) {
      return static_cast<int>(std::clamp(std::floor(v), double(low), double(high)));
    };
    memory.dirty.Mark({edge(std::min(a.x, b.x) - reach, changed.left, changed.right),
                       edge(std::min(a.y, b.y) - reach, changed.top, changed.bottom),
                       edge(std::max(a.x, b.x) + reach + 1, changed.left, changed.right),
                       edge(std::max(a.y, b.y) + reach + 1, changed.top, changed.bottom)});
  }
  if (tail == memory.tails.end()) {
    if (memory.tails.size() >= kMostTails) memory.tails.erase(memory.tails.begin());
    memory.tails.push_back({{}, lineWidth});
    tail = memory.tails.end() - 1;
  }
  std::swap(tail->end, memory.ending);
}

void SmoothSurface::SyncBackgroundMapping() {
  background->SetMapMode(mapping.mode);
  if (mapping.windowExtentSet)
    background->SetWindowExtEx(mapping.windowExtent.x, mapping.windowExtent.y);
  if (mapping.viewportExtentSet)
    background->SetViewportExtEx(mapping.viewportExtent.x, mapping.viewportExtent.y);
  background->SetViewportOrgEx(mapping.viewportOrigin.x, mapping.viewportOrigin.y);
}

void SmoothSurface::Rectangle(int left, int top, int right, int bottom) {
  memory.Forget();
  memory.dirty.Mark({0, 0, buffer.width, buffer.height});
  if (!background) return;
  SyncBackgroundMapping();
  background->Rectangle(left, top, right, bottom);
}

void SmoothSurface::GradientFill(const MeshVertex *vertices, std::uint32_t vertexCount,
                                 const MeshTriangle *triangles, std::uint32_t triangleCount) {
  memory.Forget();
  memory.painted = memory.newBackground = true;
  memory.dirty.Mark({0, 0, buffer.width, buffer.height});
  if (!background) return;
  SyncBackgroundMapping();
  background->GradientFill(vertices, vertexCount, triangles, triangleCount);
}

void SmoothSurface::SelectClipRect(const SurfaceRect *rect) {
  clip = rect ? *rect : SurfaceRect{0, 0, buffer.width, buffer.height};
  if (background) background->SelectClipRect(rect);
}
