#include "render/jpeg/JpegIdct.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "render/jpeg/TargetClones.h"

namespace jpeg {
namespace {

std::array<std::array<std::int32_t, 8>, 8> BuildMatrix() {
    std::array<std::array<std::int32_t, 8>, 8> c{};
    for (int x = 0; x < 8; ++x) c[0][x] = 362;
    for (int u = 1; u < 8; ++u) {
        for (int x = 0; x < 8; ++x) {
            c[u][x] =
                static_cast<std::int32_t>(std::cos(u * (2 * x + 1) * std::numbers::pi / 16) * 0.5 * 1024);
        }
    }
    return c;
}

const std::array<std::array<std::int32_t, 8>, 8> kMatrix = BuildMatrix();

// One row of eight samples as a vector of 32-bit lanes (GCC/Clang vector extensions: one AVX2
// register, or two SSE2 registers in the baseline build). Unsigned lanes make the sums wrap.
typedef std::uint32_t Row8 __attribute__((vector_size(32)));
typedef std::int32_t SignedRow8 __attribute__((vector_size(32)));

struct MatrixRows {
    Row8 row[8];  // row[u] = C[u][0 … 7]
    MatrixRows() {
        for (int u = 0; u < 8; ++u)
            for (int x = 0; x < 8; ++x) row[u][x] = static_cast<std::uint32_t>(kMatrix[u][x]);
    }
};
const MatrixRows kRows;

inline std::int32_t Sample(std::uint32_t sum) {
    return (static_cast<std::int32_t>(sum) >> 20) + 128;
}

}  // namespace

const std::array<std::array<std::int32_t, 8>, 8>& JpegIdct::Matrix() {
    return kMatrix;
}

MARISOLE_JPEG_CLONES
void JpegIdct::Transform(const std::int32_t* coeffs, unsigned rowMask, int lastColumn, std::int32_t* out,
                         std::ptrdiff_t stride) {
    if (rowMask <= 1 && lastColumn == 0) {
        // Only the DC coefficient: every sample is 362 · 362 · F >> 20.
        const std::int32_t s = Sample(131044u * static_cast<std::uint32_t>(coeffs[0]));
        for (int y = 0; y < 8; ++y, out += stride)
            for (int x = 0; x < 8; ++x) out[x] = s;
        return;
    }
    // Row pass: t[v][x] = Σu F(v, u) · C[u][x] for the rows that hold coefficients.
    Row8 t[8];
    int rows[8];
    int rowCount = 0;
    for (int v = 0; v < 8; ++v) {
        if (!(rowMask >> v & 1)) continue;
        rows[rowCount++] = v;
        const std::int32_t* f = coeffs + 8 * v;
        Row8 acc = static_cast<std::uint32_t>(f[0]) * kRows.row[0];
        for (int u = 1; u <= lastColumn; ++u) acc += static_cast<std::uint32_t>(f[u]) * kRows.row[u];
        t[v] = acc;
    }
    // Column pass: sample(x, y) = Σv C[v][y] · t[v][x].
    for (int y = 0; y < 8; ++y, out += stride) {
        Row8 acc = static_cast<std::uint32_t>(kMatrix[rows[0]][y]) * t[rows[0]];
        for (int i = 1; i < rowCount; ++i)
            acc += static_cast<std::uint32_t>(kMatrix[rows[i]][y]) * t[rows[i]];
        const SignedRow8 samples = (reinterpret_cast<const SignedRow8&>(acc) >> 20) + 128;
        std::memcpy(out, &samples, sizeof samples);
    }
}

}  // namespace jpeg
