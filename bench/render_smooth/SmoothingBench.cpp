// Joint smoothing of a figure-like set of skin meshes: tubes that meet at shared rings, as limbs
// meet at joints. The grid walk beside the plain quadratic walk, on the same meshes.
#include <benchmark/benchmark.h>

#include <cmath>

#include "support/SmoothingReference.h"
#include "platform/rm/Library.h"
#include "render/smooth/JointSmoothing.h"

namespace {

// `segments` tubes stacked along y, each `rings` rings of `around` vertices; neighbouring tubes
// share their end ring positions.
std::vector<rm::Ref<rm::Frame>> MakeLimbs(rm::Library& library, rm::Frame* root, int segments, int rings, int around) {
    std::vector<rm::Ref<rm::Frame>> frames;
    for (int s = 0; s < segments; ++s) {
        std::vector<rm::Vector> vertices, normals;
        std::vector<std::uint32_t> faces;
        for (int r = 0; r < rings; ++r)
            for (int a = 0; a < around; ++a) {
                const float angle = 6.2831853f * a / around;
                const float y = s * 3.0f + 3.0f * r / (rings - 1);
                vertices.push_back({std::cos(angle), y, std::sin(angle)});
                normals.push_back({std::cos(angle), 0.1f * s, std::sin(angle)});
            }
        for (int r = 0; r + 1 < rings; ++r)
            for (int a = 0; a < around; ++a) {
                const auto v = [&](int rr, int aa) { return static_cast<std::uint32_t>(rr * around + (aa % around)); };
                const std::uint32_t q[4] = {v(r, a), v(r, a + 1), v(r + 1, a + 1), v(r + 1, a)};
                faces.push_back(4);
                for (std::uint32_t k : q) faces.insert(faces.end(), {k, k});
            }
        faces.push_back(0);
        rm::Ref<rm::Frame> frame = library.CreateFrame(root);
        rm::Ref<rm::MeshBuilder> mesh = library.CreateMeshBuilder();
        mesh->AddFaces(vertices, normals, faces);
        frame->AddVisual(mesh.Get());
        frames.push_back(frame);
    }
    return frames;
}

struct Figure {
    rm::Ref<rm::Library> library = rm::Library::Create();
    rm::Ref<rm::Frame> root = library->CreateFrame(nullptr);
    std::vector<rm::Ref<rm::Frame>> frames = MakeLimbs(*library, root.Get(), 12, 24, 48);
};

void BM_SmoothGrid(benchmark::State& state) {
    Figure figure;
    for (auto _ : state) {
        auto meshes = CollectSmoothMeshes(figure.frames);
        SmoothAllPairs(meshes, 0.01f, PairWalk::Grid);
        benchmark::DoNotOptimize(meshes.front().normals.data());
    }
}

void BM_SmoothQuadratic(benchmark::State& state) {
    Figure figure;
    for (auto _ : state) {
        auto meshes = CollectSmoothMeshes(figure.frames);
        SmoothAllPairs(meshes, 0.01f, PairWalk::Quadratic);
        benchmark::DoNotOptimize(meshes.front().normals.data());
    }
}

BENCHMARK(BM_SmoothGrid)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmoothQuadratic)->Unit(benchmark::kMillisecond);

}  // namespace
