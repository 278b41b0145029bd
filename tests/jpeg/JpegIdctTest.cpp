#include <gtest/gtest.h>

#include <random>

#include "render/jpeg/JpegIdct.h"

namespace {

using jpeg::JpegIdct;

// The oracle: the plain double sum over u and v for every sample, in wrapping 32-bit arithmetic.
void ReferenceIdct(const std::int32_t* f, std::int32_t* out) {
    const auto& c = JpegIdct::Matrix();
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            std::uint32_t sum = 0;
            for (int u = 0; u < 8; ++u)
                for (int v = 0; v < 8; ++v)
                    sum += static_cast<std::uint32_t>(c[u][x]) * static_cast<std::uint32_t>(c[v][y]) *
                           static_cast<std::uint32_t>(f[8 * v + u]);
            out[8 * y + x] = (static_cast<std::int32_t>(sum) >> 20) + 128;
        }
    }
}

void Masks(const std::int32_t* f, unsigned* rowMask, int* lastColumn) {
    *rowMask = 1;
    *lastColumn = 0;
    for (int i = 0; i < 64; ++i) {
        if (f[i] != 0) {
            *rowMask |= 1u << (i / 8);
            *lastColumn = std::max(*lastColumn, i % 8);
        }
    }
}

TEST(JpegIdct, MatrixRows) {
    const auto& c = JpegIdct::Matrix();
    for (int x = 0; x < 8; ++x) EXPECT_EQ(c[0][x], 362);
    const std::array<std::int32_t, 8> row1{502, 425, 284, 99, -99, -284, -425, -502};
    const std::array<std::int32_t, 8> row4{362, -362, -362, 362, 362, -362, -362, 362};
    EXPECT_EQ(c[1], row1);
    EXPECT_EQ(c[4], row4);
}

TEST(JpegIdct, DcOnlyBlocks) {
    struct Row {
        std::int32_t dc;
        std::int32_t sample;
    } rows[] = {
        {0, 128},  {1, 128},  {-1, 127}, {8, 128},    {9, 129},
        {16, 129}, {-8, 127}, {-9, 126}, {1024, 255}, {1032, 256},
    };
    for (const auto& r : rows) {
        std::int32_t f[64] = {r.dc};
        std::int32_t out[64];
        JpegIdct::Transform(f, 1, 0, out, 8);
        for (int i = 0; i < 64; ++i) ASSERT_EQ(out[i], r.sample) << "dc " << r.dc;
    }
}

TEST(JpegIdct, SeparableSumsEqualThePlainDoubleSum) {
    std::mt19937 random(7);
    struct Kind {
        const char* name;
        int nonZero;  // coefficients set
        int range;    // magnitude
    } kinds[] = {
        {"sparse, photo-like", 6, 300},
        {"dense, photo-like", 64, 200},
        {"one AC coefficient", 1, 1000},
        {"dense, wrapping sums", 64, 1 << 30},
    };
    for (const auto& kind : kinds) {
        for (int trial = 0; trial < 2000; ++trial) {
            std::int32_t f[64] = {};
            std::uniform_int_distribution<int> pos(0, 63), value(-kind.range, kind.range);
            for (int i = 0; i < kind.nonZero; ++i) f[kind.nonZero == 64 ? i : pos(random)] = value(random);
            unsigned rowMask;
            int lastColumn;
            Masks(f, &rowMask, &lastColumn);
            std::int32_t expected[64], actual[8 * 11];
            ReferenceIdct(f, expected);
            JpegIdct::Transform(f, rowMask, lastColumn, actual, 11);  // a wider stride, as in a plane
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) ASSERT_EQ(actual[11 * y + x], expected[8 * y + x]) << kind.name;
        }
    }
}

}  // namespace
