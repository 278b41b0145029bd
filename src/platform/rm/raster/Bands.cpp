#include "platform/rm/raster/Bands.h"

namespace rm::raster {

BandPlan PlanBands(std::int32_t y0, std::int32_t y1, std::int32_t width, unsigned threads) {
    BandPlan plan;
    plan.y0 = y0;
    plan.y1 = std::max(y0, y1);
    const std::int32_t rows = plan.y1 - plan.y0;
    plan.rows = std::max(rows, 1);
    if (threads <= 1 || std::int64_t(rows) * std::max(width, 0) < kMinPixelsToSplit) return plan;
    const std::uint32_t wanted =
        std::min<std::uint32_t>(threads * kBandsPerThread, std::uint32_t(rows / kMinBandRows));
    if (wanted < 2) return plan;
    plan.rows = (rows + std::int32_t(wanted) - 1) / std::int32_t(wanted);
    plan.count = std::uint32_t((rows + plan.rows - 1) / plan.rows);
    return plan;
}

}  // namespace rm::raster
