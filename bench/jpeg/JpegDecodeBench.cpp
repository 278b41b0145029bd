// Decode speed of the system's JPEG decoder beside libjpeg-turbo on the same baseline files, both
// writing 32-bit B, G, R, x pixels (the display format). Megapixels per second are in "MP/s". Our
// decoder runs on each path this processor has ("path": 0 reference, 1 portable, 2 SSE2, 3 AVX2).
#include <benchmark/benchmark.h>

#include <cstddef>
#include <map>
#include <utility>
#include <vector>

#include "LibjpegReference.h"
#include "PictureCorpus.h"
#include "render/jpeg/JpegDecoder.h"

namespace {

struct Picture {
    int width, height;
    bool subsampled;  // 4:2:0 when true, 4:4:4 otherwise
};

const std::vector<std::uint8_t>& FileFor(const Picture& p) {
    static std::map<std::tuple<int, int, bool>, std::vector<std::uint8_t>> files;
    auto& file = files[{p.width, p.height, p.subsampled}];
    if (file.empty()) file = jpegtest::BenchmarkPicture(p.width, p.height, p.subsampled);
    return file;
}

Picture PictureOf(const benchmark::State& state) {
    return {static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), state.range(2) != 0};
}

void SetRate(benchmark::State& state, const Picture& p) {
    state.counters["MP/s"] = benchmark::Counter(
        static_cast<double>(p.width) * p.height * state.iterations() / 1e6, benchmark::Counter::kIsRate);
}

void Ours(benchmark::State& state) {
    const Picture p = PictureOf(state);
    const auto& file = FileFor(p);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(p.width) * p.height * 4);
    jpeg::JpegDecoder decoder;
    if (!decoder.SetDecodePath(static_cast<jpeg::JpegDecodePath>(state.range(3)))) {
        state.SkipWithError("the processor lacks this path");
        return;
    }
    for (auto _ : state) {
        if (!decoder.ReadHeader(file) || !decoder.Decode({pixels.data(), p.width * 4, 32})) {
            state.SkipWithError("decode failed");
            break;
        }
        benchmark::DoNotOptimize(pixels.data());
    }
    SetRate(state, p);
}

void LibjpegTurbo(benchmark::State& state) {
    const Picture p = PictureOf(state);
    const auto& file = FileFor(p);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(p.width) * p.height * 4);
    for (auto _ : state) {
        if (!jpegtest::LibjpegDecodeBgrx(file, pixels.data(), p.width * 4)) {
            state.SkipWithError("decode failed");
            break;
        }
        benchmark::DoNotOptimize(pixels.data());
    }
    SetRate(state, p);
}

void Pictures(benchmark::internal::Benchmark* b) {
    b->ArgNames({"w", "h", "420"});
    for (int subsampled : {1, 0}) {
        b->Args({64, 64, subsampled});
        b->Args({640, 480, subsampled});
        b->Args({1600, 1200, subsampled});
    }
}

void PicturesOnEachPath(benchmark::internal::Benchmark* b) {
    b->ArgNames({"w", "h", "420", "path"});
    for (int subsampled : {1, 0}) {
        for (auto [w, h] : {std::pair{64, 64}, std::pair{640, 480}, std::pair{1600, 1200}}) {
            for (jpeg::JpegDecodePath path : jpeg::kAllDecodePaths)
                if (jpeg::ProcessorRuns(path)) b->Args({w, h, subsampled, static_cast<int>(path)});
        }
    }
}

BENCHMARK(Ours)->Apply(PicturesOnEachPath);
BENCHMARK(LibjpegTurbo)->Apply(Pictures);

}  // namespace
