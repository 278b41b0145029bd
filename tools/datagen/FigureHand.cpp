// Hands: palm lofted from the wrist cut, fingers and thumb as jointed capsules. The left hand hangs
// with its palm towards the body (-x) and the thumb to the front (-z); fingers curl towards -x.
#include "Figure.h"

namespace datagen {

namespace {

struct Finger {
    double z, length, radius;
};

struct Grip {
    double knuckle, middle;  // curl in degrees at the two finger joints
};

constexpr Finger kFingers[] = {
    {-0.29, 0.64, 0.078}, {-0.10, 0.72, 0.082}, {0.10, 0.66, 0.078}, {0.28, 0.52, 0.068}};

// Adds a finger from `base` hanging along -y, bent towards -x at its two joints.
void AddFinger(Mesh& m, const Vec3& base, double length, double radius, const Grip& g) {
    const double a1 = Radians(g.knuckle), a2 = Radians(g.knuckle + g.middle);
    const double l1 = length * 0.55, l2 = length * 0.45;
    const Vec3 mid = base + Vec3{-std::sin(a1) * l1, -std::cos(a1) * l1, 0};
    const Vec3 tip = mid + Vec3{-std::sin(a2) * l2, -std::cos(a2) * l2, 0};
    m.Append(Capsule(base, mid, radius, 8));
    m.Append(Capsule(mid, tip, radius * 0.95, 8));
}

}  // namespace

int HandVariants() {
    return 3;
}

PartFile BuildHand(char side, int variant) {
    PartFile part;
    part.top.name = std::string("FRM-HAND") + side + "PART";
    std::vector<Ring> palm = {WristRing(),
                              {-0.30, 0.20, 0.36, 0.36, 0, 0, 0},
                              {-0.72, 0.17, 0.42, 0.42, 0, 0, 0},
                              {-0.98, 0.15, 0.40, 0.40, 0, 0, 0}};
    LoftOptions o;
    o.segments = kLimbSegments;
    o.capEnd = true;
    o.capEndBulge = 0.06;
    Mesh m = Loft(palm, o);

    for (int i = 0; i < 4; ++i) {
        Grip g{10, 18};                                             // relaxed
        if (variant == 1) g = {80, 100};                            // fist
        if (variant == 2) g = i == 0 ? Grip{0, 4} : Grip{80, 100};  // pointing
        const Finger& f = kFingers[i];
        AddFinger(m, {0, -0.92, f.z}, f.length, f.radius, g);
    }
    // Thumb: from the front of the palm, forwards and down; across the fingers in a fist.
    const Vec3 thumbBase{-0.04, -0.25, -0.30};
    const Vec3 thumbMid = variant == 0 ? Vec3{-0.10, -0.62, -0.50} : Vec3{-0.22, -0.62, -0.42};
    const Vec3 thumbTip = variant == 0 ? Vec3{-0.14, -0.92, -0.55} : Vec3{-0.34, -0.90, -0.25};
    m.Append(Capsule(thumbBase, thumbMid, 0.10, 8));
    m.Append(Capsule(thumbMid, thumbTip, 0.09, 8));
    // A ball inside the wrist's cut keeps the joint closed when the hand turns.
    const Ring wrist = WristRing();
    m.Append(Ellipsoid({0, 0, 0}, {wrist.rx * 0.93, wrist.rzF * 0.93, wrist.rzF * 0.93}, kLimbSegments, 8));
    part.top.MeshChild(std::string("FRM-HANDSKIN") + side, m, look::Skin());
    if (side == 'R') MirrorX(part.top);
    return part;
}

}  // namespace datagen
