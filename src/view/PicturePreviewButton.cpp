#include "view/PicturePreviewButton.h"

#include <QPainter>
#include <QResizeEvent>

#include "core/MainApp.h"
#include "platform/surface/SurfaceImage.h"
#include "render/bitmap/PictureLoading.h"
#include "view/WaitCursor.h"

CPicturePreviewButton::CPicturePreviewButton(QWidget* parent) : QAbstractButton(parent) {
    // Clicking a preview does nothing; the button beside it chooses the file.
    setFocusPolicy(Qt::NoFocus);
}

void CPicturePreviewButton::SetPath(const std::string& path) {
    m_path = path;
    m_picture = QImage();
    update();
}

void CPicturePreviewButton::resizeEvent(QResizeEvent* event) {
    QAbstractButton::resizeEvent(event);
    // The picture was stretched to the old face; the next paint loads it at the new one.
    if (event->size() != event->oldSize()) m_picture = QImage();
}

void CPicturePreviewButton::LoadIfDue() {
    if (!m_picture.isNull() || !isEnabled() || m_path.empty()) return;
    const QRect face = FaceRect();
    const surface::DirectDraw* directDraw = GetApp()->m_lpDD;
    // Without the display objects (before the main frame exists) nothing can be loaded yet; the
    // path stays for a later paint.
    if (!directDraw || face.width() <= 0 || face.height() <= 0) return;
    surface::Ref<surface::Surface> picture;
    {
        CWaitCursor wait;
        picture = bitmap::LoadPicture(*directDraw, m_path, static_cast<std::uint32_t>(face.width()),
                                      static_cast<std::uint32_t>(face.height()));
    }
    if (!picture) {
        m_path.clear();
        return;
    }
    m_picture = surface::ToImage(*picture);
}

void CPicturePreviewButton::paintEvent(QPaintEvent*) {
    LoadIfDue();
    QPainter painter(this);
    const QRect face = FaceRect();
    if (isEnabled() && !m_picture.isNull())
        painter.drawImage(face.topLeft(), m_picture);
    else
        painter.fillRect(face, palette().color(QPalette::Button));
    // A thin edge frames the face.
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
