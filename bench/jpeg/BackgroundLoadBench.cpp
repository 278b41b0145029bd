// Loading a 1600 × 1200 background picture from disk into a surface, as the render pipeline does
// (own size) and as the edit view does (stretched to 640 × 480): a baseline JFIF file through our
// own decoder beside the same picture as a progressive file, which our decoder refuses and Qt's
// image reader then decodes (with the end-marker walk and the size checks in front of it).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "LibjpegReference.h"
#include "TestPictures.h"
#include "render/bitmap/PictureLoading.h"

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1200;

const std::string& PictureFile(bool progressive) {
    static QTemporaryDir dir;
    static std::string paths[2];
    std::string& path = paths[progressive ? 1 : 0];
    if (path.empty()) {
        jpegtest::EncodeOptions options;
        options.quality = 90;
        options.lumaH = options.lumaV = 2;  // 4:2:0, as cameras and the web write them
        options.progressive = progressive;
        const auto bytes =
            jpegtest::LibjpegEncode(jpegtest::MakePicture(kWidth, kHeight, 3, 7), kWidth, kHeight, options);
        const QString name = dir.filePath(progressive ? QStringLiteral("progressive.jpg") : QStringLiteral("baseline.jpg"));
        QFile file(name);
        if (file.open(QIODevice::WriteOnly))
            file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        path = name.toStdString();
    }
    return path;
}

void LoadBackground(benchmark::State& state, bool progressive, std::uint32_t width, std::uint32_t height) {
    const std::string& path = PictureFile(progressive);
    const surface::Ref<surface::DirectDraw> directDraw = surface::DirectDraw::Create();
    for (auto _ : state) {
        surface::Ref<surface::Surface> picture = bitmap::LoadPicture(*directDraw, path, width, height);
        if (!picture) {
            state.SkipWithError("the picture did not load");
            break;
        }
        benchmark::DoNotOptimize(picture.Get());
    }
    state.counters["MP/s"] = benchmark::Counter(double(kWidth) * kHeight * double(state.iterations()) / 1e6,
                                                benchmark::Counter::kIsRate);
}

void BM_BaselineOwnSize(benchmark::State& state) { LoadBackground(state, false, 0, 0); }
void BM_ProgressiveOwnSize(benchmark::State& state) { LoadBackground(state, true, 0, 0); }
void BM_BaselineStretched(benchmark::State& state) { LoadBackground(state, false, 640, 480); }
void BM_ProgressiveStretched(benchmark::State& state) { LoadBackground(state, true, 640, 480); }

}  // namespace

BENCHMARK(BM_BaselineOwnSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgressiveOwnSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineStretched)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProgressiveStretched)->Unit(benchmark::kMillisecond);
