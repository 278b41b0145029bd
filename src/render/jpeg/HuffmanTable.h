#pragma once
// One Huffman table of a JPEG file: the 16 code counts, the symbols in file order and their canonical
// codes (code 0 first; the symbols of each length take consecutive codes, then the code doubles).
//
// Decoding gives exactly what reading one bit at a time and comparing the code so far with the codes
// of that length would give: canonical codes are built so that no code is a prefix of a longer one,
// so the first (shortest) match is the only match. A table of 2^9 entries answers every code of up
// to 9 bits in one look-up; longer codes are found by comparing with each length's code range.

#include <array>
#include <cstdint>
#include <span>

namespace jpeg {

class HuffmanTable {
  public:
    static constexpr int kFastBits = 9;
    static constexpr int kMaxSymbols = 256;  // more symbols than byte values cannot be meaningful

    // Builds the codes; false when the counts add up to more than 256 symbols or `symbols` holds
    // fewer than they add up to.
    bool Build(std::span<const std::uint8_t, 16> counts, std::span<const std::uint8_t> symbols);
    bool Defined() const { return m_defined; }

    // `peek16` holds the next 16 bits of the stream, most significant bit first. Returns the code
    // length (1 … 16) and stores the symbol, or 0 when no code of up to 16 bits matches.
    int Decode(std::uint32_t peek16, int* symbol) const {
        const std::uint16_t fast = m_fast[peek16 >> (16 - kFastBits)];
        if (fast != 0) {
            *symbol = fast & 0xFF;
            return fast >> 8;
        }
        return DecodeLong(peek16, symbol);
    }

    // The canonical code of the i-th symbol in file order and its length (for tests and encoders).
    std::uint32_t CodeOf(int index) const { return m_codes[index]; }
    int LengthOf(int index) const { return m_lengths[index]; }
    int SymbolCount() const { return m_symbolCount; }
    int SymbolAt(int index) const { return m_symbols[index]; }

  private:
    int DecodeLong(std::uint32_t peek16, int* symbol) const;

    bool m_defined = false;
    int m_symbolCount = 0;
    // Per length 1 … 16 (index 0 unused): the first code, how many codes, index of the first symbol.
    std::array<std::uint32_t, 17> m_firstCode{};
    std::array<std::uint32_t, 17> m_count{};
    std::array<std::uint16_t, 17> m_firstIndex{};
    std::array<std::uint8_t, kMaxSymbols> m_symbols{};
    std::array<std::uint32_t, kMaxSymbols> m_codes{};
    std::array<std::uint8_t, kMaxSymbols> m_lengths{};
    // Entry = length << 8 | symbol for codes of up to kFastBits bits; 0 = longer code or none.
    std::array<std::uint16_t, 1 << kFastBits> m_fast{};
};

}  // namespace jpeg
