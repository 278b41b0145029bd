#pragma once
// Binds a Qt widget as the window of a clipper: a device created on that clipper shows its frames
// in the widget. The binding puts a child widget over the whole client area that paints the last
// frame shown and lets mouse events through to the window below.

#include <QImage>
#include <QPointer>
#include <QWidget>

#include "platform/surface/WindowBinding.h"

namespace rm {

class WidgetWindow final : public surface::WindowBinding {
  public:
    explicit WidgetWindow(QWidget* window);
    ~WidgetWindow() override;
    WidgetWindow(const WidgetWindow&) = delete;
    WidgetWindow& operator=(const WidgetWindow&) = delete;

    std::uint32_t ClientWidth() const override;
    std::uint32_t ClientHeight() const override;
    void Present(const surface::Surface& frame, const surface::Rect* rect) override;
    // The last frame shown (RGB32), for tests.
    const QImage& LastFrame() const;

  private:
    class Overlay;
    QPointer<QWidget> m_window;
    QPointer<Overlay> m_overlay;
    QImage m_frame;
};

}  // namespace rm
