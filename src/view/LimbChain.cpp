#include "view/LimbChain.h"

#include <algorithm>

#include "platform/rm/VectorMath.h"
#include "scene/PartObject.h"

namespace {

rm::Vector OriginOf(const rm::Matrix4& world) { return {world.m[3][0], world.m[3][1], world.m[3][2]}; }

// Gives `frame` the world matrix `world` through its own matrix.
void SetWorld(rm::Frame& frame, const rm::Matrix4& world) {
    const rm::Frame* parent = frame.Parent();
    frame.AddTransform(rm::CombineType::D3DRMCOMBINE_REPLACE,
                       parent ? rm::Multiply(world, rm::Inverse(parent->WorldMatrix())) : world);
}

}  // namespace

std::optional<LimbChain> LimbChain::Ending(const CPartObject& end) {
    const CPartObject* lower = end.GetParent();
    const CPartObject* upper = lower ? lower->GetParent() : nullptr;
    if (!upper || !upper->GetParent() || !end.GetFrame() || !lower->GetFrame() || !upper->GetFrame())
        return std::nullopt;
    LimbChain chain(*upper->GetFrame(), *lower->GetFrame(), *end.GetFrame());
    const ik::LimbJoints joints = chain.Joints();
    constexpr float kShortest = 1e-3f;
    if (rm::Length(rm::Sub(joints.middle, joints.root)) < kShortest ||
        rm::Length(rm::Sub(joints.end, joints.middle)) < kShortest)
        return std::nullopt;
    return chain;
}

LimbChain::LimbChain(rm::Frame& upper, rm::Frame& lower, rm::Frame& end)
    : m_upper(&upper), m_lower(&lower), m_end(&end), m_endWorld(end.WorldMatrix()) {
    m_bendSide = StraightLimbBendSide();
}

rm::Vector LimbChain::StraightLimbBendSide() const {
    // While the limb is straight the joints do not tell the side it bends to. A foot reaches out
    // across the shin toward the toes and the knee bends that way; a hand hangs along the forearm
    // and the elbow bends backwards (the upper part's +z; figures face -z).
    const ik::LimbJoints joints = Joints();
    const rm::Vector along = rm::Normalized(rm::Sub(joints.end, joints.middle));
    rm::Box box{};
    if (m_end->GetHierarchyBox(&box) == rm::D3DRM_OK) {
        const rm::Vector localCentre{(box.min.x + box.max.x) * 0.5f, (box.min.y + box.max.y) * 0.5f,
                                     (box.min.z + box.max.z) * 0.5f};
        rm::Vector centre;
        m_end->Transform(&centre, &localCentre);
        rm::Vector out = rm::Sub(centre, joints.end);
        out = rm::Sub(out, rm::Scale(along, rm::Dot(out, along)));
        const float extent = std::max({box.max.x - box.min.x, box.max.y - box.min.y, box.max.z - box.min.z});
        constexpr float kReachingOut = 0.2f;  // of the end part's size
        if (rm::Length(out) > kReachingOut * extent) return rm::Normalized(out);
    }
    const rm::Matrix4 upperWorld = m_upper->WorldMatrix();
    return rm::Normalized({upperWorld.m[2][0], upperWorld.m[2][1], upperWorld.m[2][2]});
}

ik::LimbJoints LimbChain::Joints() const {
    return {OriginOf(m_upper->WorldMatrix()), OriginOf(m_lower->WorldMatrix()), OriginOf(m_end->WorldMatrix())};
}

ik::LimbSolution LimbChain::Reach(const rm::Vector& goal) {
    const ik::LimbJoints now = Joints();
    const ik::LimbSolution s = ik::SolveTwoBone(now, goal, m_bendSide);
    m_bendSide = s.bendSide;

    // The upper part turns about the root joint until the middle joint is in place; the lower part
    // follows it, then turns about the middle joint until the end is in place.
    const rm::Matrix4 upperTurn =
        ik::RotationAbout(now.root, ik::RotationBetween(rm::Sub(now.middle, now.root), rm::Sub(s.middle, now.root)));
    SetWorld(*m_upper, rm::Multiply(m_upper->WorldMatrix(), upperTurn));
    const ik::LimbJoints turned = Joints();
    const rm::Matrix4 lowerTurn = ik::RotationAbout(
        turned.middle, ik::RotationBetween(rm::Sub(turned.end, turned.middle), rm::Sub(s.end, turned.middle)));
    SetWorld(*m_lower, rm::Multiply(m_lower->WorldMatrix(), lowerTurn));

    // The end keeps its world orientation where the lower part has taken its joint.
    rm::Matrix4 endWorld = m_endWorld;
    const rm::Vector endAt = OriginOf(m_end->WorldMatrix());
    endWorld.m[3][0] = endAt.x;
    endWorld.m[3][1] = endAt.y;
    endWorld.m[3][2] = endAt.z;
    SetWorld(*m_end, endWorld);
    return s;
}
