// Skin meshes that meet at a joint share the positions of their cut vertices in the standing pose,
// so joint smoothing finds real seams to close.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

#include "content/ContentFixture.h"
#include "support/CaseNames.h"

namespace {

struct Seam {
    const char* childPath;    // part that hangs on the joint
    const char* parentFrame;  // skin frame of the parent part
    const char* childFrame;   // skin frame of the child part
};

// The boundary vertices (on an edge used by one face only) of a mesh, in world coordinates.
std::vector<rm::Vector> CutVertices(rm::Frame* frame, rm::MeshBuilder& mesh) {
    std::map<std::pair<std::uint32_t, std::uint32_t>, int> edges;
    // Face data: per face its corner count, then (vertex, normal) pairs; a zero count ends it.
    const std::vector<std::uint32_t> data = mesh.FaceData();
    for (std::size_t at = 0; at < data.size() && data[at] != 0;) {
        const std::uint32_t n = data[at];
        std::vector<std::uint32_t> corners;
        for (std::uint32_t k = 0; k < n && at + 1 + 2 * k < data.size(); ++k)
            corners.push_back(data[at + 1 + 2 * k]);
        at += 1 + 2 * n;
        for (std::size_t k = 0; k < corners.size(); ++k) {
            auto a = corners[k], b = corners[(k + 1) % corners.size()];
            ++edges[{std::min(a, b), std::max(a, b)}];
        }
    }
    std::set<std::uint32_t> cut;
    for (const auto& [edge, count] : edges)
        if (count == 1) cut.insert({edge.first, edge.second});
    std::vector<rm::Vector> out;
    for (auto i : cut) {
        rm::Vector world;
        frame->Transform(&world, &mesh.Vertices()[i]);
        out.push_back(world);
    }
    return out;
}

float Distance(const rm::Vector& a, const rm::Vector& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

void PrintTo(const Seam& s, std::ostream* os) { *os << testsupport::Printable(s.childPath); }

class ContentSeams : public ::testing::TestWithParam<Seam> {};

TEST_P(ContentSeams, CutVerticesOfNeighbouringSkinMeshesCoincideInTheStandingPose) {
    content::Library lib;
    auto rm = rm::Library::Create();
    // The standing pose set, assembled by the linking rule.
    // The standing pose set with the variant under test in its folder.
    auto paths = content::Tokens(lib.Text("STAND.OBJ"), "\r\n|;", 1);
    for (auto& path : paths)
        if (content::FolderOf(path) == content::FolderOf(GetParam().childPath)) path = GetParam().childPath;
    std::vector<std::pair<std::string, content::LoadedPart>> parts;
    for (const auto& path : paths) {
        auto part = content::LoadPart(lib, *rm, path);
        ASSERT_TRUE(part) << path;
        const std::string parentFolder = content::ParentFolderOf(path);
        for (auto& [otherPath, other] : parts)
            if (!parentFolder.empty() && content::SameFolder(content::FolderOf(otherPath), parentFolder)) {
                auto link = content::FindFrame(other.frame.Get(), content::LinkNameOf(path));
                ASSERT_TRUE(link) << path;
                link->AddChild(part->frame.Get());
                break;
            }
        parts.push_back({path, std::move(*part)});
    }
    const auto child = std::find_if(parts.begin(), parts.end(),
                                    [](const auto& p) { return p.first == GetParam().childPath; });
    ASSERT_NE(child, parts.end()) << GetParam().childPath << " is not in the standing pose set";
    // The child part hangs on a link frame of its parent part.
    rm::Frame* link = child->second.frame->Parent();
    ASSERT_TRUE(link && link->Parent()) << GetParam().childPath << " hangs on no parent part";
    auto childFrame = content::FindFrame(child->second.frame.Get(), GetParam().childFrame);
    auto parentFrame = content::FindFrame(link->Parent(), GetParam().parentFrame);
    ASSERT_TRUE(childFrame) << GetParam().childFrame;
    ASSERT_TRUE(parentFrame) << GetParam().parentFrame;
    auto childMeshes = content::MeshesOf(childFrame.Get());
    auto parentMeshes = content::MeshesOf(parentFrame.Get());
    ASSERT_EQ(childMeshes.size(), 1u);
    ASSERT_EQ(parentMeshes.size(), 1u);

    // The cut at the joint: boundary vertices near the joint (the child's origin).
    rm::Vector zero, joint;
    child->second.frame->Transform(&joint, &zero);
    auto near = [&](std::vector<rm::Vector> v) {
        std::erase_if(v, [&](const rm::Vector& p) { return Distance(p, joint) > 1.0f; });
        return v;
    };
    const auto childCut = near(CutVertices(childFrame.Get(), *childMeshes[0]));
    const auto parentCut = near(CutVertices(parentFrame.Get(), *parentMeshes[0]));
    ASSERT_GE(childCut.size(), 12u);
    EXPECT_EQ(childCut.size(), parentCut.size());
    for (const auto& p : childCut) {
        float best = 1e9f;
        for (const auto& q : parentCut) best = std::min(best, Distance(p, q));
        EXPECT_LT(best, 0.001f) << p.x << " " << p.y << " " << p.z;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Joints, ContentSeams,
    ::testing::Values(Seam{"BODY_STAND\\HEAD\\head.x", "FRM-NECK", "FRM-FACE"},
                      Seam{"BODY_STAND\\ARML\\FARML\\farm.x", "FRM-ARMSKINL", "FRM-FARMSKINL"},
                      Seam{"BODY_STAND\\ARMR\\FARMR\\farm.x", "FRM-ARMSKINR", "FRM-FARMSKINR"},
                      Seam{"BODY_STAND\\ARML\\FARML\\HANDL\\hand.x", "FRM-FARMSKINL", "FRM-HANDSKINL"},
                      Seam{"BODY_STAND\\ARMR\\FARMR\\HANDR\\hand.x", "FRM-FARMSKINR", "FRM-HANDSKINR"},
                      Seam{"BODY_STAND\\ARML\\FARML\\HANDL\\hand2.x", "FRM-FARMSKINL", "FRM-HANDSKINL"},
                      Seam{"BODY_STAND\\HEAD\\head3.x", "FRM-NECK", "FRM-FACE"}),
    testsupport::PrintedName());

}  // namespace
