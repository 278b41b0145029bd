// libFuzzer harness of the texture BMP decoder: any bytes as a BMP file. A decoded picture must
// have exactly width x height opaque texels within the size cap.
#include <cstdint>
#include <cstdlib>

#include "platform/rm/BmpTexture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    rm::DecodedBmp img;
    if (rm::DecodeBmp(std::span(data, size), &img)) {
        if (img.width == 0 || img.height == 0 || img.width > 8192 || img.height > 8192) std::abort();
        if (img.texels.size() != std::size_t(img.width) * img.height) std::abort();
        for (std::uint32_t t : img.texels)
            if ((t >> 24) != 0xFF) std::abort();
    }
    return 0;
}
