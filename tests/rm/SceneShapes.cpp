#include "SceneShapes.h"

#include <cmath>
#include <vector>

namespace rmtest {

using namespace rm;

Ref<MeshBuilder> MakeEllipsoid(Library& lib, float rx, float ry, float rz, std::uint32_t slices,
                               std::uint32_t stacks) {
    std::vector<Vector> v, n;
    const double pi = 3.14159265358979323846;
    for (std::uint32_t i = 0; i <= stacks; ++i) {
        const double phi = pi * double(i) / stacks;  // 0 at the top pole
        for (std::uint32_t j = 0; j <= slices; ++j) {
            const double theta = 2 * pi * double(j) / slices;
            const double x = std::sin(phi) * std::cos(theta), y = std::cos(phi),
                         z = std::sin(phi) * std::sin(theta);
            v.push_back({float(rx * x), float(ry * y), float(rz * z)});
            const double nx = x / rx, ny = y / ry, nz = z / rz, len = std::sqrt(nx * nx + ny * ny + nz * nz);
            n.push_back({float(nx / len), float(ny / len), float(nz / len)});
        }
    }
    std::vector<std::uint32_t> faces;
    auto id = [&](std::uint32_t i, std::uint32_t j) { return i * (slices + 1) + j; };
    auto tri = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c) {
        faces.insert(faces.end(), {3u, a, a, b, b, c, c});
    };
    for (std::uint32_t i = 0; i < stacks; ++i)
        for (std::uint32_t j = 0; j < slices; ++j) {
            const std::uint32_t a = id(i, j), b = id(i, j + 1), c = id(i + 1, j), d = id(i + 1, j + 1);
            // Seen from outside, b lies right of a and c below it: (a, b, c) and (b, d, c) run
            // clockwise on screen.
            if (i != 0) tri(a, b, c);
            if (i + 1 != stacks) tri(b, d, c);
        }
    faces.push_back(0);
    Ref<MeshBuilder> mesh = lib.CreateMeshBuilder();
    mesh->AddFaces(v, n, faces);
    return mesh;
}

Ref<MeshBuilder> MakeGrid(Library& lib, float h, std::uint32_t n, float uvScale) {
    std::vector<Vector> v;
    const std::vector<Vector> normals = {{0, 0, -1}};
    for (std::uint32_t i = 0; i <= n; ++i)
        for (std::uint32_t j = 0; j <= n; ++j)
            v.push_back({-h + 2 * h * float(j) / float(n), h - 2 * h * float(i) / float(n), 0});
    std::vector<std::uint32_t> faces;
    for (std::uint32_t i = 0; i < n; ++i)
        for (std::uint32_t j = 0; j < n; ++j) {
            const std::uint32_t a = i * (n + 1) + j, b = a + 1, c = a + n + 1, d = c + 1;
            // a top-left, b top-right, d bottom-right, c bottom-left: clockwise on screen.
            faces.insert(faces.end(), {4u, a, 0u, b, 0u, d, 0u, c, 0u});
        }
    faces.push_back(0);
    Ref<MeshBuilder> mesh = lib.CreateMeshBuilder();
    mesh->AddFaces(v, normals, faces);
    for (std::uint32_t i = 0; i <= n; ++i)
        for (std::uint32_t j = 0; j <= n; ++j)
            mesh->SetTextureCoordinates(i * (n + 1) + j, uvScale * float(j) / float(n),
                                        uvScale * float(i) / float(n));
    return mesh;
}

}  // namespace rmtest
