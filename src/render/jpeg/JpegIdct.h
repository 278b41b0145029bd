#pragma once
// The inverse DCT of the decoder, in 32-bit integers:
//   sample(x, y) = (Σu Σv C[u][x] · C[v][y] · F(v, u)) >> 20, plus 128, not clamped,
// with C[0][x] = 362 and C[u][x] = cos(u·(2x+1)·π/16) · 512 truncated towards zero. All sums are
// taken modulo 2^32 (two's complement), so computing them row pass first, skipping zero rows and
// columns, gives exactly the same samples as the plain double sum, even for absurd coefficients.

#include <array>
#include <cstddef>
#include <cstdint>

namespace jpeg {

class JpegIdct {
  public:
    // The matrix C[u][x]; index [u][x].
    static const std::array<std::array<std::int32_t, 8>, 8>& Matrix();

    // `coeffs` in natural order (row v = vertical frequency, column u), wrapped 32-bit values.
    // `rowMask` bit v is set when row v may hold a non-zero coefficient, `lastColumn` is the largest
    // column that may. Writes 8 rows of 8 samples at `out`, rows `stride` elements apart.
    static void Transform(const std::int32_t* coeffs, unsigned rowMask, int lastColumn, std::int32_t* out,
                          std::ptrdiff_t stride);
};

}  // namespace jpeg
