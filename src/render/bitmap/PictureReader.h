#pragma once
// Pictures our own decoders refuse (a progressive JPEG, one without a JFIF header or with camera
// metadata first, PNG of any kind, a bitmap our reader does not know), read through Qt's image
// reader: JPEG, PNG and BMP only, the format taken from the content, never from the name. Memory
// stays bounded: the declared size is checked before anything is decoded, a JPEG must reach its
// end marker (a cut file is refused, as our decoder refuses one, rather than shown half grey),
// and Qt's own allocation limit stays above exactly what the largest picture taken needs.

#include <cstdint>
#include <span>

#include <QImage>

#include "platform/rm/BmpTexture.h"

namespace bitmap {

// The largest picture taken, in pixels: the same bound as our own JPEG decoder's (8192 × 8192).
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 26;
// The largest side: what a JPEG or bitmap header can state, far more than a PNG needs in practice.
// Pictures (backgrounds) take it; textures stop at rm::kMaxTextureSide.
inline constexpr int kMaxPictureSide = 65535;
// Qt's process-wide allocation limit, in megabytes, set while the reader decodes: the largest
// picture at eight bytes a pixel (a 16-bit PNG with alpha) before it is flattened.
inline constexpr int kReaderAllocationLimitMb = static_cast<int>(kMaxPicturePixels * 8 >> 20);

// The picture in `bytes` as an opaque Format_RGB32 image (transparent parts laid over white);
// null when the format is none of the three, the declared size is zero or above the bounds, a
// JPEG ends before its end marker, or the reader fails.
QImage ReadPictureImage(std::span<const std::uint8_t> bytes);

// True when `data` starts a JPEG stream and, walked segment by segment and through every scan's
// entropy-coded data (stuffed bytes and restart markers stepped over), reaches the end marker
// before the data ends. Every read is bounded by the data.
bool JpegReachesEnd(std::span<const std::uint8_t> data);

// The decoder of picture files for textures (installed in the 3D library when this layer is
// linked in): our JPEG decoder for what it takes, then ReadPictureImage. Texels 0xFFRRGGBB; false
// for a side above rm::kMaxTextureSide.
bool DecodeTexturePicture(std::span<const std::uint8_t> file, rm::DecodedBmp* out);

}  // namespace bitmap
