#include "platform/rm/qt/WidgetWindow.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

namespace rm {

class WidgetWindow::Overlay final : public QWidget {
  public:
    Overlay(QWidget* parent, WidgetWindow* owner) : QWidget(parent), m_owner(owner) {
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
        WidgetWindow& w = *m_owner;
        if (!w.m_requested && w.m_onExpose) {
            w.m_painting = true;
            ++w.m_exposes;
            w.m_onExpose();
            w.m_painting = false;
        }
        w.m_requested = false;
        QPainter p(this);
        if (w.m_frame.isNull()) {
            p.fillRect(e->rect(), Qt::black);
            return;
        }
        p.drawImage(e->rect(), w.m_frame, e->rect());
        // Parts of the window the frame does not reach (the window grew since) stay black.
        const QRegion rest = QRegion(e->rect()).subtracted(QRegion(w.m_frame.rect()));
        for (const QRect& r : rest) p.fillRect(r, Qt::black);
    }

  private:
    WidgetWindow* m_owner;
};

WidgetWindow::WidgetWindow(QWidget* window, std::function<void()> onExpose)
    : m_window(window), m_onExpose(std::move(onExpose)) {
    if (window) m_overlay = new Overlay(window, this);
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
    // Surfaces of devices are 32-bit 0x00RRGGBB: the overlay paints from them as they are.
    if (frame.Format().bitCount != 32) return;
    if (m_shown.Get() != &frame || m_frame.constBits() != frame.Bits()) {
        m_shown = surface::Ref<surface::Surface>(const_cast<surface::Surface*>(&frame));
        m_frame = QImage(frame.Bits(), int(frame.Width()), int(frame.Height()), frame.Pitch(), QImage::Format_RGB32);
    }
    const QRect r = rect ? QRect(rect->left, rect->top, rect->Width(), rect->Height()) : m_frame.rect();
    // From inside the overlay's paint the frame is painted right after; otherwise ask for it.
    if (m_overlay && !m_painting) {
        m_requested = true;
        m_overlay->update(r);
    }
}

QImage WidgetWindow::LastFrame() const {
    return m_frame.copy();
}

}  // namespace rm
