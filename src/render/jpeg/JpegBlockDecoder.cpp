#include "render/jpeg/JpegBlockDecoder.h"

namespace jpeg {

bool DecodeBlock(JpegBitReader& reader, BlockCoding& coding, std::int32_t* coeffs, DecodedBlock* block) {
    // The reader, the predictor and the tables in locals: a store into `coeffs` (32-bit integers)
    // could otherwise change the reader's bit count as far as the compiler knows, and every
    // coefficient would reload the reader's state from memory. Whether the function is inlined into
    // the MCU loop made no difference to the 1600 × 1200 benchmark pictures.
    JpegBitReader bits = reader;
    const JpegFastHuffman& dcTable = *coding.dc;
    const JpegFastHuffman& acTable = *coding.ac;
    const std::uint32_t* quantAndSlot = coding.quantAndSlot;
    std::uint32_t predictor = coding.predictor;

    bits.Refill();  // at least 57 bits unless the data ended: enough for a DC code (16) and size (16)
    std::uint32_t entry = dcTable.Look(bits.Peek64());
    if (entry != 0) {
        bits.Skip(static_cast<int>(entry & JpegFastHuffman::kTakenMask));
        predictor += static_cast<std::uint32_t>(static_cast<std::int32_t>(entry) >> 16);
    } else {
        int symbol = 0;
        const int length = dcTable.Full().Decode(bits.Peek16(), &symbol);
        if (length == 0 || symbol > 16) return false;
        bits.Skip(length);
        predictor += ExtendValue(bits.Take(symbol), symbol);
    }
    const auto dc = static_cast<std::int32_t>(predictor * (quantAndSlot[0] & 0xFFFF));
    coeffs[quantAndSlot[0] >> 16] = dc;
    // A value lies in −32768 … 32767 exactly when adding 32768 leaves it below 2^16, so the OR of
    // all those sums is below 2^16 exactly when every value is.
    std::uint32_t range = static_cast<std::uint32_t>(dc) + 32768u;
    bool hasAc = false;

    for (int k = 1; k < 64;) {
        if (bits.Available() < JpegFastHuffman::kLookBits) bits.Refill();
        entry = acTable.Look(bits.Peek64());
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
            const int length = acTable.Full().Decode(bits.Peek16(), &symbol);
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
        const std::uint32_t quantEntry = quantAndSlot[k];
        const auto coefficient = static_cast<std::int32_t>(value * (quantEntry & 0xFFFF));
        coeffs[quantEntry >> 16] = coefficient;
        range |= static_cast<std::uint32_t>(coefficient) + 32768u;
        hasAc = true;
        ++k;
    }
    reader = bits;
    coding.predictor = predictor;
    block->dc = dc;
    block->hasAc = hasAc;
    block->fitInt16 = range < 65536u;
    return !bits.Overrun();
}

}  // namespace jpeg
