#pragma once
// Stage 2: clipping in camera space, before the divide. Polygons are cut by the front and back
// planes and by a guard band 1024 pixels around the viewport, so that every projected vertex
// fits the fixed-point setup; the exact viewport rectangle is the rasteriser's scissor.
// Stage 3 (projection) lives here too: camera space to pixels with the viewport's formulas.

#include <vector>

#include "platform/rm/raster/Records.h"

namespace rm::raster {

struct Projection {
    float cx, cy;  // viewport centre in pixels
    float k;       // s * front / field
    float front, back;
    float depthScale;  // back / (back - front)
};

class Clipper {
  public:
    // Guard band: pixels allowed outside the viewport before a polygon is cut at the side planes.
    static constexpr float kGuardBand = 1024.0f;

    Clipper(const Projection& p, float vx0, float vy0, float vx1, float vy1);

    // True when every vertex lies inside all six planes (no clipping needed).
    bool AllInside(const ClipVertex* v, std::size_t n) const;
    // Clips the polygon; `out` receives the clipped polygon (empty when nothing is left). Each
    // output vertex's faceEdge tells whether the edge it starts is the surviving part of an input
    // edge (and then carries that edge's flag) or a new edge along a clipping plane (false).
    void ClipPolygon(const ClipVertex* v, std::size_t n, std::vector<ClipVertex>& out);

  private:
    struct Plane {
        float a, b, c, d;
        float Distance(const Vector& p) const { return a * p.x + b * p.y + c * p.z + d; }
    };
    Plane m_planes[6];
    std::vector<ClipVertex> m_scratch;
};

inline ScreenVertex ProjectVertex(const Projection& p, const ClipVertex& c) {
    const float invW = 1.0f / c.pos.z;
    ScreenVertex s;
    s.x = p.cx + p.k * c.pos.x * invW;
    s.y = p.cy - p.k * c.pos.y * invW;
    s.z = p.depthScale * (1.0f - p.front * invW);
    s.invW = invW;
    s.r = c.r;
    s.g = c.g;
    s.b = c.b;
    s.a = c.a;
    s.uw = c.u * invW;
    s.vw = c.v * invW;
    return s;
}

}  // namespace rm::raster
