#include "library/DragCursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace collection {
namespace {

constexpr int kSize = 32;

QPixmap Blank() {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void DrawArrow(QPainter& p) {
    QPainterPath arrow;
    arrow.moveTo(1, 1);
    arrow.lineTo(1, 17);
    arrow.lineTo(5, 13);
    arrow.lineTo(8, 20);
    arrow.lineTo(11, 19);
    arrow.lineTo(8, 12);
    arrow.lineTo(13, 12);
    arrow.closeSubpath();
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPath(arrow);
}

}  // namespace

QCursor DropHereCursor() {
    QPixmap pixmap = Blank();
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing, false);
        DrawArrow(p);
        // The part being carried: a small framed box with a plus.
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(255, 255, 224));
        p.drawRect(14, 16, 14, 12);
        p.setPen(QPen(QColor(0, 0, 128), 2));
        p.drawLine(21, 18, 21, 26);
        p.drawLine(17, 22, 25, 22);
    }
    return QCursor(pixmap, 1, 1);
}

QCursor NoDropCursor() {
    QPixmap pixmap = Blank();
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 6));
        p.drawEllipse(QPointF(16, 16), 11, 11);
        p.drawLine(QPointF(8.5, 8.5), QPointF(23.5, 23.5));
        p.setPen(QPen(QColor(192, 0, 0), 3));
        p.drawEllipse(QPointF(16, 16), 11, 11);
        p.drawLine(QPointF(8.5, 8.5), QPointF(23.5, 23.5));
    }
    return QCursor(pixmap, 16, 16);
}

}  // namespace collection
