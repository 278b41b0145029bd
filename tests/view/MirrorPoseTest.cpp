// Mirror posing from the edit view: one side's placements copied reflected onto the other, the
// sides swapped, each as one undo step, and parts without a partner left alone.

#include <QAction>
#include <QMenu>
#include <cmath>

#include "EditViewFixture.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "platform/rm/VectorMath.h"
#include "scene/PartMirror.h"
#include "scene/PartPlacement.h"

namespace {

float MaxDifference(const rm::Matrix4& a, const rm::Matrix4& b) {
    float most = 0;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) most = std::max(most, std::fabs(a.m[r][c] - b.m[r][c]));
    return most;
}

// A point of `frame` in the coordinates of `reference`.
rm::Vector PointIn(const rm::Frame& reference, const rm::Frame& frame, rm::Vector local = {0, 0, 0}) {
    rm::Vector world, in;
    frame.Transform(&world, &local);
    reference.InverseTransform(&in, &world);
    return in;
}

// Turns a frame about its parent's axes by degrees about x, then y, then z.
void Turn(rm::Frame& frame, float x, float y, float z) {
    const float k = float(M_PI) / 180.0f;
    rm::Matrix4 m = rm::Multiply(rm::Multiply(rm::RotationMatrix({1, 0, 0}, x * k), rm::RotationMatrix({0, 1, 0}, y * k)),
                                 rm::RotationMatrix({0, 0, 1}, z * k));
    const rm::Matrix4 old = frame.LocalMatrix();
    for (int c = 0; c < 3; ++c) m.m[3][c] = old.m[3][c];
    frame.AddTransform(rm::CombineType::D3DRMCOMBINE_REPLACE, m);
}

struct ArmPose {
    const char* name;
    rm::Vector upper, lower, hand;  // degrees about x, y, z
};

const ArmPose kPoses[] = {
    {"forward", {-40, 0, 0}, {60, 0, 0}, {0, 0, 0}},
    {"raised outwards", {0, 0, 80}, {20, 0, 0}, {0, 0, -15}},
    {"twisted", {-25, 30, 15}, {45, -10, 0}, {10, 20, -5}},
};

class MirrorPoseTest : public EditViewTest {
  protected:
    void SetUp() override {
        EditViewTest::SetUp();
        MakeView();
        LoadStanding();
    }
    CPartObject* Hand(char side) { return PartOf(side == 'L' ? "HANDL" : "HANDR"); }
    CPartObject* Forearm(char side) { return Hand(side)->GetParent(); }
    CPartObject* UpperArm(char side) { return Forearm(side)->GetParent(); }
    rm::Frame& Body() { return *UpperArm('L')->GetParent()->GetFrame(); }
    void Pose(char side, const ArmPose& p) {
        Turn(*UpperArm(side)->GetFrame(), p.upper.x, p.upper.y, p.upper.z);
        Turn(*Forearm(side)->GetFrame(), p.lower.x, p.lower.y, p.lower.z);
        Turn(*Hand(side)->GetFrame(), p.hand.x, p.hand.y, p.hand.z);
    }
    void SelectPart(CPartObject* part) {
        for (const auto& [item, p] : Doc().PartMap())
            if (p == part) Tree().SelectItem(item);
        for (const auto& [item, folder] : Doc().FolderMap())
            if (Doc().FindPartByItem(item) == part) Tree().SelectItem(item);
    }
    std::vector<rm::Matrix4> Placements(char side) {
        return {scene::PlacementInParentPart(*UpperArm(side)), scene::PlacementInParentPart(*Forearm(side)),
                scene::PlacementInParentPart(*Hand(side))};
    }
};

TEST_F(MirrorPoseTest, TheOtherArmTakesTheReflectedPose) {
    for (const ArmPose& p : kPoses) {
        SCOPED_TRACE(p.name);
        LoadStanding();
        Pose('L', p);
        SelectPart(UpperArm('L'));
        m_view->OnCommand(ID_EDIT_MIRROR);
        // Seen from the body, every joint of the right arm is where the left one's is, x negated.
        for (const rm::Vector local : {rm::Vector{0, 0, 0}, rm::Vector{0.3f, -1, 0.2f}}) {
            const rm::Vector left = PointIn(Body(), *Hand('L')->GetFrame(), local);
            const rm::Vector mirrored{-local.x, local.y, local.z};
            const rm::Vector right = PointIn(Body(), *Hand('R')->GetFrame(), mirrored);
            EXPECT_NEAR(right.x, -left.x, 1e-3f);
            EXPECT_NEAR(right.y, left.y, 1e-3f);
            EXPECT_NEAR(right.z, left.z, 1e-3f);
        }
        const rm::Vector elbowL = PointIn(Body(), *Forearm('L')->GetFrame());
        const rm::Vector elbowR = PointIn(Body(), *Forearm('R')->GetFrame());
        EXPECT_NEAR(elbowR.x, -elbowL.x, 1e-3f);
        EXPECT_NEAR(elbowR.y, elbowL.y, 1e-3f);
        EXPECT_NEAR(elbowR.z, elbowL.z, 1e-3f);
        EXPECT_EQ(m_view->History().UndoCount(), 1u) << "one undo step";
    }
}

