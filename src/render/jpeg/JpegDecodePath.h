#pragma once
// The implementations of the scan decoding a JpegDecoder can run. All of them give the same bytes
// for every file, corrupt ones included (the tests and the fuzz harness compare them):
//   kReference  the plain decoder: bit-serial Huffman semantics, the transform as a matrix product,
//               chroma replicated into full-size planes of 32-bit samples; the oracle of the others;
//   kPortable   the fast decoder (combined code-and-value look-up, 16-bit planes at each component's
//               own resolution, upsampling while converting) with plain C++ kernels, for any processor;
//   kSse2       the fast decoder with SSE2 kernels (every x86-64 processor);
//   kAvx2       the fast decoder with AVX2 kernels, where the processor has AVX2.

namespace jpeg {

enum class JpegDecodePath { kReference, kPortable, kSse2, kAvx2 };

inline constexpr JpegDecodePath kAllDecodePaths[] = {JpegDecodePath::kReference, JpegDecodePath::kPortable,
                                                     JpegDecodePath::kSse2, JpegDecodePath::kAvx2};

// True when this build and this processor can run `path`.
bool ProcessorRuns(JpegDecodePath path);

// The fastest path this processor runs, found once: kAvx2, else kSse2, else kPortable.
JpegDecodePath BestDecodePath();

const char* DecodePathName(JpegDecodePath path);

}  // namespace jpeg
