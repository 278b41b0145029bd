#include "platform/rm/raster/Setup.h"

#include <algorithm>
#include <cmath>

namespace rm::raster {

namespace {

std::int64_t Snap(float v) {
    return static_cast<std::int64_t>(std::floor(double(v) * 16.0 + 0.5));
}

EdgeFunction MakeEdge(std::int64_t xa, std::int64_t ya, std::int64_t xb, std::int64_t yb) {
    EdgeFunction e;
    e.dx = xb - xa;
    e.dy = yb - ya;
    e.xa = xa;
    e.ya = ya;
    // Interior is where E grows: a left edge runs upwards (dy < 0), a top edge is horizontal and
    // runs to the right.
    const bool topLeft = e.dy < 0 || (e.dy == 0 && e.dx > 0);
    e.bias = topLeft ? 0 : 1;
    return e;
}

}  // namespace

std::int64_t SnappedArea2(const ScreenVertex& v0, const ScreenVertex& v1, const ScreenVertex& v2) {
    const std::int64_t x0 = Snap(v0.x), y0 = Snap(v0.y), x1 = Snap(v1.x), y1 = Snap(v1.y), x2 = Snap(v2.x),
                       y2 = Snap(v2.y);
    return (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
}

bool SetupTriangle(const ScreenVertex& v0, const ScreenVertex& v1, const ScreenVertex& v2,
                   const RasterTarget& t, bool colour, bool texture, TriangleSetup* out) {
    const std::int64_t x0 = Snap(v0.x), y0 = Snap(v0.y), x1 = Snap(v1.x), y1 = Snap(v1.y), x2 = Snap(v2.x),
                       y2 = Snap(v2.y);
    const std::int64_t area2 = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
    if (area2 <= 0) return false;

    // Rows whose centre (16 py + 8) lies within the vertical extent, cut to the scissor.
    const std::int64_t minY = std::min({y0, y1, y2}), maxY = std::max({y0, y1, y2});
    const std::int64_t rowLo = -FloorDiv(-(minY - 8), 16), rowHi = FloorDiv(maxY - 8, 16);
    out->rowBegin = std::int32_t(std::max<std::int64_t>(rowLo, t.y0));
    out->rowEnd = std::int32_t(std::min<std::int64_t>(rowHi + 1, t.y1));
    if (out->rowBegin >= out->rowEnd) return false;
    const std::int64_t minX = std::min({x0, x1, x2}), maxX = std::max({x0, x1, x2});
    out->colBegin = std::int32_t(std::max<std::int64_t>(-FloorDiv(-(minX - 8), 16), t.x0));
    out->colEnd = std::int32_t(std::min<std::int64_t>(FloorDiv(maxX - 8, 16) + 1, t.x1));
    if (out->colBegin >= out->colEnd) return false;

    out->edge[0] = MakeEdge(x0, y0, x1, y1);
    out->edge[1] = MakeEdge(x1, y1, x2, y2);
    out->edge[2] = MakeEdge(x2, y2, x0, y0);

    // Attribute planes from the snapped positions, in double precision.
    const double fx0 = double(x0) / 16.0, fy0 = double(y0) / 16.0;
    const double e1x = double(x1 - x0) / 16.0, e1y = double(y1 - y0) / 16.0;
    const double e2x = double(x2 - x0) / 16.0, e2y = double(y2 - y0) / 16.0;
    const double inv = 1.0 / (e1x * e2y - e2x * e1y);
    auto plane = [&](float a0, float a1, float a2) {
        const double d1 = double(a1) - a0, d2 = double(a2) - a0;
        const double dx = (d1 * e2y - d2 * e1y) * inv;
        const double dy = (d2 * e1x - d1 * e2x) * inv;
        AttributePlane p;
        p.dx = float(dx);
        p.dy = float(dy);
        p.a0 = float(a0 + dx * (0.5 - fx0) + dy * (0.5 - fy0));
        return p;
    };
    out->z = plane(v0.z, v1.z, v2.z);
    if (colour) {
        out->r = plane(v0.r, v1.r, v2.r);
        out->g = plane(v0.g, v1.g, v2.g);
        out->b = plane(v0.b, v1.b, v2.b);
    } else {
        out->r = {v0.r, 0, 0};
        out->g = {v0.g, 0, 0};
        out->b = {v0.b, 0, 0};
    }
    if (texture) {
        out->invW = plane(v0.invW, v1.invW, v2.invW);
        out->uw = plane(v0.uw, v1.uw, v2.uw);
        out->vw = plane(v0.vw, v1.vw, v2.vw);
    }
    out->a = v0.a;
    return true;
}

}  // namespace rm::raster
