// Real baseline files of common encoders, decoded by the system's decoder and by libjpeg-turbo.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <cstring>

#include "LibjpegReference.h"
#include "TestPictures.h"

namespace {

using namespace jpegtest;

struct Case {
    const char* name;
    int width, height;
    EncodeOptions options;
};

std::string Describe(const Case& c, int restart) {
    return std::string(c.name) + " " + std::to_string(c.width) + "x" + std::to_string(c.height) +
           " restart " + std::to_string(restart);
}

TEST(JpegAgreement, SameSizeAndAtLeast40DbAgainstLibjpeg) {
    const Case cases[] = {
        {"grey", 64, 64, {.components = 1}},
        {"grey, odd size", 97, 53, {.components = 1}},
        {"grey, 2x2 factors", 70, 45, {.components = 1, .lumaH = 2, .lumaV = 2}},
        {"4:4:4", 64, 64, {}},
        {"4:4:4, odd size", 33, 71, {}},
        {"4:2:2", 80, 48, {.lumaH = 2}},
        {"4:2:2, odd size", 45, 31, {.lumaH = 2}},
        {"4:2:0", 64, 64, {.lumaH = 2, .lumaV = 2}},
        {"4:2:0, odd size", 17, 23, {.lumaH = 2, .lumaV = 2}},
        {"4:2:0, quality 75", 160, 120, {.quality = 75, .lumaH = 2, .lumaV = 2}},
        {"4:4:0", 40, 40, {.lumaV = 2}},
        {"4:1:1", 64, 32, {.lumaH = 4}},
    };
    for (const auto& c : cases) {
        const auto picture = MakePicture(c.width, c.height, c.options.components, 3);
        for (int restart : {0, 1, 3}) {
            EncodeOptions options = c.options;
            options.restartInterval = restart;
            const auto file = LibjpegEncode(picture, c.width, c.height, options);
            ASSERT_FALSE(file.empty()) << Describe(c, restart);
            const auto reference = LibjpegDecode(file);
            const auto ours = DecodeWithOurs(file, 24);
            ASSERT_TRUE(ours.ok) << Describe(c, restart);
            ASSERT_EQ(ours.width, reference.width) << Describe(c, restart);
            ASSERT_EQ(ours.height, reference.height) << Describe(c, restart);
            const double psnr = Psnr(ToRgb(ours), reference.rgb);
            EXPECT_GE(psnr, 40.0) << Describe(c, restart);
            RecordProperty(Describe(c, restart), std::to_string(psnr));
        }
    }
}

TEST(JpegAgreement, RestartIntervalOneDecodesIdenticallyToNoRestarts) {
    for (const auto& options :
         {EncodeOptions{.components = 1}, EncodeOptions{}, EncodeOptions{.lumaH = 2, .lumaV = 2}}) {
        const auto picture = MakePicture(75, 41, options.components, 5);
        EncodeOptions withRestarts = options;
        withRestarts.restartInterval = 1;
        const auto plain = LibjpegEncode(picture, 75, 41, options);
        const auto restarted = LibjpegEncode(picture, 75, 41, withRestarts);
        ASSERT_NE(plain, restarted);
        for (int bits : {8, 16, 24, 32}) {
            const auto a = DecodeWithOurs(plain, bits);
            const auto b = DecodeWithOurs(restarted, bits);
            ASSERT_TRUE(a.ok);
            ASSERT_TRUE(b.ok);
            EXPECT_EQ(a.pixels, b.pixels) << options.components << " components, " << bits << " bits";
        }
    }
}

TEST(JpegAgreement, QtWriterFiles) {
    const int width = 120, height = 90;
    const auto rgb = MakePicture(width, height, 3, 9);
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) std::memcpy(image.scanLine(y), rgb.data() + y * width * 3, width * 3);
    for (const auto& [format, quality] :
         {std::pair{QImage::Format_RGB888, 90}, std::pair{QImage::Format_Grayscale8, 85}}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.convertToFormat(format).save(&buffer, "JPEG", quality));
        const std::vector<std::uint8_t> file(bytes.begin(), bytes.end());
        const auto reference = LibjpegDecode(file);
        const auto ours = DecodeWithOurs(file, 24);
        ASSERT_TRUE(ours.ok) << format;
        ASSERT_EQ(ours.width, width);
        ASSERT_EQ(ours.height, height);
        EXPECT_GE(Psnr(ToRgb(ours), reference.rgb), 40.0) << format;
    }
}

}  // namespace
