// The SSE2 kernel set (every x86-64 processor). Four 32-bit or eight 16-bit lanes per register.
#if defined(__x86_64__)

#include <emmintrin.h>

#include "render/jpeg/JpegColour.h"
#include "render/jpeg/JpegKernels.h"
#include "render/jpeg/JpegSimdLayout.h"

namespace jpeg {
namespace {

// Two 16-bit constants for _mm_madd_epi16: `first` multiplies the lower element of each pair.
inline __m128i Pair(int first, int second) {
    return _mm_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(second) << 16 |
                                           (static_cast<std::uint32_t>(first) & 0xFFFF)));
}

inline void Transpose4(__m128i& a, __m128i& b, __m128i& c, __m128i& d) {
    const __m128i ab0 = _mm_unpacklo_epi32(a, b), ab1 = _mm_unpackhi_epi32(a, b);
    const __m128i cd0 = _mm_unpacklo_epi32(c, d), cd1 = _mm_unpackhi_epi32(c, d);
    a = _mm_unpacklo_epi64(ab0, cd0);
    b = _mm_unpackhi_epi64(ab0, cd0);
    c = _mm_unpacklo_epi64(ab1, cd1);
    d = _mm_unpackhi_epi64(ab1, cd1);
}

// One 8-point pass of the transform over four lanes: out[k] = Σu C[u][k] · in(u), from the 16-bit
// pairs of inputs (0, 4), (2, 6), (1, 3), (5, 7) of each lane. The even/odd split of the matrix is
// the portable kernel's; _mm_madd_epi16 adds two exact 16 × 16-bit products.
inline void PairPass(__m128i p04, __m128i p26, __m128i p13, __m128i p57, __m128i t[8]) {
    const __m128i sum04 = _mm_madd_epi16(p04, Pair(362, 362));
    const __m128i diff04 = _mm_madd_epi16(p04, Pair(362, -362));
    const __m128i m26 = _mm_madd_epi16(p26, Pair(473, 195));
    const __m128i n26 = _mm_madd_epi16(p26, Pair(195, -473));
    const __m128i even[4] = {_mm_add_epi32(sum04, m26), _mm_add_epi32(diff04, n26),
                             _mm_sub_epi32(diff04, n26), _mm_sub_epi32(sum04, m26)};
    const __m128i odd[4] = {
        _mm_add_epi32(_mm_madd_epi16(p13, Pair(502, 425)), _mm_madd_epi16(p57, Pair(284, 99))),
        _mm_add_epi32(_mm_madd_epi16(p13, Pair(425, -99)), _mm_madd_epi16(p57, Pair(-502, -284))),
        _mm_add_epi32(_mm_madd_epi16(p13, Pair(284, -502)), _mm_madd_epi16(p57, Pair(99, 425))),
        _mm_add_epi32(_mm_madd_epi16(p13, Pair(99, -284)), _mm_madd_epi16(p57, Pair(425, -502))),
    };
    for (int k = 0; k < 4; ++k) {
        t[k] = _mm_add_epi32(even[k], odd[k]);
        t[7 - k] = _mm_sub_epi32(even[k], odd[k]);
    }
}

inline __m128i Load(const std::int32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

void Transform(const std::int32_t* coeffs, bool fitInt16, std::int16_t* out, std::ptrdiff_t stride) {
    if (!fitInt16) {
        std::int32_t natural[64];
        for (int i = 0; i < 64; ++i) natural[i] = coeffs[kSse2Slots[i]];
        TransformNatural(natural, out, stride);
        return;
    }
    // The rows: t[half][x] = Σu C[u][x] · F(v, u), one lane per row v, rows 0, 4, 2, 6 in the first
    // half and 1, 3, 5, 7 in the second (the slots' order). Coefficients within 16 bits keep every
    // |t| ≤ 32768 · Σu |C[u][x]| = 32768 · 2702 < 2^27.
    __m128i t[2][8];
    for (int half = 0; half < 2; ++half) {
        const std::int32_t* c = coeffs + 8 * half;
        PairPass(_mm_packs_epi32(Load(c), Load(c + 4)), _mm_packs_epi32(Load(c + 16), Load(c + 20)),
                 _mm_packs_epi32(Load(c + 32), Load(c + 36)), _mm_packs_epi32(Load(c + 48), Load(c + 52)),
                 t[half]);
    }
    // The columns: S(x, y) = Σv C[v][y] · t(v, x), wrapping, by 16-bit products as well. Each t is
    // split as h · 2^15 + l with 0 ≤ l < 2^15 and h = t >> 15 (|h| ≤ 2702): both fit 16 bits, and
    // S = Σ C · l + 2^15 · Σ C · h modulo 2^32. Packed to 16 bits, the two halves of t[·][x] hold
    // the rows 0, 4, 2, 6, 1, 3, 5, 7 of column x, so their 32-bit units are the pairs of rows
    // (0, 4), (2, 6), (1, 3), (5, 7); transposing the units of four columns gives each pair for
    // those columns, ready for the same pass as the rows.
    const __m128i lowBits = _mm_set1_epi32(0x7FFF);
    __m128i low[8], high[8];
    for (int x = 0; x < 8; ++x) {
        low[x] = _mm_packs_epi32(_mm_and_si128(t[0][x], lowBits), _mm_and_si128(t[1][x], lowBits));
        high[x] = _mm_packs_epi32(_mm_srai_epi32(t[0][x], 15), _mm_srai_epi32(t[1][x], 15));
    }
    __m128i s[2][8];  // s[cols][y]: S(x, y) for x = 4·cols … 4·cols + 3
    for (int cols = 0; cols < 2; ++cols) {
        __m128i* l = low + 4 * cols;
        __m128i* h = high + 4 * cols;
        Transpose4(l[0], l[1], l[2], l[3]);
        Transpose4(h[0], h[1], h[2], h[3]);
        __m128i fromLow[8], fromHigh[8];
        PairPass(l[0], l[1], l[2], l[3], fromLow);
        PairPass(h[0], h[1], h[2], h[3], fromHigh);
        for (int y = 0; y < 8; ++y) s[cols][y] = _mm_add_epi32(fromLow[y], _mm_slli_epi32(fromHigh[y], 15));
    }
    const __m128i bias = _mm_set1_epi32(128);
    for (int y = 0; y < 8; ++y) {
        const __m128i left = _mm_add_epi32(_mm_srai_epi32(s[0][y], 20), bias);
        const __m128i right = _mm_add_epi32(_mm_srai_epi32(s[1][y], 20), bias);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + y * stride), _mm_packs_epi32(left, right));
    }
}

