#include "archive/LzwDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "archive/LzwFormat.h"

namespace lzw {

namespace {

// The byte values in order, the source of literal codes; 16 bytes of padding let the fixed-size copy
// read past the last one.
constexpr auto kIdentityTable = [] {
    std::array<std::uint8_t, 256 + 16> t{};
    for (unsigned i = 0; i < 256; ++i) t[i] = static_cast<std::uint8_t>(i);
    return t;
}();
const std::uint8_t* const kIdentity = kIdentityTable.data();

// Reads codes most significant bit first from a bounded input. The accumulator is left-aligned;
// a code that is not completely present ends the stream (the coder drops the partly filled byte).
class BitReader {
  public:
    explicit BitReader(std::span<const std::uint8_t> input)
        : m_p(input.data()), m_end(input.data() + input.size()) {}

    bool Read(unsigned width, unsigned& code) {
        // With eight bytes left the refill needs no test of the bit count; a refill that adds
        // nothing is harmless.
        if (m_end - m_p >= 8) {
            FastRefill();
        } else if (m_bits < width) {
            TailRefill();
        }
        if (m_bits < width) return false;
        code = static_cast<unsigned>(m_acc >> (64 - width));
        m_acc <<= width;
        m_bits -= width;
        return true;
    }

  private:
    // Loads eight bytes at once and counts whole bytes only. Bits loaded beyond the counted ones
    // are the very bits the next refill ORs in again.
    void FastRefill() {
        std::uint64_t v;
        std::memcpy(&v, m_p, sizeof v);
        m_acc |= __builtin_bswap64(v) >> m_bits;
        m_p += (63 - m_bits) >> 3;
        m_bits |= 56;
    }

    void TailRefill() {
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

// Dictionary entries are written before they are read (codes are checked against the next free
// code); the literals' entries are set once.
LzwDecoder::LzwDecoder() : m_entries(std::make_unique_for_overwrite<Entry[]>(kLastCode + 1)) {
    for (std::uint32_t c = 0; c <= 0xFF; ++c) m_entries[c] = {c, 1};
}
LzwDecoder::~LzwDecoder() = default;

bool LzwDecoder::Expand(std::span<std::uint8_t> output, std::size_t& length,
                        std::span<const std::uint8_t> input) {
    length = 0;
    const auto expanded = ExpandedLength(input);
    if (!expanded) return false;
    const std::size_t total = *expanded;
    length = total;
    if (total > output.size()) return false;
    std::fill_n(output.begin(), std::min(total + kExpandSlack, output.size()), std::uint8_t{0});

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
            if (code - kCodeEnd <= kCodeFlush - kCodeEnd) {  // a control code
                if (code != kCodeBump) break;                // END or FLUSH: a new generation
                if (++width > kMaxWidth) return false;
                continue;
            }
            if (code > next || next > kLastCode) return false;
            // Define (old, first byte of this string) before copying, so that the code being
            // defined (code == next) reads like any other. Literals are entries too: their bytes
            // come from kIdentity instead of the output, chosen without a branch.
            entries[next] = {static_cast<std::uint32_t>(oldPos), static_cast<std::uint32_t>(oldLength + 1)};
            const Entry e = entries[code];
            const std::uint8_t* const src = (code <= 0xFF ? kIdentity : out) + e.offset;
            const std::size_t stringLength = e.length;
            std::uint8_t* const dst = out + pos;
            const std::size_t room = total - pos;
            if (stringLength <= 16 && room >= 16) {
                // A string lies wholly before dst, except the one being defined, whose last byte
                // is this output's first (fixed below). One fixed-size move copies it; the surplus
                // lands before `total` and is overwritten by later output, and the bytes read past
                // the string are zeroed, already written, or kIdentity's padding.
                std::uint8_t block[16];
                std::memcpy(block, src, 16);
                std::memcpy(dst, block, 16);
            } else {
                std::memcpy(dst, src, std::min(code == next ? oldLength : stringLength, room));
            }
            if (code == next && room > oldLength) dst[oldLength] = dst[0];
            ++next;
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
