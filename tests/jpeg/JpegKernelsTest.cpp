// Each kernel set against the reference decoder's own building blocks: the transform against
// JpegIdct (the matrix product), the colour rows against JpegPixelWriter on 32-bit samples.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "TestPictures.h"
#include "render/jpeg/JpegIdct.h"
#include "render/jpeg/JpegKernels.h"
#include "render/jpeg/JpegPixelWriter.h"

namespace {

using jpeg::JpegKernels;

struct NamedSet {
    const char* name;
    const JpegKernels* kernels;
};

std::vector<NamedSet> Sets() {
    std::vector<NamedSet> sets;
    for (jpeg::JpegDecodePath path : jpegtest::RunnableFastPaths())
        sets.push_back({jpeg::DecodePathName(path), jpeg::KernelsFor(path)});
    return sets;
}

TEST(JpegKernels, TransformGivesTheMatrixProductsSamples) {
    struct Kind {
        const char* name;
        int nonZero;  // coefficients set (64: all)
        int range;    // magnitude
    } kinds[] = {
        {"sparse, photo-like", 6, 300},       {"dense, photo-like", 64, 200},
        {"one AC coefficient", 1, 1000},      {"dense, the 16-bit limits", 64, 32768},
        {"sparse, beyond 16 bits", 5, 70000}, {"dense, wrapping sums", 64, 1 << 30},
    };
    for (const NamedSet& set : Sets()) {
        std::mt19937 random(11);
        for (const Kind& kind : kinds) {
            for (int trial = 0; trial < 3000; ++trial) {
                std::int32_t natural[64] = {};
                std::uniform_int_distribution<int> pos(0, 63), value(-kind.range, kind.range - 1);
                for (int i = 0; i < kind.nonZero; ++i)
                    natural[kind.nonZero == 64 ? i : pos(random)] = value(random);
                natural[0] = value(random);  // a block always has its DC coefficient
                bool fits = true;
                for (std::int32_t f : natural) fits = fits && f >= -32768 && f <= 32767;

                std::int32_t expected[64];
                jpeg::JpegIdct::Transform(natural, 0xFF, 7, expected, 8);
                std::int32_t slots[64];
                for (int i = 0; i < 64; ++i) slots[set.kernels->slotOfNatural[i]] = natural[i];
                // The 16-bit way only where it is allowed; the exact way always.
                for (bool fitInt16 : {false, true}) {
                    if (fitInt16 && !fits) continue;
                    std::int16_t actual[8 * 13];
                    std::fill(std::begin(actual), std::end(actual), std::int16_t{0x5A5A});
                    set.kernels->transform(slots, fitInt16, actual, 13);  // a wider stride, as in a plane
                    for (int y = 0; y < 8; ++y) {
                        for (int x = 0; x < 13; ++x) {
                            const int want =
                                x < 8 ? expected[8 * y + x] : 0x5A5A;  // nothing beyond the block
                            ASSERT_EQ(actual[13 * y + x], want) << set.name << ", " << kind.name
                                                                << ", 16-bit way " << fitInt16 << ", x " << x;
                        }
                    }
                }
            }
        }
    }
}

TEST(JpegKernels, SlotsAreAPermutation) {
    for (const NamedSet& set : Sets()) {
        std::vector<bool> used(64);
        for (std::uint8_t slot : set.kernels->slotOfNatural) {
            ASSERT_LT(slot, 64) << set.name;
            EXPECT_FALSE(used[slot]) << set.name << " slot " << int{slot};
            used[slot] = true;
        }
    }
}

// The reference writer's 32-bit pixels for 32-bit samples.
std::vector<std::uint8_t> ReferenceRow(const std::vector<std::int32_t>& y,
                                       const std::vector<std::int32_t>* cb,
                                       const std::vector<std::int32_t>* cr) {
    jpeg::JpegPixelWriter writer;
    jpeg::PixelDestination format;
    format.bitsPerPixel = 32;
    EXPECT_TRUE(writer.SetFormat(format));
    std::vector<std::uint8_t> out(4 * y.size());
    writer.WriteRow(y.data(), cb ? cb->data() : nullptr, cr ? cr->data() : nullptr,
                    static_cast<int>(y.size()), 0, out.data());
    return out;
}

std::vector<std::int16_t> Narrow(const std::vector<std::int32_t>& v) {
    return {v.begin(), v.end()};
}

constexpr int kLowest = -1920, kHighest = 2175;  // every sample the transform can give

TEST(JpegKernels, ColourRowsGiveTheReferencePixelsForEveryChromaPair) {
    // Every pair (Cb, Cr) of possible samples, one row per Cr, with Y running over its whole range
    // at a different pace, so that each term of the conversion meets every value with many Y.
    constexpr int kWidth = kHighest - kLowest + 1;
    std::vector<std::int32_t> y(kWidth), cb(kWidth), cr(kWidth);
    for (int x = 0; x < kWidth; ++x) cb[x] = kLowest + x;
    for (const NamedSet& set : Sets()) {
        for (int crValue = kLowest; crValue <= kHighest; ++crValue) {
            for (int x = 0; x < kWidth; ++x) {
                y[x] = kLowest + (x * 37 + crValue * 11) % kWidth;
                cr[x] = crValue;
            }
            const auto expected = ReferenceRow(y, &cb, &cr);
            std::vector<std::uint8_t> actual(4 * kWidth + 4, 0xEE);
            set.kernels->colourRow(Narrow(y).data(), Narrow(cb).data(), Narrow(cr).data(), kWidth,
                                   actual.data());
            ASSERT_TRUE(std::equal(expected.begin(), expected.end(), actual.begin()))
                << set.name << ", Cr " << crValue;
            ASSERT_EQ(actual[4 * kWidth], 0xEE) << set.name;
        }
    }
}

TEST(JpegKernels, HalfChromaRowsTakeChromaSampleXOverTwo) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> sample(kLowest, kHighest);
    for (const NamedSet& set : Sets()) {
        for (int width = 0; width <= 70; ++width) {
            std::vector<std::int32_t> y(width), cbHalf((width + 1) / 2), crHalf((width + 1) / 2), cb(width),
                cr(width);
            for (auto& v : y) v = sample(random);
            for (auto& v : cbHalf) v = sample(random);
            for (auto& v : crHalf) v = sample(random);
            for (int x = 0; x < width; ++x) {
                cb[x] = cbHalf[x / 2];
                cr[x] = crHalf[x / 2];
            }
            const auto expected = ReferenceRow(y, &cb, &cr);
            std::vector<std::uint8_t> actual(4 * width + 4, 0xEE);
            set.kernels->colourRowHalfChroma(Narrow(y).data(), Narrow(cbHalf).data(), Narrow(crHalf).data(),
                                             width, actual.data());
            ASSERT_TRUE(std::equal(expected.begin(), expected.end(), actual.begin()))
                << set.name << ", width " << width;
            ASSERT_EQ(actual[4 * width], 0xEE) << set.name << ", width " << width;
        }
    }
}

TEST(JpegKernels, GreyRowsClampEverySample) {
    std::vector<std::int32_t> y;
    for (int v = kLowest; v <= kHighest; ++v) y.push_back(v);
    const auto expected = ReferenceRow(y, nullptr, nullptr);
    for (const NamedSet& set : Sets()) {
        for (int width : {0, 1, 7, 15, 16, 17, 33, static_cast<int>(y.size())}) {
            std::vector<std::uint8_t> actual(4 * width + 4, 0xEE);
            set.kernels->greyRow(Narrow(y).data(), width, actual.data());
            ASSERT_TRUE(std::equal(actual.begin(), actual.begin() + 4 * width, expected.begin()))
                << set.name << ", width " << width;
            ASSERT_EQ(actual[4 * width], 0xEE) << set.name << ", width " << width;
        }
    }
}

}  // namespace
