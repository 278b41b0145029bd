// The AVX2 kernel set: eight 32-bit or sixteen 16-bit lanes per register. Every function carries
// the target attribute instead of the file being compiled with -mavx2, so that nothing of it (nor
// an inline function of a header it includes) can end up on a path a processor without AVX2 runs;
// the decoder calls these kernels only where the processor reports AVX2.
#if defined(__x86_64__)

#include <immintrin.h>

#include "render/jpeg/JpegColour.h"
#include "render/jpeg/JpegKernels.h"
#include "render/jpeg/JpegSimdLayout.h"

#define MARISOLE_AVX2 __attribute__((target("avx2")))

namespace jpeg {
namespace {

// Two 16-bit constants for _mm256_madd_epi16: `first` multiplies the lower element of each pair.
MARISOLE_AVX2 inline __m256i Pair(int first, int second) {
    return _mm256_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(second) << 16 |
                                              (static_cast<std::uint32_t>(first) & 0xFFFF)));
}

MARISOLE_AVX2 inline __m256i MulConst(__m256i t, int c) {
    return _mm256_mullo_epi32(t, _mm256_set1_epi32(c));
}

// The first pass over the eight rows v of the block, one lane per row: t[x] = Σu C[u][x] · F(v, u)
// from the 16-bit pairs of columns (0, 4), (2, 6), (1, 3), (5, 7) (see the SSE2 set).
MARISOLE_AVX2 inline void RowPass(__m256i p04, __m256i p26, __m256i p13, __m256i p57, __m256i t[8]) {
    const __m256i sum04 = _mm256_madd_epi16(p04, Pair(362, 362));
    const __m256i diff04 = _mm256_madd_epi16(p04, Pair(362, -362));
    const __m256i m26 = _mm256_madd_epi16(p26, Pair(473, 195));
    const __m256i n26 = _mm256_madd_epi16(p26, Pair(195, -473));
    const __m256i even[4] = {_mm256_add_epi32(sum04, m26), _mm256_add_epi32(diff04, n26),
                             _mm256_sub_epi32(diff04, n26), _mm256_sub_epi32(sum04, m26)};
    const __m256i odd[4] = {
        _mm256_add_epi32(_mm256_madd_epi16(p13, Pair(502, 425)), _mm256_madd_epi16(p57, Pair(284, 99))),
        _mm256_add_epi32(_mm256_madd_epi16(p13, Pair(425, -99)), _mm256_madd_epi16(p57, Pair(-502, -284))),
        _mm256_add_epi32(_mm256_madd_epi16(p13, Pair(284, -502)), _mm256_madd_epi16(p57, Pair(99, 425))),
        _mm256_add_epi32(_mm256_madd_epi16(p13, Pair(99, -284)), _mm256_madd_epi16(p57, Pair(425, -502))),
    };
    for (int k = 0; k < 4; ++k) {
        t[k] = _mm256_add_epi32(even[k], odd[k]);
        t[7 - k] = _mm256_sub_epi32(even[k], odd[k]);
    }
}

// The second pass over the eight columns x, one lane per column: s[y] = Σv C[v][y] · r[v], wrapping.
MARISOLE_AVX2 inline void ColumnPass(const __m256i r[8], __m256i s[8]) {
    const __m256i sum04 = MulConst(_mm256_add_epi32(r[0], r[4]), 362);
    const __m256i diff04 = MulConst(_mm256_sub_epi32(r[0], r[4]), 362);
    const __m256i m26 = _mm256_add_epi32(MulConst(r[2], 473), MulConst(r[6], 195));
    const __m256i n26 = _mm256_sub_epi32(MulConst(r[2], 195), MulConst(r[6], 473));
    const __m256i even[4] = {_mm256_add_epi32(sum04, m26), _mm256_add_epi32(diff04, n26),
                             _mm256_sub_epi32(diff04, n26), _mm256_sub_epi32(sum04, m26)};
    const __m256i odd[4] = {
        _mm256_add_epi32(_mm256_add_epi32(MulConst(r[1], 502), MulConst(r[3], 425)),
                         _mm256_add_epi32(MulConst(r[5], 284), MulConst(r[7], 99))),
        _mm256_sub_epi32(_mm256_sub_epi32(MulConst(r[1], 425), MulConst(r[3], 99)),
                         _mm256_add_epi32(MulConst(r[5], 502), MulConst(r[7], 284))),
        _mm256_add_epi32(_mm256_sub_epi32(MulConst(r[1], 284), MulConst(r[3], 502)),
                         _mm256_add_epi32(MulConst(r[5], 99), MulConst(r[7], 425))),
        _mm256_add_epi32(_mm256_sub_epi32(MulConst(r[1], 99), MulConst(r[3], 284)),
                         _mm256_sub_epi32(MulConst(r[5], 425), MulConst(r[7], 502))),
    };
    for (int k = 0; k < 4; ++k) {
        s[k] = _mm256_add_epi32(even[k], odd[k]);
        s[7 - k] = _mm256_sub_epi32(even[k], odd[k]);
    }
}

