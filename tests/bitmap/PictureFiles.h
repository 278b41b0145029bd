#pragma once
// Picture files for the bitmap loading tests, written at test time with Qt's BMP and JPEG writers.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace bitmaptest {

// A picture of 4 × 2 flat tiles of distinct colours, each tile `tile` pixels square.
inline QImage TiledPicture(int tile) {
    static const QRgb colours[8] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                    0xFF00FF, 0x00FFFF, 0x808080, 0xFFFFFF};
    QImage image(4 * tile, 2 * tile, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, 0xFF000000u | colours[(y / tile) * 4 + x / tile]);
    return image;
}

inline std::string Native(const QString& path) {
    return path.toStdString();
}

inline std::vector<std::uint8_t> JpegBytes(const QImage& image, int quality = 95) {
    QImage copy = image;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    copy.save(&buffer, "JPEG", quality);
    return {bytes.begin(), bytes.end()};
}

}  // namespace bitmaptest
