#pragma once
// The decoder of archive entries (format in LzwFormat.h). It works on whole buffers: the caller
// provides the output, sized from ExpandedLength(). An LzwDecoder keeps its dictionary between calls,
// so a reader that expands many entries allocates it once.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace lzw {

// The uncompressed length recorded in a stream's header; none when the header is cut short.
std::optional<std::uint32_t> ExpandedLength(std::span<const std::uint8_t> input);

class LzwDecoder {
  public:
    LzwDecoder();
    ~LzwDecoder();
    LzwDecoder(const LzwDecoder&) = delete;
    LzwDecoder& operator=(const LzwDecoder&) = delete;

    // Decodes `input` into `output`. `length` receives the header's uncompressed length U. The first
    // min(U + kExpandSlack, output.size()) bytes of output are zeroed first; nothing at or past U is
    // ever written. The signature is not examined.
    //
    // Returns false (with `length` still set) when the stream is damaged: U larger than the output, a
    // code that names an entry not yet defined, a control code where a byte must come, a width past
    // 15 bits, a dictionary growing past code 32767, or a stream that ends before U bytes are out.
    bool Expand(std::span<std::uint8_t> output, std::size_t& length, std::span<const std::uint8_t> input);

  private:
    // A dictionary string is a copy of bytes already written: entry (old, ch) is old's output
    // followed by the first byte of the next output, so it is `length` bytes at `offset` in the
    // output. Within one generation a string is at most 32510 bytes long.
    struct Entry {
        std::uint32_t offset;
        std::uint32_t length;
    };
    // One entry per possible code (codes are at most 15 bits); indices are checked against the next
    // free code before use, so 2^15 entries are all that can be reached.
    std::unique_ptr<Entry[]> m_entries;
};

// Convenience for single calls; see LzwDecoder::Expand.
bool Expand(std::span<std::uint8_t> output, std::size_t& length, std::span<const std::uint8_t> input);

}  // namespace lzw
