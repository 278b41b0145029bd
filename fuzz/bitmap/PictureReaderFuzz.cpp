// Feeds arbitrary bytes to the picture reader that takes what our own decoders refuse: the JPEG
// end-marker walk, the format and size checks in front of Qt's image reader, and the texture
// decoder built on them. Any read outside the data is a finding (the harness runs under
// AddressSanitizer and UndefinedBehaviorSanitizer); a declared size above the bound must be
// refused before anything is decoded.
#include <cstddef>
#include <cstdint>

#include "render/bitmap/PictureReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    bitmap::JpegReachesEnd(bytes);
    const QImage image = bitmap::ReadPictureImage(bytes);
    if (!image.isNull() && std::int64_t{image.width()} * image.height() > bitmap::kMaxPicturePixels) __builtin_trap();
    rm::DecodedBmp texels;
    bitmap::DecodeTexturePicture(bytes, &texels);
    return 0;
}
