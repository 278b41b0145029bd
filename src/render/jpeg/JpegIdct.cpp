#include "render/jpeg/JpegIdct.h"

#include <cmath>
#include <numbers>

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

// Unsigned copies of the matrix for the wrapping products (same bits as the signed values).
struct UnsignedMatrix {
    std::uint32_t c[8][8];
    UnsignedMatrix() {
        for (int u = 0; u < 8; ++u)
            for (int x = 0; x < 8; ++x) c[u][x] = static_cast<std::uint32_t>(kMatrix[u][x]);
    }
};
const UnsignedMatrix kU;

inline std::int32_t Sample(std::uint32_t sum) {
    return (static_cast<std::int32_t>(sum) >> 20) + 128;
}

}  // namespace

const std::array<std::array<std::int32_t, 8>, 8>& JpegIdct::Matrix() {
    return kMatrix;
}

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
    std::uint32_t t[8][8];
    int rows[8];
    int rowCount = 0;
    for (int v = 0; v < 8; ++v) {
        if (!(rowMask >> v & 1)) continue;
        rows[rowCount++] = v;
        const std::int32_t* f = coeffs + 8 * v;
        std::uint32_t acc[8] = {};
        for (int u = 0; u <= lastColumn; ++u) {
            const std::uint32_t fu = static_cast<std::uint32_t>(f[u]);
            for (int x = 0; x < 8; ++x) acc[x] += fu * kU.c[u][x];
        }
        for (int x = 0; x < 8; ++x) t[v][x] = acc[x];
    }
    // Column pass: sample(x, y) = Σv C[v][y] · t[v][x].
    for (int y = 0; y < 8; ++y, out += stride) {
        std::uint32_t acc[8] = {};
        for (int i = 0; i < rowCount; ++i) {
            const int v = rows[i];
            const std::uint32_t cv = kU.c[v][y];
            for (int x = 0; x < 8; ++x) acc[x] += cv * t[v][x];
        }
        for (int x = 0; x < 8; ++x) out[x] = Sample(acc[x]);
    }
}

}  // namespace jpeg
