// Arms and legs: upper arm (sleeve and skin), forearm, thigh, shin (trousers) and foot (shoe).
// Parts are built for the left side and mirrored for the right.
#include "Figure.h"

namespace datagen {

namespace {

std::vector<Ring> Round(std::initializer_list<std::pair<double, double>> rows) {
    std::vector<Ring> rings;
    for (const auto& [y, r] : rows) rings.push_back({y, r, r, r, 0, 0, 0});
    return rings;
}

LoftOptions Segments(int n) {
    LoftOptions o;
    o.segments = n;
    return o;
}

// Finishes a left-side part: mirrors it for the right side, then places the link frame.
PartFile Finish(PartFile part, char side, const char* linkJoint, const LinkMatrix& link) {
    if (side == 'R') MirrorX(part.top);
    if (linkJoint) {
        const std::string joint = std::string(linkJoint) + side;
        part.top.Child("FRM-" + joint, link(joint));
    }
    return part;
}

std::string Tag(const char* name, char side) {
    return std::string("FRM-") + name + side;
}

}  // namespace

PartFile BuildUpperArm(char side, const LinkMatrix& link) {
    PartFile part;
    part.top.name = Tag("ARM", side) + "PART";
    LoftOptions o = Segments(kLimbSegments);
    o.capStart = true;
    o.capStartBulge = 0.12;
    Mesh sleeve = Loft(Round({{0.50, 0.34}, {0.36, 0.55}, {0.12, 0.64}, {-0.35, 0.62}, {-1.35, 0.56}}), o);
    sleeve.Append(Annulus(-1.35, 0.44, 0.44, 0.56, 0.56, {}, kLimbSegments, false));
    std::vector<Ring> skin = Round({{-0.25, 0.47}, {-1.2, 0.46}, {-2.2, 0.41}});
    Ring elbow = ElbowRing();
    elbow.y = JointOffset("FARML").y;
    skin.push_back(elbow);
    part.top.MeshChild(Tag("ARMSKIN", side), Loft(skin, Segments(kLimbSegments)), look::Skin());
    part.top.MeshChild(Tag("SLEEVE", side), sleeve, look::Shirt());
    return Finish(std::move(part), side, "FARM", link);
}

PartFile BuildForearm(char side, const LinkMatrix& link) {
    PartFile part;
    part.top.name = Tag("FARM", side) + "PART";
    std::vector<Ring> rings = {ElbowRing()};
    for (const Ring& r : Round({{-0.6, 0.39}, {-1.5, 0.33}})) rings.push_back(r);
    rings.push_back({-2.2, 0.25, 0.30, 0.30, 0, 0, 0});
    Ring wrist = WristRing();
    wrist.y = JointOffset("HANDL").y;
    rings.push_back(wrist);
    Mesh skin = Loft(rings, Segments(kLimbSegments));
    // The elbow ball fills the joint when the arm bends.
    skin.Append(Ellipsoid({0, 0, 0}, {0.355, 0.355, 0.355}, kLimbSegments, 8));
    part.top.MeshChild(Tag("FARMSKIN", side), skin, look::Skin());
    return Finish(std::move(part), side, "HAND", link);
}

PartFile BuildThigh(char side, const LinkMatrix& link) {
    PartFile part;
    part.top.name = Tag("LEG", side) + "PART";
    LoftOptions o = Segments(kLimbSegments);
    o.capStart = true;
    o.capStartBulge = 0.15;
    const double knee = JointOffset("SHINL").y;
    std::vector<Ring> rings = Round({{0.80, 0.40}, {0.55, 0.78}, {0.20, 0.93}, {-0.50, 0.95}, {-2.50, 0.78}});
    rings.push_back({knee, 0.58, 0.58, 0.58, 0, 0, 0});
    part.top.MeshChild(Tag("THIGH", side), Loft(rings, o), look::Trousers());
    return Finish(std::move(part), side, "SHIN", link);
}

PartFile BuildShin(char side, const LinkMatrix& link) {
    PartFile part;
    part.top.name = Tag("SHIN", side) + "PART";
    const double ankle = JointOffset("FOOTL").y;
    std::vector<Ring> rings = {{0, 0.58, 0.58, 0.58, 0, 0, 0},
                               {-1.0, 0.60, 0.58, 0.66, 0, 0.02, 0},
                               {-2.6, 0.50, 0.50, 0.52, 0, 0, 0},
                               {ankle + 0.3, 0.46, 0.46, 0.46, 0, 0, 0},
                               {ankle, 0.48, 0.48, 0.48, 0, 0, 0}};
    Mesh m = Loft(rings, Segments(kLimbSegments));
    m.Append(Ellipsoid({0, 0, 0}, {0.57, 0.57, 0.57}, kLimbSegments, 8));
    m.Append(Annulus(ankle, 0.36, 0.36, 0.48, 0.48, {}, kLimbSegments, false));
    part.top.MeshChild(Tag("SHINCLOTH", side), m, look::Trousers());
    return Finish(std::move(part), side, "FOOT", link);
}

PartFile BuildFoot(char side) {
    PartFile part;
    part.top.name = Tag("FOOT", side) + "PART";
    LoftOptions o = Segments(kLimbSegments);
    o.capStart = o.capEnd = true;
    o.capStartBulge = 0.05;
    std::vector<Ring> shoe = {{0.45, 0.37, 0.37, 0.37, 0, 0, 0},
                              {-0.15, 0.41, 0.52, 0.45, 0, -0.08, 0},
                              {-0.40, 0.47, 1.20, 0.62, 0, -0.45, 0},
                              {-0.62, 0.50, 1.55, 0.85, 0, -0.62, 0},
                              {-0.70, 0.48, 1.52, 0.83, 0, -0.62, 0}};
    Mesh shoeMesh = Loft(shoe, o);
    // The ankle ball fills the shin's cut when the foot turns.
    shoeMesh.Append(Ellipsoid({0, 0, 0}, {0.44, 0.44, 0.44}, kLimbSegments, 8));
    part.top.MeshChild(Tag("SHOE", side), shoeMesh, look::Shoes());
    LoftOptions so = Segments(kLimbSegments);
    so.capStart = so.capEnd = true;
    std::vector<Ring> sole = {{-0.66, 0.52, 1.58, 0.88, 0, -0.62, 0}, {-0.75, 0.52, 1.58, 0.88, 0, -0.62, 0}};
    part.top.MeshChild(Tag("SOLE", side), Loft(sole, so), look::Dark());
    return Finish(std::move(part), side, nullptr, {});
}

}  // namespace datagen
