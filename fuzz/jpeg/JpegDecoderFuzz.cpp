// Feeds arbitrary bytes to the JPEG decoder: header walk, then a decode into a destination whose
// depth and row padding depend on the input. Any read or write outside the data or the destination
// is a finding (the harness runs under AddressSanitizer and UndefinedBehaviorSanitizer).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/jpeg/JpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    jpeg::JpegDecoder decoder;
    if (!decoder.ReadHeader({data, size})) return 0;
    const std::int64_t pixels = std::int64_t{decoder.Width()} * decoder.Height();
    if (pixels > (std::int64_t{1} << 22)) return 0;  // the harness's own memory budget
    static const int kDepths[] = {8, 16, 24, 32};
    const int bits = kDepths[size % 4];
    const int pitch = decoder.Width() * bits / 8 + static_cast<int>(size % 3);
    std::vector<std::uint8_t> pixelsOut(static_cast<std::size_t>(pitch) * decoder.Height());
    decoder.Decode({pixelsOut.data(), pitch, bits, 0xF800, 0x07E0, 0x001F});
    return 0;
}
