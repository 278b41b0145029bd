#include "view/TwoBoneSolver.h"

#include <algorithm>
#include <cmath>

#include "platform/rm/VectorMath.h"

namespace ik {

namespace {

constexpr float kTiny = 1e-6f;

// `v` without its part along the unit vector `axis`.
rm::Vector Across(const rm::Vector& v, const rm::Vector& axis) { return rm::Sub(v, rm::Scale(axis, rm::Dot(v, axis))); }

// Any unit vector at right angles to the unit vector `axis`.
rm::Vector AnyPerpendicular(const rm::Vector& axis) {
    const rm::Vector helper = std::fabs(axis.x) < 0.9f ? rm::Vector{1, 0, 0} : rm::Vector{0, 1, 0};
    return rm::Normalized(rm::Cross(axis, helper));
}

}  // namespace

LimbSolution SolveTwoBone(const LimbJoints& now, const rm::Vector& goal, const rm::Vector& bendSide) {
    const rm::Vector upper = rm::Sub(now.middle, now.root);
    const float a = rm::Length(upper);
    const float b = rm::Length(rm::Sub(now.end, now.middle));
    const rm::Vector toGoal = rm::Sub(goal, now.root);
    const float goalDistance = rm::Length(toGoal);
    LimbSolution s{now.middle, now.end, bendSide, true};
    if (a < kTiny || b < kTiny || goalDistance < kTiny) return s;
    const rm::Vector axis = rm::Scale(toGoal, 1.0f / goalDistance);

    // The side the middle joint stands out to now, or the given one while the limb is straight.
    rm::Vector side = bendSide;
    const rm::Vector toEnd = rm::Sub(now.end, now.root);
    if (const float reach = rm::Length(toEnd); reach > kTiny) {
        const rm::Vector out = Across(upper, rm::Scale(toEnd, 1.0f / reach));
        if (rm::Length(out) > 1e-4f * a) side = out;
    }
    side = Across(side, axis);
    side = rm::Length(side) > kTiny ? rm::Normalized(side) : AnyPerpendicular(axis);

    const float longest = a + b;
    const float shortest = std::fabs(a - b);
    s.reached = goalDistance <= longest && goalDistance >= shortest;
    const float d = std::clamp(goalDistance, shortest, longest);
    // The law of cosines gives the angle between the upper bone and the root-to-end line.
    const float cosine = std::clamp((a * a + d * d - b * b) / (2.0f * a * d), -1.0f, 1.0f);
    const float sine = std::sqrt(std::max(0.0f, 1.0f - cosine * cosine));
    s.middle = rm::Add(now.root, rm::Add(rm::Scale(axis, a * cosine), rm::Scale(side, a * sine)));
    s.end = rm::Add(now.root, rm::Scale(axis, d));
    s.bendSide = side;
    return s;
}

rm::Matrix4 RotationBetween(const rm::Vector& from, const rm::Vector& to) {
    const float lf = rm::Length(from), lt = rm::Length(to);
    if (lf < kTiny || lt < kTiny) return rm::Matrix4{};
    const rm::Vector f = rm::Scale(from, 1.0f / lf), t = rm::Scale(to, 1.0f / lt);
    const rm::Vector cross = rm::Cross(f, t);
    const float sine = rm::Length(cross);
    const float cosine = rm::Dot(f, t);
    if (sine < kTiny) {
        if (cosine > 0) return rm::Matrix4{};
        return rm::RotationMatrix(AnyPerpendicular(f), float(M_PI));
    }
    return rm::RotationMatrix(rm::Scale(cross, 1.0f / sine), std::atan2(sine, cosine));
}

rm::Matrix4 RotationAbout(const rm::Vector& pivot, const rm::Matrix4& rotation) {
    return rm::Multiply(rm::Multiply(rm::TranslationMatrix(rm::Scale(pivot, -1.0f)), rotation),
                        rm::TranslationMatrix(pivot));
}

}  // namespace ik
