#include "render/jpeg/JpegDecodePath.h"

#include "render/jpeg/JpegKernels.h"

namespace jpeg {

bool ProcessorRuns(JpegDecodePath path) {
    switch (path) {
        case JpegDecodePath::kReference:
        case JpegDecodePath::kPortable:
            return true;
#if defined(__x86_64__)
        case JpegDecodePath::kSse2:
            return true;  // part of x86-64 itself
        case JpegDecodePath::kAvx2:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx2");
#else
        case JpegDecodePath::kSse2:
        case JpegDecodePath::kAvx2:
            return false;
#endif
    }
    return false;
}

JpegDecodePath BestDecodePath() {
    static const JpegDecodePath best = ProcessorRuns(JpegDecodePath::kAvx2)   ? JpegDecodePath::kAvx2
                                       : ProcessorRuns(JpegDecodePath::kSse2) ? JpegDecodePath::kSse2
                                                                              : JpegDecodePath::kPortable;
    return best;
}

const char* DecodePathName(JpegDecodePath path) {
    switch (path) {
        case JpegDecodePath::kReference:
            return "reference";
        case JpegDecodePath::kPortable:
            return "portable";
        case JpegDecodePath::kSse2:
            return "SSE2";
        case JpegDecodePath::kAvx2:
            return "AVX2";
    }
    return "?";
}

const JpegKernels* KernelsFor(JpegDecodePath path) {
    switch (path) {
        case JpegDecodePath::kReference:
            return nullptr;
        case JpegDecodePath::kPortable:
            return &PortableKernels();
#if defined(__x86_64__)
        case JpegDecodePath::kSse2:
            return &Sse2Kernels();
        case JpegDecodePath::kAvx2:
            return &Avx2Kernels();
#else
        case JpegDecodePath::kSse2:
        case JpegDecodePath::kAvx2:
            return nullptr;
#endif
    }
    return nullptr;
}

}  // namespace jpeg
