// Textures from BMP files: pixel layouts, row order, and bounded reading of bad files.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "platform/rm/BmpTexture.h"
#include "platform/rm/Library.h"

using namespace rm;

namespace {

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = std::uint8_t(v >> (8 * i));
}

// A BMP file with the given header fields; `pixels` are the stored rows (with their padding).
std::vector<std::uint8_t> MakeBmp(std::int32_t w, std::int32_t h, std::uint32_t bits,
                                  const std::vector<std::uint32_t>& palette,
                                  const std::vector<std::uint8_t>& pixels) {
    const std::size_t offset = 54 + 4 * palette.size();
    std::vector<std::uint8_t> b(offset, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, std::uint32_t(offset + pixels.size()));
    Put32(b, 10, std::uint32_t(offset));
    Put32(b, 14, 40);
    Put32(b, 18, std::uint32_t(w));
    Put32(b, 22, std::uint32_t(h));
    Put16(b, 26, 1);
    Put16(b, 28, bits);
    Put32(b, 46, std::uint32_t(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i) Put32(b, 54 + 4 * i, palette[i]);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

TEST(BmpTextureTest, TwentyFourBitsBottomUpBecomeTopRowFirst) {
    // 2 x 2, rows of 6 bytes padded to 8; the first stored row is the bottom of the picture.
    const auto bmp = MakeBmp(2, 2, 24, {},
                             {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0, 0,    // bottom: red, green
                              0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0, 0});  // top: blue, white
    DecodedBmp img;
    ASSERT_TRUE(DecodeBmp(bmp, &img));
    EXPECT_EQ(img.width, 2u);
    EXPECT_EQ(img.height, 2u);
    EXPECT_EQ(img.texels, (std::vector<std::uint32_t>{0xFF0000FF, 0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00}));
}

TEST(BmpTextureTest, PaletteAndTopDownFiles) {
    const auto eight = MakeBmp(3, -1, 8, {0x000000, 0x123456}, {1, 0, 1, 0});
    DecodedBmp img;
    ASSERT_TRUE(DecodeBmp(eight, &img));
    EXPECT_EQ(img.texels, (std::vector<std::uint32_t>{0xFF123456, 0xFF000000, 0xFF123456}));
    // An index past the listed colours reads as opaque black.
    const auto past = MakeBmp(1, 1, 8, {0xFFFFFF}, {7, 0, 0, 0});
    ASSERT_TRUE(DecodeBmp(past, &img));
    EXPECT_EQ(img.texels[0], 0xFF000000u);
    const auto four = MakeBmp(3, 1, 4, {0x0000FF, 0x00FF00}, {0x10, 0x10, 0, 0});
    ASSERT_TRUE(DecodeBmp(four, &img));
    EXPECT_EQ(img.texels, (std::vector<std::uint32_t>{0xFF00FF00, 0xFF0000FF, 0xFF00FF00}));
    const auto one = MakeBmp(9, 1, 1, {0x000000, 0xFFFFFF}, {0x80, 0x80, 0, 0});
    ASSERT_TRUE(DecodeBmp(one, &img));
    EXPECT_EQ(img.texels[0], 0xFFFFFFFFu);
    EXPECT_EQ(img.texels[1], 0xFF000000u);
    EXPECT_EQ(img.texels[8], 0xFFFFFFFFu);
}

TEST(BmpTextureTest, BadFilesAreRefusedAtEveryLength) {
    const auto good = MakeBmp(2, 2, 24, {}, std::vector<std::uint8_t>(16, 0x7F));
    DecodedBmp img;
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(DecodeBmp(std::span(good.data(), n), &img)) << n;
    struct Bad {
        std::int32_t w, h;
        std::uint32_t bits;
    };
    for (const Bad b : {Bad{0, 2, 24}, Bad{2, 0, 24}, Bad{-2, 2, 24}, Bad{100000, 1, 24}, Bad{2, 2, 12},
                        Bad{2, 2, 16}, Bad{40000, 40000, 32}})
        EXPECT_FALSE(DecodeBmp(MakeBmp(b.w, b.h, b.bits, {}, std::vector<std::uint8_t>(16, 0)), &img));
    auto compressed = good;
    Put32(compressed, 30, 1);  // RLE8
    EXPECT_FALSE(DecodeBmp(compressed, &img));
    auto farOffset = good;
    Put32(farOffset, 10, 0xFFFFFFF0);
    EXPECT_FALSE(DecodeBmp(farOffset, &img));
}

TEST(BmpTextureTest, LibraryLoadsATextureFileAndRefusesMissingOnes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("eye.bmp");
    const auto bmp = MakeBmp(1, 1, 24, {}, {0x10, 0x20, 0x30, 0});
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(bmp.data()), qint64(bmp.size()));
    f.close();
    Ref<Library> lib = Library::Create();
    Ref<Texture> t = lib->LoadTexture(path.toStdString());
    ASSERT_TRUE(t);
    EXPECT_EQ(t->Texel(0, 0), 0xFF302010u);
    EXPECT_FALSE(lib->LoadTexture(dir.filePath("missing.bmp").toStdString()));
    EXPECT_FALSE(lib->LoadTexture(dir.path().toStdString()));  // a folder
    // Paths are the system's bytes, whatever they are.
    const std::string raw = dir.path().toStdString() + "/\x83\x65\xff.bmp";
    std::FILE* out = std::fopen(raw.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(bmp.data(), 1, bmp.size(), out);
    std::fclose(out);
    EXPECT_TRUE(lib->LoadTexture(raw));
}

}  // namespace
