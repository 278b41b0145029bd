#pragma once
// What the geometry stage hands the raster stage, in drawing order: set-up triangles, lines and
// points, and the blended triangles kept aside to be drawn after every opaque one. A sink either
// draws them at once into the whole target (one band) or records them with the bands of rows each
// one touches, to be drawn band by band, each band in the order they came.

#include <cstdint>
#include <vector>

#include "platform/rm/raster/Bands.h"
#include "platform/rm/raster/Records.h"
#include "platform/rm/raster/Setup.h"

namespace rm::raster {

struct TrianglePrimitive {
    TriangleSetup setup;
    ShadeMode mode;
};

struct LinePrimitive {
    ScreenVertex a, b;
    std::uint32_t color;
};

struct PointPrimitive {
    ScreenVertex p;
    std::uint32_t color;
};

// A blended triangle, set up only after all of them are sorted far to near.
struct DeferredTriangle {
    ScreenVertex v[3];
    ShadeMode mode;
    float depth;  // sort key: mean depth of the corners
};

class PrimitiveSink {
  public:
    virtual void Triangle(const TriangleSetup& s, const ShadeMode& mode) = 0;
    virtual void Line(const ScreenVertex& a, const ScreenVertex& b, std::uint32_t color) = 0;
    virtual void Point(const ScreenVertex& p, std::uint32_t color) = 0;
    virtual void Defer(const DeferredTriangle& t) = 0;

  protected:
    ~PrimitiveSink() = default;
};

// Draws at once into `target`; blended triangles go to `deferred`.
class ImmediateSink final : public PrimitiveSink {
  public:
    ImmediateSink(const RasterTarget& target, std::vector<DeferredTriangle>& deferred)
        : m_target(target), m_deferred(deferred) {}
    void Triangle(const TriangleSetup& s, const ShadeMode& mode) override;
    void Line(const ScreenVertex& a, const ScreenVertex& b, std::uint32_t color) override;
    void Point(const ScreenVertex& p, std::uint32_t color) override;
    void Defer(const DeferredTriangle& t) override { m_deferred.push_back(t); }

  private:
    RasterTarget m_target;
    std::vector<DeferredTriangle>& m_deferred;
};

// Records primitives and, for each band of a plan, which of them touch it. Reset keeps the memory,
// so a pass that is run again allocates nothing once it has seen its scene.
class BandedPrimitives final : public PrimitiveSink {
  public:
    void Reset(const BandPlan& plan);
    void Triangle(const TriangleSetup& s, const ShadeMode& mode) override;
    void Line(const ScreenVertex& a, const ScreenVertex& b, std::uint32_t color) override;
    void Point(const ScreenVertex& p, std::uint32_t color) override;
    void Defer(const DeferredTriangle& t) override { m_deferred.push_back(t); }

    const std::vector<DeferredTriangle>& Deferred() const { return m_deferred; }
    // Draws what touches `band` into `bandTarget` (the target cut to the band's rows), in the order
    // it was recorded.
    void Draw(std::uint32_t band, const RasterTarget& bandTarget) const;

  private:
    enum Kind : std::uint32_t { kTriangle = 0, kLine = 1, kPoint = 2 };
    // A bin entry: the kind in the top two bits, the index in its list below (a list of 2^30
    // records would take hundreds of gigabytes, far beyond any scene).
    static constexpr std::uint32_t kIndexBits = 30;
    void Bin(Kind kind, std::size_t index, std::int32_t firstRow, std::int32_t lastRow);

    BandPlan m_plan;
    std::vector<TrianglePrimitive> m_triangles;
    std::vector<LinePrimitive> m_lines;
    std::vector<PointPrimitive> m_points;
    std::vector<DeferredTriangle> m_deferred;
    std::vector<std::vector<std::uint32_t>> m_bins;  // per band
};

}  // namespace rm::raster
