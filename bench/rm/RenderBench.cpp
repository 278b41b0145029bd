// Speed of the software rasteriser: a Gouraud-lit figure of ten tessellated ellipsoids (50 000
// triangles) rendered into a 32-bit surface, with one thread and with two, and beside it (when the
// build found OSMesa) the same triangles through Mesa's llvmpipe at the same size, lights and lens;
// the clear alone; the geometry stages alone (a viewport too small to fill).
//
// llvmpipe takes its number of rasteriser threads from LP_NUM_THREADS when its screen is made, once
// a process; this program sets it to our default number (MARISOLE_THREADS, else the cores) unless
// it is set, so run it once per thread count to compare like with like:
//   MARISOLE_THREADS=1 rm_bench    MARISOLE_THREADS=2 rm_bench
// (llvmpipe's own thread also sets up and bins the triangles while its rasteriser threads draw.)

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <unordered_map>

#include "LlvmpipeFigure.h"
#include "SceneShapes.h"
#include "platform/rm/Library.h"
#include "platform/rm/WorkerPool.h"

using namespace rm;

namespace {

// (radii, position) of head, torso, upper and lower arms, thighs and shins, about 12 units tall
// at this scale: the whole figure in view 55 units ahead, as the edit view shows it.
struct Part {
    float rx, ry, rz, x, y, z;
};
constexpr Part kParts[] = {{2.2f, 2.8f, 2.4f, 0, 15, 0},    {4.5f, 6.5f, 3, 0, 5.5f, 0},
                           {1.3f, 4, 1.3f, -6, 7, 0},       {1.3f, 4, 1.3f, 6, 7, 0},
                           {1.1f, 3.8f, 1.1f, -6.5f, 0, 0}, {1.1f, 3.8f, 1.1f, 6.5f, 0, 0},
                           {2, 5.5f, 2, -2.3f, -6, 0},      {2, 5.5f, 2, 2.3f, -6, 0},
                           {1.6f, 5, 1.6f, -2.3f, -16, 0},  {1.6f, 5, 1.6f, 2.3f, -16, 0}};
constexpr float kScale = 0.3f;
constexpr Vector kFigureAt{0, 0.8f, 55};
constexpr Vector kLampAt{-10, 10, -20};  // relative to the figure
constexpr std::uint32_t kSkin = 0xFFE0B090, kAmbient = 0x363636, kSun = 0x444444, kLamp = 0x808080;
constexpr float kPower = 12;
constexpr float kFront = 10, kBack = 200, kField = 1.5f;

// The mesh as GL draws it: one vertex per distinct (position, normal) corner.
rmbench::GlMesh ToGl(const MeshBuilder& mesh, Vector offset) {
    rmbench::GlMesh gl;
    gl.offset = offset;
    std::unordered_map<std::uint64_t, std::uint32_t> seen;
    auto index = [&](const Corner& c) {
        const std::uint64_t key = (std::uint64_t(c.vertex) << 32) | c.normal;
        if (const auto it = seen.find(key); it != seen.end()) return it->second;
        const auto i = std::uint32_t(gl.positions.size() / 3);
        const Vector& p = mesh.Vertices()[c.vertex];
        const Vector& n = mesh.Normals()[c.normal];
        gl.positions.insert(gl.positions.end(), {p.x, p.y, p.z});
        gl.normals.insert(gl.normals.end(), {n.x, n.y, n.z});
        seen.emplace(key, i);
        return i;
    };
    for (const FaceRecord& f : mesh.FaceRecords()) {
        const Corner* c = mesh.Corners().data() + f.firstCorner;
        for (std::uint32_t k = 1; k + 1 < f.cornerCount; ++k)
            gl.triangles.insert(gl.triangles.end(), {index(c[0]), index(c[k]), index(c[k + 1])});
    }
    return gl;
}

#ifdef MARISOLE_BENCH_LLVMPIPE
float Grey(std::uint32_t rgb) { return float(rgb & 0xFF) / 255.0f; }
#endif

// Pixels not black: both rasterisers must have drawn about as much of the figure.
double Covered(const std::uint32_t* pixels, std::size_t count) {
    std::size_t drawn = 0;
    for (std::size_t i = 0; i < count; ++i) drawn += (pixels[i] & 0xFFFFFF) != 0;
    return double(drawn);
}

struct Figure {
    Ref<Library> lib = Library::Create();
    Ref<surface::Surface> target;
    Ref<Device> device;
    Ref<Frame> root, camera;
    Ref<Viewport> viewport;
    std::uint32_t triangles = 0;
    std::vector<rmbench::GlMesh> glMeshes;

