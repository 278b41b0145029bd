// Mirror posing from the edit view: one side's placements copied reflected onto the other, the
// sides swapped, each as one undo step, and parts without a partner left alone. Every expectation
// is a place seen from the body: after a mirror a point of the right arm lies where the matching
// point of the left arm lay before, its x negated, whatever the figure and its body are turned to.

#include <QAction>
#include <QMenu>
#include <cmath>

#include "EditViewFixture.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "platform/rm/VectorMath.h"

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

// Turns a frame about its parent's axes by degrees about x, then y, then z; its origin stays.
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

// How the figure stands: a world reflection and a reflection in the body's frame differ only once
// the body's left-right plane is not the world's.
struct Stance {
    const char* name;
    bool turnFigure;
    bool turnBody;
};

const Stance kStances[] = {
    {"as loaded", false, false},
    {"figure turned and moved aside", true, false},
    {"figure and body turned", true, true},
};

using Points = std::vector<rm::Vector>;

Points Mirrored(Points points) {
    for (rm::Vector& p : points) p.x = -p.x;
    return points;
}

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
    void Stand(const Stance& s) {
        if (s.turnFigure) {
            rm::Frame* root = Doc().GetCharacterRootFrame();
            root->SetOrientation(nullptr, 0.5f, 0.2f, 1.0f, 0.1f, 1.0f, 0.0f);
            root->SetPosition(nullptr, 4.0f, -2.0f, 60.0f);
        }
        if (s.turnBody) Turn(Body(), 15, -35, 20);
    }
    void SelectPart(CPartObject* part) {
        for (const auto& [item, folder] : Doc().FolderMap())
            if (Doc().FindPartByItem(item) == part) Tree().SelectItem(item);
    }
    // Points of one arm seen from the body: off-axis points of each of its three parts (which fix
    // their turns) and the elbow and wrist. The right arm's points are the left's with the local x
    // negated, so that mirrored arms give mirrored points.
    Points ArmPoints(char side) {
        const float sx = side == 'L' ? 1.0f : -1.0f;
        const rm::Vector local[] = {{0.4f * sx, 0.1f, 0.3f}, {0.3f * sx, -1, 0.2f}, {0.5f * sx, 0.2f, -0.7f}};
        return {PointIn(Body(), *UpperArm(side)->GetFrame(), local[0]),
                PointIn(Body(), *Forearm(side)->GetFrame()),
                PointIn(Body(), *Forearm(side)->GetFrame(), local[0]),
                PointIn(Body(), *Hand(side)->GetFrame()),
                PointIn(Body(), *Hand(side)->GetFrame(), local[1]),
                PointIn(Body(), *Hand(side)->GetFrame(), local[2])};
    }
    static void ExpectSame(const Points& actual, const Points& expected, const char* what) {
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t i = 0; i < actual.size(); ++i) {
            SCOPED_TRACE(testing::Message() << what << ", point " << i);
            EXPECT_NEAR(actual[i].x, expected[i].x, 1e-3f);
            EXPECT_NEAR(actual[i].y, expected[i].y, 1e-3f);
            EXPECT_NEAR(actual[i].z, expected[i].z, 1e-3f);
        }
    }
};

TEST_F(MirrorPoseTest, TheRightArmTakesTheLeftArmsPoseReflectedAndTheLeftArmStays) {
    for (const Stance& stance : kStances)
        for (const ArmPose& p : kPoses) {
            SCOPED_TRACE(testing::Message() << stance.name << ", " << p.name);
            LoadStanding();
            Stand(stance);
            Pose('L', p);
            const Points left = ArmPoints('L');
            // The right arm's own pose differs, so a copy in the wrong direction shows.
            const rm::Vector rightWrist = ArmPoints('R')[3];
            ASSERT_GT(std::fabs(rightWrist.x + left[3].x) + std::fabs(rightWrist.z - left[3].z), 0.1f);

            SelectPart(UpperArm('L'));
            m_view->OnCommand(ID_EDIT_MIRROR);
            ExpectSame(ArmPoints('L'), left, "the left arm");
            ExpectSame(ArmPoints('R'), Mirrored(left), "the right arm");
            EXPECT_EQ(m_view->History().UndoCount(), 1u) << "one undo step";
        }
}

