#include "Props.h"

namespace datagen {

namespace {

Surface Plain(double r, double g, double b, double power = 20, double specular = 0.2) {
    return {{r, g, b, 1}, power, {specular, specular, specular, 1}, {0, 0, 0, 1}};
}

LoftOptions Closed(int segments) {
    LoftOptions o;
    o.segments = segments;
    o.capStart = o.capEnd = true;
    return o;
}

PartFile Hat() {
    PartFile p;
    p.top.name = "FRM-HATPART";
    const double base = 9.55;
    std::vector<Ring> crown = {{base + 1.25, 0.90, 0.90, 0.95, 0, 0.15, 0},
                               {base + 1.15, 1.20, 1.20, 1.25, 0, 0.15, 0},
                               {base + 0.50, 1.42, 1.42, 1.48, 0, 0.15, 0},
                               {base, 1.45, 1.45, 1.50, 0, 0.15, 0}};
    LoftOptions o = Closed(24);
    o.capStartBulge = 0.08;
    Mesh hat = Loft(crown, o);
    hat.Append(Annulus(base, 1.40, 1.40, 2.55, 2.55, {0, 0, 0.15}, 24, true));
    hat.Append(Annulus(base - 0.04, 1.40, 1.40, 2.55, 2.55, {0, 0, 0.15}, 24, false));
    p.top.MeshChild("FRM-HATCROWN", hat, Plain(0.93, 0.86, 0.62, 10, 0.1));
    std::vector<Ring> band = {{base + 0.42, 1.46, 1.46, 1.52, 0, 0.15, 0},
                              {base + 0.05, 1.49, 1.49, 1.55, 0, 0.15, 0}};
    LoftOptions bo;
    bo.segments = 24;
    p.top.MeshChild("FRM-HATBAND", Loft(band, bo), Plain(0.75, 0.15, 0.18));
    return p;
}

PartFile Sword() {
    PartFile p;
    p.top.name = "FRM-SWORDPART";
    // Held in the right hand of the standing figure, blade up and slightly forwards.
    const Vec3 grip{-2.52, -1.55, -0.25};
    Mesh blade = Box({-0.06, 0.55, -0.22}, {0.06, 6.2, 0.22});
    blade.Append(Box({-0.04, 6.2, -0.12}, {0.04, 6.6, 0.12}));
    Mesh guard = Box({-0.14, 0.42, -0.75}, {0.14, 0.58, 0.75});
    Mesh handle = Capsule({0, 0.45, 0}, {0, -0.85, 0}, 0.13, 10);
    handle.Append(Ellipsoid({0, -0.95, 0}, {0.2, 0.2, 0.2}, 10, 6));
    const Mat4 place = Mat4::Rotation({1, 0, 0}, 20) * Mat4::Translation(grip);
    blade.Transform(place);
    guard.Transform(place);
    handle.Transform(place);
    p.top.MeshChild("FRM-BLADE", blade, Plain(0.85, 0.87, 0.92, 80, 0.9));
    p.top.MeshChild("FRM-GUARD", guard, Plain(0.85, 0.68, 0.20, 60, 0.7));
    p.top.MeshChild("FRM-GRIP", handle, Plain(0.30, 0.16, 0.10, 20, 0.2));
    return p;
}

PartFile Ball() {
    PartFile p;
    p.top.name = "FRM-BALLPART";
    const Vec3 c{3.2, -8.9, -2.6};
    // Two halves in two colours, split at the equator.
    Mesh top = Ellipsoid(c, {1.1, 1.1, 1.1}, 24, 12);
    Mesh stripes;
    Mesh white;
    for (const auto& f : top.faces) {
        double y = 0;
        for (int i : f) y += top.positions[i].y;
        y /= f.size();
        Mesh& target = (std::abs(y - c.y) < 0.35) ? stripes : white;
        const int base = static_cast<int>(target.positions.size());
        std::vector<int> face;
        for (int i : f) {
            target.positions.push_back(top.positions[i]);
            target.normals.push_back(top.normals[i]);
            face.push_back(base + static_cast<int>(face.size()));
        }
        target.faces.push_back(face);
    }
    p.top.MeshChild("FRM-BALLSHELL", white, Plain(0.97, 0.97, 0.95, 40, 0.5));
    p.top.MeshChild("FRM-BALLSTRIPE", stripes, Plain(0.90, 0.20, 0.15, 40, 0.5));
    return p;
}

PartFile Chair() {
    PartFile p;
    p.top.name = "FRM-CHAIRPART";
    // Sized for the sitting figure: seat just under the thighs, feet on the floor at y = -5.45.
    const double seat = -1.85, floor = -5.45;
    Mesh wood = Box({-2.2, seat - 0.3, -3.0}, {2.2, seat, 1.3});
    for (double x : {-1.95, 1.95})
        for (double z : {-2.75, 1.05})
            wood.Append(Box({x - 0.2, floor, z - 0.2}, {x + 0.2, seat - 0.3, z + 0.2}));
    for (double x : {-1.95, 1.95}) wood.Append(Box({x - 0.18, seat, 1.05}, {x + 0.18, 4.2, 1.41}));
    wood.Append(Box({-2.15, 2.2, 1.1}, {2.15, 4.3, 1.45}));
    p.top.MeshChild("FRM-CHAIRWOOD", wood, Plain(0.62, 0.42, 0.25, 15, 0.15));
    Mesh cushion =
        Loft({{seat + 0.25, 1.9, 1.9, 1.9, 0, -0.85, 0}, {seat, 2.05, 2.0, 2.0, 0, -0.85, 0}}, Closed(24));
    p.top.MeshChild("FRM-CUSHION", cushion, Plain(0.80, 0.25, 0.30, 8, 0.05));
    return p;
}

PartFile Book() {
    PartFile p;
    p.top.name = "FRM-BOOKPART";
    // Held against the left hip.
    const Vec3 at{2.75, -1.2, -0.2};
    Mesh cover = Box(at + Vec3{-0.22, -1.35, -1.0}, at + Vec3{-0.14, 1.35, 1.0});
    cover.Append(Box(at + Vec3{0.14, -1.35, -1.0}, at + Vec3{0.22, 1.35, 1.0}));
    cover.Append(Box(at + Vec3{-0.22, -1.35, 0.9}, at + Vec3{0.22, 1.35, 1.0}));
    p.top.MeshChild("FRM-BOOKCOVER", cover, Plain(0.15, 0.35, 0.25, 20, 0.2));
    p.top.MeshChild("FRM-BOOKPAGES", Box(at + Vec3{-0.14, -1.28, -0.95}, at + Vec3{0.14, 1.28, 0.9}),
                    Plain(0.96, 0.94, 0.86, 5, 0.05));
    return p;
}

PartFile Mug() {
    PartFile p;
    p.top.name = "FRM-MUGPART";
    // Standing on the floor in front of the figure.
    const Vec3 at{-2.6, -10.0, -3.2};
    std::vector<Ring> body = {{at.y + 1.5, 0.55, 0.55, 0.55, at.x, at.z, 0},
                              {at.y, 0.55, 0.55, 0.55, at.x, at.z, 0}};
    LoftOptions o;
    o.segments = 20;
    o.capEnd = true;
    Mesh mug = Loft(body, o);
    mug.Append(Annulus(at.y + 1.5, 0.45, 0.45, 0.55, 0.55, at, 20, true));
    Mesh inner = Loft(
        {{at.y + 1.5, 0.45, 0.45, 0.45, at.x, at.z, 0}, {at.y + 0.2, 0.45, 0.45, 0.45, at.x, at.z, 0}}, o);
    mug.Append(inner.Flipped());
    for (int i = 0; i < 5; ++i) {
        const double a0 = kPi * (-0.5 + i / 5.0), a1 = kPi * (-0.5 + (i + 1) / 5.0);
        mug.Append(Capsule(at + Vec3{-0.55 - 0.4 * std::cos(a0), 0.75 + 0.45 * std::sin(a0), 0},
                           at + Vec3{-0.55 - 0.4 * std::cos(a1), 0.75 + 0.45 * std::sin(a1), 0}, 0.09, 8));
    }
    p.top.MeshChild("FRM-MUG", mug, Plain(0.95, 0.93, 0.88, 60, 0.6));
    p.top.MeshChild("FRM-COFFEE", Annulus(at.y + 1.3, 0.0, 0.0, 0.45, 0.45, at, 20, true),
                    Plain(0.35, 0.2, 0.1, 60, 0.5));
    return p;
}

PartFile Umbrella() {
    PartFile p;
    p.top.name = "FRM-UMBRELLAPART";
    // Open over the figure's right shoulder, its shaft in the right hand.
    const Vec3 hand{-2.55, -1.4, -0.3};
    const Vec3 top = hand + Vec3{0.9, 13.0, 0.4};
    std::vector<Ring> canopy;
    const int rows = 6;
    for (int i = 0; i <= rows; ++i) {
        const double t = static_cast<double>(i) / rows;
        const double r = 5.2 * std::sin(t * kPi / 2);
        canopy.push_back({top.y - 2.0 * (1 - std::cos(t * kPi / 2)), r, r, r, top.x, top.z, 0});
    }
    LoftOptions o;
    o.segments = 16;
    o.capStart = true;
    canopy.front().rx = canopy.front().rzF = canopy.front().rzB = 0.05;
    Mesh cloth = Loft(canopy, o);
    Mesh under = cloth.Flipped();
    for (auto& v : under.positions) v.y -= 0.03;
    cloth.Append(under);
    p.top.MeshChild("FRM-CANOPY", cloth, Plain(0.30, 0.55, 0.85, 30, 0.3));
    Mesh shaft = Capsule(hand + Vec3{0, -0.6, 0}, top + Vec3{0, 0.4, 0}, 0.07, 8);
    shaft.Append(Capsule(hand + Vec3{0, -0.6, 0}, hand + Vec3{0.5, -1.1, 0}, 0.1, 8));
    p.top.MeshChild("FRM-SHAFT", shaft, Plain(0.25, 0.25, 0.28, 40, 0.5));
    return p;
}

}  // namespace

std::vector<Prop> BuildProps() {
    return {{"hat.x", Hat()},   {"sword.x", Sword()}, {"ball.x", Ball()},        {"chair.x", Chair()},
            {"book.x", Book()}, {"mug.x", Mug()},     {"umbrella.x", Umbrella()}};
}

}  // namespace datagen
