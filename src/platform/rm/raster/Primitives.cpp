#include "platform/rm/raster/Primitives.h"

#include <cmath>

#include "platform/rm/raster/Lines.h"
#include "platform/rm/raster/Raster.h"

namespace rm::raster {

namespace {

// The pixel row a coordinate falls in, kept within what an int holds (projected vertices lie in
// the clipper's guard band, so this only guards the conversion).
std::int32_t RowOf(float y) {
    return std::int32_t(std::clamp(std::floor(y), -1.0e9f, 1.0e9f));
}

}  // namespace

void ImmediateSink::Triangle(const TriangleSetup& s, const ShadeMode& mode) {
    RasterTriangle(s, mode, m_target);
}

void ImmediateSink::Line(const ScreenVertex& a, const ScreenVertex& b, std::uint32_t color) {
    RasterLine(a, b, color, m_target);
}

void ImmediateSink::Point(const ScreenVertex& p, std::uint32_t color) {
    RasterPoint(p, color, m_target);
}

void BandedPrimitives::Reset(const BandPlan& plan) {
    m_plan = plan;
    m_triangles.clear();
    m_lines.clear();
    m_points.clear();
    m_deferred.clear();
    if (m_bins.size() < plan.count) m_bins.resize(plan.count);
    for (auto& bin : m_bins) bin.clear();
}

void BandedPrimitives::Bin(Kind kind, std::size_t index, std::int32_t firstRow, std::int32_t lastRow) {
    if (lastRow < m_plan.y0 || firstRow >= m_plan.y1) return;
    const std::uint32_t entry = (std::uint32_t(kind) << kIndexBits) | std::uint32_t(index);
    const std::uint32_t last = m_plan.Of(lastRow);
    for (std::uint32_t band = m_plan.Of(firstRow); band <= last; ++band) m_bins[band].push_back(entry);
}

void BandedPrimitives::Triangle(const TriangleSetup& s, const ShadeMode& mode) {
    m_triangles.push_back({s, mode});
    Bin(kTriangle, m_triangles.size() - 1, s.rowBegin, s.rowEnd - 1);
}

void BandedPrimitives::Line(const ScreenVertex& a, const ScreenVertex& b, std::uint32_t color) {
    m_lines.push_back({a, b, color});
    // A row more on either side: the line's pixels are stepped in floats, which may round past an
    // end by a hair. Drawing a band plots only its own rows, so a bin too many costs nothing else.
    Bin(kLine, m_lines.size() - 1, RowOf(std::min(a.y, b.y)) - 1, RowOf(std::max(a.y, b.y)) + 1);
}

void BandedPrimitives::Point(const ScreenVertex& p, std::uint32_t color) {
    m_points.push_back({p, color});
    Bin(kPoint, m_points.size() - 1, RowOf(p.y), RowOf(p.y));
}

void BandedPrimitives::Draw(std::uint32_t band, const RasterTarget& bandTarget) const {
    if (band >= m_plan.count) return;
    constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;
    for (const std::uint32_t entry : m_bins[band]) {
        const std::uint32_t index = entry & kIndexMask;
        switch (entry >> kIndexBits) {
            case kTriangle: {
                const TrianglePrimitive& t = m_triangles[index];
                RasterTriangle(t.setup, t.mode, bandTarget);
                break;
            }
            case kLine: {
                const LinePrimitive& l = m_lines[index];
                RasterLine(l.a, l.b, l.color, bandTarget);
                break;
            }
            default: {
                const PointPrimitive& p = m_points[index];
                RasterPoint(p.p, p.color, bandTarget);
                break;
            }
        }
    }
}

}  // namespace rm::raster
