// Part meshes, colour definitions and pose sets of the packed library, read with the system's mesh
// reader and the loading rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "base/Cp932.h"
#include "content/ContentFixture.h"
#include "platform/win/ScriptedPrompts.h"

namespace {

using content::Library;

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::vector<std::string> MeshNames(const Library& lib) {
    std::vector<std::string> out;
    for (const auto& n : lib.Names())
        if (EndsWith(n, ".X")) out.push_back(n);
    return out;
}

struct ColourLine {
    std::string frame, general, remark;
};

// The colour definition of a mesh: its name with the last character replaced by "txt", else the
// folder's default.txt.
std::optional<std::vector<ColourLine>> ColourDefinition(Library& lib, const std::string& mesh) {
    auto text = lib.Read(mesh.substr(0, mesh.size() - 1) + "txt");
    if (!text) text = lib.Read(content::FolderOf(mesh) + "default.txt");
    if (!text) return std::nullopt;
    std::vector<ColourLine> lines;
    for (const auto& token : content::Tokens(*text, "\r\n;", 1)) {
        auto f = content::Fields(token);
        f.resize(3);
        if (!f[0].empty() && !f[1].empty()) lines.push_back({f[0], f[1], f[2]});
    }
    return lines;
}

TEST(ContentMeshes, EveryMeshParsesIntoOnePartFrameWithMeshes) {
    win::ScopedPrompts prompts;
    Library lib;
    auto rm = rm::Library::Create();
    const auto meshes = MeshNames(lib);
    ASSERT_GT(meshes.size(), 100u);  // five pose sets of 14 folders and more
    for (const auto& name : meshes) {
        auto part = content::LoadPart(lib, *rm, name);
        ASSERT_TRUE(part) << name;
        EXPECT_EQ(part->root->GetChildren().GetSize(), 1u) << name;
        std::size_t faces = 0;
        for (auto* frame : content::AllFrames(part->frame.Get()))
            for (const auto& mesh : content::MeshesOf(frame)) {
                EXPECT_GT(mesh->GetFaceCount(), 0u) << name << " " << frame->GetName();
                EXPECT_EQ(mesh->GetNormalCount(), mesh->GetVertexCount()) << name;
                faces += mesh->GetFaceCount();
            }
        EXPECT_GT(faces, 10u) << name;
    }
    EXPECT_TRUE(prompts->MessageTexts().empty());
}

TEST(ContentMeshes, EveryMeshHasAColourDefinitionWhoseFramesExistInIt) {
    Library lib;
    auto rm = rm::Library::Create();
    for (const auto& name : MeshNames(lib)) {
        const auto lines = ColourDefinition(lib, name);
        ASSERT_TRUE(lines) << name;
        EXPECT_FALSE(lines->empty()) << name;
        auto part = content::LoadPart(lib, *rm, name);
        ASSERT_TRUE(part) << name;
        for (const auto& line : *lines) {
            auto frame = content::FindFrame(part->frame.Get(), line.frame);
            ASSERT_TRUE(frame) << name << ": " << line.frame;
            EXPECT_FALSE(content::MeshesOf(frame.Get()).empty()) << name << ": " << line.frame;
        }
    }
}

TEST(ContentMeshes, HeadsCarryBothEyesWithTextureCoordinatesAndSkin) {
    Library lib;
    auto rm = rm::Library::Create();
    std::size_t heads = 0;
    for (const auto& name : MeshNames(lib)) {
        if (content::LinkNameOf(name) != "HEAD") continue;
        ++heads;
        const auto definition = ColourDefinition(lib, name);
        ASSERT_TRUE(definition) << name;
        const auto& lines = *definition;
        auto part = content::LoadPart(lib, *rm, name);
        ASSERT_TRUE(part) << name;
        for (const char* general : {"左目", "右目", "肌", "髪"}) {
            const auto it = std::find_if(lines.begin(), lines.end(), [&](const ColourLine& l) {
                return l.general == cp932::FromUtf8(general);
            });
            ASSERT_NE(it, lines.end()) << name << " " << general;
            if (std::string(general).find("目") == std::string::npos) continue;
            const auto eye = content::FindFrame(part->frame.Get(), it->frame);
            ASSERT_TRUE(eye) << name << ": " << it->frame;
            const auto meshes = content::MeshesOf(eye.Get());
            ASSERT_EQ(meshes.size(), 1u) << name << ": " << it->frame;
            float uMin = 1, uMax = 0;
            for (const auto& t : meshes[0]->TexCoords()) {
                uMin = std::min(uMin, t.u);
                uMax = std::max(uMax, t.u);
            }
            EXPECT_LT(uMin, 0.05f) << name;
            EXPECT_GT(uMax, 0.95f) << name;
        }
    }
    EXPECT_GE(heads, 15u);
}

// Every mesh frame of the figure that shows skin is marked "肌", so smoothing finds them all.
TEST(ContentMeshes, EverySkinFrameOfTheFigureIsMarkedSkin) {
    Library lib;
    std::size_t skin = 0;
    for (const auto& name : MeshNames(lib)) {
        if (name.rfind("BODY_", 0) != 0) continue;
        const auto lines = ColourDefinition(lib, name);
        ASSERT_TRUE(lines) << name;
        for (const auto& line : *lines) {
            const bool skinFrame = line.frame.find("SKIN") != std::string::npos || line.frame == "FRM-NECK" ||
                                   line.frame == "FRM-FACE";
            EXPECT_EQ(skinFrame, line.general == cp932::FromUtf8("肌")) << name << " " << line.frame;
            skin += skinFrame;
        }
    }
    EXPECT_GT(skin, 50u);
}

struct PoseSet {
    std::string file;
    std::vector<std::string> paths;
};

std::vector<PoseSet> PoseSets(Library& lib) {
    std::vector<PoseSet> sets;
    for (const auto& e : content::ParseList("", lib.Text("plist.txt")))
        sets.push_back({e.part, content::Tokens(lib.Text(e.part), "\r\n|;", 1)});
    return sets;
}

TEST(ContentPoseSets, EveryPathLinksToAnEarlierPartThroughAFrameNamedLikeItsFolder) {
    Library lib;
    auto rm = rm::Library::Create();
    for (const auto& set : PoseSets(lib)) {
        ASSERT_EQ(set.paths.size(), 14u) << set.file;
        std::vector<std::pair<std::string, content::LoadedPart>> loaded;
        for (const auto& path : set.paths) {
            auto part = content::LoadPart(lib, *rm, path);
            ASSERT_TRUE(part) << path;
            const std::string parentFolder = content::ParentFolderOf(path);
            if (!parentFolder.empty()) {
                const auto parent = std::find_if(loaded.begin(), loaded.end(), [&](const auto& p) {
                    return content::SameFolder(content::FolderOf(p.first), parentFolder);
                });
                ASSERT_NE(parent, loaded.end()) << set.file << ": " << path << " has no parent part";
                auto link = content::FindFrame(parent->second.frame.Get(), content::LinkNameOf(path));
                ASSERT_TRUE(link) << path;
                EXPECT_EQ(link->GetChildren().GetSize(), 0u) << "link frames are leaves: " << path;
            }
            loaded.push_back({path, std::move(*part)});
        }
    }
}

TEST(ContentPoseSets, EveryPoseSetHasATreeDefinitionListingItsFolders) {
    Library lib;
    for (const auto& set : PoseSets(lib)) {
        const std::string tree = set.file.substr(0, set.file.find('.')) + ".tre";
        const auto text = lib.Read(tree);
        ASSERT_TRUE(text) << tree;
        std::vector<std::string> folders;
        for (const auto& line : content::Tokens(*text, "\r\n", 3)) {
            const auto f = content::Fields(line);
            ASSERT_GE(f.size(), 2u);
            EXPECT_FALSE(f[1].empty());
            folders.push_back(f[0]);
        }
        for (const auto& path : set.paths)
            EXPECT_NE(std::find(folders.begin(), folders.end(), content::FolderOf(path)), folders.end())
                << path;
    }
}

// Poses differ: the figure's parts end up in different places from one pose set to the next.
TEST(ContentPoseSets, PoseSetsPlaceTheHandsDifferently) {
    Library lib;
    auto rm = rm::Library::Create();
    std::vector<rm::Vector> hands;
    for (const auto& set : PoseSets(lib)) {
        std::vector<content::LoadedPart> parts;
        std::vector<std::string> paths;
        for (const auto& path : set.paths) {
            auto part = content::LoadPart(lib, *rm, path);
            ASSERT_TRUE(part) << path;
            parts.push_back(std::move(*part));
            paths.push_back(path);
            const std::string parentFolder = content::ParentFolderOf(path);
            for (std::size_t i = 0; i + 1 < paths.size(); ++i)
                if (!parentFolder.empty() && content::SameFolder(content::FolderOf(paths[i]), parentFolder)) {
                    auto link = content::FindFrame(parts[i].frame.Get(), content::LinkNameOf(path));
                    ASSERT_TRUE(link) << path;
                    link->AddChild(parts.back().frame.Get());
                    break;
                }
        }
        const auto hand = std::find_if(paths.begin(), paths.end(), [](const std::string& p) {
            return p.find("HANDR") != std::string::npos;
        });
        ASSERT_NE(hand, paths.end()) << set.file << " has no right hand";
        rm::Vector origin, world;
        parts[hand - paths.begin()].frame->Transform(&world, &origin);
        for (const auto& other : hands) {
            const float dx = world.x - other.x, dy = world.y - other.y, dz = world.z - other.z;
            EXPECT_GT(dx * dx + dy * dy + dz * dz, 0.25f) << set.file;
        }
        hands.push_back(world);
    }
}

TEST(ContentPoseSets, OnePoseSetIsPosedThroughAnAnimationSet) {
    Library lib;
    auto rm = rm::Library::Create();
    std::size_t turnedByAnimation = 0;
    for (const auto& set : PoseSets(lib))
        for (const auto& path : set.paths) {
            auto posed = content::LoadPart(lib, *rm, path, true);
            ASSERT_TRUE(posed) << path;
            if (!posed->animated) continue;
            auto rest = content::LoadPart(lib, *rm, path, false);
            ASSERT_TRUE(rest) << path;
            // The file places the link at rest; time 50 of the animation turns it.
            const auto posedFrames = content::AllFrames(posed->frame.Get());
            const auto restFrames = content::AllFrames(rest->frame.Get());
            ASSERT_EQ(posedFrames.size(), restFrames.size());
            for (std::size_t i = 0; i < posedFrames.size(); ++i) {
                rm::Matrix4 a, b;
                posedFrames[i]->GetTransform(&a);
                restFrames[i]->GetTransform(&b);
                if (std::abs(a.m[1][1] - b.m[1][1]) > 0.3f) ++turnedByAnimation;
            }
        }
    EXPECT_GE(turnedByAnimation, 2u);
}

TEST(ContentLights, MarkerPartsCarryAnIroFrameWithGeometry) {
    Library lib;
    auto rm = rm::Library::Create();
    for (const char* path : {"LIGHT4\\arrow.x", "LIGHT1\\POINT.X", "LIGHT2\\POINT.X", "LIGHT3\\POINT.X"}) {
        auto part = content::LoadPart(lib, *rm, path);
        ASSERT_TRUE(part) << path;
        auto iro = content::FindFrame(part->frame.Get(), "IRO");
        ASSERT_TRUE(iro) << path;
        EXPECT_FALSE(content::MeshesOf(iro.Get()).empty()) << path;
    }
}

}  // namespace
