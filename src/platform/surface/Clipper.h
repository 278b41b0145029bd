#pragma once
// A clipper binds a window (SetHWnd); a 3D device created on it draws into that window.

#include "platform/surface/Counted.h"
#include "platform/surface/Surface.h"
#include "platform/surface/WindowBinding.h"

namespace surface {

class Clipper : public platform::Counted {
  public:
    static Ref<Clipper> Create() { return Ref<Clipper>::Adopt(new Clipper); }
    // The window is not owned; it must outlive the clipper's use (the edit view owns both).
    std::uint32_t SetHWnd(std::uint32_t flags, WindowBinding* window) {
        (void)flags;
        m_window = window;
        return DD_OK;
    }
    WindowBinding* GetHWnd() const { return m_window; }

  private:
    Clipper() = default;
    WindowBinding* m_window = nullptr;
};

}  // namespace surface
