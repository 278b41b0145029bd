#pragma once
// Meshes for rendering tests and benchmarks: ellipsoids tessellated by latitude and longitude,
// with outward normals and faces that run clockwise when seen from outside; flat grids.

#include <cstdint>

#include "platform/rm/Library.h"

namespace rmtest {

// An ellipsoid of radii (rx, ry, rz) centred at the origin, `slices` around y and `stacks` from
// pole to pole (2 * slices * (stacks - 1) triangles).
rm::Ref<rm::MeshBuilder> MakeEllipsoid(rm::Library& lib, float rx, float ry, float rz, std::uint32_t slices,
                                       std::uint32_t stacks);

// A square in the z = 0 plane from (-h, -h) to (h, h), facing -z (towards a camera looking along
// +z), cut into n x n quads, with normals (0, 0, -1) and texture coordinates 0..uvScale (v down).
rm::Ref<rm::MeshBuilder> MakeGrid(rm::Library& lib, float h, std::uint32_t n, float uvScale = 1.0f);

}  // namespace rmtest
