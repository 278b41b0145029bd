// The standing pose set of the sample library: the render from the loaded scene to the pixel
// block at 640 × 480 with antialiasing, with one thread and with two, the pipeline's buffers kept
// from one render to the next as a batch keeps them; joint smoothing of its skin beside the plain
// quadratic walk on the same meshes.
//
// Counters of the renders: page faults a render ("faults") and the kernel's share of the process's
// CPU time ("kernel"), both from getrusage over the timed loop, every thread included.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <iostream>
#include <sstream>

#include "app/HeadlessScene.h"
#include "core/MainApp.h"
#include "base/Cp932.h"
#include "platform/rm/WorkerPool.h"
#include "render/pipeline/RenderPipeline.h"
#include "render/smooth/JointSmoothing.h"
#include "scene/MainDoc.h"
#include "support/SmoothingReference.h"

namespace {

std::string BinFolder() { return std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/"; }

struct Standing {
    std::ostringstream log;
    CHeadlessScene scene{BinFolder(), log};
    bool loaded = scene.LoadPoseSet("STAND.OBJ");
};

// Faults and CPU times of the whole process, every thread included.
struct Usage {
    double faults, user, kernel;
    static Usage Now() {
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
        return {double(u.ru_minflt + u.ru_majflt), seconds(u.ru_utime), seconds(u.ru_stime)};
    }
};

void BM_RenderStanding640Antialiased(benchmark::State& state) {
    const rm::ScopedPoolThreads threads(static_cast<unsigned>(state.range(0)));
    Standing s;
    if (!s.loaded) return state.SkipWithError("the sample library is not beside the benchmark");
    GetApp()->SetSettingInt("render", "width", 640);
    GetApp()->SetSettingInt("render", "height", 480);
    GetApp()->SetSettingInt("render", "antialias", 1);
    RenderPipeline& pipeline = RenderPipeline::Shared();
    pipeline.Release();
    pipeline.RenderBmp(s.scene.MakeRenderRequest(nullptr));  // the first render of the size
    const Usage before = Usage::Now();
    for (auto _ : state) {
        const auto bmp = pipeline.RenderBmp(s.scene.MakeRenderRequest(nullptr));
        benchmark::DoNotOptimize(bmp.data());
    }
    const Usage after = Usage::Now();
    pipeline.Release();
    const double n = double(state.iterations());
    state.counters["faults"] = (after.faults - before.faults) / n;
    const double cpu = (after.user - before.user) + (after.kernel - before.kernel);
    state.counters["kernel"] = cpu > 0 ? (after.kernel - before.kernel) / cpu : 0;
    state.counters["threads"] = static_cast<double>(state.range(0));
}

template <PairWalk Walk>
void BM_SmoothStanding(benchmark::State& state) {
    Standing s;
    if (!s.loaded) return state.SkipWithError("the sample library is not beside the benchmark");
    const auto frames = s.scene.Document().FindFramesByGeneralName(cp932::FromUtf8("肌"));
    const float t = static_cast<float>(kJointThreshold);
    for (auto _ : state) {
        auto meshes = CollectSmoothMeshes(frames);
        SmoothAllPairs(meshes, t, Walk);
        benchmark::DoNotOptimize(meshes.data());
    }
}

// The pair walk alone, on meshes collected once: each round starts from the collected normals.
template <PairWalk Walk>
void BM_SmoothStandingPairs(benchmark::State& state) {
    Standing s;
    if (!s.loaded) return state.SkipWithError("the sample library is not beside the benchmark");
    const auto frames = s.scene.Document().FindFramesByGeneralName(cp932::FromUtf8("肌"));
    auto meshes = CollectSmoothMeshes(frames);
    std::vector<std::vector<rm::Vector>> collected;
    std::size_t vertices = 0;
    for (const auto& m : meshes) {
        collected.push_back(m.normals);
        vertices += m.vertices.size();
    }
    const float t = static_cast<float>(kJointThreshold);
    for (auto _ : state) {
        for (std::size_t m = 0; m < meshes.size(); ++m) meshes[m].normals = collected[m];
        SmoothAllPairs(meshes, t, Walk);
        benchmark::DoNotOptimize(meshes.data());
    }
    state.counters["meshes"] = static_cast<double>(meshes.size());
    state.counters["vertices"] = static_cast<double>(vertices);
}

BENCHMARK(BM_RenderStanding640Antialiased)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_SmoothStanding<PairWalk::Grid>)->Name("BM_SmoothStanding/grid")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothStanding<PairWalk::Quadratic>)->Name("BM_SmoothStanding/quadratic")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothStandingPairs<PairWalk::Grid>)->Name("BM_SmoothStandingPairs/grid")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SmoothStandingPairs<PairWalk::Quadratic>)->Name("BM_SmoothStandingPairs/quadratic")->Unit(benchmark::kMicrosecond);

}  // namespace