// r[v][x] = t[x][v].
MARISOLE_AVX2 inline void Transpose8(const __m256i t[8], __m256i r[8]) {
    __m256i a[8], b[8];
    for (int i = 0; i < 8; i += 2) {
        a[i] = _mm256_unpacklo_epi32(t[i], t[i + 1]);
        a[i + 1] = _mm256_unpackhi_epi32(t[i], t[i + 1]);
    }
    for (int i = 0; i < 8; i += 4) {
        b[i] = _mm256_unpacklo_epi64(a[i], a[i + 2]);
        b[i + 1] = _mm256_unpackhi_epi64(a[i], a[i + 2]);
        b[i + 2] = _mm256_unpacklo_epi64(a[i + 1], a[i + 3]);
        b[i + 3] = _mm256_unpackhi_epi64(a[i + 1], a[i + 3]);
    }
    for (int i = 0; i < 4; ++i) {
        r[i] = _mm256_permute2x128_si256(b[i], b[i + 4], 0x20);
        r[i + 4] = _mm256_permute2x128_si256(b[i], b[i + 4], 0x31);
    }
}

MARISOLE_AVX2 inline __m256i Load(const std::int32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

MARISOLE_AVX2 void Transform(const std::int32_t* coeffs, bool fitInt16, std::int16_t* out,
                             std::ptrdiff_t stride) {
    if (!fitInt16) {
        std::int32_t natural[64];
        for (int i = 0; i < 64; ++i) natural[i] = coeffs[kAvx2Slots[i]];
        TransformNatural(natural, out, stride);
        return;
    }
    __m256i t[8], r[8], s[8];
    RowPass(_mm256_packs_epi32(Load(coeffs), Load(coeffs + 8)),
            _mm256_packs_epi32(Load(coeffs + 16), Load(coeffs + 24)),
            _mm256_packs_epi32(Load(coeffs + 32), Load(coeffs + 40)),
            _mm256_packs_epi32(Load(coeffs + 48), Load(coeffs + 56)), t);
    Transpose8(t, r);
    ColumnPass(r, s);
    const __m256i bias = _mm256_set1_epi32(128);
    for (int y = 0; y < 8; y += 2) {
        const __m256i upper = _mm256_add_epi32(_mm256_srai_epi32(s[y], 20), bias);
        const __m256i lower = _mm256_add_epi32(_mm256_srai_epi32(s[y + 1], 20), bias);
        // Packing interleaves the 128-bit halves; the permutation puts row y first, then row y + 1.
        const __m256i rows = _mm256_permute4x64_epi64(_mm256_packs_epi32(upper, lower), 0xD8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + y * stride), _mm256_castsi256_si128(rows));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + (y + 1) * stride),
                         _mm256_extracti128_si256(rows, 1));
    }
}

