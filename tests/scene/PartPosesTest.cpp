// A figure's pose taken and put back through the pose file's data: folders matched without regard
// to case, placements relative to the parent part restored, parts the figure lacks counted.

#include <gtest/gtest.h>

#include <cctype>

#include "SceneFixture.h"
#include "platform/rm/Frame.h"
#include "platform/rm/VectorMath.h"
#include "scene/MainDoc.h"
#include "scene/PartMirror.h"
#include "scene/PartObject.h"
#include "scene/PartPlacement.h"
#include "scene/PartPoses.h"

namespace {

class PartPosesTest : public SceneTest {};

TEST_F(PartPosesTest, APoseTakenFromTheFigurePutsItBackWhateverTheCaseOfTheFolders) {
    ASSERT_NO_FATAL_FAILURE(LoadFigure());
    ASSERT_FALSE(doc->AllParts().empty());
    CPartObject& root = scene::FigureRoot(*doc->AllParts().front());
    std::vector<CPartObject*> parts;
    root.ForEachInTree([&](CPartObject* p) { parts.push_back(p); });
    ASSERT_GE(parts.size(), 2u);
    CPartObject& limb = *parts[1];
    limb.GetFrame()->AddTransform(rm::CombineType::D3DRMCOMBINE_REPLACE, rm::RotationMatrix({0, 0.6f, 0.8f}, 1.1f));
    const rm::Matrix4 turned = scene::PlacementInParentPart(limb);

    pose::PoseData pose = scene::CaptureFigurePose(root);
    ASSERT_EQ(pose.parts.size(), parts.size());
    EXPECT_EQ(pose.parts.front().folder, "");
    for (pose::PartPose& part : pose.parts)
        for (char& c : part.folder) c = char(std::tolower(static_cast<unsigned char>(c)));
    pose.parts.push_back({"NOSUCH\\", {}});

    limb.GetFrame()->AddTransform(rm::CombineType::D3DRMCOMBINE_REPLACE, rm::Matrix4{});
    ASSERT_NE(scene::PlacementInParentPart(limb), turned);
    const scene::PosePlan plan = scene::PlanFigurePose(root, pose);
    EXPECT_EQ(plan.partsNotFound, 1);
    EXPECT_EQ(plan.assignments.size(), parts.size());
    scene::ApplyFigurePose(plan);
    const rm::Matrix4 restored = scene::PlacementInParentPart(limb);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(restored.m[r][c], turned.m[r][c], 1e-5f) << r << c;
}

}  // namespace
