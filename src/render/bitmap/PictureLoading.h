#pragma once
// Pictures from files on disk (JPEG, PNG or BMP) turned into offscreen surfaces, at their own size
// or stretched to a requested size, and the plain system-memory surfaces the collection window and
// the JPEG decoder use. Every failure (missing or unreadable file, not a picture, a picture above
// the size bound, surface creation) gives no surface and no message; callers go on without the
// picture.

#include <cstdint>
#include <string>

#include "platform/surface/DirectDraw.h"
#include "platform/surface/Surface.h"

class QImage;

namespace bitmap {

// An offscreen system-memory surface of the given size in the display format.
surface::Ref<surface::Surface> CreatePlainSurface(const surface::DirectDraw& directDraw, std::uint32_t width,
                                                  std::uint32_t height);

// Loads the picture at `path` (native UTF-8 path). A ".bmp" extension, in any case, goes to
// LoadBitmapSurface first; anything else to our JPEG decoder first. What that first reader refuses
// goes to the picture reader of PictureReader.h, which decides by the content (a PNG, a progressive
// or metadata-first JPEG, a picture under another name). With width and height both non-zero the
// picture is stretched to exactly that size; otherwise it comes back at its own size (a bitmap
// first read by LoadBitmapSurface takes a single non-zero side as that side's size).
surface::Ref<surface::Surface> LoadPicture(const surface::DirectDraw& directDraw, const std::string& path,
                                           std::uint32_t width, std::uint32_t height);

// Loads a BMP file (any bit depth Qt's reader takes) into a surface of width × height; a side of 0
// takes the bitmap's own size on that side.
surface::Ref<surface::Surface> LoadBitmapSurface(const surface::DirectDraw& directDraw,
                                                 const std::string& path, std::uint32_t width,
                                                 std::uint32_t height);

// A surface of width × height (a side of 0: the image's own) holding the whole image stretched.
surface::Ref<surface::Surface> SurfaceOfImage(const surface::DirectDraw& directDraw, const QImage& image,
                                              std::uint32_t width, std::uint32_t height);

// Stretches the rectangle (x, y, width, height) of `bitmap` onto the whole surface through the
// surface's device context (width 0: the bitmap's width, height 0: its height). DD_OK, or
// DDERR_GENERIC when either is missing or the surface gives no device context (it is locked).
std::uint32_t CopyBitmapToSurface(surface::Surface* target, const QImage* bitmap, std::int32_t x,
                                  std::int32_t y, std::int32_t width, std::int32_t height);

}  // namespace bitmap
