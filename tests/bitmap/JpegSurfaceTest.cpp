#include <gtest/gtest.h>

#include <cstring>

#include "PictureFiles.h"
#include "render/bitmap/JpegSurface.h"
#include "render/jpeg/JpegDecoder.h"

namespace {

using surface::PixelFormat;

TEST(JpegSurface, DecodesIntoASurfaceOfTheDisplayFormat) {
    const auto file = bitmaptest::JpegBytes(bitmaptest::TiledPicture(12));
    for (std::uint32_t bits : {8u, 16u, 24u, 32u}) {
        auto dd = surface::DirectDraw::Create();
        dd->SetDisplayFormat(PixelFormat::FromBits(bits));
        auto picture = bitmap::DecodeJpeg(*dd, file);
        ASSERT_TRUE(picture) << bits;
        EXPECT_EQ(picture->Width(), 48u);
        EXPECT_EQ(picture->Height(), 24u);
        EXPECT_EQ(picture->Format().bitCount, bits);
        EXPECT_FALSE(picture->IsLocked());

        // Byte for byte what the decoder writes into plain memory of the same format and pitch.
        const PixelFormat& f = picture->Format();
        std::vector<std::uint8_t> expected(static_cast<std::size_t>(picture->Pitch()) * 24);
        jpeg::JpegDecoder decoder;
        ASSERT_TRUE(decoder.ReadHeader(file));
        ASSERT_TRUE(decoder.Decode(
            {expected.data(), picture->Pitch(), static_cast<int>(bits), f.redMask, f.greenMask, f.blueMask}));
        for (std::uint32_t y = 0; y < 24; ++y)
            ASSERT_EQ(std::memcmp(picture->Row(y), expected.data() + y * picture->Pitch(), 48 * bits / 8), 0)
                << bits << " bits, row " << y;
    }
}

TEST(JpegSurface, RefusedAndCorruptFilesGiveNoSurface) {
    auto dd = surface::DirectDraw::Create();
    auto file = bitmaptest::JpegBytes(bitmaptest::TiledPicture(8));
    ASSERT_TRUE(bitmap::DecodeJpeg(*dd, file));
    struct Row {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } rows[] = {
        {"empty", {}},
        {"EXIF first",
         [&] {
             auto b = file;
             b[3] = 0xE1;
             return b;
         }()},
        {"cut in the scan", std::vector<std::uint8_t>(file.begin(), file.end() - 40)},
    };
    for (const auto& r : rows) EXPECT_FALSE(bitmap::DecodeJpeg(*dd, r.bytes)) << r.name;
}

}  // namespace
