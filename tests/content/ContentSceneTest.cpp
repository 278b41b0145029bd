// The library loaded by the scene document as the application loads it: every pose set, every
// alternative of every folder and every prop, with the prompts recording any message.
#include <gtest/gtest.h>

#include <fstream>

#include "core/MainApp.h"
#include "archive/ArchiveContext.h"
#include "base/Cp932.h"
#include "content/ContentFixture.h"
#include "platform/win/ScriptedPrompts.h"
#include "render/smooth/JointSmoothing.h"
#include "scene/MainDoc.h"
#include "scene/PartObject.h"
#include "scene/PartsTree.h"

namespace {

class ContentScene : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string bin = content::BinFolder();
        std::ifstream drive(bin + "drive.dat");
        std::string fallbacks;
        std::getline(drive, fallbacks);
        while (!fallbacks.empty() && (fallbacks.back() == '\r' || fallbacks.back() == '\n'))
            fallbacks.pop_back();
        ArchiveContext context;
        context.appFolder = bin;
        archive.Open(VolumeListFor(bin), fallbacks, kCompressionFilter, context);
        library = rm::Library::Create();
        CMainApp* app = GetApp();
        app->Settings().Clear();
        app->SetAppFolder(bin);
        app->m_lpD3DRM = library.Get();
        app->m_pTreeModel = &tree;
        doc = std::make_unique<CMainDoc>();
        doc->SetArchive(&archive);
        doc->OnNewDocument();
    }
    void TearDown() override {
        doc.reset();
        CMainApp* app = GetApp();
        app->m_pTreeModel = nullptr;
        app->m_lpD3DRM = nullptr;
        library = nullptr;
        archive.Close();
    }

    std::vector<content::ListEntry> List(const std::string& folder) {
        std::size_t length = 0;
        const char* text = archive.Read(folder + "plist.txt", length);
        return text ? content::ParseList(folder, std::string(text, length))
                    : std::vector<content::ListEntry>{};
    }
    void LoadPoseSet(const std::string& path) {
        tree.SelectItem(doc->GetCharacterItem());
        doc->LoadPoseSet(path);
    }
    // The first pose set of the root list.
    void LoadFirstPoseSet() {
        const auto poseSets = List("");
        ASSERT_FALSE(poseSets.empty()) << "no pose set in plist.txt";
        LoadPoseSet(poseSets.front().part);
    }

    win::ScopedPrompts prompts;
    CCommunicator archive;
    rm::Ref<rm::Library> library;
    CPartsTree tree;
    std::unique_ptr<CMainDoc> doc;
};

TEST_F(ContentScene, EveryPoseSetLoadsAllItsPartsAndLightsWithoutAMessage) {
    const auto poseSets = List("");
    ASSERT_GE(poseSets.size(), 5u);
    for (const auto& set : poseSets) {
        std::size_t length = 0;
        const char* text = archive.Read(set.part, length);
        ASSERT_NE(text, nullptr);
        const std::size_t paths = content::Tokens(std::string(text, length), "\r\n|;", 1).size();
        LoadPoseSet(set.part);
        EXPECT_TRUE(prompts->MessageTexts().empty()) << set.part;
        // The figure's parts and the four light markers.
        EXPECT_EQ(doc->AllParts().size(), paths + 4) << set.part;
        for (const CPartObject* part : doc->AllParts()) EXPECT_NE(part->GetFrame(), nullptr);
        for (int k = 0; k <= 4; ++k)
            EXPECT_TRUE(library->GetNamedObject("LIGHTOBJECT@" + std::to_string(k)))
                << set.part << " light " << k;
        EXPECT_EQ(doc->FindFramesByGeneralName(cp932::FromUtf8("左目")).size(), 1u);
        EXPECT_EQ(doc->FindFramesByGeneralName(cp932::FromUtf8("右目")).size(), 1u);
        EXPECT_EQ(doc->FindFramesByGeneralName(cp932::FromUtf8("肌")).size(), 8u) << set.part;
    }
}

TEST_F(ContentScene, EyesShowTheEyeTextureBesideTheExecutable) {
    ASSERT_NO_FATAL_FAILURE(LoadFirstPoseSet());
    for (const char* eye : {"左目", "右目"}) {
        const auto frames = doc->FindFramesByGeneralName(cp932::FromUtf8(eye));
        ASSERT_EQ(frames.size(), 1u);
        const auto meshes = content::MeshesOf(frames[0].Get());
        ASSERT_EQ(meshes.size(), 1u);
        ASSERT_FALSE(meshes[0]->FaceRecords().empty());
        EXPECT_NE(meshes[0]->FaceRecords().front().texture, nullptr) << eye;
    }
}

