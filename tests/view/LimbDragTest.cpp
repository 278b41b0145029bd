// IK drags: the end of a limb follows the pointer, the limb bends after it with its bones kept, the
// middle joint keeps its side, a goal out of reach straightens the limb, one undo step puts all
// three parts back, and a part that ends no limb is moved.

#include <cmath>

#include "EditViewFixture.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "platform/rm/VectorMath.h"

namespace {

rm::Vector OriginOf(const rm::Frame& frame) {
    const rm::Matrix4 w = frame.WorldMatrix();
    return {w.m[3][0], w.m[3][1], w.m[3][2]};
}

float Distance(const rm::Vector& a, const rm::Vector& b) { return rm::Length(rm::Sub(a, b)); }

float MaxDifference(const rm::Matrix4& a, const rm::Matrix4& b, int rows = 4) {
    float most = 0;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 4; ++c) most = std::max(most, std::fabs(a.m[r][c] - b.m[r][c]));
    return most;
}

struct Limb {
    CPartObject* end;
    CPartObject* lower;
    CPartObject* upper;
    rm::Frame& Upper() const { return *upper->GetFrame(); }
    rm::Frame& Lower() const { return *lower->GetFrame(); }
    rm::Frame& End() const { return *end->GetFrame(); }
    rm::Vector Root() const { return OriginOf(Upper()); }
    rm::Vector Middle() const { return OriginOf(Lower()); }
    rm::Vector Tip() const { return OriginOf(End()); }
    // The normal of the plane the limb bends in, pointing to the side the middle joint bends to.
    rm::Vector BendNormal() const {
        return rm::Normalized(rm::Cross(rm::Sub(Middle(), Root()), rm::Sub(Tip(), Root())));
    }
};

class LimbDragTest : public EditViewTest {
  protected:
    void SetUp() override {
        EditViewTest::SetUp();
        MakeView();
        LoadStanding();
        GetApp()->EditMode = EDIT_IK;
    }

    Limb LimbOf(std::string_view endKind) {
        CPartObject* end = PartOf(endKind);
        EXPECT_NE(end, nullptr) << endKind;
        if (!end || !end->GetParent() || !end->GetParent()->GetParent()) return {};
        return {end, end->GetParent(), end->GetParent()->GetParent()};
    }

    // Bends the middle joint by turning the lower part about its own x axis.
    static void Bend(const Limb& limb, float degrees) {
        const float a = degrees * float(M_PI) / 180.0f;
        limb.Lower().SetOrientation(nullptr, 0, -std::sin(a), std::cos(a), 0, std::cos(a), std::sin(a));
    }

    // Drags the limb's end from its joint's place on the screen by `stroke`.
    void DragEnd(const Limb& limb, QPoint stroke) {
        Tree().SelectItem(ItemOf(limb.end->m_folder.substr(limb.end->m_folder.rfind('\\', limb.end->m_folder.size() - 2) + 1)));
        ASSERT_EQ(Doc().GetEditTarget().Get(), &limb.End());
        const QPoint start = ScreenOf(limb.End()).toPoint();
        Drag(start, start + stroke, 5);
    }
};

