#include "platform/surface/SurfaceImage.h"

#include <cstring>

namespace surface {

QImage ToImage(const Surface& s) {
    QImage img(int(s.Width()), int(s.Height()), QImage::Format_RGB32);
    if (img.isNull()) return img;
    for (std::uint32_t y = 0; y < s.Height(); ++y) {
        auto* out = reinterpret_cast<std::uint32_t*>(img.scanLine(int(y)));
        if (s.Format().bitCount == 32) {
            std::memcpy(out, s.Row(y), std::size_t(s.Width()) * 4);
            for (std::uint32_t x = 0; x < s.Width(); ++x) out[x] |= 0xFF000000u;
        } else {
            for (std::uint32_t x = 0; x < s.Width(); ++x) out[x] = 0xFF000000u | s.GetColor(x, y);
        }
    }
    return img;
}

}  // namespace surface
