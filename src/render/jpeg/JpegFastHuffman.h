#pragma once
// A look-up over the next kLookBits bits of the entropy-coded data that gives, for the common short
// codes, what HuffmanTable::Decode gives together with the value bits that follow the code: one
// load per coefficient instead of a code look-up, a read of the value and its sign extension.
// Entries are made by asking the full table itself, so they cannot disagree with it; every code
// whose code and value bits do not both fit in kLookBits bits has entry 0 and goes to the full table.

#include <array>
#include <cstdint>

#include "render/jpeg/HuffmanTable.h"

namespace jpeg {

class JpegFastHuffman {
  public:
    // 2^10 entries of 4 bytes: a DC and an AC table each for luma and chroma take 16 KB, within the
    // first level cache beside the planes. Code and value fit in 10 bits for 97 % of the AC symbols
    // of the decode benchmark's 1600 × 1200 pictures (quality 90, libjpeg-turbo's standard tables).
    static constexpr int kLookBits = 10;

    // Entry, 32 bits:
    //   bits 0 … 5    bits the code and its value take together (1 … kLookBits); 0: use Full()
    //   bits 8 … 15   AC: the run of zeros before the coefficient (0 … 15), or kEndOfBlock; DC: 0
    //   bits 16 … 31  the value after EXTEND, signed (0 for an end of block)
    static constexpr std::uint32_t kEndOfBlock = 64;
    static constexpr std::uint32_t kTakenMask = 63;

    // `full` must outlive this table. DC symbols are value sizes (0 … 16), AC symbols run/size bytes.
    void Build(const HuffmanTable& full, bool ac);

    // `buffer`: the next bits of the data, most significant bit first.
    std::uint32_t Look(std::uint64_t buffer) const { return m_entries[buffer >> (64 - kLookBits)]; }
    const HuffmanTable& Full() const { return *m_full; }

  private:
    const HuffmanTable* m_full = nullptr;
    std::array<std::uint32_t, 1 << kLookBits> m_entries{};
};

}  // namespace jpeg
