#pragma once
// Stage 5: scan conversion and pixel work. Each row's span comes from the three edge functions
// by exact integer division (the pixels whose centres pass the top-left rule); the span loop
// only adds the attribute steps, tests depth, shades and writes. The variant (Gouraud or flat,
// textured or not, blended or not) is chosen once per triangle.

#include <algorithm>

#include "platform/rm/raster/Records.h"
#include "platform/rm/raster/Setup.h"

namespace rm::raster {

// Draws the triangle's rows that lie within the target's rows [t.y0, t.y1): the whole triangle for
// the whole target, or its part in one band.
void RasterTriangle(const TriangleSetup& s, const ShadeMode& mode, const RasterTarget& t);

// The span [*begin, *end) of row `py`, by division; false when empty. The reference the walker
// below is checked against.
bool RowSpan(const TriangleSetup& s, std::int32_t py, std::int32_t* begin, std::int32_t* end);

// The same spans row after row without dividing: each edge's bound floor(N / D) is carried as a
// quotient and a remainder and stepped by the per-row change of N.
class SpanWalker {
  public:
    // Positioned at row `firstRow` (s.rowBegin when not given). The state at a row is worked out
    // from that row alone, so starting lower gives exactly the spans that stepping down gives.
    explicit SpanWalker(const TriangleSetup& s) : SpanWalker(s, s.rowBegin) {}
    SpanWalker(const TriangleSetup& s, std::int32_t firstRow);
    // The span of the current row (false when empty), then moves to the next row.
    bool Next(std::int32_t* begin, std::int32_t* end);

  private:
    struct Bound {
        std::int64_t q, r, d, stepQ, stepR;
        int kind;  // +1: lower bound -q, -1: upper bound q, 0: horizontal edge (test k >= 0)
        std::int64_t k, stepK;
    };
    Bound m_bound[3];
    std::int64_t m_colBegin, m_colEnd;
};

inline bool SpanWalker::Next(std::int32_t* begin, std::int32_t* end) {
    std::int64_t lo = m_colBegin, hi = m_colEnd;
    bool empty = false;
    for (Bound& b : m_bound) {
        if (b.kind == 0) {
            empty |= b.k < 0;
            b.k += b.stepK;
            continue;
        }
        if (b.kind > 0)
            lo = std::max(lo, -b.q);
        else
            hi = std::min(hi, b.q);
        b.q += b.stepQ;
        b.r += b.stepR;
        if (b.r >= b.d) {
            b.r -= b.d;
            ++b.q;
        }
    }
    if (empty || lo > hi) return false;
    *begin = std::int32_t(lo);
    *end = std::int32_t(hi + 1);
    return true;
}

}  // namespace rm::raster
