// How the GL's polygon primitives become triangles, and which of them the
// layer draws at all: pure functions, shared by rendering and selection.
#pragma once

#include <cstdint>
#include <vector>

namespace webgl {

// Whether `mode` (GL_TRIANGLES .. GL_POLYGON) is a primitive this layer draws.
bool isPolygonPrimitive(unsigned mode);

// Appends, as index triples into a primitive of `count` vertices, the
// triangles of `mode`. Quads are split along the diagonal llvmpipe uses (from
// each quad's first corner to its third in drawing order), so that colours are
// interpolated over the same triangles as on the desktop. Incomplete
// trailing vertices are dropped, as the GL drops them.
void triangulate(unsigned mode, int count, std::vector<std::uint32_t>& out);

}  // namespace webgl
