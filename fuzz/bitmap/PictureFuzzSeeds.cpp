// Writes the starting corpora of the picture harnesses into the folder given, small pictures made by
// the content generator's encoders and by Qt's writers:
//   picture_fuzz_seeds picture FOLDER  JPEG (baseline and progressive), PNG (8 and 16 bits, alpha), BMP
//   picture_fuzz_seeds bmp FOLDER      BMP of 1, 4, 8, 24 and 32 bits a pixel
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <cstdio>
#include <string>

#include "Pictures.h"
#include "SeedFile.h"

namespace {

bool Put(const std::string& path, const std::string& bytes) {
    return !bytes.empty() && fuzzseed::WriteSeed(path, std::string_view(bytes));
}

std::string Encoded(const QImage& image, const char* format, bool progressive = false) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.setQuality(70);
    if (!writer.write(image)) return {};
    return bytes.toStdString();
}

// A 4-bit BMP, which Qt does not write: 6 x 3 pixels of a 16-colour palette, rows padded to 4 bytes.
std::string Bmp4() {
    std::string rows;
    for (int y = 0; y < 3; ++y) rows += std::string{char(0x01 + 0x22 * y), char(0x23), char(0x4F), char(0)};
    std::string palette;
    for (int i = 0; i < 16; ++i) palette += std::string{char(i * 16), char(255 - i * 16), char(i * 5), char(0)};
    const auto le = [](std::uint32_t v, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>(v >> (8 * i));
        return s;
    };
    const std::uint32_t offset = 14 + 40 + 64;
    return "BM" + le(offset + 12, 4) + le(0, 4) + le(offset, 4) + le(40, 4) + le(6, 4) + le(3, 4) + le(1, 2) +
           le(4, 2) + le(0, 4) + le(12, 4) + le(0, 4) + le(0, 4) + le(16, 4) + le(0, 4) + palette + rows;
}

bool PictureSeeds(const std::string& folder) {
    const QImage eye = datagen::EyeTexture(qRgb(40, 90, 160), 16);
    QImage alpha(9, 7, QImage::Format_ARGB32);
    alpha.fill(qRgba(200, 30, 60, 120));
    return Put(folder + "/baseline.jpg", datagen::EncodeJpeg(eye, 60)) &&
           Put(folder + "/progressive.jpg", Encoded(eye, "jpeg", true)) &&
           Put(folder + "/grey.jpg", Encoded(eye.convertToFormat(QImage::Format_Grayscale8), "jpeg")) &&
           Put(folder + "/alpha.png", Encoded(alpha, "png")) &&
           Put(folder + "/deep.png", Encoded(alpha.convertToFormat(QImage::Format_RGBA64), "png")) &&
           Put(folder + "/eye.bmp", datagen::EncodeBmp24(eye.scaled(5, 4)));
}

bool BmpSeeds(const std::string& folder) {
    const QImage eye = datagen::EyeTexture(qRgb(120, 60, 20), 8).scaled(7, 5);
    return Put(folder + "/rgb24.bmp", datagen::EncodeBmp24(eye)) && Put(folder + "/palette4.bmp", Bmp4()) &&
           Put(folder + "/palette8.bmp", Encoded(eye.convertToFormat(QImage::Format_Indexed8), "bmp")) &&
           Put(folder + "/mono.bmp", Encoded(eye.convertToFormat(QImage::Format_Mono), "bmp")) &&
           Put(folder + "/argb32.bmp", Encoded(eye.convertToFormat(QImage::Format_ARGB32), "bmp"));
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const std::string kind = argc == 3 ? argv[1] : "";
    if (kind == "picture") return PictureSeeds(argv[2]) ? 0 : 1;
    if (kind == "bmp") return BmpSeeds(argv[2]) ? 0 : 1;
    std::fprintf(stderr, "usage: picture_fuzz_seeds picture|bmp FOLDER\n");
    return 2;
}
