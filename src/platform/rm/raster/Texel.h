#pragma once
// Texture sampling: coordinates repeat outside [0, 1], bilinear filtering between the four
// nearest texel centres; and the modulation of a colour by a texel.

#include <cmath>
#include <cstdint>

#include "platform/rm/Texture.h"
#include "platform/rm/raster/Records.h"

namespace rm::raster {

inline std::uint32_t SampleBilinear(const Texture& tex, float u, float v) {
    const std::int32_t w = std::int32_t(tex.Width()), h = std::int32_t(tex.Height());
    const float fu = u * float(w) - 0.5f, fv = v * float(h) - 0.5f;
    const float bu = std::floor(fu), bv = std::floor(fv);
    const float wx = fu - bu, wy = fv - bv;
    // Wrap in 64 bits: coordinates far outside [0, 1] still land inside the texture.
    auto wrap = [](float f, std::int32_t n) {
        if (!(std::fabs(f) < 1e15f)) return std::int32_t(0);
        const std::int64_t i = static_cast<std::int64_t>(f);
        std::int64_t m = i % n;
        if (m < 0) m += n;
        return std::int32_t(m);
    };
    const std::int32_t x0 = wrap(bu, w), y0 = wrap(bv, h);
    const std::int32_t x1 = x0 + 1 == w ? 0 : x0 + 1, y1 = y0 + 1 == h ? 0 : y0 + 1;
    const std::uint32_t* texels = tex.Texels().data();
    const std::uint32_t c00 = texels[y0 * w + x0], c10 = texels[y0 * w + x1];
    const std::uint32_t c01 = texels[y1 * w + x0], c11 = texels[y1 * w + x1];
    auto channel = [&](int shift) {
        const float a = float((c00 >> shift) & 0xFF), b = float((c10 >> shift) & 0xFF);
        const float c = float((c01 >> shift) & 0xFF), d = float((c11 >> shift) & 0xFF);
        const float top = a + (b - a) * wx, bottom = c + (d - c) * wx;
        return ToChannel(top + (bottom - top) * wy) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

inline std::uint32_t SampleNearest(const Texture& tex, float u, float v) {
    const std::int32_t w = std::int32_t(tex.Width()), h = std::int32_t(tex.Height());
    auto wrap = [](float f, std::int32_t n) {
        if (!(std::fabs(f) < 1e15f)) return std::int32_t(0);
        std::int64_t m = static_cast<std::int64_t>(std::floor(f)) % n;
        if (m < 0) m += n;
        return std::int32_t(m);
    };
    return tex.Texels()[std::size_t(wrap(v * float(h), h)) * w + wrap(u * float(w), w)] & 0xFFFFFF;
}

// Each channel of `c` times the texel's, divided by 255 (rounded).
inline std::uint32_t Modulate(std::uint32_t c, std::uint32_t texel) {
    auto mul = [&](int shift) {
        return ((((c >> shift) & 0xFF) * ((texel >> shift) & 0xFF) + 127) / 255) << shift;
    };
    return mul(16) | mul(8) | mul(0);
}

}  // namespace rm::raster
