#pragma once
// How a viewport's rows split into bands that threads draw side by side. A band is whole rows and
// every pixel lies in exactly one band; a triangle's span on a row, and every value interpolated
// along it, are worked out from the triangle and the row alone, so the picture is the same bytes
// whichever band, and whichever thread, draws the row.

#include <algorithm>
#include <cstdint>

namespace rm::raster {

struct BandPlan {
    std::int32_t y0 = 0, y1 = 0;  // the rows split, [y0, y1)
    std::int32_t rows = 1;        // rows per band; the last band may have fewer
    std::uint32_t count = 1;

    std::int32_t Begin(std::uint32_t band) const { return y0 + std::int32_t(band) * rows; }
    std::int32_t End(std::uint32_t band) const { return std::min(y1, Begin(band) + rows); }
    // The band holding row y, with y clamped to the split rows.
    std::uint32_t Of(std::int32_t y) const {
        return std::uint32_t((std::clamp(y, y0, y1 - 1) - y0) / rows);
    }
};

// Frames below this many pixels are drawn in one band: handing work to other threads costs more
// than it saves.
constexpr std::int64_t kMinPixelsToSplit = 16384;
// A band has at least this many rows; a triangle set up once is then walked by few bands.
constexpr std::int32_t kMinBandRows = 8;
// Bands per thread: more bands than threads, taken in turn, even out a figure that fills some
// bands and leaves others empty.
constexpr std::uint32_t kBandsPerThread = 4;

// The bands of rows [y0, y1) of a viewport `width` pixels wide drawn by `threads` threads: one band
// for one thread or a small frame.
BandPlan PlanBands(std::int32_t y0, std::int32_t y1, std::int32_t width, unsigned threads);

}  // namespace rm::raster
