#pragma once
// Stage 5 for the wireframe and point fills: lines from one projected vertex to the next and
// single points, depth-tested (a pixel is drawn when it is not behind what is there) and written.

#include <cstdint>

#include "platform/rm/raster/Records.h"

namespace rm::raster {

void RasterLine(const ScreenVertex& a, const ScreenVertex& b, std::uint32_t color, const RasterTarget& t);
void RasterPoint(const ScreenVertex& p, std::uint32_t color, const RasterTarget& t);

}  // namespace rm::raster