TEST_F(LimbDragTest, TheEndFollowsThePointerWhileTheRootStaysAndTheBonesKeepTheirLengths) {
    struct Row {
        const char* end;
        float bend;  // degrees the middle joint is bent before the drag
        QPoint stroke;
    };
    const Row rows[] = {
        {"HANDL", 0, {0, -40}},    // a straight arm folds
        {"HANDR", 45, {25, 0}},    // a bent arm swings
        {"HANDL", 60, {-20, -10}},  // and reaches across
        {"FOOTR", 0, {0, -40}},    // a leg folds the same way
        {"FOOTL", -50, {-30, 0}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.end);
        LoadStanding();
        const Limb limb = LimbOf(r.end);
        ASSERT_NE(limb.upper, nullptr);
        Bend(limb, r.bend);
        const rm::Vector root = limb.Root();
        const float upper = Distance(limb.Middle(), root);
        const float lower = Distance(limb.Tip(), limb.Middle());
        const rm::Matrix4 endWorld = limb.End().WorldMatrix();
        const QPointF before = ScreenOf(limb.End());

        DragEnd(limb, r.stroke);

        const QPointF after = ScreenOf(limb.End());
        EXPECT_NEAR(after.x(), std::round(before.x()) + r.stroke.x(), 1.0);
        EXPECT_NEAR(after.y(), std::round(before.y()) + r.stroke.y(), 1.0);
        EXPECT_LT(Distance(limb.Root(), root), 1e-4f) << "the root joint stays put";
        EXPECT_NEAR(Distance(limb.Middle(), limb.Root()), upper, 1e-3f * upper);
        EXPECT_NEAR(Distance(limb.Tip(), limb.Middle()), lower, 1e-3f * lower);
        EXPECT_LT(MaxDifference(limb.End().WorldMatrix(), endWorld, 3), 1e-4f) << "the end keeps its orientation";
        EXPECT_GT(Distance(limb.Tip(), rm::Vector{endWorld.m[3][0], endWorld.m[3][1], endWorld.m[3][2]}), 0.1f);
    }
}

TEST_F(LimbDragTest, TheMiddleJointStaysOnTheSideItBentTo) {
    const QPoint strokes[] = {{0, -35}, {30, -10}, {-30, -10}, {0, 6}};
    for (float bend : {70.0f, -70.0f}) {
        for (const QPoint& stroke : strokes) {
            SCOPED_TRACE(testing::Message() << bend << " " << stroke.x() << "," << stroke.y());
            LoadStanding();
            const Limb limb = LimbOf("HANDL");
            ASSERT_NE(limb.upper, nullptr);
            Bend(limb, bend);
            const rm::Vector normal = limb.BendNormal();
            DragEnd(limb, stroke);
                // Still bent (a straight arm bends in no plane), and in the plane it bent in, on its side.
            const rm::Vector upper = rm::Normalized(rm::Sub(limb.Middle(), limb.Root()));
            const rm::Vector lower = rm::Normalized(rm::Sub(limb.Tip(), limb.Middle()));
            ASSERT_LT(rm::Dot(upper, lower), 0.99f);
            EXPECT_GT(rm::Dot(limb.BendNormal(), normal), 0.5f) << "the elbow turned over to the other side";
        }
    }
}

TEST_F(LimbDragTest, ALimbStretchedStraightAndBroughtBackBendsToTheSideItBentToBefore) {
    // Out of reach the arm is straight and its joints no longer tell the side; the drag remembers
    // it. Bent forward or backward, the arm comes back bent the same way, not the way a straight
    // arm starts to bend.
    for (float bend : {70.0f, -70.0f}) {
        SCOPED_TRACE(bend);
        LoadStanding();
        const Limb limb = LimbOf("HANDL");
        ASSERT_NE(limb.upper, nullptr);
        Bend(limb, bend);
        const rm::Vector normal = limb.BendNormal();
        Tree().SelectItem(ItemOf("HANDL"));
        const QPoint start = ScreenOf(limb.End()).toPoint();

        Press(start);
        for (int i = 1; i <= 5; ++i) {
            MoveTo(start + QPoint(0, 40 * i));
            Settle();
        }
        const rm::Vector upper = rm::Normalized(rm::Sub(limb.Middle(), limb.Root()));
        const rm::Vector lower = rm::Normalized(rm::Sub(limb.Tip(), limb.Middle()));
        ASSERT_GT(rm::Dot(upper, lower), 0.9999f) << "the arm is stretched straight";
        for (int i = 4; i >= 0; --i) {
            MoveTo(start + QPoint(0, 40 * i - 10));
            Settle();
        }
        Release(start + QPoint(0, -10));
        Settle();

        const rm::Vector upperAfter = rm::Normalized(rm::Sub(limb.Middle(), limb.Root()));
        const rm::Vector lowerAfter = rm::Normalized(rm::Sub(limb.Tip(), limb.Middle()));
        ASSERT_LT(rm::Dot(upperAfter, lowerAfter), 0.99f) << "bent again";
        EXPECT_GT(rm::Dot(limb.BendNormal(), normal), 0.5f) << "the elbow turned over to the other side";
    }
}

