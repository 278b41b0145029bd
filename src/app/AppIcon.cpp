#include "app/AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace artwork {

namespace {

// A rounded limb from the joint at `at`, turned `degrees` from hanging straight down.
void Limb(QPainter& g, QPointF at, double degrees, double width, double length) {
    g.save();
    g.translate(at);
    g.rotate(degrees);
    g.drawRoundedRect(QRectF(-width / 2, 0, width, length), width / 2, width / 2);
    g.restore();
}

}  // namespace

QImage ApplicationIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter g(&image);
    g.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 64-unit square.
    g.scale(size / 64.0, size / 64.0);
    const bool small = size < 32;

    QLinearGradient sky(0, 0, 0, 64);
    sky.setColorAt(0, QColor(40, 60, 120));
    sky.setColorAt(1, QColor(200, 160, 200));
    g.setPen(small ? Qt::NoPen : QPen(QColor(30, 40, 80), 1.0));
    g.setBrush(sky);
    g.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    g.setPen(Qt::NoPen);
    g.setBrush(QColor(90, 70, 110));
    g.drawEllipse(QPointF(32, 55), 17, 3.5);  // floor shadow

    QRadialGradient skin(QPointF(28, 20), 34);
    skin.setColorAt(0, QColor(255, 230, 205));
    skin.setColorAt(1, QColor(190, 140, 110));
    g.setBrush(skin);
    // Small sizes get thicker limbs, so the figure still reads at 16 pixels.
    const double limb = small ? 6.5 : 5.0;
    g.drawEllipse(QPointF(32, small ? 12 : 13), small ? 6.5 : 5.5, small ? 6.5 : 6);  // head
    g.drawRoundedRect(QRectF(26, 19.5, 12, 18), 4.5, 4.5);                           // body
    Limb(g, QPointF(27, 22), 30, limb, 15);                                          // hanging arm
    Limb(g, QPointF(37, 22), -140, limb, 15);                                        // waving arm
    Limb(g, QPointF(29.2, 35), 4, limb, 19);                                         // legs
    Limb(g, QPointF(34.8, 35), -4, limb, 19);
    return image;
}

}  // namespace artwork