TEST_F(MirrorPoseTest, MirroringBackAndSwappingTwiceGiveTheOriginalPose) {
    Pose('L', kPoses[2]);
    Pose('R', kPoses[1]);
    const std::vector<rm::Matrix4> left = Placements('L'), right = Placements('R');

    SelectPart(UpperArm('L'));
    m_view->OnCommand(ID_EDIT_SWAP_SIDES);
    for (int i = 0; i < 3; ++i) {
        EXPECT_LT(MaxDifference(Placements('R')[i], scene::ReflectedPlacement(left[i])), 1e-4f) << i;
        EXPECT_LT(MaxDifference(Placements('L')[i], scene::ReflectedPlacement(right[i])), 1e-4f) << i;
    }
    m_view->OnCommand(ID_EDIT_SWAP_SIDES);
    for (int i = 0; i < 3; ++i) {
        EXPECT_LT(MaxDifference(Placements('L')[i], left[i]), 1e-4f) << i;
        EXPECT_LT(MaxDifference(Placements('R')[i], right[i]), 1e-4f) << i;
    }

    // Copying the left onto the right, then the right back onto the left, keeps the left pose.
    m_view->OnCommand(ID_EDIT_MIRROR);
    SelectPart(UpperArm('R'));
    m_view->OnCommand(ID_EDIT_MIRROR);
    for (int i = 0; i < 3; ++i) EXPECT_LT(MaxDifference(Placements('L')[i], left[i]), 1e-4f) << i;
    EXPECT_EQ(m_view->History().UndoCount(), 4u);

    // Undo brings back the right arm's own pose in two steps.
    m_view->OnCommand(ID_EDIT_UNDO);
    m_view->OnCommand(ID_EDIT_UNDO);
    for (int i = 0; i < 3; ++i) EXPECT_LT(MaxDifference(Placements('R')[i], right[i]), 1e-4f) << i;
}

TEST_F(MirrorPoseTest, PartsWithoutAPartnerAreLeftAlone) {
    CPartObject* head = PartOf("HEAD");
    ASSERT_NE(head, nullptr);
    Turn(*head->GetFrame(), 10, 25, 0);
    Pose('L', kPoses[0]);
    const rm::Matrix4 headBefore = head->GetFrame()->LocalMatrix();
    const rm::Matrix4 bodyBefore = Body().LocalMatrix();

    // The whole figure: the left side goes onto the right, the head and body stay.
    Tree().SelectItem(Doc().GetCharacterItem());
    m_view->OnCommand(ID_EDIT_MIRROR);
    EXPECT_LT(MaxDifference(Placements('R')[0], scene::ReflectedPlacement(Placements('L')[0])), 1e-4f);
    EXPECT_EQ(MaxDifference(head->GetFrame()->LocalMatrix(), headBefore), 0.0f);
    EXPECT_EQ(MaxDifference(Body().LocalMatrix(), bodyBefore), 0.0f);

    // The head alone has nothing to mirror: the menu says so and the command changes nothing.
    SelectPart(head);
    std::unique_ptr<QMenu> menu = m_view->CreateContextMenu();
    for (QAction* a : menu->actions())
        if (a->data().toInt() == ID_EDIT_MIRROR || a->data().toInt() == ID_EDIT_SWAP_SIDES) {
            EXPECT_FALSE(a->isEnabled());
        }
    const std::size_t steps = m_view->History().UndoCount();
    EXPECT_FALSE(m_view->MirrorSelectedPart(false));
    EXPECT_EQ(m_view->History().UndoCount(), steps);
    EXPECT_EQ(MaxDifference(head->GetFrame()->LocalMatrix(), headBefore), 0.0f);
}

}  // namespace
