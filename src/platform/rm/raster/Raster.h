#pragma once
// Stage 5: scan conversion and pixel work. Each row's span comes from the three edge functions
// by exact integer division (the pixels whose centres pass the top-left rule); the span loop
// only adds the attribute steps, tests depth, shades and writes. The variant (Gouraud or flat,
// textured or not, blended or not) is chosen once per triangle.

#include "platform/rm/raster/Records.h"
#include "platform/rm/raster/Setup.h"

namespace rm::raster {

void RasterTriangle(const TriangleSetup& s, const ShadeMode& mode, const RasterTarget& t);

// The span [*begin, *end) of row `py`; false when empty.
bool RowSpan(const TriangleSetup& s, std::int32_t py, std::int32_t* begin, std::int32_t* end);

}  // namespace rm::raster
