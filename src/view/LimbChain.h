#pragma once
// The limb that an IK drag bends: the dragged part (a hand, a foot), the part it hangs on (forearm,
// shin) and that part's parent (upper arm, thigh), found through the parts' parent links. The
// upper part must itself hang on a part (the body): a forearm's chain would end on the body, which
// is no limb.

#include <optional>

#include "platform/rm/Frame.h"
#include "view/TwoBoneSolver.h"

class CPartObject;

class LimbChain {
  public:
    // The chain ending in `end`; nothing when `end` does not hang at the end of a two-bone limb or
    // when a bone of it has no length.
    static std::optional<LimbChain> Ending(const CPartObject& end);

    rm::Frame& Upper() const { return *m_upper; }
    rm::Frame& Lower() const { return *m_lower; }
    rm::Frame& End() const { return *m_end; }
    // The world positions of the root joint (the upper part's origin), the middle joint and the end.
    ik::LimbJoints Joints() const;

    // Turns the upper and the lower part about their joints so that the end's joint reaches `goal`
    // (world coordinates), or points straight at it when it is out of reach; the end part keeps
    // the world orientation it had when the chain was found.
    ik::LimbSolution Reach(const rm::Vector& goal);

  private:
    LimbChain(rm::Frame& upper, rm::Frame& lower, rm::Frame& end);
    // The side the middle joint is to bend to while the limb is straight.
    rm::Vector StraightLimbBendSide() const;

    rm::Ref<rm::Frame> m_upper;
    rm::Ref<rm::Frame> m_lower;
    rm::Ref<rm::Frame> m_end;
    rm::Matrix4 m_endWorld;   // the end's orientation to keep
    rm::Vector m_bendSide;    // the side the middle joint stands out to
};
