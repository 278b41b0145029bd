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
    // Per zigzag index k: the quantisation entry (low 16 bits) and, above it, the slot of the
    // transform's block where the coefficient goes (JpegKernels::slotOfNatural of its position).
    std::uint32_t quantAndSlot[64] = {};
    std::uint32_t predictor = 0;  // wraps modulo 2^32, as in the reference
};

struct DecodedBlock {
    std::int32_t dc = 0;    // the dequantised DC coefficient
    bool hasAc = false;     // an AC coefficient was stored (else the block is flat)
    bool fitInt16 = false;  // every stored coefficient lies in −32768 … 32767
};

// Decodes one block into `coeffs` (all zero on entry): the dequantised coefficient of zigzag index
// k goes to its slot. False on corrupt data or data that ended within the block.
bool DecodeBlock(JpegBitReader& reader, BlockCoding& coding, std::int32_t* coeffs, DecodedBlock* block);

}  // namespace jpeg
