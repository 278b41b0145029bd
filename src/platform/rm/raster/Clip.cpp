#include "platform/rm/raster/Clip.h"

namespace rm::raster {

Clipper::Clipper(const Projection& p, float vx0, float vy0, float vx1, float vy1) {
    const float gx0 = vx0 - kGuardBand, gx1 = vx1 + kGuardBand;
    const float gy0 = vy0 - kGuardBand, gy1 = vy1 + kGuardBand;
    m_planes[0] = {0, 0, 1, -p.front};       // z >= front
    m_planes[1] = {0, 0, -1, p.back};        // z <= back
    m_planes[2] = {p.k, 0, p.cx - gx0, 0};   // sx >= gx0
    m_planes[3] = {-p.k, 0, gx1 - p.cx, 0};  // sx <= gx1
    m_planes[4] = {0, -p.k, p.cy - gy0, 0};  // sy >= gy0
    m_planes[5] = {0, p.k, gy1 - p.cy, 0};   // sy <= gy1
}

bool Clipper::AllInside(const ClipVertex* v, std::size_t n) const {
    for (std::size_t i = 0; i < n; ++i)
        for (const Plane& pl : m_planes)
            if (pl.Distance(v[i].pos) < 0) return false;
    return true;
}

namespace {

ClipVertex Lerp(const ClipVertex& a, const ClipVertex& b, float t) {
    auto mix = [t](float x, float y) { return x + (y - x) * t; };
    ClipVertex r;
    r.pos = {mix(a.pos.x, b.pos.x), mix(a.pos.y, b.pos.y), mix(a.pos.z, b.pos.z)};
    r.r = mix(a.r, b.r);
    r.g = mix(a.g, b.g);
    r.b = mix(a.b, b.b);
    r.a = mix(a.a, b.a);
    r.u = mix(a.u, b.u);
    r.v = mix(a.v, b.v);
    r.faceEdge = false;
    return r;
}

}  // namespace

void Clipper::ClipPolygon(const ClipVertex* v, std::size_t n, std::vector<ClipVertex>& out) {
    out.assign(v, v + n);
    for (const Plane& pl : m_planes) {
        if (out.empty()) return;
        m_scratch.clear();
        const std::size_t count = out.size();
        for (std::size_t i = 0; i < count; ++i) {
            const ClipVertex& a = out[i];
            const ClipVertex& b = out[(i + 1) % count];
            const float da = pl.Distance(a.pos), db = pl.Distance(b.pos);
            if (da >= 0) m_scratch.push_back(a);
            if ((da >= 0) != (db >= 0)) {
                // Always interpolate from the inside vertex, so a shared edge cuts identically
                // for both faces that use it. Leaving, the cut point starts the new edge along
                // the plane; entering, it starts what remains of a -> b.
                if (da >= 0) {
                    m_scratch.push_back(Lerp(a, b, da / (da - db)));
                } else {
                    m_scratch.push_back(Lerp(b, a, db / (db - da)));
                    m_scratch.back().faceEdge = a.faceEdge;
                }
            }
        }
        out.swap(m_scratch);
    }
    if (out.size() < 3) out.clear();
}

}  // namespace rm::raster
