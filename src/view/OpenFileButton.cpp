#include "view/OpenFileButton.h"

#include <QPainter>
#include <QPixmap>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace {

// The picture is drawn on a grid of 16 × 16 units.
constexpr qreal kGrid = 16;
// The picture's side on the face: the face less a margin, at most this many pixels.
constexpr int kLargestSide = 18;
constexpr int kMargin = 3;

const QColor kOutline(120, 86, 16);
const QColor kFolderBack(222, 170, 52);
const QColor kFolderFront(250, 212, 96);
const QColor kSheetEdge(110, 110, 110);
const QColor kSky(150, 200, 245);
const QColor kHill(70, 150, 60);
const QColor kSun(245, 120, 30);

}  // namespace

COpenFileButton::COpenFileButton(const QString& text, const QString& toolTip, QWidget* parent)
    : QPushButton(text, parent) {
    setToolTip(toolTip);
    setAccessibleName(text);
    setAccessibleDescription(toolTip);
}

void COpenFileButton::DrawPicture(QPainter& painter, const QRectF& box) {
    const qreal side = std::min(box.width(), box.height());
    if (side <= 0) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    painter.scale(side / kGrid, side / kGrid);
    const QPen outline(kOutline, 1);

    // The folder's back with its tab.
    painter.setPen(outline);
    painter.setBrush(kFolderBack);
    painter.drawPolygon(QPolygonF({{0.5, 3.5}, {5.5, 3.5}, {7, 5}, {13.5, 5}, {13.5, 14.5}, {0.5, 14.5}}));
    // The photograph standing in it.
    painter.setPen(QPen(kSheetEdge, 0.8));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(3, 1, 10, 9));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kSky);
    painter.drawRect(QRectF(4, 2, 8, 7));
    painter.setBrush(kHill);
    painter.drawPolygon(QPolygonF({{4, 9}, {4, 7}, {7, 4.5}, {9.5, 7}, {12, 5.5}, {12, 9}}));
    painter.setBrush(kSun);
    painter.drawEllipse(QPointF(10, 3.8), 1.2, 1.2);
    // The folder's front, opened towards the viewer.
    painter.setPen(outline);
    painter.setBrush(kFolderFront);
    painter.drawPolygon(QPolygonF({{2.5, 8}, {15.5, 8}, {13.5, 14.5}, {0.5, 14.5}}));
    painter.restore();
}

void COpenFileButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The face without its text: the picture stands in its place.
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int side =
        std::max(0, std::min({contents.width(), contents.height(), kLargestSide + kMargin}) - kMargin);
    if (side > 0) {
        const qreal ratio = devicePixelRatioF();
        QPixmap picture(QSize(side, side) * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        {
            QPainter onPicture(&picture);
            DrawPicture(onPicture, QRectF(0, 0, side, side));
        }
        if (!isEnabled()) picture = style()->generatedIconPixmap(QIcon::Disabled, picture, &option);
        QRect target(0, 0, side, side);
        target.moveCenter(rect().center());
        if (isDown()) target.translate(1, 1);
        painter.drawPixmap(target, picture);
    }

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
