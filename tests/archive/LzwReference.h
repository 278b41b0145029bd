#pragma once
// A plain, literal coder and decoder of the archive's LZW stream, kept as the oracle the fast codec
// is compared with: the coder uses the 35023-entry open-addressing table with its backwards probe,
// the decoder rebuilds every string by following prefix codes and reversing.

#include <cstdint>
#include <optional>
#include <vector>

namespace lzwref {

std::vector<std::uint8_t> Compress(const std::vector<std::uint8_t>& input);
// None when the stream refers to an undefined code; stops at the header's length.
std::optional<std::vector<std::uint8_t>> Expand(const std::vector<std::uint8_t>& stream);

struct Code {
    unsigned value;
    unsigned width;
};
// The codes of a stream as written (width tracked through BUMP and FLUSH), up to END.
std::vector<Code> ParseCodes(const std::vector<std::uint8_t>& stream);

}  // namespace lzwref
