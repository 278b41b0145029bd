// The closed-form two-bone solution: bone lengths kept, the goal reached when it can be, the bend
// kept on its side, a straight limb toward a goal out of reach, and rotations between directions.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/rm/VectorMath.h"
#include "view/TwoBoneSolver.h"

namespace {

float Distance(const rm::Vector& a, const rm::Vector& b) { return rm::Length(rm::Sub(a, b)); }

// An arm from the origin: upper bone 3 along -y, lower bone 2 bent forward (-z).
const ik::LimbJoints kBentArm{{0, 0, 0}, {0, -3, 0}, {0, -4, -1.7320508f}};

TEST(TwoBoneSolverTest, GoalsWithinReachAreReachedWithTheBonesKept) {
    const rm::Vector goals[] = {{0, -4, 0}, {1, -2, -1}, {-2, 1, 0.5f}, {0, -1.5f, 0}, {3, 0, 0}};
    for (const rm::Vector& goal : goals) {
        SCOPED_TRACE(testing::Message() << goal.x << "," << goal.y << "," << goal.z);
        const ik::LimbSolution s = ik::SolveTwoBone(kBentArm, goal, {0, 0, 1});
        EXPECT_TRUE(s.reached);
        EXPECT_LT(Distance(s.end, goal), 1e-4f);
        EXPECT_NEAR(Distance(s.middle, kBentArm.root), 3.0f, 1e-4f);
        EXPECT_NEAR(Distance(s.end, s.middle), 2.0f, 1e-4f);
    }
}

TEST(TwoBoneSolverTest, TheMiddleJointStaysOnItsSide) {
    // The elbow of the bent arm stands out backwards (+z) of the shoulder-to-wrist line.
    const ik::LimbSolution s = ik::SolveTwoBone(kBentArm, {0, -3.5f, 0}, {0, 0, -1});
    EXPECT_GT(s.middle.z, 0.5f);
    EXPECT_GT(s.bendSide.z, 0.99f) << "the joints, not the hint, tell the side of a bent limb";

    // A straight limb bends to the side it is given.
    const ik::LimbJoints straight{{0, 0, 0}, {0, -3, 0}, {0, -5, 0}};
    for (const float side : {1.0f, -1.0f}) {
        const ik::LimbSolution folded = ik::SolveTwoBone(straight, {0, -3, 0}, {0, 0, side});
        EXPECT_GT(folded.middle.z * side, 1.0f) << side;
    }
}

TEST(TwoBoneSolverTest, GoalsOutOfReachStraightenTheLimbTowardThemOrFoldItAsFarAsItFolds) {
    const ik::LimbSolution far = ik::SolveTwoBone(kBentArm, {0, -20, 0}, {0, 0, 1});
    EXPECT_FALSE(far.reached);
    EXPECT_LT(Distance(far.end, {0, -5, 0}), 1e-4f);
    EXPECT_LT(Distance(far.middle, {0, -3, 0}), 1e-4f);

    const ik::LimbSolution near = ik::SolveTwoBone(kBentArm, {0, -0.2f, 0}, {0, 0, 1});
    EXPECT_FALSE(near.reached);
    EXPECT_NEAR(Distance(near.end, kBentArm.root), 1.0f, 1e-4f) << "folded flat, the bones' difference";
    EXPECT_NEAR(Distance(near.middle, kBentArm.root), 3.0f, 1e-4f);

    const ik::LimbSolution none = ik::SolveTwoBone(kBentArm, kBentArm.root, {0, 0, 1});
    EXPECT_LT(Distance(none.end, kBentArm.end), 1e-6f) << "a goal at the root leaves the limb";
}

TEST(TwoBoneSolverTest, RotationsTurnOneDirectionOntoAnother) {
    const std::pair<rm::Vector, rm::Vector> pairs[] = {
        {{1, 0, 0}, {0, 1, 0}}, {{0, -3, 0}, {1, 1, 1}}, {{1, 2, 3}, {1, 2, 3}}, {{0, 0, 2}, {0, 0, -5}}};
    for (const auto& [from, to] : pairs) {
        const rm::Matrix4 r = ik::RotationBetween(from, to);
        const rm::Vector turned = rm::TransformDirection(rm::Normalized(from), r);
        EXPECT_LT(Distance(turned, rm::Normalized(to)), 1e-5f);
    }
    const rm::Matrix4 about = ik::RotationAbout({1, 1, 0}, ik::RotationBetween({1, 0, 0}, {0, 1, 0}));
    EXPECT_LT(Distance(rm::TransformPoint({1, 1, 0}, about), {1, 1, 0}), 1e-6f) << "the pivot stays";
    EXPECT_LT(Distance(rm::TransformPoint({2, 1, 0}, about), {1, 2, 0}), 1e-5f);
}

}  // namespace
