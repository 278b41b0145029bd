#include <gtest/gtest.h>

#include <vector>

#include "render/jpeg/JpegPixelWriter.h"

namespace {

using jpeg::JpegPixelWriter;
using jpeg::PixelDestination;

std::vector<std::uint8_t> WriteOne(int bits, std::int32_t y, std::int32_t cb, std::int32_t cr,
                                   bool grey = false) {
    JpegPixelWriter writer;
    PixelDestination format;
    format.bitsPerPixel = bits;
    format.redMask = 0xF800;
    format.greenMask = 0x07E0;
    format.blueMask = 0x001F;
    EXPECT_TRUE(writer.SetFormat(format));
    std::vector<std::uint8_t> out(4, 0xEE);
    writer.WriteRow(&y, grey ? nullptr : &cb, grey ? nullptr : &cr, 1, 0, out.data());
    return out;
}

TEST(JpegPixelWriter, ColourConversionByDepth) {
    struct Row {
        const char* name;
        int bits;
        std::int32_t y, cb, cr;
        std::vector<std::uint8_t> bytes;  // the pixel, then untouched bytes (EE)
    } rows[] = {
        {"grey 128 on 24 bits", 24, 128, 128, 128, {0x80, 0x80, 0x80, 0xEE}},
        {"Y100 Cb90 Cr200 on 24 bits: B, G, R", 24, 100, 90, 200, {0x20, 0x3D, 0xC8, 0xEE}},
        {"Y100 Cb90 Cr200 on 32 bits: 0x00C83D20", 32, 100, 90, 200, {0x20, 0x3D, 0xC8, 0x00}},
        {"red clamps to 255, blue to 0", 32, 100, 0, 255, {0x00, 0x35, 0xFF, 0x00}},
        {"samples beyond the range clamp", 24, 2000, 128, 128, {0xFF, 0xFF, 0xFF, 0xEE}},
        {"negative samples clamp", 24, -1900, 128, 128, {0x00, 0x00, 0x00, 0xEE}},
        {"5-6-5: pure red", 16, 76, 85, 255, {0x00, 0xF8, 0xEE, 0xEE}},
    };
    for (const auto& r : rows) EXPECT_EQ(WriteOne(r.bits, r.y, r.cb, r.cr), r.bytes) << r.name;
}

TEST(JpegPixelWriter, GreyPicturesTakeChromaAs128) {
    for (int bits : {8, 16, 24, 32}) {
        for (std::int32_t y : {-5, 0, 1, 77, 128, 200, 255, 300}) {
            EXPECT_EQ(WriteOne(bits, y, 0, 0, true), WriteOne(bits, y, 128, 128)) << bits << " " << y;
        }
    }
}

TEST(JpegPixelWriter, ChannelTablesFromMasks) {
    struct Row {
        std::uint32_t mask;
        std::uint8_t in;
        std::uint16_t out;
    } rows[] = {
        {0xF800, 0xFF, 0xF800},     {0xF800, 0x12, 0x1000}, {0x07E0, 0x34, 0x01A0}, {0x07E0, 0xFF, 0x07E0},
        {0x001F, 0x56, 0x000A},     {0x001F, 0x07, 0x0000}, {0x7C00, 0xFF, 0x7C00}, {0x03E0, 0x80, 0x0200},
        {0xFFFF00FF, 0xAB, 0x00AB},  // only the low 16 bits count: an 8-bit channel at the bottom
        {0x00000000, 0xFF, 0x0000},
    };
    for (const auto& r : rows)
        EXPECT_EQ(JpegPixelWriter::ChannelTable(r.mask)[r.in], r.out) << std::hex << r.mask;
}

TEST(JpegPixelWriter, SixteenBitPacking565) {
    // Y 60, Cb 150, Cr 110 converts to R 0x22, G 0x41, B 0x62;
    // (0x22 >> 3) << 11 | (0x41 >> 2) << 5 | 0x62 >> 3 = 0x2000 | 0x0200 | 0x000C = 0x220C.
    const std::int32_t y = 60, cb = 150, cr = 110;
    const auto rgb = WriteOne(24, y, cb, cr);
    ASSERT_EQ(rgb[2], 0x22);
    ASSERT_EQ(rgb[1], 0x41);
    ASSERT_EQ(rgb[0], 0x62);
    EXPECT_EQ(WriteOne(16, y, cb, cr), (std::vector<std::uint8_t>{0x0C, 0x22, 0xEE, 0xEE}));
}

TEST(JpegPixelWriter, CubeLevels) {
    const std::pair<int, int> rows[] = {{-21, 0}, {25, 0},  {26, 1},  {75, 1},  {76, 2},  {126, 2}, {127, 3},
                                        {177, 3}, {178, 4}, {228, 4}, {229, 5}, {230, 5}, {276, 5}};
    for (auto [c, q] : rows) EXPECT_EQ(JpegPixelWriter::CubeLevel(c), q) << c;
}

TEST(JpegPixelWriter, EightBitDitherOfMidGreyAndWhite) {
    JpegPixelWriter writer;
    PixelDestination format;
    format.bitsPerPixel = 8;
    ASSERT_TRUE(writer.SetFormat(format));
    // q(128 + d) is 3 for d ≥ −1 and 2 below: indices 10 + 43·3 = 139 and 10 + 43·2 = 96.
    const std::uint8_t grey[4][4] = {
        {96, 139, 96, 139}, {139, 96, 139, 96}, {96, 139, 96, 139}, {139, 96, 139, 139}};
    std::vector<std::int32_t> y128(8, 128), c128(8, 128), y255(8, 255);
    for (int y = 0; y < 8; ++y) {
        std::uint8_t row[8];
        writer.WriteRow(y128.data(), c128.data(), c128.data(), 8, y, row);
        for (int x = 0; x < 8; ++x) EXPECT_EQ(row[x], grey[y % 4][x % 4]) << x << "," << y;
        writer.WriteRow(y255.data(), c128.data(), c128.data(), 8, y, row);
        for (int x = 0; x < 8; ++x) EXPECT_EQ(row[x], 225) << x << "," << y;
    }
}

TEST(JpegPixelWriter, RefusesOtherDepths) {
    for (int bits : {0, 1, 4, 12, 15, 48}) {
        JpegPixelWriter writer;
        PixelDestination format;
        format.bitsPerPixel = bits;
        EXPECT_FALSE(writer.SetFormat(format)) << bits;
    }
}

}  // namespace
