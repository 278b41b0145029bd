// The body part: torso garment, trousers (or skirt), the skin of the neck, and the link frames of
// head, arms and thighs.
#include "Figure.h"

namespace datagen {

namespace {

Ring Shifted(Ring r, const Vec3& by) {
    r.y += by.y;
    r.cx += by.x;
    r.cz += by.z;
    return r;
}

struct BodyStyle {
    const char* garmentFrame;
    Surface garment;
    double hemY;      // lowest ring of the torso garment
    double hemWidth;  // its half width
    bool trousers;
    bool collar;
    bool buttons;
};

constexpr int kTorsoSegments = 24;

Mesh Neck() {
    const Vec3 head = JointOffset("HEAD");
    const Ring top = Shifted(NeckRing(), head);
    std::vector<Ring> rings = {top, Shifted({-0.45, 0.51, 0.48, 0.48, 0, 0, 0}, head),
                               Shifted({-1.00, 0.56, 0.52, 0.52, 0, -0.02, 0}, head)};
    LoftOptions o;
    o.segments = kNeckSegments;
    return Loft(rings, o);
}

Mesh Torso(const BodyStyle& s) {
    std::vector<Ring> rings = {
        {6.30, 0.60, 0.55, 0.55, 0, 0.10, 0}, {6.20, 1.20, 0.80, 0.75, 0, 0.05, 0},
        {6.00, 1.80, 0.95, 0.90, 0, 0.02, 0}, {5.60, 2.15, 1.05, 1.00, 0, 0, 0},
        {5.00, 2.15, 1.15, 1.05, 0, 0, 0},    {4.20, 2.00, 1.20, 1.05, 0, 0, 0},
        {3.20, 1.75, 1.05, 0.95, 0, 0, 0},    {2.20, 1.55, 0.95, 0.90, 0, 0, 0},
        {1.40, 1.62, 1.00, 1.00, 0, 0, 0},
    };
    if (s.hemY < 1.0) {
        // A longer garment follows the hips and flares below them.
        rings.push_back({0.40, 1.92, 1.10, 1.20, 0, 0, 0});
        rings.push_back({-0.50, 2.02, 1.15, 1.25, 0, 0, 0});
        if (s.hemY < -1.0) {
            rings.push_back({-1.60, 2.20, 1.35, 1.40, 0, 0, 0});
            rings.push_back({-2.80, 2.45, 1.60, 1.60, 0, 0, 0});
        }
    }
    rings.push_back({s.hemY, s.hemWidth, s.hemWidth * 0.62, s.hemWidth * 0.64, 0, 0, 0});
    LoftOptions o;
    o.segments = kTorsoSegments;
    Mesh m = Loft(rings, o);
    // Close the neck opening down to the neck and turn the hem inwards, so that no view looks into
    // the open garment.
    m.Append(Annulus(6.30, 0.50, 0.47, 0.60, 0.55, {0, 0, 0.10}, kTorsoSegments, true));
    m.Append(Annulus(s.hemY, s.hemWidth * 0.9, s.hemWidth * 0.56, s.hemWidth, s.hemWidth * 0.62, {0, 0, 0},
                     kTorsoSegments, false));
    if (s.collar) {
        std::vector<Ring> c = {{6.85, 0.66, 0.62, 0.66, 0, 0.14, 0},
                               {6.30, 0.78, 0.74, 0.74, 0, 0.10, 0},
                               {6.05, 1.05, 0.95, 0.85, 0, 0.05, 0}};
        LoftOptions co;
        co.segments = kTorsoSegments;
        m.Append(Loft(c, co));
        m.Append(Annulus(6.85, 0.52, 0.49, 0.66, 0.62, {0, 0, 0.14}, kTorsoSegments, true));
    }
    return m;
}

Mesh Trousers() {
    std::vector<Ring> rings = {
        {1.70, 1.45, 0.85, 0.85, 0, 0, 0},  {1.00, 1.62, 0.95, 1.00, 0, 0, 0},
        {0.20, 1.85, 1.05, 1.15, 0, 0, 0},  {-0.50, 1.92, 1.05, 1.15, 0, 0, 0},
        {-1.10, 1.70, 0.95, 1.00, 0, 0, 0}, {-1.50, 1.20, 0.75, 0.80, 0, 0, 0},
    };
    LoftOptions o;
    o.segments = kTorsoSegments;
    o.capEnd = true;
    o.capEndBulge = 0.25;
    return Loft(rings, o);
}

Mesh Buttons(double fromY, double toY, int count) {
    Mesh m;
    for (int i = 0; i < count; ++i) {
        const double y = fromY + (toY - fromY) * i / (count - 1);
        // On the front of the garment (its front depth at that height, slightly outside).
        const double z = y > 4.0 ? -1.22 : (y > 3.0 ? -1.12 : -1.0);
        m.Append(Ellipsoid({0, y, z}, {0.11, 0.11, 0.05}, 8, 4));
    }
    return m;
}

BodyStyle StyleOf(int variant) {
    switch (variant) {
        case 1:
            return {"FRM-JACKET", look::Jacket(), -0.90, 2.10, true, true, true};
        case 2:
            return {"FRM-DRESS", look::Dress(), -3.60, 2.60, false, false, false};
        default:
            return {"FRM-SHIRT", look::Shirt(), 1.00, 1.70, true, false, false};
    }
}

}  // namespace

int BodyVariants() {
    return 3;
}

PartFile BuildBody(int variant, const LinkMatrix& link) {
    const BodyStyle s = StyleOf(variant);
    PartFile part;
    part.top.name = "FRM-BODYPART";
    part.top.MeshChild("FRM-NECK", Neck(), look::Skin());
    part.top.MeshChild(s.garmentFrame, Torso(s), s.garment);
    if (s.trousers) part.top.MeshChild("FRM-PANTS", Trousers(), look::Trousers());
    if (s.buttons) part.top.MeshChild("FRM-BUTTON", Buttons(4.6, 0.6, 5), look::Dark());
    // Link frames after the meshes: a search by name from the body reaches the body's own frames
    // before those of the parts hanging on the links.
    for (const char* joint : {"HEAD", "ARML", "ARMR", "LEGL", "LEGR"})
        part.top.Child(std::string("FRM-") + joint, link(joint));
    return part;
}

}  // namespace datagen
