// The names of mirror partners: the final L and R of every folder name exchanged, case kept, and no
// partner for paths that have no side. Folder names are code page 932: a two-byte character whose
// second byte reads as a letter (腕 is 0x98 0x72, 'r') is never a side.

#include <gtest/gtest.h>

#include <memory>

#include "scene/PartMirror.h"
#include "scene/PartObject.h"

namespace {

const std::string kArm = "\x98\x72";   // 腕: its second byte is 'r'
const std::string kLeak = "\x98\x52";  // 漏: 腕 with that byte upper-cased
const std::string kHyo = "\x95\x5C";   // 表: its second byte is '\'

TEST(PartMirrorTest, PartnerFoldersExchangeTheFinalLAndROfEveryName) {
    const struct {
        std::string path;
        std::string partner;
    } rows[] = {
        {"ARML\\", "ARMR\\"},
        {"ARML\\FARML\\HANDL\\", "ARMR\\FARMR\\HANDR\\"},
        {"LEGR\\SHINR\\", "LEGL\\SHINL\\"},
        {"arml\\", "armr\\"},
        {"HEAD\\", ""},
        {"HEAD\\EARL\\", "HEAD\\EARR\\"},
        {"", ""},
        {"\\\\", ""},
        // Two-byte characters are whole characters, never a side nor a separator.
        {kArm + "\\", ""},
        {kArm + "L\\", kArm + "R\\"},
        {kArm + "\\HANDL\\", kArm + "\\HANDR\\"},
        {"HAND" + kArm + "\\", ""},
        {kHyo + "\\FOOTl\\", kHyo + "\\FOOTr\\"},
    };
    for (const auto& r : rows) EXPECT_EQ(scene::MirrorFolderPath(r.path), r.partner) << r.path;
}

// A figure of parts without frames: the root part and parts below it by folder.
class MirrorPlanTest : public ::testing::Test {
  protected:
    CPartObject* Add(CPartObject& parent, const std::string& relative) {
        auto part = std::make_unique<CPartObject>();
        part->m_folder = "FIG\\" + relative;
        CPartObject* raw = part.get();
        parent.AddChildPart(std::move(part));
        return raw;
    }
    void SetUp() override { root.m_folder = "FIG\\"; }

    CPartObject root;
};

TEST_F(MirrorPlanTest, AFolderEndingInATwoByteCharacterIsNoSide) {
    // 腕 holds both hands: copying from it (no side) copies the left hand onto the right.
    CPartObject* arm = Add(root, kArm + "\\");
    CPartObject* left = Add(*arm, kArm + "\\HANDL\\");
    CPartObject* right = Add(*arm, kArm + "\\HANDR\\");
    const auto plan = scene::PlanMirror(*arm, scene::MirrorKind::CopyToOtherSide);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].target, right);
    EXPECT_EQ(plan[0].source, left);
}

TEST_F(MirrorPlanTest, PartnersAreFoundByWholeCharacters) {
    // 漏L comes first; upper-casing bytes would make 腕L's key 漏L's and give 腕R the wrong partner.
    Add(root, kLeak + "L\\");
    CPartObject* left = Add(root, kArm + "L\\");
    CPartObject* right = Add(root, kArm + "R\\");
    const auto plan = scene::PlanMirror(*right, scene::MirrorKind::CopyToOtherSide);
    ASSERT_EQ(plan.size(), 1u);
    EXPECT_EQ(plan[0].target, left);
    EXPECT_EQ(plan[0].source, right);
}

}  // namespace
