#pragma once
// MARISOLE_JPEG_CLONES before a hot loop's function compiles it twice with GCC on x86-64, for AVX2
// and for the baseline instruction set; the loader picks one at start-up. (Eight 32-bit lanes hold a
// row of a block: the transform and the colour rows run about twice as fast on the 1600 × 1200
// benchmark picture.) Other compilers build the baseline version only.

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define MARISOLE_JPEG_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define MARISOLE_JPEG_CLONES
#endif
