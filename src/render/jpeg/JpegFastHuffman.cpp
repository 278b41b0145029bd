#include "render/jpeg/JpegFastHuffman.h"

#include "render/jpeg/JpegBitReader.h"

namespace jpeg {

void JpegFastHuffman::Build(const HuffmanTable& full, bool ac) {
    m_full = &full;
    for (std::uint32_t bits = 0; bits < (1u << kLookBits); ++bits) {
        // A code of up to kLookBits bits is decided by the first kLookBits bits alone, whatever
        // follows them, so zero bits after them give the same answer as the real data.
        int symbol = 0;
        const int length = full.Decode(bits << (16 - kLookBits), &symbol);
        std::uint32_t entry = 0;
        if (length != 0 && length <= kLookBits) {
            const int run = ac ? symbol >> 4 : 0;
            const int size = ac ? symbol & 0x0F : symbol;
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
        }
        m_entries[bits] = entry;
    }
}

}  // namespace jpeg