TEST_F(ContentScene, EveryAlternativeReplacesItsPartWithoutAMessage) {
    ASSERT_NO_FATAL_FAILURE(LoadFirstPoseSet());
    const std::size_t parts = doc->AllParts().size();
    std::size_t applied = 0;
    const auto folders = doc->FolderMap();
    for (const auto& [item, folder] : folders) {
        if (item == doc->GetOptionItem() || !doc->FindPartByItem(item) || folder.rfind("LIGHT", 0) == 0)
            continue;
        for (const auto& entry : List(folder)) {
            tree.SelectItem(item);
            doc->ApplySelection(entry.part, entry.name);
            EXPECT_TRUE(prompts->MessageTexts().empty()) << entry.part;
            ++applied;
        }
    }
    EXPECT_GT(applied, 20u);
    EXPECT_EQ(doc->AllParts().size(), parts);
    // Replacing a part keeps the parts that hang on it.
    for (const CPartObject* part : doc->AllParts()) EXPECT_NE(part->GetFrame(), nullptr);
}

TEST_F(ContentScene, EveryPropIsAddedUnderTheOptionEntryWithoutAMessage) {
    ASSERT_NO_FATAL_FAILURE(LoadFirstPoseSet());
    const HTREEITEM option = doc->GetOptionItem();
    ASSERT_NE(option, 0);
    const auto props = List(doc->FolderMap().at(option));
    ASSERT_GE(props.size(), 6u);
    const std::size_t before = doc->AllParts().size();
    for (const auto& prop : props) {
        tree.SelectItem(option);
        doc->ApplySelection(prop.part, prop.name);
        EXPECT_TRUE(prompts->MessageTexts().empty()) << prop.part;
    }
    EXPECT_EQ(doc->AllParts().size(), before + props.size());
    EXPECT_EQ(tree.Children(option).size(), props.size());
}

struct SeamPair {
    rm::MeshBuilder* a;
    std::uint32_t normalA;
    rm::MeshBuilder* b;
    std::uint32_t normalB;
};

// Vertex pairs of two different skin meshes at the same place (closer than the joining distance).
std::vector<SeamPair> CoincidentSkinVertices(const std::vector<rm::Ref<rm::Frame>>& frames) {
    struct Vertex {
        rm::MeshBuilder* mesh;
        std::uint32_t normal;
        rm::Vector world;
    };
    std::vector<std::vector<Vertex>> meshes;
    for (const auto& frame : frames)
        for (const auto& mesh : content::MeshesOf(frame.Get())) {
            std::vector<Vertex> vertices;
            const auto faces = mesh->FaceData();
            for (std::uint32_t i = 0; i < mesh->GetVertexCount(); ++i) {
                rm::Vector w;
                frame->Transform(&w, &mesh->Vertices()[i]);
                vertices.push_back({mesh.Get(), FindFirstNormal(faces, i), w});
            }
            meshes.push_back(std::move(vertices));
        }
    std::vector<SeamPair> pairs;
    for (std::size_t i = 0; i < meshes.size(); ++i)
        for (std::size_t j = i + 1; j < meshes.size(); ++j)
            for (const auto& p : meshes[i])
                for (const auto& q : meshes[j]) {
                    const float dx = p.world.x - q.world.x, dy = p.world.y - q.world.y,
                                dz = p.world.z - q.world.z;
                    if (dx * dx + dy * dy + dz * dz < float(kJointThreshold * kJointThreshold))
                        pairs.push_back({p.mesh, p.normal, q.mesh, q.normal});
                }
    return pairs;
}

float NormalDot(const SeamPair& s) {
    const rm::Vector& a = s.a->Normals()[s.normalA];
    const rm::Vector& b = s.b->Normals()[s.normalB];
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// The standing figure has seams (neck, elbows, wrists) whose two sides start with their own
// normals; smoothing gives each pair one normal, without a message.
TEST_F(ContentScene, JointSmoothingClosesTheSeamsOfTheStandingFigure) {
    LoadPoseSet("STAND.OBJ");
    const auto skin = doc->FindFramesByGeneralName(cp932::FromUtf8("肌"));
    const auto pairs = CoincidentSkinVertices(skin);
    ASSERT_GE(pairs.size(), 5u * 16u);  // neck, two elbows and two wrists, a ring each
    std::size_t differing = 0;
    for (const auto& p : pairs) differing += NormalDot(p) < 0.99999f;
    EXPECT_GT(differing, pairs.size() / 2);

    NullProgress progress;
    SmoothJoints(skin, kJointThreshold, progress, [] { return false; });
    EXPECT_TRUE(prompts->MessageTexts().empty());
    // The seams of the standing figure turn no joint, so both sides' normals are in the same axes.
    for (const auto& p : pairs) EXPECT_GT(NormalDot(p), 0.99999f);
}

}  // namespace
