#pragma once
// The JPEG decoder on surfaces: a JFIF file in memory becomes a new offscreen surface of the
// picture's size in the display format of the 2D object.

#include <cstdint>
#include <span>

#include "platform/surface/DirectDraw.h"
#include "platform/surface/Surface.h"

namespace bitmap {

// Walks the headers first and creates the surface only for a file the decoder takes; the surface is
// created with `caps` and no pixel format (so it has the display's) and the decoder writes that
// surface's own format. Null when the file is refused, the surface cannot be created or locked, or
// the scan data is corrupt.
surface::Ref<surface::Surface> DecodeJpeg(const surface::DirectDraw& directDraw,
                                          std::span<const std::uint8_t> data,
                                          std::uint32_t caps = surface::DDSCAPS_OFFSCREENPLAIN |
                                                               surface::DDSCAPS_SYSTEMMEMORY);

}  // namespace bitmap
