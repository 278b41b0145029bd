// Decode speed of the system's JPEG decoder beside libjpeg-turbo on the same baseline files, both
// writing 32-bit B, G, R, x pixels (the display format). Megapixels per second are in "MP/s".
#include <benchmark/benchmark.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <map>
#include <vector>

#include "LibjpegReference.h"
#include "TestPictures.h"
#include "render/jpeg/JpegDecoder.h"

// jpeglib.h needs size_t and FILE declared before it.
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace {

struct Picture {
    int width, height;
    bool subsampled;  // 4:2:0 when true, 4:4:4 otherwise
};

const std::vector<std::uint8_t>& FileFor(const Picture& p) {
    static std::map<std::tuple<int, int, bool>, std::vector<std::uint8_t>> files;
    auto& file = files[{p.width, p.height, p.subsampled}];
    if (file.empty()) {
        jpegtest::EncodeOptions options;
        options.quality = 90;
        options.lumaH = options.lumaV = p.subsampled ? 2 : 1;
        file = jpegtest::LibjpegEncode(jpegtest::MakePicture(p.width, p.height, 3, 11), p.width, p.height,
                                       options);
    }
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
    for (auto _ : state) {
        if (!decoder.ReadHeader(file) || !decoder.Decode({pixels.data(), p.width * 4, 32})) {
            state.SkipWithError("decode failed");
            break;
        }
        benchmark::DoNotOptimize(pixels.data());
    }
    SetRate(state, p);
}

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// libjpeg-turbo with its default decoding settings (accurate integer IDCT, smooth upsampling).
bool LibjpegDecodeBgrx(const std::vector<std::uint8_t>& file, std::uint8_t* pixels, int pitch) {
    jpeg_decompress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels + static_cast<std::ptrdiff_t>(info.output_scanline) * pitch;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

void LibjpegTurbo(benchmark::State& state) {
    const Picture p = PictureOf(state);
    const auto& file = FileFor(p);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(p.width) * p.height * 4);
    for (auto _ : state) {
        if (!LibjpegDecodeBgrx(file, pixels.data(), p.width * 4)) {
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

BENCHMARK(Ours)->Apply(Pictures);
BENCHMARK(LibjpegTurbo)->Apply(Pictures);

}  // namespace
