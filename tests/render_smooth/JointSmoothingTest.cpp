#include "render/smooth/JointSmoothing.h"

#include <gtest/gtest.h>

#include "support/RecordingProgress.h"

#include <cmath>
#include <random>

#include "support/SmoothingReference.h"
#include "platform/rm/Library.h"
#include "platform/win/ScriptedPrompts.h"

namespace {

using rm::Vector;

class Scene {
public:
    Scene() : library(rm::Library::Create()), root(library->CreateFrame(nullptr)) {}

    // A frame at `offset` holding one mesh: a fan of triangles around vertex 0, one normal per vertex.
    rm::Ref<rm::Frame> AddMesh(Vector offset, const std::vector<Vector>& vertices, const std::vector<Vector>& normals) {
        rm::Ref<rm::Frame> frame = library->CreateFrame(root.Get());
        frame->SetPosition(nullptr, offset.x, offset.y, offset.z);
        rm::Ref<rm::MeshBuilder> mesh = library->CreateMeshBuilder();
        std::vector<std::uint32_t> faces;
        for (std::uint32_t k = 1; k + 1 < vertices.size(); ++k) faces.insert(faces.end(), {3, 0, 0, k, k, k + 1, k + 1});
        faces.push_back(0);
        EXPECT_EQ(mesh->AddFaces(vertices, normals, faces), 0u);
        frame->AddVisual(mesh.Get());
        return frame;
    }

    static Vector NormalOf(const rm::Frame& frame, std::uint32_t k) {
        auto* mesh = dynamic_cast<rm::MeshBuilder*>(frame.Visuals().front().Get());
        std::uint32_t vc = 0, nc = 0, fc = 0;
        mesh->GetVertices(&vc, nullptr, &nc, nullptr, &fc, nullptr);
        std::vector<Vector> v(vc), n(nc);
        std::vector<std::uint32_t> f(fc);
        mesh->GetVertices(&vc, v.data(), &nc, n.data(), &fc, f.data());
        return n.at(k);
    }