TEST_F(LimbDragTest, AStraightLimbBendsTheWayItsJointBends) {
    // The figure faces the camera (-z): an elbow bends out backwards, a knee forwards, toward the toes.
    struct Row {
        const char* end;
        float side;  // the sign of the middle joint's z beside the line from root to end
    };
    for (const Row& r : {Row{"HANDL", 1}, Row{"HANDR", 1}, Row{"FOOTL", -1}, Row{"FOOTR", -1}}) {
        SCOPED_TRACE(r.end);
        LoadStanding();
        const Limb limb = LimbOf(r.end);
        ASSERT_NE(limb.upper, nullptr);
        DragEnd(limb, {0, -40});
        const float beside = limb.Middle().z - (limb.Root().z + limb.Tip().z) * 0.5f;
        EXPECT_GT(beside * r.side, 0.5f);
    }
}

TEST_F(LimbDragTest, AGoalOutOfReachStraightensTheLimbTowardIt) {
    const Limb limb = LimbOf("HANDR");
    ASSERT_NE(limb.upper, nullptr);
    Bend(limb, 50);
    const float reach = Distance(limb.Middle(), limb.Root()) + Distance(limb.Tip(), limb.Middle());
    const QPoint start = ScreenOf(limb.End()).toPoint();
    const QPoint pointer = start + QPoint(-150, 60);
    DragEnd(limb, pointer - start);

    const rm::Vector upper = rm::Normalized(rm::Sub(limb.Middle(), limb.Root()));
    const rm::Vector lower = rm::Normalized(rm::Sub(limb.Tip(), limb.Middle()));
    EXPECT_GT(rm::Dot(upper, lower), 0.9999f) << "the arm is straight";
    EXPECT_NEAR(Distance(limb.Tip(), limb.Root()), reach, 1e-3f * reach);
    // On the screen the arm points from the shoulder at the pointer.
    const QPointF shoulder = ScreenOf(limb.Upper());
    const QPointF toHand = ScreenOf(limb.End()) - shoulder;
    const QPointF toPointer = QPointF(pointer) - shoulder;
    const double angle = std::atan2(toHand.x() * toPointer.y() - toHand.y() * toPointer.x(),
                                    toHand.x() * toPointer.x() + toHand.y() * toPointer.y());
    EXPECT_LT(std::fabs(angle), 0.01);
    EXPECT_LT(std::hypot(toHand.x(), toHand.y()), std::hypot(toPointer.x(), toPointer.y())) << "the hand stops short";
}

TEST_F(LimbDragTest, OneUndoStepPutsAllThreePartsBackAndOneRedoStepBendsThemAgain) {
    const Limb limb = LimbOf("FOOTL");
    ASSERT_NE(limb.upper, nullptr);
    Bend(limb, -30);
    const rm::Matrix4 before[] = {limb.Upper().LocalMatrix(), limb.Lower().LocalMatrix(), limb.End().LocalMatrix()};
    DragEnd(limb, {25, -30});
    const rm::Matrix4 dragged[] = {limb.Upper().LocalMatrix(), limb.Lower().LocalMatrix(), limb.End().LocalMatrix()};
    for (int i = 0; i < 3; ++i) EXPECT_GT(MaxDifference(dragged[i], before[i]), 1e-3f) << "part " << i << " moved";
    ASSERT_EQ(m_view->History().UndoCount(), 1u);

    m_view->OnCommand(ID_EDIT_UNDO);
    const rm::Matrix4 undone[] = {limb.Upper().LocalMatrix(), limb.Lower().LocalMatrix(), limb.End().LocalMatrix()};
    for (int i = 0; i < 3; ++i) EXPECT_LT(MaxDifference(undone[i], before[i]), 1e-5f) << "part " << i;
    EXPECT_EQ(m_view->History().UndoCount(), 0u);

    m_view->OnCommand(ID_EDIT_REDO);
    const rm::Matrix4 redone[] = {limb.Upper().LocalMatrix(), limb.Lower().LocalMatrix(), limb.End().LocalMatrix()};
    for (int i = 0; i < 3; ++i) EXPECT_LT(MaxDifference(redone[i], dragged[i]), 1e-5f) << "part " << i;
}

