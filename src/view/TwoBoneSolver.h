#pragma once
// The geometry of reaching with a two-bone limb (upper arm and forearm, thigh and shin): where the
// middle joint and the end go when the end is to reach a point, solved in closed form.

#include "platform/rm/Types.h"

namespace ik {

// The three joints of a limb in one space: the root (shoulder, hip), the middle joint (elbow,
// knee) and the end (wrist, ankle).
struct LimbJoints {
    rm::Vector root;
    rm::Vector middle;
    rm::Vector end;
};

struct LimbSolution {
    rm::Vector middle;
    rm::Vector end;
    // The unit direction, across the root-to-end line, in which the middle joint stands out.
    rm::Vector bendSide;
    // False when the goal was out of reach and the limb stretches straight toward it.
    bool reached = true;
};

// Where the joints go for the end to reach `goal`, the bone lengths kept. The middle joint stays in
// the plane it bends in now, on the side it bends to (`bendSide` gives the side while the limb is
// straight, when the joints alone do not tell). A goal beyond reach straightens the limb toward it;
// a goal nearer than the bones can fold is reached as near as they fold. A goal at the root leaves
// the joints where they are.
LimbSolution SolveTwoBone(const LimbJoints& now, const rm::Vector& goal, const rm::Vector& bendSide);

// The rotation about the origin that turns direction `from` onto direction `to` by the smallest
// angle (row vectors: v * result).
rm::Matrix4 RotationBetween(const rm::Vector& from, const rm::Vector& to);
// `rotation` about `pivot` instead of the origin.
rm::Matrix4 RotationAbout(const rm::Vector& pivot, const rm::Matrix4& rotation);

}  // namespace ik
