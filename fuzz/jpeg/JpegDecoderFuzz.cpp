// Feeds arbitrary bytes to the JPEG decoder: header walk, then a decode into a destination whose
// depth and row padding depend on the input. Any read or write outside the data or the destination
// is a finding (the harness runs under AddressSanitizer and UndefinedBehaviorSanitizer); besides,
// the picture sits between guard bytes and its rows' padding is filled with them, and none of them
// may change. The reference path decodes first; then the same decoder, after a new header walk each
// time, decodes again on every fast path this processor runs, and each must succeed or fail as the
// reference did and leave exactly the same bytes, guards and partial pictures included.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "render/jpeg/JpegDecoder.h"

namespace {

constexpr std::size_t kGuard = 64;
constexpr std::uint8_t kGuardByte = 0xA5;

struct Decoded {
    bool ok = false;
    std::vector<std::uint8_t> buffer;  // guard, Height() rows of `pitch` bytes, guard
};

Decoded DecodeOnce(jpeg::JpegDecoder& decoder, int pitch, int bits) {
    Decoded d;
    d.buffer.assign(kGuard + static_cast<std::size_t>(pitch) * decoder.Height() + kGuard, kGuardByte);
    d.ok = decoder.Decode({d.buffer.data() + kGuard, pitch, bits, 0xF800, 0x07E0, 0x001F});
    return d;
}

bool IsGuard(const std::uint8_t* from, std::size_t count) {
    return std::all_of(from, from + count, [](std::uint8_t b) { return b == kGuardByte; });
}

// True when nothing outside the Height() rows of `rowBytes` pixels changed.
bool WroteOnlyThePicture(const Decoded& d, int height, std::size_t pitch, std::size_t rowBytes) {
    const std::uint8_t* picture = d.buffer.data() + kGuard;
    if (!IsGuard(d.buffer.data(), kGuard) || !IsGuard(picture + pitch * height, kGuard)) return false;
    for (int y = 0; y < height; ++y)
        if (!IsGuard(picture + pitch * y + rowBytes, pitch - rowBytes)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    jpeg::JpegDecoder decoder;
    decoder.SetDecodePath(jpeg::JpegDecodePath::kReference);
    if (!decoder.ReadHeader({data, size})) return 0;
    const int width = decoder.Width(), height = decoder.Height();
    if (std::int64_t{width} * height > (std::int64_t{1} << 22)) return 0;  // the harness's own memory budget
    static const int kDepths[] = {8, 16, 24, 32};
    const int bits = kDepths[size % 4];
    const std::size_t rowBytes = static_cast<std::size_t>(width) * bits / 8;
    const int pitch = static_cast<int>(rowBytes + size % 3);

    const Decoded reference = DecodeOnce(decoder, pitch, bits);
    if (!WroteOnlyThePicture(reference, height, pitch, rowBytes)) std::abort();
    for (jpeg::JpegDecodePath path : jpeg::kAllDecodePaths) {
        if (path == jpeg::JpegDecodePath::kReference || !decoder.SetDecodePath(path)) continue;
        if (!decoder.ReadHeader({data, size}) || decoder.Width() != width || decoder.Height() != height)
            std::abort();
        const Decoded fast = DecodeOnce(decoder, pitch, bits);
        if (fast.ok != reference.ok || fast.buffer != reference.buffer) std::abort();
    }
    return 0;
}
