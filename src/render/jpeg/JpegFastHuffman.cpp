#include "render/jpeg/JpegFastHuffman.h"

#include "render/jpeg/JpegBitReader.h"

namespace jpeg {

void JpegFastHuffman::Build(const HuffmanTable& full, bool ac) {
    m_full = &full;
    // A code of up to kLookBits bits is decided by its own bits alone, whatever follows them, so
    // asking the full table with zero bits after the first kLookBits gives the real answer; and all
    // 2^(kLookBits − length) entries that begin with the same code get the same answer. So the
    // table is asked once per short code (and once per entry no short code begins), not per entry:
    // a thumbnail's decode would otherwise spend more time here than on its pixels.
    for (std::uint32_t first = 0; first < (1u << kLookBits);) {
        int symbol = 0;
        const int length = full.Decode(first << (16 - kLookBits), &symbol);
        if (length == 0 || length > kLookBits) {
            m_entries[first++] = 0;
            continue;
        }
        const std::uint32_t end = first + (1u << (kLookBits - length));  // `first` begins its code's block
        const int run = ac ? symbol >> 4 : 0;
        const int size = ac ? symbol & 0x0F : symbol;
        for (std::uint32_t bits = first; bits < end; ++bits) {
            std::uint32_t entry = 0;
            if (ac && size == 0 && run == 0) {
                entry = static_cast<std::uint32_t>(length) | kEndOfBlock << 8;
            } else if ((size != 0 || !ac) && size <= 16 && length + size <= kLookBits) {
                // AC sizes of 0 other than the end of block (sixteen zeros, or corrupt) are left to
                // the full table; so are DC sizes above 16, which are corrupt.
                const std::uint32_t raw = (bits >> (kLookBits - length - size)) & ((1u << size) - 1);
                const auto value = static_cast<std::int32_t>(ExtendValue(raw, size));
                entry = static_cast<std::uint32_t>(length + size) | static_cast<std::uint32_t>(run) << 8 |
                        static_cast<std::uint32_t>(value) << 16;
            }
            m_entries[bits] = entry;
        }
        first = end;
    }
}

}  // namespace jpeg
