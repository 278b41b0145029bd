#pragma once
// The bit reader of the entropy-coded data: most significant bit first, FF 00 stands for the data
// byte FF, and FF followed by anything else is a marker that ends the data. Bits are kept in a
// 64-bit buffer; past the end of the data the buffer fills with zero bits that are not counted, so
// a decode that uses any of them has read beyond the data and fails (Overrun), exactly as a reader
// that stopped at the marker would have.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "render/jpeg/JpegMarkers.h"

namespace jpeg {

static_assert(std::endian::native == std::endian::little, "Refill loads bytes as a little-endian word");

// EXTEND of ITU T.81 F.2.2.1: an s-bit value with a clear top bit stands for a negative number.
inline std::uint32_t ExtendValue(std::uint32_t v, int s) {
    if (s == 0) return 0;
    return v < (1u << (s - 1)) ? v - (1u << s) + 1 : v;
}

class JpegBitReader {
  public:
    JpegBitReader(std::span<const std::uint8_t> data, std::size_t pos) : m_data(data), m_pos(pos) {}

    // Makes at least 57 bits available unless the data ends first.
    void Refill() {
        // Fast path: the next 8 bytes hold no FF, so as many whole bytes as fit go in at once.
        if (m_bits <= 56 && !m_ended && m_data.size() - m_pos >= 8) {
            std::uint64_t word;
            std::memcpy(&word, m_data.data() + m_pos, 8);
            const std::uint64_t inverted = ~word;  // an FF byte becomes a zero byte
            if (((inverted - 0x0101010101010101ull) & ~inverted & 0x8080808080808080ull) == 0) {
                word = __builtin_bswap64(word);        // the first byte in the most significant place
                const int bytes = (64 - m_bits) >> 3;  // 1 … 8
                m_buffer |= (word >> (64 - 8 * bytes)) << (64 - 8 * bytes - m_bits);
                m_bits += 8 * bytes;
                m_pos += static_cast<std::size_t>(bytes);
                return;
            }
        }
        while (m_bits <= 56 && !m_ended) {
            if (m_pos >= m_data.size()) {
                m_ended = true;
                break;
            }
            std::uint8_t byte = m_data[m_pos];
            if (byte == 0xFF) {
                if (m_pos + 1 >= m_data.size() || m_data[m_pos + 1] != 0x00) {
                    m_ended = true;  // a marker: stay on it so that a restart finds it
                    break;
                }
                m_pos += 2;
            } else {
                ++m_pos;
            }
            m_buffer |= std::uint64_t{byte} << (56 - m_bits);
            m_bits += 8;
        }
    }
    // The next 16 bits (zero bits beyond the data). Call Refill first.
    std::uint32_t Peek16() const { return static_cast<std::uint32_t>(m_buffer >> 48); }
    // The next 64 bits, of which Available() came from the data (the rest are zero).
    std::uint64_t Peek64() const { return m_buffer; }
    // Consumes n ≤ 32 bits.
    void Skip(int n) {
        m_buffer <<= n;
        m_bits -= n;
    }
    // Reads n ≤ 16 bits as an unsigned value (0 for n = 0).
    std::uint32_t Take(int n) {
        const std::uint32_t v = n == 0 ? 0 : static_cast<std::uint32_t>(m_buffer >> (64 - n));
        Skip(n);
        return v;
    }
    int Available() const { return m_bits; }
    // True once more bits were used than the data held.
    bool Overrun() const { return m_bits < 0; }

    // Restart: drops the buffered bits, finds the next marker and goes on after it. Returns the
    // marker code, or 0 when no marker follows (the reader is then at the end and every further read
    // overruns).
    std::uint8_t Restart() {
        const auto marker = FindMarker(m_data, m_pos);
        m_pos = marker ? marker->next : m_data.size();
        m_buffer = 0;
        m_bits = 0;
        m_ended = false;
        return marker ? marker->code : 0;
    }

  private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos;
    std::uint64_t m_buffer = 0;  // next bits, left-aligned
    int m_bits = 0;              // bits of the buffer that came from the data
    bool m_ended = false;
};

}  // namespace jpeg