TEST_F(MirrorPoseTest, SwappingTradesTheReflectedPosesAndSwappingTwiceGivesThemBack) {
    Stand(kStances[2]);
    Pose('L', kPoses[2]);
    Pose('R', kPoses[1]);
    const Points left = ArmPoints('L'), right = ArmPoints('R');

    SelectPart(UpperArm('L'));
    m_view->OnCommand(ID_EDIT_SWAP_SIDES);
    ExpectSame(ArmPoints('R'), Mirrored(left), "the right arm after the swap");
    ExpectSame(ArmPoints('L'), Mirrored(right), "the left arm after the swap");
    m_view->OnCommand(ID_EDIT_SWAP_SIDES);
    ExpectSame(ArmPoints('L'), left, "the left arm after two swaps");
    ExpectSame(ArmPoints('R'), right, "the right arm after two swaps");

    // Copying the left onto the right, then the right (chosen now) back onto the left, keeps the
    // left pose.
    m_view->OnCommand(ID_EDIT_MIRROR);
    ExpectSame(ArmPoints('R'), Mirrored(left), "the right arm after the copy");
    SelectPart(UpperArm('R'));
    m_view->OnCommand(ID_EDIT_MIRROR);
    ExpectSame(ArmPoints('L'), left, "the left arm after copying back");
    EXPECT_EQ(m_view->History().UndoCount(), 4u);

    // Undo brings back the right arm's own pose in two steps.
    m_view->OnCommand(ID_EDIT_UNDO);
    m_view->OnCommand(ID_EDIT_UNDO);
    ExpectSame(ArmPoints('R'), right, "the right arm after two undos");
}

TEST_F(MirrorPoseTest, PartsWithoutAPartnerAreLeftAlone) {
    CPartObject* head = PartOf("HEAD");
    ASSERT_NE(head, nullptr);
    Stand(kStances[1]);
    Turn(*head->GetFrame(), 10, 25, 0);
    Pose('L', kPoses[0]);
    const Points left = ArmPoints('L');
    const rm::Matrix4 headBefore = head->GetFrame()->LocalMatrix();
    const rm::Matrix4 bodyBefore = Body().LocalMatrix();

    // The whole figure has no side: its left goes onto its right, the head and body stay.
    Tree().SelectItem(Doc().GetCharacterItem());
    m_view->OnCommand(ID_EDIT_MIRROR);
    ExpectSame(ArmPoints('L'), left, "the left arm");
    ExpectSame(ArmPoints('R'), Mirrored(left), "the right arm");
    EXPECT_EQ(MaxDifference(head->GetFrame()->LocalMatrix(), headBefore), 0.0f);
    EXPECT_EQ(MaxDifference(Body().LocalMatrix(), bodyBefore), 0.0f);

    // The head alone has nothing to mirror: the menu says so and the command changes nothing.
    SelectPart(head);
    std::unique_ptr<QMenu> menu = m_view->CreateContextMenu();
    int mirrorItems = 0;
    for (QAction* a : menu->actions())
        if (a->data().toInt() == ID_EDIT_MIRROR || a->data().toInt() == ID_EDIT_SWAP_SIDES) {
            ++mirrorItems;
            EXPECT_FALSE(a->isEnabled());
        }
    EXPECT_EQ(mirrorItems, 2);
    const std::size_t steps = m_view->History().UndoCount();
    EXPECT_FALSE(m_view->MirrorSelectedPart(false));
    EXPECT_EQ(m_view->History().UndoCount(), steps);
    EXPECT_EQ(MaxDifference(head->GetFrame()->LocalMatrix(), headBefore), 0.0f);
}

}  // namespace
