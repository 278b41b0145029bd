#include "archive/LzwDecoder.h"

#include <algorithm>
#include <cstring>

#include "archive/LzwFormat.h"

namespace lzw {

namespace {

// Reads codes most significant bit first from a bounded input. The accumulator is left-aligned;
// a code that is not completely present ends the stream (the coder drops the partly filled byte).
class BitReader {
  public:
    explicit BitReader(std::span<const std::uint8_t> input)
        : m_p(input.data()), m_end(input.data() + input.size()) {}

    bool Read(unsigned width, unsigned& code) {
        if (m_bits < width) {
            Refill();
            if (m_bits < width) return false;
        }
        code = static_cast<unsigned>(m_acc >> (64 - width));
        m_acc <<= width;
        m_bits -= width;
        return true;
    }

  private:
    void Refill() {
        if (m_end - m_p >= 8) {
            // Eight bytes are present: load them at once and keep whole bytes only. Bits loaded
            // beyond the counted ones are the very bits the next refill ORs in again.
            std::uint64_t v = 0;
            for (int i = 0; i < 8; ++i) v = (v << 8) | m_p[i];
            m_acc |= v >> m_bits;
            m_p += (63 - m_bits) >> 3;
            m_bits |= 56;
            return;
        }
        while (m_bits <= 56 && m_p < m_end) {
            m_acc |= std::uint64_t{*m_p++} << (56 - m_bits);
            m_bits += 8;
        }
    }

    const std::uint8_t* m_p;
    const std::uint8_t* m_end;
    std::uint64_t m_acc = 0;
    unsigned m_bits = 0;
};

}  // namespace

std::optional<std::uint32_t> ExpandedLength(std::span<const std::uint8_t> input) {
    if (input.size() < kHeaderSize) return std::nullopt;
    return std::uint32_t{input[4]} | (std::uint32_t{input[5]} << 8) | (std::uint32_t{input[6]} << 16) |
           (std::uint32_t{input[7]} << 24);
}

// Entries are written before they are read (codes are checked against the next free code), so the
// table needs no clearing.
LzwDecoder::LzwDecoder() : m_entries(std::make_unique_for_overwrite<Entry[]>(kLastCode + 1)) {}
LzwDecoder::~LzwDecoder() = default;

bool LzwDecoder::Expand(std::span<std::uint8_t> output, std::size_t& length,
                        std::span<const std::uint8_t> input) {
    length = 0;
    const auto expanded = ExpandedLength(input);
    if (!expanded) return false;
    const std::size_t total = *expanded;
    length = total;
    if (total > output.size()) return false;
    std::memset(output.data(), 0, std::min(total + kExpandSlack, output.size()));

    std::uint8_t* const out = output.data();
    Entry* const entries = m_entries.get();
    BitReader reader(input.subspan(kHeaderSize));
    std::size_t pos = 0;

    while (pos < total) {
        // Start of a dictionary generation: the first code is a byte (or END).
        unsigned next = kFirstFreeCode;
        unsigned width = kStartWidth;
        unsigned code = 0;
        if (!reader.Read(width, code) || code == kCodeEnd) break;
        if (code > 0xFF) return false;
        out[pos] = static_cast<std::uint8_t>(code);
        std::size_t oldPos = pos;
        std::size_t oldLength = 1;
        ++pos;

        while (pos < total) {
            if (!reader.Read(width, code)) return pos == total;
            if (code == kCodeEnd || code == kCodeFlush) break;
            if (code == kCodeBump) {
                if (++width > kMaxWidth) return false;
                continue;
            }
            std::uint8_t* const dst = out + pos;
            const std::size_t room = total - pos;
            std::size_t stringLength = 1;
            if (code <= 0xFF) {
                *dst = static_cast<std::uint8_t>(code);
            } else if (code < next) {
                // The string lies wholly before dst (it ends at most one byte into the output that
                // followed its prefix). With 16 bytes of room the copy is one fixed-size move whose
                // surplus is overwritten by later output; bytes read past the string are zeroed or
                // already written, and never at or past `total`.
                const Entry& e = entries[code];
                stringLength = e.length;
                const std::uint8_t* src = out + e.offset;
                if (stringLength <= 16 && room >= 16) {
                    std::uint8_t block[16];
                    std::memcpy(block, src, 16);
                    std::memcpy(dst, block, 16);
                } else {
                    std::memcpy(dst, src, std::min(stringLength, room));
                }
            } else if (code == next) {
                // The string being defined: old's string followed by its own first byte. Old's
                // string ends exactly at dst, so the copy does not overlap.
                stringLength = oldLength + 1;
                std::memcpy(dst, out + oldPos, std::min(oldLength, room));
                if (room > oldLength) dst[oldLength] = dst[0];
            } else {
                return false;
            }
            if (next > kLastCode) return false;
            entries[next++] = {static_cast<std::uint32_t>(oldPos), static_cast<std::uint32_t>(oldLength + 1)};
            oldPos = pos;
            oldLength = stringLength;
            pos += std::min(stringLength, room);
        }
    }
    return pos == total;
}

bool Expand(std::span<std::uint8_t> output, std::size_t& length, std::span<const std::uint8_t> input) {
    LzwDecoder decoder;
    return decoder.Expand(output, length, input);
}

}  // namespace lzw
