#pragma once
// The fast path's decoding of one block's coefficients from the entropy-coded data. It makes the
// same decisions as the reference decoder's bit-serial reading for every input (the same
// coefficients, the same refusals), only with fewer steps for the common codes.
//
// Every bit comes through the one bounded JpegBitReader: past the end of the data it yields zero
// bits and counts them, and a block that used any of them is refused, exactly as in the reference.
// Each look-up is preceded by a refill whenever fewer bits are buffered than it may examine
// (kLookBits for the combined look-up; 16 for a code plus 15 value bits in the full table), so it
// never looks at bits the buffer has not been given, except the zero bits past the end.

#include <cstdint>

#include "render/jpeg/JpegBitReader.h"
#include "render/jpeg/JpegFastHuffman.h"

namespace jpeg {

struct BlockCoding {
    const JpegFastHuffman* dc = nullptr;
    const JpegFastHuffman* ac = nullptr;
    const std::uint16_t* quant = nullptr;  // zigzag order
    std::uint32_t predictor = 0;           // wraps modulo 2^32, as in the reference
};

struct DecodedBlock {
    std::int32_t dc = 0;    // the dequantised DC coefficient
    bool hasAc = false;     // an AC coefficient was stored (else the block is flat)
    bool fitInt16 = false;  // every stored coefficient lies in −32768 … 32767
};

// Decodes one block into `coeffs` (all zero on entry): the dequantised coefficient of zigzag index
// k goes to coeffs[slotOfZigzag[k]]. False on corrupt data or data that ended within the block.
inline bool DecodeBlock(JpegBitReader& bits, BlockCoding& c, const std::uint8_t* slotOfZigzag,
                        std::int32_t* coeffs, DecodedBlock* block) {
    bits.Refill();  // at least 57 bits unless the data ended: enough for a DC code (16) and size (16)
    std::uint32_t entry = c.dc->Look(bits.Peek64());
    if (entry != 0) {
        bits.Skip(static_cast<int>(entry & JpegFastHuffman::kTakenMask));
        c.predictor += static_cast<std::uint32_t>(static_cast<std::int32_t>(entry) >> 16);
    } else {
        int symbol = 0;
        const int length = c.dc->Full().Decode(bits.Peek16(), &symbol);
        if (length == 0 || symbol > 16) return false;
        bits.Skip(length);
        c.predictor += ExtendValue(bits.Take(symbol), symbol);
    }
    const auto dc = static_cast<std::int32_t>(c.predictor * c.quant[0]);
    coeffs[slotOfZigzag[0]] = dc;
    // A value lies in −32768 … 32767 exactly when adding 32768 leaves it below 2^16, so the OR of
    // all those sums is below 2^16 exactly when every value is.
    std::uint32_t range = static_cast<std::uint32_t>(dc) + 32768u;
    bool hasAc = false;

    for (int k = 1; k < 64;) {
        if (bits.Available() < JpegFastHuffman::kLookBits) bits.Refill();
        entry = c.ac->Look(bits.Peek64());
        std::uint32_t value;
        if (entry != 0) {
            bits.Skip(static_cast<int>(entry & JpegFastHuffman::kTakenMask));
            const std::uint32_t run = entry >> 8 & 0xFF;
            k += static_cast<int>(run);
            if (k > 63) {
                if (run == JpegFastHuffman::kEndOfBlock) break;
                return false;  // a run past the last coefficient
            }
            value = static_cast<std::uint32_t>(static_cast<std::int32_t>(entry) >> 16);
        } else {
            if (bits.Available() < 31) bits.Refill();
            int symbol = 0;
            const int length = c.ac->Full().Decode(bits.Peek16(), &symbol);
            if (length == 0) return false;
            bits.Skip(length);
            const int run = symbol >> 4;
            const int size = symbol & 0x0F;
            if (size == 0) {
                if (run == 0) break;  // end of block
                if (run != 15) return false;
                k += 16;                   // sixteen zeros
                if (k > 64) return false;  // past the last coefficient
                continue;
            }
            k += run;
            if (k > 63) return false;
            value = ExtendValue(bits.Take(size), size);
        }
        const auto coefficient = static_cast<std::int32_t>(value * c.quant[k]);
        coeffs[slotOfZigzag[k]] = coefficient;
        range |= static_cast<std::uint32_t>(coefficient) + 32768u;
        hasAc = true;
        ++k;
    }
    block->dc = dc;
    block->hasAc = hasAc;
    block->fitInt16 = range < 65536u;
    return !bits.Overrun();
}

}  // namespace jpeg
