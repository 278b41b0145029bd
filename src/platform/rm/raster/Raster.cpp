#include "platform/rm/raster/Raster.h"

#include <algorithm>
#include <cmath>

#include "platform/rm/raster/Texel.h"

namespace rm::raster {

namespace {

inline std::uint32_t Channel(float v) {
    return ToChannel(v);
}

template <bool Gouraud, bool Textured, bool Blend>
void Fill(const TriangleSetup& s, const ShadeMode& mode, const RasterTarget& t) {
    const std::uint32_t flat = (Channel(s.r.a0) << 16) | (Channel(s.g.a0) << 8) | Channel(s.b.a0);
    const std::uint32_t alpha = Channel(s.a);
    const std::uint32_t inverse = 255 - alpha;
    const std::int32_t rowBegin = std::max(s.rowBegin, t.y0), rowEnd = std::min(s.rowEnd, t.y1);
    if (rowBegin >= rowEnd) return;
    SpanWalker walker(s, rowBegin);
    for (std::int32_t py = rowBegin; py < rowEnd; ++py) {
        std::int32_t x0, x1;
        if (!walker.Next(&x0, &x1)) continue;
        auto* color = reinterpret_cast<std::uint32_t*>(t.color + std::ptrdiff_t(py) * t.pitch);
        float* depth = t.depth + std::ptrdiff_t(py) * t.depthStride;
        float z = s.z.At(x0, py);
        float r = 0, g = 0, b = 0, w = 0, uw = 0, vw = 0;
        if constexpr (Gouraud) {
            r = s.r.At(x0, py);
            g = s.g.At(x0, py);
            b = s.b.At(x0, py);
        }
        if constexpr (Textured) {
            w = s.invW.At(x0, py);
            uw = s.uw.At(x0, py);
            vw = s.vw.At(x0, py);
        }
        for (std::int32_t px = x0; px < x1; ++px) {
            if (z < depth[px]) {
                std::uint32_t c = flat;
                if constexpr (Gouraud) c = (Channel(r) << 16) | (Channel(g) << 8) | Channel(b);
                if constexpr (Textured) {
                    const float u = uw / w, v = vw / w;
                    c = Modulate(c, mode.bilinear ? SampleBilinear(*mode.texture, u, v)
                                                  : SampleNearest(*mode.texture, u, v));
                }
                if constexpr (Blend) {
                    const std::uint32_t d = color[px];
                    auto mix = [&](int shift) {
                        const std::uint32_t sc = (c >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
                        return ((sc * alpha + dc * inverse + 127) / 255) << shift;
                    };
                    color[px] = mix(16) | mix(8) | mix(0);
                } else {
                    color[px] = c;
                    depth[px] = z;
                }
            }
            z += s.z.dx;
            if constexpr (Gouraud) {
                r += s.r.dx;
                g += s.g.dx;
                b += s.b.dx;
            }
            if constexpr (Textured) {
                w += s.invW.dx;
                uw += s.uw.dx;
                vw += s.vw.dx;
            }
        }
    }
}

using FillFn = void (*)(const TriangleSetup&, const ShadeMode&, const RasterTarget&);
constexpr FillFn kFills[8] = {Fill<false, false, false>, Fill<false, false, true>, Fill<false, true, false>,
                              Fill<false, true, true>,   Fill<true, false, false>, Fill<true, false, true>,
                              Fill<true, true, false>,   Fill<true, true, true>};

}  // namespace

bool RowSpan(const TriangleSetup& s, std::int32_t py, std::int32_t* begin, std::int32_t* end) {
    std::int64_t lo = s.colBegin, hi = std::int64_t(s.colEnd) - 1;
    const std::int64_t Y = 16 * std::int64_t(py) + 8;
    for (const EdgeFunction& e : s.edge) {
        // E(px) = dx (Y - ya) - dy (16 px + 8 - xa) = A px + K; inside when A px + K >= bias.
        const std::int64_t A = -16 * e.dy;
        const std::int64_t K = e.dx * (Y - e.ya) - e.dy * (8 - e.xa);
        if (A > 0) {
            lo = std::max(lo, -FloorDiv(K - e.bias, A));  // ceil((bias - K) / A)
        } else if (A < 0) {
            hi = std::min(hi, FloorDiv(K - e.bias, -A));
        } else if (K < e.bias) {
            return false;
        }
    }
    if (lo > hi) return false;
    *begin = std::int32_t(lo);
    *end = std::int32_t(hi + 1);
    return true;
}

SpanWalker::SpanWalker(const TriangleSetup& s, std::int32_t firstRow)
    : m_colBegin(s.colBegin), m_colEnd(std::int64_t(s.colEnd) - 1) {
    const std::int64_t Y = 16 * std::int64_t(firstRow) + 8;
    for (int i = 0; i < 3; ++i) {
        const EdgeFunction& e = s.edge[i];
        Bound& b = m_bound[i];
        const std::int64_t A = -16 * e.dy;
        // N = K - bias at the first row; it grows by 16 dx per row (see RowSpan).
        const std::int64_t n = e.dx * (Y - e.ya) - e.dy * (8 - e.xa) - e.bias;
        const std::int64_t step = 16 * e.dx;
        if (A == 0) {
            b.kind = 0;
            b.k = n;
            b.stepK = step;
            continue;
        }
        b.kind = A > 0 ? 1 : -1;
        b.d = A > 0 ? A : -A;
        b.q = FloorDiv(n, b.d);
        b.r = n - b.q * b.d;
        b.stepQ = FloorDiv(step, b.d);
        b.stepR = step - b.stepQ * b.d;
    }
}

void RasterTriangle(const TriangleSetup& s, const ShadeMode& mode, const RasterTarget& t) {
    const int index = (mode.gouraud ? 4 : 0) | (mode.texture ? 2 : 0) | (mode.blend ? 1 : 0);
    kFills[index](s, mode, t);
}

}  // namespace rm::raster