TEST_F(LimbDragTest, PartsThatEndNoLimbAreMovedAsTheMoveModeMovesThem) {
    // The whole figure (the body's item) and a forearm, whose chain would end on the body.
    struct Row {
        const char* what;
        QPoint stroke;
    };
    for (const Row& r : {Row{"figure", {25, -15}}, Row{"FARMR", {-20, 12}}}) {
        SCOPED_TRACE(r.what);
        LoadStanding();
        const bool figure = std::string_view(r.what) == "figure";
        Tree().SelectItem(figure ? Doc().GetCharacterItem() : ItemOf(r.what));
        const rm::Ref<rm::Frame> target = Doc().GetEditTarget();
        ASSERT_TRUE(target);
        const QPointF before = ScreenOf(*target);
        const rm::Matrix4 turn = target->WorldMatrix();
        Drag(before.toPoint(), before.toPoint() + r.stroke);
        const QPointF after = ScreenOf(*target);
        EXPECT_NEAR(after.x() - before.x(), r.stroke.x(), 1.0);
        EXPECT_NEAR(after.y() - before.y(), r.stroke.y(), 1.0);
        EXPECT_LT(MaxDifference(target->WorldMatrix(), turn, 3), 1e-5f) << "a move turns nothing";
        EXPECT_EQ(m_view->History().UndoCount(), 1u);
    }
}

}  // namespace

// With two figures, an IK drag of the second one's hand bends its arm and leaves the first figure
// as it was; undo puts the second arm back.
TEST_F(LimbDragTest, AnIkDragOfOneFigureLeavesTheOtherFigure) {
    scene::Figure* second = Doc().AddFigureFromPoseSet("STAND.OBJ");
    ASSERT_NE(second, nullptr);
    Settle();
    m_view->RunCameraCommand(ID_VIEW_FRAME_ALL);
    Settle();
    CPartObject* hand = nullptr;
    for (CPartObject* part : Doc().AllParts())
        if (part->m_figure == second->number && part->m_folder.ends_with("\\HANDL\\")) hand = part;
    ASSERT_TRUE(hand && hand->GetFrame() && hand->GetParent());
    std::vector<std::pair<rm::Frame*, rm::Matrix4>> first;
    for (CPartObject* part : Doc().AllParts())
        if (part->m_figure == 1 && part->GetFrame()) first.emplace_back(part->GetFrame(), part->GetFrame()->WorldMatrix());
    ASSERT_FALSE(first.empty());
    const rm::Matrix4 forearm = hand->GetParent()->GetFrame()->WorldMatrix();

    const HTREEITEM item = Doc().FindItemByFolder(hand->m_definitionPath, second);
    ASSERT_NE(item, 0u);
    Tree().SelectItem(item);
    ASSERT_EQ(Doc().GetEditTarget().Get(), hand->GetFrame());
    const QPoint start = ScreenOf(*hand->GetFrame()).toPoint();
    Drag(start, start + QPoint(0, -30), 5);

    EXPECT_GT(MaxDifference(hand->GetParent()->GetFrame()->WorldMatrix(), forearm), 1e-3f) << "the arm bent";
    for (const auto& [frame, world] : first) EXPECT_LT(MaxDifference(frame->WorldMatrix(), world), 1e-5f) << frame->GetName();
    m_view->OnCommand(ID_EDIT_UNDO);
    Settle();
    EXPECT_LT(MaxDifference(hand->GetParent()->GetFrame()->WorldMatrix(), forearm), 1e-4f) << "undone";
}
