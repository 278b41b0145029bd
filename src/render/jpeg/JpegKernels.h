#pragma once
// The inner loops of the fast scan decoder, one set per instruction set (portable C++, SSE2, AVX2).
// Every set computes exactly what the reference decoder computes; only the speed differs.
//
// Samples are 16-bit here: the transform's result (a wrapped 32-bit sum shifted right by 20, plus
// 128) always lies in −1920 … 2175.

#include <array>
#include <cstddef>
#include <cstdint>

#include "render/jpeg/JpegDecodePath.h"

namespace jpeg {

struct JpegKernels {
    // slotOfNatural[8·v + u] is where `transform` expects the coefficient F(v, u) of a block (row v
    // = vertical frequency, column u); each set lays the block out the way its loads want it.
    std::array<std::uint8_t, 64> slotOfNatural;

    // The inverse transform of one block: `coeffs` holds the 64 dequantised coefficients (wrapped
    // 32-bit values) at their slots. `fitInt16` may be true only when every one of them lies in
    // −32768 … 32767; a set may then multiply 16-bit inputs. Writes 8 rows of 8 samples at `out`,
    // rows `stride` elements apart.
    void (*transform)(const std::int32_t* coeffs, bool fitInt16, std::int16_t* out, std::ptrdiff_t stride);

    // `width` pixels of 32 bits (bytes B, G, R, 0) from one line of Y, Cb and Cr samples, each at
    // full resolution. Reads exactly `width` samples of each row.
    void (*colourRow)(const std::int16_t* y, const std::int16_t* cb, const std::int16_t* cr, int width,
                      std::uint8_t* out);
    // The same with Cb and Cr at half horizontal resolution: pixel x takes chroma sample x / 2.
    // Reads (width + 1) / 2 chroma samples.
    void (*colourRowHalfChroma)(const std::int16_t* y, const std::int16_t* cb, const std::int16_t* cr,
                                int width, std::uint8_t* out);
    // `width` grey pixels of 32 bits: B = G = R = Y clamped to 0 … 255, then 0.
    void (*greyRow)(const std::int16_t* y, int width, std::uint8_t* out);
};

// The set of a fast path; nullptr for kReference and for a set this build does not have (the SIMD
// sets exist on x86-64 only). The caller makes sure that the processor runs the path.
const JpegKernels* KernelsFor(JpegDecodePath path);

const JpegKernels& PortableKernels();
#if defined(__x86_64__)
const JpegKernels& Sse2Kernels();
const JpegKernels& Avx2Kernels();
#endif

// The exact transform from coefficients in natural order (F(v, u) at 8·v + u), in plain C++: the
// portable set's transform, and the SIMD sets' way for blocks whose coefficients do not fit 16 bits.
void TransformNatural(const std::int32_t* natural, std::int16_t* out, std::ptrdiff_t stride);

}  // namespace jpeg
