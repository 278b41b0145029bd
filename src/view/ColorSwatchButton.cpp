#include "view/ColorSwatchButton.h"

#include <QPainter>
#include <QStyleOptionButton>

CColorSwatchButton::CColorSwatchButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    setAccessibleName(text);
}

void CColorSwatchButton::SetColor(std::uint32_t colorRef) {
    m_color = colorRef & 0xFFFFFF;
    repaint();
}

QColor CColorSwatchButton::ToQColor(std::uint32_t colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

std::uint32_t CColorSwatchButton::FromQColor(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) | (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}

void CColorSwatchButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor face = isEnabled() ? ToQColor(m_color) : palette().color(QPalette::Button);
    painter.fillRect(rect(), face);
    // A thin edge, sunken while pressed, and the focus frame keep it readable as a button.
    painter.setPen(palette().color(isDown() ? QPalette::Dark : QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}
