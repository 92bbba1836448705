// The background of a smooth picture, painted by our own code straight into
// its pixel buffer: GDI's gradient on a 4K buffer costs more than all the
// curves drawn in the second it stays up.
#pragma once
#include "drawing/surface.h"
#include "raster/pixel_buffer.h"

// Fills the mesh's triangles, the corners given in device pixels. As GDI
// reckons a pixel, by its top-left corner: a pixel whose corner lies in a
// triangle (its edges included) takes the colour the triangle has there.
// Triangles naming a vertex past vertexCount, or with no area, are left out.
// Nothing outside `inside` and the buffer is touched.
void FillMesh(PixelBuffer &buffer, SurfaceRect inside, const StrokePoint *corners,
              const MeshVertex *vertices, std::uint32_t vertexCount, const MeshTriangle *triangles,
              std::uint32_t triangleCount);

// Sets the pixels of `box` (within `inside` and the buffer) to one value.
void FillBox(PixelBuffer &buffer, SurfaceRect inside, SurfaceRect box, std::uint32_t pixel);