// Eight pixels from eight Y, Cb and Cr samples. With d = Cr − 128 and e = Cb − 128 the conversion
// is, to the last bit (Y·65536 is a whole multiple of 65536, so it leaves the shift unchanged):
//   R = Y + d + ((d · 26345) >> 16)             (91881 = 65536 + 26345)
//   G = Y − d + ((d · 18750 − e · 22551) >> 16) (−46786 = −65536 + 18750)
//   B = Y + 2e + ((e · −14955) >> 16)           (116117 = 131072 − 14955)
// Every factor fits 16 bits, so _mm_mulhi_epi16 gives the shifted products and _mm_madd_epi16 the
// sum for G; samples in −1920 … 2175 keep every sum within 16 bits, and packing with unsigned
// saturation clamps to 0 … 255.
inline void StorePixels(__m128i y, __m128i cb, __m128i cr, std::uint8_t* out) {
    const __m128i d = _mm_sub_epi16(cr, _mm_set1_epi16(128));
    const __m128i e = _mm_sub_epi16(cb, _mm_set1_epi16(128));
    const __m128i r = _mm_add_epi16(_mm_add_epi16(y, d), _mm_mulhi_epi16(d, _mm_set1_epi16(26345)));
    const __m128i b =
        _mm_add_epi16(_mm_add_epi16(y, _mm_add_epi16(e, e)), _mm_mulhi_epi16(e, _mm_set1_epi16(-14955)));
    const __m128i gLow = _mm_srai_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(d, e), Pair(18750, -22551)), 16);
    const __m128i gHigh = _mm_srai_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(d, e), Pair(18750, -22551)), 16);
    const __m128i g = _mm_add_epi16(_mm_sub_epi16(y, d), _mm_packs_epi32(gLow, gHigh));
    const __m128i br = _mm_packus_epi16(b, r);                    // B0 … B7, R0 … R7
    const __m128i g0 = _mm_packus_epi16(g, _mm_setzero_si128());  // G0 … G7, 0 …
    const __m128i bg = _mm_unpacklo_epi8(br, g0);                 // B0 G0 B1 G1 …
    const __m128i r0 = _mm_unpackhi_epi8(br, g0);                 // R0 0 R1 0 …
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi16(bg, r0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_unpackhi_epi16(bg, r0));
}

inline __m128i Load8(const std::int16_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Four samples, each twice.
inline __m128i Load4Doubled(const std::int16_t* p) {
    const __m128i four = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    return _mm_unpacklo_epi16(four, four);
}

void ColourRow(const std::int16_t* y, const std::int16_t* cb, const std::int16_t* cr, int width,
               std::uint8_t* out) {
    int x = 0;
    for (; x + 8 <= width; x += 8) StorePixels(Load8(y + x), Load8(cb + x), Load8(cr + x), out + 4 * x);
    for (; x < width; ++x) StorePixel(out + 4 * x, BgrxOf(y[x], cb[x], cr[x]));
}

void ColourRowHalfChroma(const std::int16_t* y, const std::int16_t* cb, const std::int16_t* cr, int width,
                         std::uint8_t* out) {
    int x = 0;
    for (; x + 8 <= width; x += 8)
        StorePixels(Load8(y + x), Load4Doubled(cb + x / 2), Load4Doubled(cr + x / 2), out + 4 * x);
    for (; x < width; ++x) StorePixel(out + 4 * x, BgrxOf(y[x], cb[x / 2], cr[x / 2]));
}

void GreyRow(const std::int16_t* y, int width, std::uint8_t* out) {
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m128i g = _mm_packus_epi16(Load8(y + x), Load8(y + x));
        const __m128i gg = _mm_unpacklo_epi8(g, g);
        const __m128i g0 = _mm_unpacklo_epi8(g, _mm_setzero_si128());
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), _mm_unpacklo_epi16(gg, g0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x + 16), _mm_unpackhi_epi16(gg, g0));
    }
    for (; x < width; ++x) StorePixel(out + 4 * x, GreyBgrxOf(y[x]));
}

const JpegKernels kSse2 = {kSse2Slots, Transform, ColourRow, ColourRowHalfChroma, GreyRow};

}  // namespace

const JpegKernels& Sse2Kernels() {
    return kSse2;
}

}  // namespace jpeg

#endif  // __x86_64__
