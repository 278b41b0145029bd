// Pictures built by hand whose pixels follow from the decoder's arithmetic on paper.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "JpegBuilder.h"
#include "TestPictures.h"
#include "render/jpeg/JpegDecoder.h"

namespace {

using namespace jpegtest;

std::vector<std::uint8_t> Pixel(const OurDecode& d, int x, int y) {
    const int bytes = d.pitch / d.width;  // no padding in these tests
    const auto* p = d.pixels.data() + static_cast<std::size_t>(y) * d.pitch + x * bytes;
    return {p, p + bytes};
}

TEST(JpegDecoderExact, FlatGreyBlockByDepth) {
    struct Row {
        int components;
        int bits;
        std::vector<std::uint8_t> pixel;  // at (1, 0)
    } rows[] = {
        {1, 24, {0x80, 0x80, 0x80}},
        {3, 24, {0x80, 0x80, 0x80}},
        {3, 32, {0x80, 0x80, 0x80, 0x00}},
        {1, 32, {0x80, 0x80, 0x80, 0x00}},
        {3, 16, {0x10, 0x84}},  // 5-6-5: 16 << 11 | 32 << 5 | 16 = 0x8410
        {3, 8, {139}},          // 128 + dither 10 → cube level 3 on every channel: 10 + 43·3
    };
    for (const auto& r : rows) {
        BuildPlan plan;
        plan.components.assign(r.components, {1, 1});
        const auto d = DecodeWithOurs(BuildJpeg(plan), r.bits);
        ASSERT_TRUE(d.ok) << r.components << "/" << r.bits;
        ASSERT_EQ(d.width, 8);
        ASSERT_EQ(d.height, 8);
        EXPECT_EQ(Pixel(d, 1, 0), r.pixel) << r.components << "/" << r.bits;
    }
}

TEST(JpegDecoderExact, DcValueTimesQuantisationGivesTheGreyLevel) {
    // sample = (362 · 362 · dc · q) >> 20, plus 128, clamped to 0 … 255.
    struct Row {
        int dc;
        std::uint16_t q;
        bool wide;
        std::uint8_t grey;
    } rows[] = {
        {1, 8, false, 128},   {2, 8, false, 129},   {-1, 8, false, 127},  {-9, 1, false, 126},
        {100, 1, false, 140}, {-1024, 1, false, 0}, {4, 255, false, 255}, {1, 1032, true, 255},
        {1, 300, true, 165},  {-1, 1200, true, 0},
    };
    for (const auto& r : rows) {
        BuildPlan plan;
        plan.quant[0] = r.q;
        plan.wideQuant = r.wide;
        plan.block = [&](int, int, int) { return DcBlock(r.dc); };
        const auto d = DecodeWithOurs(BuildJpeg(plan), 24);
        ASSERT_TRUE(d.ok) << r.dc << "·" << r.q;
        EXPECT_EQ(Pixel(d, 5, 6), std::vector<std::uint8_t>(3, r.grey)) << r.dc << "·" << r.q;
    }
}

TEST(JpegDecoderExact, ThirtyTwoBitPixelIs00RRGGBB) {
    // DC −224, −304, 577 give the samples Y 100, Cb 90, Cr 200, which convert to R 200, G 61, B 32.
    BuildPlan plan;
    plan.components.assign(3, {1, 1});
    plan.block = [](int c, int, int) { return DcBlock(c == 0 ? -224 : (c == 1 ? -304 : 577)); };
    const auto d = DecodeWithOurs(BuildJpeg(plan), 32);
    ASSERT_TRUE(d.ok);
    for (int i = 0; i < 64; ++i) {
        std::uint32_t word;
        std::memcpy(&word, d.pixels.data() + 4 * i, 4);
        ASSERT_EQ(word, 0x00C83D20u) << i;
    }
}

TEST(JpegDecoderExact, WhiteIsCubeIndex225AtEightBits) {
    BuildPlan plan;
    plan.width = plan.height = 16;
    plan.components = {{2, 2}, {1, 1}, {1, 1}};
    plan.block = [](int c, int, int) { return DcBlock(c == 0 ? 1032 : 0); };
    const auto d = DecodeWithOurs(BuildJpeg(plan), 8);
    ASSERT_TRUE(d.ok);
    for (std::uint8_t index : d.pixels) ASSERT_EQ(index, 225);
}

// Chroma blocks with some AC energy, luma flat: the chroma of a sub-sampled picture must be the
// chroma of the same blocks at full resolution, each sample repeated Hmax / H by Vmax / V times.
ZigzagBlock ChromaBlock(int c) {
    ZigzagBlock b{};
    b[0] = c == 1 ? -40 : 60;
    b[1] = c == 1 ? 90 : -70;
    b[2] = c == 1 ? -60 : 40;
    b[4] = 35;
    b[9] = c == 1 ? 25 : -30;
    return b;
}

TEST(JpegDecoderExact, SubsampledChromaIsReplicatedNearestNeighbour) {
    BuildPlan full;
    full.components.assign(3, {1, 1});
    full.block = [](int c, int, int) { return c == 0 ? ZigzagBlock{} : ChromaBlock(c); };
    const auto reference = DecodeWithOurs(BuildJpeg(full), 32);
    ASSERT_TRUE(reference.ok);

    const std::pair<int, int> factors[] = {{2, 2}, {2, 1}, {1, 2}, {3, 1}, {4, 2}, {1, 4}};
    for (auto [h, v] : factors) {
        BuildPlan plan;
        plan.width = 8 * h;
        plan.height = 8 * v;
        plan.components = {{h, v}, {1, 1}, {1, 1}};
        plan.block = full.block;
        const auto d = DecodeWithOurs(BuildJpeg(plan), 32);
        ASSERT_TRUE(d.ok) << h << "x" << v;
        for (int y = 0; y < plan.height; ++y)
            for (int x = 0; x < plan.width; ++x)
                ASSERT_EQ(Pixel(d, x, y), Pixel(reference, x / h, y / v))
                    << h << "x" << v << " at " << x << "," << y;
    }
}

ZigzagBlock RandomBlock(std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> value(-60, 60), pos(1, 63);
    ZigzagBlock b{};
    b[0] = value(random) * 8;
    for (int i = 0; i < 6; ++i) b[pos(random)] = value(random);
    return b;
}

std::function<ZigzagBlock(int, int, int)> RandomBlocks() {
    return [](int c, int bx, int by) {
        return RandomBlock(static_cast<std::uint32_t>(c * 100000 + by * 1000 + bx));
    };
}

TEST(JpegDecoderExact, Width17With420HasTwoMcusPerRowAndWritesOnly17Pixels) {
    BuildPlan wide, narrow;
    wide.width = 32;
    narrow.width = 17;
    wide.height = narrow.height = 16;
    wide.components = narrow.components = {{2, 2}, {1, 1}, {1, 1}};
    wide.block = narrow.block = RandomBlocks();
    const auto full = DecodeWithOurs(BuildJpeg(wide), 24);
    const auto cut = DecodeWithOurs(BuildJpeg(narrow), 24, /*padding=*/5);
    ASSERT_TRUE(full.ok);
    ASSERT_TRUE(cut.ok);
    ASSERT_EQ(cut.width, 17);
    for (int y = 0; y < 16; ++y) {
        const auto* a = full.pixels.data() + y * full.pitch;
        const auto* b = cut.pixels.data() + y * cut.pitch;
        ASSERT_TRUE(std::equal(a, a + 17 * 3, b)) << "row " << y;
        for (int i = 17 * 3; i < cut.pitch; ++i) ASSERT_EQ(b[i], 0xAB) << "row " << y << " byte " << i;
    }
}

TEST(JpegDecoderExact, RestartIntervalsDecodeLikeNoRestarts) {
    struct Row {
        std::vector<BuilderComponent> components;
        int width, height;
    } rows[] = {
        {{{1, 1}}, 40, 24},
        {{{1, 1}, {1, 1}, {1, 1}}, 24, 16},
        {{{2, 2}, {1, 1}, {1, 1}}, 48, 32},
        {{{2, 1}, {1, 1}, {1, 1}}, 33, 9},
    };
    for (const auto& r : rows) {
        BuildPlan plan;
        plan.components = r.components;
        plan.width = r.width;
        plan.height = r.height;
        plan.block = RandomBlocks();
        const auto plain = DecodeWithOurs(BuildJpeg(plan), 24);
        ASSERT_TRUE(plain.ok);
        for (int interval : {1, 2, 5}) {
            plan.restartInterval = interval;
            const auto file = BuildJpeg(plan);
            ASSERT_NE(FindMarkerOffset(file, 0xD0), std::string::npos);
            const auto restarted = DecodeWithOurs(file, 24);
            ASSERT_TRUE(restarted.ok) << interval;
            EXPECT_EQ(restarted.pixels, plain.pixels)
                << r.width << "x" << r.height << " interval " << interval;
        }
    }
}

TEST(JpegDecoderExact, OneComponentIsCodedBlockByBlockWhateverItsSamplingFactors) {
    BuildPlan plain, sampled;
    plain.width = sampled.width = 24;
    plain.height = sampled.height = 16;
    sampled.components = {{2, 2}};
    plain.block = sampled.block = RandomBlocks();
    const auto a = DecodeWithOurs(BuildJpeg(plain), 24);
    const auto b = DecodeWithOurs(BuildJpeg(sampled), 24);
    ASSERT_TRUE(a.ok);
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(a.pixels, b.pixels);
}

TEST(JpegDecoderExact, SixteenBitTablesFollowTheDestinationFormat) {
    BuildPlan plan;
    plan.components.assign(3, {1, 1});
    plan.block = RandomBlocks();
    const auto file = BuildJpeg(plan);
    // One decoder, two formats in a row: the second must not keep the first one's tables.
    jpeg::JpegDecoder decoder;
    std::vector<std::uint8_t> first(128), second(128);
    ASSERT_TRUE(decoder.ReadHeader(file));
    ASSERT_TRUE(decoder.Decode({first.data(), 16, 16, 0xF800, 0x07E0, 0x001F}));
    ASSERT_TRUE(decoder.ReadHeader(file));
    ASSERT_TRUE(decoder.Decode({second.data(), 16, 16, 0x7C00, 0x03E0, 0x001F}));
    const auto fresh = DecodeWithOurs(file, 16, 0, 0x7C00, 0x03E0, 0x001F);
    EXPECT_EQ(second, fresh.pixels);
    EXPECT_NE(first, second);
}

TEST(JpegDecoderExact, UnusableDestinationsAreRefused) {
    const auto file = BuildJpeg(BuildPlan{});
    std::vector<std::uint8_t> buffer(8 * 8 * 4);
    struct Row {
        const char* name;
        jpeg::PixelDestination dest;
    } rows[] = {
        {"no pixels", {nullptr, 24, 24}},
        {"12 bits", {buffer.data(), 24, 12}},
        {"pitch shorter than a row", {buffer.data(), 23, 24}},
        {"negative pitch", {buffer.data(), -32, 32}},
    };
    for (const auto& r : rows) {
        jpeg::JpegDecoder decoder;
        ASSERT_TRUE(decoder.ReadHeader(file));
        EXPECT_FALSE(decoder.Decode(r.dest)) << r.name;
    }
    jpeg::JpegDecoder noHeader;
    EXPECT_FALSE(noHeader.Decode({buffer.data(), 32, 32}));
}

}  // namespace
