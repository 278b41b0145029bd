#pragma once
// The header walk of a baseline JPEG file: from the start bytes to the scan header. Every field is
// checked as it is read and every segment must lie inside the data; the result says where the
// entropy-coded data begins.

#include <cstddef>
#include <cstdint>
#include <span>

#include "render/jpeg/JpegFrame.h"

namespace jpeg {

// Largest picture accepted, in pixels (8192 × 8192): far above the backgrounds, textures and
// thumbnails the system shows, and small enough that the caller's pixel memory stays bounded.
inline constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

class JpegHeaderReader {
  public:
    // Fills `frame` and returns true when the data is a baseline JFIF file this decoder takes:
    // FF D8 FF E0 first, one SOF0 frame of 8-bit samples with 1 or 3 components, every table the
    // frame and scan use defined, a scan over all components, a size of 1 … 8192² pixels and at least
    // as many bytes after the scan header as the smallest possible coding of that many blocks needs.
    static bool Read(std::span<const std::uint8_t> data, JpegFrame* frame);
};

}  // namespace jpeg
