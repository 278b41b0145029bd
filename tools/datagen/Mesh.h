#pragma once
// A mesh as the content stores it: positions, one normal per vertex, faces of 3 or 4 corners whose
// corners run clockwise seen from outside (the front side of the scene library), optional texture
// coordinates. Shapes are added by the builders below; each builder keeps its own vertices, so a
// cut ring of one shape is never merged with another shape.

#include <cstdint>
#include <functional>
#include <vector>

#include "Math3.h"

namespace datagen {

struct Mesh {
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;  // same count as positions
    std::vector<std::vector<int>> faces;
    std::vector<std::array<double, 2>> uvs;  // empty, or one per vertex

    void Append(const Mesh& other);
    void Transform(const Mat4& m);
    // Normals of every vertex as the area-weighted mean of its faces' normals.
    void ComputeNormals();
    // The same surface seen from the other side: corners reversed, normals negated (the inside of
    // a cup, the underside of a sheet).
    Mesh Flipped() const;
};

// One cross-section of a lofted tube: an ellipse at height y, centre (cx, cz), half widths rx,
// front depth rzF (towards -z) and back depth rzB. `pinch` narrows the front half in x
// (0 none, 0.3 a chin-like V).
struct Ring {
    double y = 0, rx = 1, rzF = 1, rzB = 1, cx = 0, cz = 0, pinch = 0;
};

struct LoftOptions {
    int segments = 16;
    bool capStart = false;  // close the first ring with a pole (rings run from top to bottom)
    bool capEnd = false;
    double capStartBulge = 0;  // pole distance beyond the ring along the loft direction
    double capEndBulge = 0;
};

// A tube through the rings in order. Vertex 0 of each ring lies at +x; the ring runs towards -z
// (front) first. Open ends stay open cut rings.
Mesh Loft(const std::vector<Ring>& rings, const LoftOptions& options);

// Point of ring r at angle index k of n (shared with Loft so that cut rings can be matched).
Vec3 RingPoint(const Ring& r, int k, int n);

// An ellipsoid centred at c with radii (rx, ry, rz), `rings` latitude bands.
Mesh Ellipsoid(const Vec3& c, const Vec3& radii, int segments, int rings);

// A capsule-like finger or rod from a to b with radius r (hemispherical ends).
Mesh Capsule(const Vec3& a, const Vec3& b, double r, int segments);

// A box with edges along the axes.
Mesh Box(const Vec3& lo, const Vec3& hi);

// A flat ring (annulus) in the plane y = const, facing +y when `up`.
Mesh Annulus(double y, double rInnerX, double rInnerZ, double rOuterX, double rOuterZ, const Vec3& centre,
             int segments, bool up);

}  // namespace datagen
