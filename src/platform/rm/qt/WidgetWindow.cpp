#include "platform/rm/qt/WidgetWindow.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

namespace rm {

class WidgetWindow::Overlay final : public QWidget {
  public:
    Overlay(QWidget* parent, const QImage* frame) : QWidget(parent), m_frame(frame) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setGeometry(parent->rect());
        parent->installEventFilter(this);
        show();
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
        return false;
    }
    void paintEvent(QPaintEvent* e) override {
        QPainter p(this);
        if (m_frame->isNull())
            p.fillRect(e->rect(), Qt::black);
        else
            p.drawImage(e->rect(), *m_frame, e->rect());
    }

  private:
    const QImage* m_frame;
};

WidgetWindow::WidgetWindow(QWidget* window) : m_window(window) {
    if (window) m_overlay = new Overlay(window, &m_frame);
}

WidgetWindow::~WidgetWindow() {
    delete m_overlay.data();
}

std::uint32_t WidgetWindow::ClientWidth() const {
    return m_window ? std::uint32_t(m_window->width()) : 0;
}
std::uint32_t WidgetWindow::ClientHeight() const {
    return m_window ? std::uint32_t(m_window->height()) : 0;
}

void WidgetWindow::Present(const surface::Surface& frame, const surface::Rect* rect) {
    // Surfaces of devices are 32-bit 0x00RRGGBB: one copy into the window's frame image.
    if (frame.Format().bitCount != 32) return;
    const QImage view(frame.Bits(), int(frame.Width()), int(frame.Height()), frame.Pitch(),
                      QImage::Format_RGB32);
    if (m_frame.size() != view.size()) m_frame = QImage(view.size(), QImage::Format_RGB32);
    const QRect r = rect ? QRect(rect->left, rect->top, rect->Width(), rect->Height()) : view.rect();
    {
        QPainter p(&m_frame);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(r.topLeft(), view, r);
    }
    if (m_overlay) m_overlay->update(r);
}

const QImage& WidgetWindow::LastFrame() const {
    return m_frame;
}

}  // namespace rm
