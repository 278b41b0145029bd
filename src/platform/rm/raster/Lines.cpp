#include "platform/rm/raster/Lines.h"

#include <algorithm>
#include <cmath>

namespace rm::raster {

namespace {

inline void Plot(std::int32_t px, std::int32_t py, float z, std::uint32_t color, const RasterTarget& t) {
    if (px < t.x0 || px >= t.x1 || py < t.y0 || py >= t.y1) return;
    float& d = t.depth[std::ptrdiff_t(py) * t.depthStride + px];
    if (z > d) return;
    d = z;
    reinterpret_cast<std::uint32_t*>(t.color + std::ptrdiff_t(py) * t.pitch)[px] = color;
}

}  // namespace

void RasterLine(const ScreenVertex& a, const ScreenVertex& b, std::uint32_t color, const RasterTarget& t) {
    // One pixel per step along the longer axis, from a's pixel to b's pixel inclusive. Clipping
    // keeps both ends within the guard band, so the step count is bounded.
    const float dx = b.x - a.x, dy = b.y - a.y;
    const std::int32_t steps = std::int32_t(std::ceil(std::max(std::fabs(dx), std::fabs(dy))));
    if (steps <= 0) {
        RasterPoint(a, color, t);
        return;
    }
    const float inv = 1.0f / float(steps);
    for (std::int32_t i = 0; i <= steps; ++i) {
        const float f = float(i) * inv;
        Plot(std::int32_t(std::floor(a.x + dx * f)), std::int32_t(std::floor(a.y + dy * f)),
             a.z + (b.z - a.z) * f, color, t);
    }
}

void RasterPoint(const ScreenVertex& p, std::uint32_t color, const RasterTarget& t) {
    Plot(std::int32_t(std::floor(p.x)), std::int32_t(std::floor(p.y)), p.z, color, t);
}

}  // namespace rm::raster