// Sixteen pixels from sixteen Y, Cb and Cr samples, by the arithmetic of the SSE2 set.
MARISOLE_AVX2 inline void StorePixels(__m256i y, __m256i cb, __m256i cr, std::uint8_t* out) {
    const __m256i d = _mm256_sub_epi16(cr, _mm256_set1_epi16(128));
    const __m256i e = _mm256_sub_epi16(cb, _mm256_set1_epi16(128));
    const __m256i r =
        _mm256_add_epi16(_mm256_add_epi16(y, d), _mm256_mulhi_epi16(d, _mm256_set1_epi16(26345)));
    const __m256i b = _mm256_add_epi16(_mm256_add_epi16(y, _mm256_add_epi16(e, e)),
                                       _mm256_mulhi_epi16(e, _mm256_set1_epi16(-14955)));
    // Unpacking and packing both work within 128-bit halves, so the G terms come back in order.
    const __m256i gLow =
        _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(d, e), Pair(18750, -22551)), 16);
    const __m256i gHigh =
        _mm256_srai_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(d, e), Pair(18750, -22551)), 16);
    const __m256i g = _mm256_add_epi16(_mm256_sub_epi16(y, d), _mm256_packs_epi32(gLow, gHigh));
    const __m256i br = _mm256_packus_epi16(b, r);                       // B0-7 R0-7 | B8-15 R8-15
    const __m256i g0 = _mm256_packus_epi16(g, _mm256_setzero_si256());  // G0-7 0 | G8-15 0
    const __m256i bg = _mm256_unpacklo_epi8(br, g0);
    const __m256i r0 = _mm256_unpackhi_epi8(br, g0);
    const __m256i first = _mm256_unpacklo_epi16(bg, r0);   // pixels 0-3 | 8-11
    const __m256i second = _mm256_unpackhi_epi16(bg, r0);  // pixels 4-7 | 12-15
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_permute2x128_si256(first, second, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32), _mm256_permute2x128_si256(first, second, 0x31));
}

MARISOLE_AVX2 inline __m256i Load16(const std::int16_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Eight samples, each twice.
MARISOLE_AVX2 inline __m256i Load8Doubled(const std::int16_t* p) {
    const __m256i eight = _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    const __m256i spread = _mm256_permute4x64_epi64(eight, 0x50);  // quarters 0, 0, 1, 1
    return _mm256_unpacklo_epi16(spread, spread);
}

MARISOLE_AVX2 void ColourRow(const std::int16_t* y, const std::int16_t* cb, const std::int16_t* cr, int width,
                             std::uint8_t* out) {
    int x = 0;
    for (; x + 16 <= width; x += 16) StorePixels(Load16(y + x), Load16(cb + x), Load16(cr + x), out + 4 * x);
    for (; x < width; ++x) StorePixel(out + 4 * x, BgrxOf(y[x], cb[x], cr[x]));
}

MARISOLE_AVX2 void ColourRowHalfChroma(const std::int16_t* y, const std::int16_t* cb, const std::int16_t* cr,
                                       int width, std::uint8_t* out) {
    int x = 0;
    for (; x + 16 <= width; x += 16)
        StorePixels(Load16(y + x), Load8Doubled(cb + x / 2), Load8Doubled(cr + x / 2), out + 4 * x);
    for (; x < width; ++x) StorePixel(out + 4 * x, BgrxOf(y[x], cb[x / 2], cr[x / 2]));
}

MARISOLE_AVX2 void GreyRow(const std::int16_t* y, int width, std::uint8_t* out) {
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m256i g = _mm256_packus_epi16(Load16(y + x), Load16(y + x));  // Y0-7 Y0-7 | Y8-15 Y8-15
        const __m256i gg = _mm256_unpacklo_epi8(g, g);
        const __m256i g0 = _mm256_unpacklo_epi8(g, _mm256_setzero_si256());
        const __m256i first = _mm256_unpacklo_epi16(gg, g0);   // pixels 0-3 | 8-11
        const __m256i second = _mm256_unpackhi_epi16(gg, g0);  // pixels 4-7 | 12-15
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * x),
                            _mm256_permute2x128_si256(first, second, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * x + 32),
                            _mm256_permute2x128_si256(first, second, 0x31));
    }
    for (; x < width; ++x) StorePixel(out + 4 * x, GreyBgrxOf(y[x]));
}

const JpegKernels kAvx2 = {kAvx2Slots, Transform, ColourRow, ColourRowHalfChroma, GreyRow};

}  // namespace

const JpegKernels& Avx2Kernels() {
    return kAvx2;
}

}  // namespace jpeg

#endif  // __x86_64__
