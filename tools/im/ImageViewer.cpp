#include "ImageViewer.h"

#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

CImageViewer::CImageViewer(QWidget* parent) : QWidget(parent) {
    setMinimumSize(160, 120);
    setFocusPolicy(Qt::StrongFocus);
    UpdateTitle();
}

bool CImageViewer::Open(const QString& path) {
    m_path = path;
    QImageReader reader(path);
    m_image = reader.read();
    m_error = m_image.isNull() ? QStringLiteral("画像を開けません: %1").arg(path) : QString();
    Fit();
    UpdateTitle();
    return !m_image.isNull();
}

void CImageViewer::UpdateTitle() {
    QString title = QStringLiteral("im");
    if (!m_path.isEmpty()) title = QFileInfo(m_path).fileName() + QStringLiteral(" - im");
    if (!m_image.isNull())
        title += QStringLiteral(" (%1 × %2, %3%)").arg(m_image.width()).arg(m_image.height()).arg(qRound(m_scale * 100));
    setWindowTitle(title);
}

void CImageViewer::Fit() {
    m_fitted = true;
    if (m_image.isNull() || width() <= 0 || height() <= 0) return;
    // Fitted: the whole picture in the window, never enlarged past its own size.
    m_scale = std::min({1.0, double(width()) / m_image.width(), double(height()) / m_image.height()});
    m_offset = QPointF((width() - m_image.width() * m_scale) / 2, (height() - m_image.height() * m_scale) / 2);
    UpdateTitle();
    update();
}

void CImageViewer::ZoomAt(QPointF at, double factor) {
    if (m_image.isNull()) return;
    const double scale = std::clamp(m_scale * factor, 0.02, 32.0);
    // Keep the picture point under `at` where it is.
    const QPointF picturePoint = (at - m_offset) / m_scale;
    m_scale = scale;
    m_offset = at - picturePoint * m_scale;
    m_fitted = false;
    UpdateTitle();
    update();
}

void CImageViewer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(48, 48, 48));
    if (m_image.isNull()) {
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, m_error.isEmpty() ? QStringLiteral("画像がありません") : m_error);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, m_scale < 1.0);
    painter.drawImage(QRectF(m_offset, m_image.size() * m_scale), m_image);
}

void CImageViewer::resizeEvent(QResizeEvent*) {
    if (m_fitted) Fit();
}

void CImageViewer::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0) ZoomAt(event->position(), std::pow(1.25, steps));
    event->accept();
}

void CImageViewer::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape: close(); break;
        case Qt::Key_Plus:
        case Qt::Key_Equal: ZoomAt(rect().center(), 1.25); break;
        case Qt::Key_Minus: ZoomAt(rect().center(), 0.8); break;
        case Qt::Key_0: Fit(); break;
        case Qt::Key_1: ZoomAt(rect().center(), 1.0 / m_scale); break;
        default: QWidget::keyPressEvent(event);
    }
}

void CImageViewer::mousePressEvent(QMouseEvent* event) { m_dragFrom = event->position(); }

void CImageViewer::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) || m_image.isNull()) return;
    m_offset += event->position() - m_dragFrom;
    m_dragFrom = event->position();
    m_fitted = false;
    update();
}

void CImageViewer::mouseDoubleClickEvent(QMouseEvent*) { Fit(); }
