#include "drawing/smooth_surface.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "raster/smooth_fill.h"

namespace {
constexpr std::size_t kMostTails = 256; // curves times monitors, with room
} // namespace

void DirtyTiles::Resize(int width, int height) {
  columns = std::max(0, (width + kTile - 1) / kTile);
  rows = std::max(0, (height + kTile - 1) / kTile);
  marks.assign(static_cast<std::size_t>(columns) * rows, Bounds{});
  any = false;
  marked = 0;
}

void DirtyTiles::Mark(SurfaceRect rect) {
  if (rect.right <= rect.left || rect.bottom <= rect.top) return;
  const int left = std::max(0, rect.left / kTile), top = std::max(0, rect.top / kTile);
  const int right = std::min(columns - 1, (rect.right - 1) / kTile);
  const int bottom = std::min(rows - 1, (rect.bottom - 1) / kTile);
  for (int y = top; y <= bottom; ++y) {
    const int y0 = y * kTile;
    const auto up = static_cast<std::uint8_t>(std::max(rect.top - y0, 0));
    const auto down = static_cast<std::uint8_t>(std::min(rect.bottom - y0, kTile));
    for (int x = left; x <= right; ++x) {
      const int x0 = x * kTile;
      const auto from = static_cast<std::uint8_t>(std::max(rect.left - x0, 0));
      const auto to = static_cast<std::uint8_t>(std::min(rect.right - x0, kTile));
      Bounds &b = marks[static_cast<std::size_t>(y) * columns + x];
      marked += b.right == 0;
      b = b.right == 0 ? Bounds{from, up, to, down}
                       : Bounds{std::min(b.left, from), std::min(b.top, up), std::max(b.right, to),
                                std::max(b.bottom, down)};
      any = true;
    }
  }
}

void DirtyTiles::Clear() {
  std::fill(marks.begin(), marks.end(), Bounds{});
  any = false;
  marked = 0;
}

std::vector<SurfaceRect> DirtyTiles::Runs(int width, int height) const {
  std::vector<SurfaceRect> runs;
  if (!any) return runs;
  struct Span { // the tiles a rectangle of runs came from
    int first, last, row;
  };
  std::vector<Span> spans;
  const auto at = [&](int x, int y) -> const Bounds & {
    return marks[static_cast<std::size_t>(y) * columns + x];
  };
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < columns; ++x) {
      if (at(x, y).right == 0) continue;
      const int start = x;
      int up = at(x, y).top, down = at(x, y).bottom;
      while (x + 1 < columns && at(x + 1, y).right != 0) {
        ++x;
        up = std::min<int>(up, at(x, y).top), down = std::max<int>(down, at(x, y).bottom);
      }
      const SurfaceRect run{start * kTile + at(start, y).left, y * kTile + up,
                            std::min(width, x * kTile + at(x, y).right),
                            std::min(height, y * kTile + down)};
      // A run just below one of the same tiles makes one rectangle with it.
      const auto above = std::find_if(spans.begin(), spans.end(), [&](const Span &s) {
        return s.first == start && s.last == x && s.row == y - 1;
      });
      if (above != spans.end()) {
        SurfaceRect &r = runs[static_cast<std::size_t>(above - spans.begin())];
        r = {std::min(r.left, run.left), r.top, std::max(r.right, run.right), run.bottom};
        above->row = y;
      } else {
        runs.push_back(run);
        spans.push_back({start, x, y});
      }
    }
  }
  return runs;
}

SmoothSurface::SmoothSurface(PixelBuffer &buffer_, SmoothMemory &memory_)
    : buffer(buffer_), memory(memory_), clip{0, 0, buffer_.width, buffer_.height} {}

SurfaceObject SmoothSurface::SelectObject(SurfaceObject object) {
  if (object & kPenTag) pen = static_cast<ColorRef>(object & 0xFFFFFFFFu);
  return std::exchange(selected, object);
}

StrokePoint SmoothSurface::DevicePlace(SurfacePoint p) const {
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
  return {mapping.viewportOrigin.x + p.x * sx, mapping.viewportOrigin.y + p.y * sy};
}

StrokePoint SmoothSurface::ToDevice(SurfacePoint p) const {
  const StrokePoint place = DevicePlace(p);
  return {place.x + 0.5, place.y + 0.5};
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
  // The changed tiles as the stroke reports them, small tile by small tile:
  // a tick's stroke winds across much of the screen, its bounding box would
  // be most of it. Those in one dirty tile are gathered and marked once.
  const auto tileOf = [](int v) { return v / DirtyTiles::kTile; };
  SurfaceRect gathered{0, 0, 0, 0};
  for (const SurfaceRect &piece : memory.rasterizer.written) {
    const SurfaceRect both{std::min(gathered.left, piece.left), std::min(gathered.top, piece.top),
                           std::max(gathered.right, piece.right),
                           std::max(gathered.bottom, piece.bottom)};
    if (gathered.right > gathered.left && tileOf(both.left) == tileOf(both.right - 1) &&
        tileOf(both.top) == tileOf(both.bottom - 1)) {
      gathered = both;
      continue;
    }
    memory.dirty.Mark(gathered);
    gathered = piece;
  }
  memory.dirty.Mark(gathered);
  if (tail == memory.tails.end()) {
    if (memory.tails.size() >= kMostTails) memory.tails.erase(memory.tails.begin());
    memory.tails.push_back({{}, lineWidth});
    tail = memory.tails.end() - 1;
  }
  std::swap(tail->end, memory.ending);
}

void SmoothSurface::Rectangle(int left, int top, int right, int bottom) {
  memory.Forget();
  memory.dirty.Mark({0, 0, buffer.width, buffer.height});
  const StrokePoint a = DevicePlace({left, top}), b = DevicePlace({right, bottom});
  const auto at = [](double v) { return static_cast<int>(std::lround(std::clamp(v, -1e9, 1e9))); };
  const SurfaceRect box{at(std::min(a.x, b.x)), at(std::min(a.y, b.y)), at(std::max(a.x, b.x)),
                        at(std::max(a.y, b.y))};
  // As GDI draws it: outlined in the pen, filled with a device context's own
  // white brush. Each pixel is written once: the box is the whole screen.
  const std::uint32_t outline = BufferPixel(pen);
  FillBox(buffer, clip, {box.left, box.top, box.right, box.top + 1}, outline);
  FillBox(buffer, clip, {box.left, box.bottom - 1, box.right, box.bottom}, outline);
  FillBox(buffer, clip, {box.left, box.top + 1, box.left + 1, box.bottom - 1}, outline);
  FillBox(buffer, clip, {box.right - 1, box.top + 1, box.right, box.bottom - 1}, outline);
  FillBox(buffer, clip, {box.left + 1, box.top + 1, box.right - 1, box.bottom - 1}, 0xFFFFFFu);
}

void SmoothSurface::GradientFill(const MeshVertex *vertices, std::uint32_t vertexCount,
                                 const MeshTriangle *triangles, std::uint32_t triangleCount) {
  memory.Forget();
  memory.painted = memory.newBackground = true;
  memory.dirty.Mark({0, 0, buffer.width, buffer.height});
  corners.clear();
  for (std::uint32_t i = 0; i < vertexCount; ++i)
    corners.push_back(DevicePlace({vertices[i].x, vertices[i].y}));
  FillMesh(buffer, clip, corners.data(), vertices, vertexCount, triangles, triangleCount);
}

void SmoothSurface::SelectClipRect(const SurfaceRect *rect) {
  clip = rect ? *rect : SurfaceRect{0, 0, buffer.width, buffer.height};
}
