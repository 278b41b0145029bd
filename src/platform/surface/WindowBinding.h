#pragma once
// What a clipper binds: a window that shows a surface. The Qt widget binding lives above this
// library (platform/rm/qt); tests bind a plain object that records what it was shown.

#include <cstdint>

#include "platform/surface/Surface.h"

namespace surface {

class WindowBinding {
  public:
    virtual ~WindowBinding() = default;
    virtual std::uint32_t ClientWidth() const = 0;
    virtual std::uint32_t ClientHeight() const = 0;
    // Shows `rect` of `frame` (the whole surface when rect is null) in the window.
    virtual void Present(const Surface& frame, const Rect* rect) = 0;
};

}  // namespace surface
