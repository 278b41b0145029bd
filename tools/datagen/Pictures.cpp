#include "Pictures.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace datagen {

QImage EyeTexture(QRgb iris, int size) {
    QImage img(size, size, QImage::Format_RGB32);
    const double s = size;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) / s, v = (y + 0.5) / s;
            const double du = u - 0.5, dv = v - 0.53;
            const double r = std::sqrt(du * du + dv * dv);
            double cr = 0.97, cg = 0.97, cb = 0.98;
            if (r < 0.34) {
                // Iris: darker rim, lighter lower half.
                const double shade = 0.55 + 0.45 * (1 - r / 0.34) + 0.25 * std::max(0.0, dv) / 0.34;
                cr = qRed(iris) / 255.0 * shade;
                cg = qGreen(iris) / 255.0 * shade;
                cb = qBlue(iris) / 255.0 * shade;
                if (r > 0.31) cr *= 0.45, cg *= 0.45, cb *= 0.45;
            }
            if (r < 0.15) cr = cg = cb = 0.06;
            const double hu = u - 0.39, hv = v - 0.38;
            if (hu * hu + hv * hv < 0.075 * 0.075) cr = cg = cb = 1.0;
            // The lash line: the upper part of the oval's edge.
            const double eu = u - 0.5, ev = v - 0.5;
            const double edge = std::sqrt(eu * eu + ev * ev);
            if (ev < 0.05 && edge > 0.42) cr = 0.10, cg = 0.07, cb = 0.06;
            auto byte = [](double c) { return static_cast<int>(std::clamp(c, 0.0, 1.0) * 255 + 0.5); };
            img.setPixel(x, y, qRgb(byte(cr), byte(cg), byte(cb)));
        }
    return img;
}

QImage Background(int which) {
    QImage img(640, 480, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    switch (which) {
        case 0: {  // sky and meadow
            QLinearGradient sky(0, 0, 0, 330);
            sky.setColorAt(0, QColor(70, 130, 210));
            sky.setColorAt(1, QColor(190, 220, 245));
            p.fillRect(0, 0, 640, 330, sky);
            p.setBrush(QColor(255, 255, 255, 200));
            const int clouds[][3] = {{120, 80, 40},  {160, 70, 50},  {200, 85, 38},
                                     {430, 120, 34}, {470, 110, 44}, {510, 125, 30}};
            for (const auto& c : clouds) p.drawEllipse(QPointF(c[0], c[1]), c[2] * 1.6, c[2]);
            QLinearGradient grass(0, 300, 0, 480);
            grass.setColorAt(0, QColor(120, 180, 90));
            grass.setColorAt(1, QColor(60, 120, 50));
            QPainterPath hills;
            hills.moveTo(0, 330);
            hills.cubicTo(160, 270, 320, 350, 640, 300);
            hills.lineTo(640, 480);
            hills.lineTo(0, 480);
            hills.closeSubpath();
            p.fillPath(hills, grass);
            break;
        }
        case 1: {  // room: wall, skirting, floor boards and a window
            p.fillRect(0, 0, 640, 360, QColor(236, 226, 205));
            p.fillRect(0, 350, 640, 12, QColor(150, 110, 80));
            for (int i = 0; i < 8; ++i)
                p.fillRect(0, 362 + i * 15, 640, 15, (i % 2) ? QColor(170, 120, 80) : QColor(160, 112, 74));
            QLinearGradient glass(0, 60, 0, 240);
            glass.setColorAt(0, QColor(120, 170, 230));
            glass.setColorAt(1, QColor(210, 230, 250));
            p.fillRect(400, 60, 180, 180, QColor(250, 250, 250));
            p.fillRect(410, 70, 160, 160, glass);
            p.fillRect(486, 70, 8, 160, QColor(250, 250, 250));
            p.fillRect(410, 146, 160, 8, QColor(250, 250, 250));
            break;
        }
        case 2: {  // evening sea
            QLinearGradient sky(0, 0, 0, 300);
            sky.setColorAt(0, QColor(60, 50, 120));
            sky.setColorAt(0.6, QColor(230, 120, 90));
            sky.setColorAt(1, QColor(250, 200, 120));
            p.fillRect(0, 0, 640, 300, sky);
            p.setBrush(QColor(255, 230, 150));
            p.drawEllipse(QPointF(320, 290), 46, 46);
            QLinearGradient sea(0, 300, 0, 480);
            sea.setColorAt(0, QColor(80, 70, 120));
            sea.setColorAt(1, QColor(30, 40, 80));
            p.fillRect(0, 300, 640, 180, sea);
            p.setBrush(QColor(255, 210, 140, 120));
            for (int i = 0; i < 8; ++i) p.drawRect(QRectF(300 - i * 6, 310 + i * 20, 40 + i * 12, 4));
            break;
        }
        default: {  // studio: soft grey sweep
            QRadialGradient g(320, 200, 420);
            g.setColorAt(0, QColor(235, 235, 238));
            g.setColorAt(1, QColor(120, 122, 130));
            p.fillRect(0, 0, 640, 480, g);
            break;
        }
    }
    p.end();
    return img;
}

std::string EncodeBmp24(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    const int rowBytes = (w * 3 + 3) & ~3;
    const std::uint32_t dataSize = static_cast<std::uint32_t>(rowBytes) * h;
    std::string out;
    auto u16 = [&](std::uint32_t v) {
        out.push_back(static_cast<char>(v & 0xFF));
        out.push_back(static_cast<char>((v >> 8) & 0xFF));
    };
    auto u32 = [&](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    out += "BM";
    u32(54 + dataSize);
    u32(0);
    u32(54);
    u32(40);
    u32(static_cast<std::uint32_t>(w));
    u32(static_cast<std::uint32_t>(h));
    u16(1);
    u16(24);
    u32(0);
    u32(dataSize);
    u32(2835);
    u32(2835);
    u32(0);
    u32(0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out.push_back(static_cast<char>(qBlue(row[x])));
            out.push_back(static_cast<char>(qGreen(row[x])));
            out.push_back(static_cast<char>(qRed(row[x])));
        }
        out.append(static_cast<std::size_t>(rowBytes - w * 3), '\0');
    }
    return out;
}

std::string EncodeJpeg(const QImage& image, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(false);
    writer.setOptimizedWrite(false);
    if (!writer.write(image.convertToFormat(QImage::Format_RGB32))) return {};
    return bytes.toStdString();
}

}  // namespace datagen