    rm::Ref<rm::Library> library;
    rm::Ref<rm::Frame> root;
};

const Vector kUp{0, 1, 0}, kRight{1, 0, 0};

void ExpectNear(const Vector& a, const Vector& b) {
    EXPECT_NEAR(a.x, b.x, 1e-6f);
    EXPECT_NEAR(a.y, b.y, 1e-6f);
    EXPECT_NEAR(a.z, b.z, 1e-6f);
}

TEST(JointSmoothing, JoinsVerticesCloserThanTheThresholdOnly) {
    const float s = std::sqrt(0.5f);
    struct Row {
        float gap;
        bool joined;
    } rows[] = {{0.0f, true}, {0.0099f, true}, {0.0101f, false}, {0.5f, false}};
    for (const auto& r : rows) {
        Scene scene;
        auto a = scene.AddMesh({0, 0, 0}, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {kUp, kUp, kUp});
        // B sits in another frame: positions are compared in world coordinates.
        auto b = scene.AddMesh({r.gap, 0, 0}, {{0, 0, 0}, {1, 0, 1}, {0, 0, 1}}, {kRight, kRight, kRight});
        RecordingProgress progress;
        EXPECT_EQ(SmoothJoints({a, b}, 0.01, progress, [] { return false; }), 2);
        if (r.joined) {
            ExpectNear(Scene::NormalOf(*a, 0), {s, s, 0});
            ExpectNear(Scene::NormalOf(*b, 0), {s, s, 0});
        } else {
            ExpectNear(Scene::NormalOf(*a, 0), kUp);
            ExpectNear(Scene::NormalOf(*b, 0), kRight);
        }
        ExpectNear(Scene::NormalOf(*a, 1), kUp);  // vertices without a partner keep their normal
        EXPECT_EQ(progress.titles.back(), "断面ｽﾑｰｼﾞﾝｸﾞ (SHIFT:中止)");
    }
}

TEST(JointSmoothing, AVertexNearTwoOthersCombinesInTheirOrder) {
    Scene scene;
    auto a = scene.AddMesh({0, 0, 0}, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {kUp, kUp, kUp});
    // B's vertices 0 and 1 are both within reach of A's vertex 0.
    auto b = scene.AddMesh({0, 0, 0}, {{0.004f, 0, 0}, {0, 0.004f, 0}, {0, 0, 1}}, {kRight, {0, 0, 1}, kUp});
    auto meshes = CollectSmoothMeshes({a, b});
    ASSERT_EQ(meshes.size(), 2u);
    ASSERT_TRUE(SmoothPair(meshes[0], meshes[1], 0.01f));
    // First with B0: n1 = norm(up + right); then n1 with B1: norm(n1 + z).
    Vector n1{1, 1, 0}, n2;
    rm::D3DRMVectorNormalize(&n1);
    const Vector z{0, 0, 1};
    rm::D3DRMVectorAdd(&n2, &n1, &z);
    rm::D3DRMVectorNormalize(&n2);
    ExpectNear(meshes[0].normals[0], n2);
    ExpectNear(meshes[1].normals[0], n1);
    ExpectNear(meshes[1].normals[1], n2);
}

TEST(JointSmoothing, ShiftBeforeTheFirstPairChangesNothing) {
    Scene scene;
    auto a = scene.AddMesh({0, 0, 0}, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {kUp, kUp, kUp});
    auto b = scene.AddMesh({0, 0, 0}, {{0, 0, 0}, {1, 0, 1}, {0, 0, 1}}, {kRight, kRight, kRight});
    RecordingProgress progress;
    int asked = 0;
    SmoothJoints({a, b}, 0.01, progress, [&] { return ++asked > 0; });
    EXPECT_EQ(asked, 1) << "the first visited pair (0, 0) already stops";
    ExpectNear(Scene::NormalOf(*a, 0), kUp);
    ExpectNear(Scene::NormalOf(*b, 0), kRight);
}

TEST(JointSmoothing, NoSkinOrOneMeshSmoothsNothing) {
    Scene scene;
    RecordingProgress progress;
    EXPECT_EQ(SmoothJoints({}, 0.01, progress, {}), 0);
    auto a = scene.AddMesh({0, 0, 0}, {{0, 0, 0}, {0, 0, 0.001f}, {0, 1, 0}}, {kUp, kRight, kUp});
    EXPECT_EQ(SmoothJoints({a}, 0.01, progress, {}), 1);
    ExpectNear(Scene::NormalOf(*a, 0), kUp);  // a mesh is never smoothed with itself
    ExpectNear(Scene::NormalOf(*a, 1), kRight);
}

TEST(JointSmoothing, OppositeNormalsAreLeftAlone) {
    Scene scene;
    auto a = scene.AddMesh({0, 0, 0}, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {kUp, kUp, kUp});
    auto b = scene.AddMesh({0, 0, 0}, {{0, 0, 0}, {1, 0, 1}, {0, 0, 1}}, {{0, -1, 0}, kRight, kRight});
    RecordingProgress progress;
    SmoothJoints({a, b}, 0.01, progress, {});
    ExpectNear(Scene::NormalOf(*a, 0), kUp);
    ExpectNear(Scene::NormalOf(*b, 0), {0, -1, 0});
}

TEST(JointSmoothing, AVertexMissingFromTheFacesStopsThePairWithAMessage) {
    Scene scene;
    auto a = scene.AddMesh({0, 0, 0}, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {kUp, kUp, kUp});
    auto b = scene.AddMesh({0, 0, 0}, {{0, 0, 0}, {1, 0, 1}, {0, 0, 1}}, {kRight, kRight, kRight});
    auto meshes = CollectSmoothMeshes({a, b});
    meshes[1].firstNormal[0] = SmoothMesh::kNoNormal;  // as if vertex 0 of B were in no face
    win::ScopedPrompts prompts;
    EXPECT_FALSE(SmoothPair(meshes[0], meshes[1], 0.01f));
    EXPECT_EQ(prompts->MessageTexts(), std::vector<std::string>{"内部エラー：フェース構造に矛盾"});
    EXPECT_EQ(prompts->asked.at(0).caption, "ERROR");
    ExpectNear(meshes[0].normals[0], kUp);
}

TEST(JointSmoothing, FirstNormalFollowsTheFaceListOrder) {
    // Vertex 2 appears first with normal 5, later with normal 7; vertex 9 never.
    const std::vector<std::uint32_t> faces = {3, 0, 0, 1, 1, 2, 5, 3, 2, 7, 3, 3, 4, 4, 0};
    EXPECT_EQ(FindFirstNormal(faces, 2), 5u);
    EXPECT_EQ(FindFirstNormal(faces, 4), 4u);
    EXPECT_EQ(FindFirstNormal(faces, 9), SmoothMesh::kNoNormal);
    // A face list cut short inside a face is never read past its end.
    EXPECT_EQ(FindFirstNormal({3, 0, 0, 1}, 1), SmoothMesh::kNoNormal);
}

// Many meshes with vertices on shared cuts, some jittered just inside and just outside the
// threshold: the grid walk must leave the same normals, bit for bit, as the quadratic walk.
TEST(JointSmoothing, SameNormalsAsTheQuadraticWalk) {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    Scene scene;
    std::vector<rm::Ref<rm::Frame>> frames;
    for (int m = 0; m < 6; ++m) {
        std::vector<Vector> vertices, normals;
        vertices.push_back({0, 0, 0});
        for (int k = 0; k < 200; ++k) {
            // A ring of cut vertices every mesh shares, plus noise close to the threshold.
            const float angle = static_cast<float>(k % 40) * 0.157f;
            const float jitter = (k / 40) * 0.003f * unit(random);
            vertices.push_back({std::cos(angle) + jitter, 0.0f + jitter, std::sin(angle)});
        }
        for (std::size_t k = 0; k < vertices.size(); ++k) {
            Vector n{unit(random), unit(random), unit(random)};
            rm::D3DRMVectorNormalize(&n);
            normals.push_back(n);
        }
        frames.push_back(scene.AddMesh({0, 0, 0}, vertices, normals));
    }
    auto fast = CollectSmoothMeshes(frames);
    auto slow = CollectSmoothMeshes(frames);
    ForEachOrderedPair(fast.size(), [&](std::size_t i, std::size_t j) {
        EXPECT_EQ(SmoothPair(fast[i], fast[j], 0.01f), SmoothPairReference(slow[i], slow[j], 0.01f));
    });
    int changed = 0;
    for (std::size_t m = 0; m < fast.size(); ++m)
        for (std::size_t k = 0; k < fast[m].normals.size(); ++k) {
            ASSERT_EQ(fast[m].normals[k], slow[m].normals[k]) << m << " " << k;
            changed += !(fast[m].normals[k] == CollectSmoothMeshes({frames[m]})[0].normals[k]);
        }
    EXPECT_GT(changed, 100) << "the fixture must actually join vertices";
}

}  // namespace
