// Speed of the software rasteriser: a Gouraud-lit figure of ten tessellated ellipsoids (50 000
// triangles) rendered into a 32-bit surface, with the clear alone beside it.

#include <benchmark/benchmark.h>

#include "SceneShapes.h"
#include "platform/rm/Library.h"

using namespace rm;

namespace {

struct Figure {
    Ref<Library> lib = Library::Create();
    Ref<surface::Surface> target;
    Ref<Device> device;
    Ref<Frame> root, camera;
    Ref<Viewport> viewport;
    std::uint32_t triangles = 0;

    Figure(std::uint32_t w, std::uint32_t h) {
        target = surface::Surface::Create(w, h, surface::PixelFormat::FromBits(32));
        device = lib->CreateDeviceFromSurface(nullptr, nullptr, target.Get());
        device->SetQuality(D3DRMRENDER_GOURAUD);
        root = lib->CreateFrame(nullptr);
        camera = lib->CreateFrame(root.Get());
        viewport = lib->CreateViewport(device.Get(), camera.Get(), 0, 0, w, h);
        viewport->SetFront(10);
        viewport->SetBack(200);
        viewport->SetField(1.5f);
        Ref<Frame> figure = lib->CreateFrame(root.Get());
        figure->SetPosition(nullptr, 0, 0.8f, 55);
        Ref<Light> ambient = lib->CreateLight(D3DRMLIGHT_AMBIENT, 0x363636);
        figure->AddLight(ambient.Get());
        Ref<Frame> sunFrame = lib->CreateFrame(figure.Get());
        sunFrame->SetOrientation(nullptr, 1, -1, 1, 0, 1, 0);
        Ref<Light> sun = lib->CreateLight(D3DRMLIGHT_DIRECTIONAL, 0x444444);
        sunFrame->AddLight(sun.Get());
        Ref<Frame> lampFrame = lib->CreateFrame(figure.Get());
        lampFrame->SetPosition(nullptr, -10, 10, -20);
        Ref<Light> lamp = lib->CreateLight(D3DRMLIGHT_POINT, 0x808080);
        lampFrame->AddLight(lamp.Get());
        Ref<Material> skin = lib->CreateMaterial(12);
        // (radii, position) of head, torso, upper and lower arms, thighs and shins.
        struct Part {
            float rx, ry, rz, x, y, z;
        };
        const Part parts[] = {{2.2f, 2.8f, 2.4f, 0, 15, 0},    {4.5f, 6.5f, 3, 0, 5.5f, 0},
                              {1.3f, 4, 1.3f, -6, 7, 0},       {1.3f, 4, 1.3f, 6, 7, 0},
                              {1.1f, 3.8f, 1.1f, -6.5f, 0, 0}, {1.1f, 3.8f, 1.1f, 6.5f, 0, 0},
                              {2, 5.5f, 2, -2.3f, -6, 0},      {2, 5.5f, 2, 2.3f, -6, 0},
                              {1.6f, 5, 1.6f, -2.3f, -16, 0},  {1.6f, 5, 1.6f, 2.3f, -16, 0}};
        // About 12 units tall: the whole figure in view 55 units ahead, as the edit view shows it.
        const float k = 0.3f;
        for (const Part& p : parts) {
            Ref<MeshBuilder> mesh = rmtest::MakeEllipsoid(*lib, k * p.rx, k * p.ry, k * p.rz, 50, 51);
            mesh->SetColor(0xFFE0B090);
            mesh->SetMaterial(skin.Get());
            triangles += mesh->GetFaceCount();
            Ref<Frame> f = lib->CreateFrame(figure.Get());
            f->SetPosition(nullptr, k * p.x, k * p.y, k * p.z);
            f->AddVisual(mesh.Get());
        }
    }
};

void BM_RenderFigure(benchmark::State& state) {
    Figure fig(std::uint32_t(state.range(0)), std::uint32_t(state.range(1)));
    for (auto _ : state) {
        fig.viewport->Clear(D3DRMCLEAR_ALL);
        fig.viewport->Render(fig.root.Get());
        benchmark::DoNotOptimize(fig.target->Bits());
    }
    state.counters["triangles"] = fig.triangles;
    state.counters["tri/s"] =
        benchmark::Counter(double(fig.triangles) * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ClearOnly(benchmark::State& state) {
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

BENCHMARK(BM_RenderFigure)->Args({1280, 960})->Args({640, 480})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClearOnly)->Args({1280, 960})->Args({640, 480})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderFigureNoFill)->Unit(benchmark::kMillisecond);

}  // namespace
