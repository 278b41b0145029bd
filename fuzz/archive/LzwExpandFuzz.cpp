// libFuzzer harness of the LZW decoder: any bytes as a compressed stream, into an output buffer of
// exactly the header's length (capped), so that a write past the length leaves the allocation. The
// same bytes are also compressed and must expand back to themselves, through the same decoder (one
// per input: its 256 KiB dictionary made and freed per call was most of the harness's time).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "archive/LzwCoder.h"
#include "archive/LzwDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    const std::uint32_t declared = lzw::ExpandedLength(input).value_or(0);
    std::vector<std::uint8_t> output(std::min<std::uint32_t>(declared, 1u << 18));
    lzw::LzwDecoder decoder;
    std::size_t length = 0;
    if (decoder.Expand(output, length, input) && length != declared) std::abort();

    std::vector<std::uint8_t> packed;
    if (!lzw::Compress(input, packed)) std::abort();
    std::vector<std::uint8_t> back(size);
    if (!decoder.Expand(back, length, packed) || length != size ||
        (size && std::memcmp(back.data(), data, size) != 0))
        std::abort();
    return 0;
}