    Figure(std::uint32_t w, std::uint32_t h) {
        target = surface::Surface::Create(w, h, surface::PixelFormat::FromBits(32));
        device = lib->CreateDeviceFromSurface(nullptr, nullptr, target.Get());
        device->SetQuality(D3DRMRENDER_GOURAUD);
        root = lib->CreateFrame(nullptr);
        camera = lib->CreateFrame(root.Get());
        viewport = lib->CreateViewport(device.Get(), camera.Get(), 0, 0, w, h);
        viewport->SetFront(kFront);
        viewport->SetBack(kBack);
        viewport->SetField(kField);
        Ref<Frame> figure = lib->CreateFrame(root.Get());
        figure->SetPosition(nullptr, kFigureAt.x, kFigureAt.y, kFigureAt.z);
        Ref<Light> ambient = lib->CreateLight(D3DRMLIGHT_AMBIENT, kAmbient);
        figure->AddLight(ambient.Get());
        Ref<Frame> sunFrame = lib->CreateFrame(figure.Get());
        sunFrame->SetOrientation(nullptr, 1, -1, 1, 0, 1, 0);
        Ref<Light> sun = lib->CreateLight(D3DRMLIGHT_DIRECTIONAL, kSun);
        sunFrame->AddLight(sun.Get());
        Ref<Frame> lampFrame = lib->CreateFrame(figure.Get());
        lampFrame->SetPosition(nullptr, kLampAt.x, kLampAt.y, kLampAt.z);
        Ref<Light> lamp = lib->CreateLight(D3DRMLIGHT_POINT, kLamp);
        lampFrame->AddLight(lamp.Get());
        Ref<Material> skin = lib->CreateMaterial(kPower);
        for (const Part& p : kParts) {
            Ref<MeshBuilder> mesh =
                rmtest::MakeEllipsoid(*lib, kScale * p.rx, kScale * p.ry, kScale * p.rz, 50, 51);
            mesh->SetColor(kSkin);
            mesh->SetMaterial(skin.Get());
            triangles += mesh->GetFaceCount();
            Ref<Frame> f = lib->CreateFrame(figure.Get());
            f->SetPosition(nullptr, kScale * p.x, kScale * p.y, kScale * p.z);
            f->AddVisual(mesh.Get());
            glMeshes.push_back(ToGl(*mesh, {kFigureAt.x + kScale * p.x, kFigureAt.y + kScale * p.y,
                                            kFigureAt.z + kScale * p.z}));
        }
    }
};

void BM_RenderFigure(benchmark::State& state) {
    const ScopedPoolThreads threads(unsigned(state.range(2)));
    Figure fig(std::uint32_t(state.range(0)), std::uint32_t(state.range(1)));
    for (auto _ : state) {
        fig.viewport->Clear(D3DRMCLEAR_ALL);
        fig.viewport->Render(fig.root.Get());
        benchmark::DoNotOptimize(fig.target->Bits());
    }
    state.counters["threads"] = WorkerPool::Shared().Threads();
    state.counters["covered"] =
        Covered(reinterpret_cast<const std::uint32_t*>(fig.target->Bits()), std::size_t(state.range(0) * state.range(1)));
    state.counters["triangles"] = fig.triangles;
    state.counters["tri/s"] =
        benchmark::Counter(double(fig.triangles) * double(state.iterations()), benchmark::Counter::kIsRate);
}

#ifdef MARISOLE_BENCH_LLVMPIPE
void BM_LlvmpipeFigure(benchmark::State& state) {
    const auto w = std::uint32_t(state.range(0)), h = std::uint32_t(state.range(1));
    Figure fig(w, h);
    rmbench::LlvmpipeFigure gl(w, h, kFront, kBack, kField, fig.glMeshes,
                               {Grey(kAmbient), Vector{1, -1, 1}, Grey(kSun),
                                Vector{kFigureAt.x + kLampAt.x, kFigureAt.y + kLampAt.y, kFigureAt.z + kLampAt.z},
                                Grey(kLamp)},
                               {Grey(kSkin >> 16), Grey(kSkin >> 8), Grey(kSkin), kPower});
    if (!gl.Ready()) return state.SkipWithError("OSMesa gives no context");
    for (auto _ : state) {
        gl.Render();
        benchmark::DoNotOptimize(gl.Pixels());
    }
    state.SetLabel(gl.Renderer());
    state.counters["covered"] = Covered(gl.Pixels(), std::size_t(w) * h);
    state.counters["threads"] = rmbench::LlvmpipeFigure::RasterThreads();
    state.counters["tri/s"] =
        benchmark::Counter(double(fig.triangles) * double(state.iterations()), benchmark::Counter::kIsRate);
}
#endif

void BM_ClearOnly(benchmark::State& state) {
    const ScopedPoolThreads threads(unsigned(state.range(2)));
    Figure fig(std::uint32_t(state.range(0)), std::uint32_t(state.range(1)));
    for (auto _ : state) {
        fig.viewport->Clear(D3DRMCLEAR_ALL);
        benchmark::DoNotOptimize(fig.target->Bits());
    }
}

// The same scene in a 16 x 12 viewport: transform, lighting, culling and setup with almost no fill.
void BM_RenderFigureNoFill(benchmark::State& state) {
    Figure fig(16, 12);
    for (auto _ : state) {
        fig.viewport->Clear(D3DRMCLEAR_ALL);
        fig.viewport->Render(fig.root.Get());
        benchmark::DoNotOptimize(fig.target->Bits());
    }
    state.counters["tri/s"] =
        benchmark::Counter(double(fig.triangles) * double(state.iterations()), benchmark::Counter::kIsRate);
}

// Time is wall-clock; CPU is every thread's of the process.
BENCHMARK(BM_RenderFigure)
    ->ArgNames({"w", "h", "threads"})
    ->Args({1280, 960, 1})
    ->Args({1280, 960, 2})
    ->Args({640, 480, 1})
    ->Args({640, 480, 2})
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
#ifdef MARISOLE_BENCH_LLVMPIPE
BENCHMARK(BM_LlvmpipeFigure)
    ->ArgNames({"w", "h"})
    ->Args({1280, 960})
    ->Args({640, 480})
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
#endif
BENCHMARK(BM_ClearOnly)
    ->ArgNames({"w", "h", "threads"})
    ->Args({1280, 960, 1})
    ->Args({1280, 960, 2})
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderFigureNoFill)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // llvmpipe's rasteriser threads: as many as ours by default (read when OSMesa makes its screen).
    setenv("LP_NUM_THREADS", std::to_string(WorkerPool::Shared().Threads()).c_str(), 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
