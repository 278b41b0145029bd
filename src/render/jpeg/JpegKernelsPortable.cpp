// The portable kernel set: plain C++ for any processor.
#include <algorithm>
#include <cstring>

#include "render/jpeg/JpegColour.h"
#include "render/jpeg/JpegIdct.h"
#include "render/jpeg/JpegKernels.h"

namespace jpeg {
namespace {

// Eight 32-bit lanes through the compiler's vector extension, which every target of GCC and Clang
// maps to its own vector registers (two SSE2 or NEON registers, one AVX2 register) or to scalar
// code. Unsigned lanes make every sum wrap modulo 2^32, as the transform is defined.
typedef std::uint32_t Lanes8 __attribute__((vector_size(32)));
typedef std::int32_t SignedLanes8 __attribute__((vector_size(32)));
typedef std::int16_t Samples8 __attribute__((vector_size(16)));

// One 8-point pass of the transform across eight vectors, out[k] = Σu C[u][k] · in[u], wrapping.
// The matrix (C[0][x] = 362, C[u][x] = cos(u·(2x+1)·π/16) · 512 truncated towards zero) has, row by
// row, C[u][7 − x] = (−1)^u · C[u][x] exactly (truncation towards zero keeps the sign symmetry), so
// out[k] = even[k] + odd[k] and out[7 − k] = even[k] − odd[k] with sums over the even and the odd u.
// For x = 0 … 3 the rows are:
//   u = 0: 362 362 362 362       u = 1: 502 425 284 99
//   u = 2: 473 195 −195 −473     u = 3: 425 −99 −502 −284
//   u = 4: 362 −362 −362 362     u = 5: 284 −502 99 425
//   u = 6: 195 −473 473 −195     u = 7: 99 −284 425 −502
// These are identities of integers, and arithmetic modulo 2^32 keeps them, so the result is the
// plain matrix product's to the last bit for any input. The SIMD sets split the matrix the same way.
inline void Pass(const Lanes8 in[8], Lanes8 out[8]) {
    const Lanes8 sum04 = (in[0] + in[4]) * 362u;
    const Lanes8 diff04 = (in[0] - in[4]) * 362u;
    const Lanes8 m26 = in[2] * 473u + in[6] * 195u;
    const Lanes8 n26 = in[2] * 195u - in[6] * 473u;
    const Lanes8 even[4] = {sum04 + m26, diff04 + n26, diff04 - n26, sum04 - m26};
    const Lanes8 odd[4] = {
        in[1] * 502u + in[3] * 425u + in[5] * 284u + in[7] * 99u,
        in[1] * 425u - in[3] * 99u - in[5] * 502u - in[7] * 284u,
        in[1] * 284u - in[3] * 502u + in[5] * 99u + in[7] * 425u,
        in[1] * 99u - in[3] * 284u + in[5] * 425u - in[7] * 502u,
    };
    for (int k = 0; k < 4; ++k) {
        out[k] = even[k] + odd[k];
        out[7 - k] = even[k] - odd[k];
    }
}

// Row u of the matrix, C[u][0 … 7], as a vector.
struct MatrixRows {
    Lanes8 row[8];
    MatrixRows() {
        for (int u = 0; u < 8; ++u)
            for (int x = 0; x < 8; ++x) row[u][x] = static_cast<std::uint32_t>(JpegIdct::Matrix()[u][x]);
    }
};

void Transform(const std::int32_t* coeffs, bool, std::int16_t* out, std::ptrdiff_t stride) {
    TransformNatural(coeffs, out, stride);
}

void ColourRow(const std::int16_t* y, const std::int16_t* cb, const std::int16_t* cr, int width,
               std::uint8_t* out) {
    for (int x = 0; x < width; ++x) StorePixel(out + 4 * x, BgrxOf(y[x], cb[x], cr[x]));
}

void ColourRowHalfChroma(const std::int16_t* y, const std::int16_t* cb, const std::int16_t* cr, int width,
                         std::uint8_t* out) {
    // Chroma enlarged piece by piece, so that the conversion itself is the full-resolution loop.
    constexpr int kPiece = 256;
    std::int16_t cbWide[kPiece], crWide[kPiece];
    for (int x = 0; x < width; x += kPiece) {
        const int n = std::min(kPiece, width - x);
        for (int i = 0; i < n; ++i) {
            cbWide[i] = cb[(x + i) / 2];
            crWide[i] = cr[(x + i) / 2];
        }
        ColourRow(y + x, cbWide, crWide, n, out + 4 * x);
    }
}

void GreyRow(const std::int16_t* y, int width, std::uint8_t* out) {
    for (int x = 0; x < width; ++x) StorePixel(out + 4 * x, GreyBgrxOf(y[x]));
}

constexpr std::array<std::uint8_t, 64> NaturalOrder() {
    std::array<std::uint8_t, 64> slots{};
    for (int i = 0; i < 64; ++i) slots[i] = static_cast<std::uint8_t>(i);
    return slots;
}

const JpegKernels kPortable = {NaturalOrder(), Transform, ColourRow, ColourRowHalfChroma, GreyRow};

}  // namespace

void TransformNatural(const std::int32_t* natural, std::int16_t* out, std::ptrdiff_t stride) {
    static const MatrixRows kRows;
    // Rows first, t[v] = Σu F(v, u) · C[u] (lanes x), skipping the rows without coefficients (most
    // of them in a photo); then the columns, S[y] = Σv C[v][y] · t[v], as one pass across vectors.
    Lanes8 t[8];
    for (int v = 0; v < 8; ++v) {
        const std::int32_t* f = natural + 8 * v;
        t[v] = Lanes8{};
        if ((f[0] | f[1] | f[2] | f[3] | f[4] | f[5] | f[6] | f[7]) == 0) continue;
        for (int u = 0; u < 8; ++u) t[v] += static_cast<std::uint32_t>(f[u]) * kRows.row[u];
    }
    Lanes8 s[8];
    Pass(t, s);
    for (int y = 0; y < 8; ++y) {
        const SignedLanes8 samples = (reinterpret_cast<const SignedLanes8&>(s[y]) >> 20) + 128;
        const Samples8 narrow = __builtin_convertvector(samples, Samples8);
        std::memcpy(out + y * stride, &narrow, sizeof narrow);
    }
}

const JpegKernels& PortableKernels() {
    return kPortable;
}

}  // namespace jpeg
