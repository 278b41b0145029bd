#pragma once
// Stage 4: triangle setup. Vertices snap to 1/16 pixel; the three edge functions are exact
// 64-bit integers with the top-left fill rule (a pixel centre on an edge belongs to the triangle
// only when the edge is a top or a left edge). Attributes become planes a0 + dx*px + dy*py over
// pixel indices (the value at the pixel's centre). All divisions happen here.

#include <cstdint>

#include "platform/rm/raster/Records.h"

namespace rm::raster {

struct EdgeFunction {
    std::int64_t dx, dy;  // edge vector, 1/16 pixel
    std::int64_t xa, ya;  // start vertex, 1/16 pixel
    std::int64_t bias;    // 0 for top-left edges, 1 otherwise: inside when E - bias >= 0
};

struct AttributePlane {
    float a0 = 0, dx = 0, dy = 0;
    float At(std::int32_t px, std::int32_t py) const { return a0 + dx * float(px) + dy * float(py); }
};

struct TriangleSetup {
    EdgeFunction edge[3];
    std::int32_t rowBegin, rowEnd;  // rows [rowBegin, rowEnd) within the scissor
    std::int32_t colBegin, colEnd;  // scissor columns
    AttributePlane z, r, g, b, invW, uw, vw;
    float a;  // opacity 0..255 (constant over a face)
};

// False when the triangle is back-facing (counter-clockwise on screen), degenerate or covers no
// row of the scissor. `colour` asks for colour planes, `texture` for the texture planes.
bool SetupTriangle(const ScreenVertex& v0, const ScreenVertex& v1, const ScreenVertex& v2,
                   const RasterTarget& t, bool colour, bool texture, TriangleSetup* out);

// floor(a / b) for b > 0, whatever the sign of a.
inline std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && (a < 0)) --q;
    return q;
}

// Signed area (twice) of the snapped triangle; > 0 when it runs clockwise on screen.
std::int64_t SnappedArea2(const ScreenVertex& v0, const ScreenVertex& v1, const ScreenVertex& v2);

}  // namespace rm::raster
