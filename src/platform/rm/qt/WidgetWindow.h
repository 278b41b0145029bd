#pragma once
// Binds a Qt widget as the window of a clipper: a device created on that clipper shows its frames
// in the widget. The binding puts an opaque child widget over the whole client area that paints
// the last frame shown and lets mouse events through to the window below.
//
// Painting: the overlay covers the window, so the window itself gets no paint events any more.
// When the overlay must be painted for any reason other than a frame just shown (exposure,
// resize), it first calls `onExpose` — the window's drawing routine (the edit view's DrawView),
// which renders and calls Device::Update; a frame shown from inside that call is painted at once,
// without asking for another paint, so drawing never loops.
//
// The overlay paints straight from the device's surface (held while it is shown): the frame is
// copied once, into the window, not first into a frame of its own. Drawing and painting both happen
// on the window's thread, so a paint never sees a frame half drawn.

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "platform/surface/WindowBinding.h"

namespace rm {

class WidgetWindow final : public surface::WindowBinding {
  public:
    explicit WidgetWindow(QWidget* window, std::function<void()> onExpose = {});
    ~WidgetWindow() override;
    WidgetWindow(const WidgetWindow&) = delete;
    WidgetWindow& operator=(const WidgetWindow&) = delete;

    std::uint32_t ClientWidth() const override;
    std::uint32_t ClientHeight() const override;
    void Present(const surface::Surface& frame, const surface::Rect* rect) override;
    // A copy of the last frame shown (RGB32), for tests.
    QImage LastFrame() const;
    // How many times the overlay asked the window to draw (for tests).
    int ExposeCount() const { return m_exposes; }

  private:
    class Overlay;
    friend class Overlay;
    QPointer<QWidget> m_window;
    QPointer<Overlay> m_overlay;
    std::function<void()> m_onExpose;
    surface::Ref<surface::Surface> m_shown;  // the surface of the last frame shown
    QImage m_frame;                          // its pixels, not a copy of them
    bool m_painting = false;   // inside the overlay's paint
    bool m_requested = false;  // the pending paint was asked for by Present
    int m_exposes = 0;
};

}  // namespace rm
