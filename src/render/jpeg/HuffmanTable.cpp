#include "render/jpeg/HuffmanTable.h"

namespace jpeg {

bool HuffmanTable::Build(std::span<const std::uint8_t, 16> counts, std::span<const std::uint8_t> symbols) {
    *this = HuffmanTable{};
    int total = 0;
    for (std::uint8_t c : counts) total += c;
    if (total > kMaxSymbols || static_cast<std::size_t>(total) > symbols.size()) return false;

    // Codes are kept in 32 bits: with up to 256 symbols the running code stays below 2^25, so a
    // table that claims more codes than a length can hold simply gets codes that never match.
    std::uint32_t code = 0;
    int index = 0;
    for (int length = 1; length <= 16; ++length) {
        const int n = counts[length - 1];
        m_firstCode[length] = code;
        m_count[length] = static_cast<std::uint32_t>(n);
        m_firstIndex[length] = static_cast<std::uint16_t>(index);
        for (int i = 0; i < n; ++i, ++index, ++code) {
            m_symbols[index] = symbols[index];
            m_codes[index] = code;
            m_lengths[index] = static_cast<std::uint8_t>(length);
            if (length <= kFastBits && code < (1u << length)) {
                const std::uint32_t first = code << (kFastBits - length);
                const std::uint32_t last = (code + 1) << (kFastBits - length);
                for (std::uint32_t e = first; e < last; ++e) {
                    if (m_fast[e] == 0) m_fast[e] = static_cast<std::uint16_t>(length << 8 | symbols[index]);
                }
            }
        }
        code <<= 1;
    }
    m_symbolCount = total;
    m_defined = true;
    return true;
}

int HuffmanTable::DecodeLong(std::uint32_t peek16, int* symbol) const {
    for (int length = kFastBits + 1; length <= 16; ++length) {
        const std::uint32_t code = peek16 >> (16 - length);
        const std::uint32_t offset = code - m_firstCode[length];  // wraps high when code is below
        if (offset < m_count[length]) {
            *symbol = m_symbols[m_firstIndex[length] + offset];
            return length;
        }
    }
    return 0;
}

}  // namespace jpeg
