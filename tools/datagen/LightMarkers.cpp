#include "LightMarkers.h"

namespace datagen {

namespace {

Surface Housing() {
    return {{0.55, 0.55, 0.58, 1}, 40, {0.5, 0.5, 0.5, 1}, {0, 0, 0, 1}};
}
Surface Lamp() {
    return {{1.0, 1.0, 0.85, 1}, 1000, {0, 0, 0, 1}, {0.8, 0.8, 0.6, 1}};
}

PartFile Arrow() {
    PartFile p;
    p.top.name = "FRM-SUNPART";
    // Shaft along +z (the direction the light shines), head at the front end.
    Mesh shaft = Capsule({0, 0, -1.2}, {0, 0, 0.6}, 0.09, 10);
    std::vector<Ring> head = {{0.0, 0.01, 0.01, 0.01, 0, 0, 0}, {-0.7, 0.32, 0.32, 0.32, 0, 0, 0}};
    LoftOptions o;
    o.segments = 12;
    o.capEnd = true;
    Mesh cone = Loft(head, o);
    cone.Transform(Mat4::Rotation({1, 0, 0}, 90) * Mat4::Translation({0, 0, 1.3}));
    shaft.Append(cone);
    p.top.MeshChild("FRM-SUNARROW", shaft, Housing());
    p.top.MeshChild("IRO", Ellipsoid({0, 0, -1.45}, {0.35, 0.35, 0.35}, 12, 6), Lamp());
    return p;
}

PartFile Bulb(int k) {
    PartFile p;
    p.top.name = "FRM-POINT" + std::to_string(k) + "PART";
    Mesh cap = Loft({{0.55, 0.16, 0.16, 0.16, 0, 0, 0}, {0.25, 0.2, 0.2, 0.2, 0, 0, 0}}, [] {
        LoftOptions o;
        o.segments = 12;
        o.capStart = o.capEnd = true;
        return o;
    }());
    p.top.MeshChild("FRM-POINT" + std::to_string(k) + "CAP", cap, Housing());
    p.top.MeshChild("IRO", Ellipsoid({0, 0, 0}, {0.32, 0.36, 0.32}, 12, 6), Lamp());
    return p;
}

}  // namespace

std::vector<Marker> BuildLightMarkers() {
    std::vector<Marker> m;
    m.push_back({"LIGHT4\\", "arrow.x", Arrow()});
    for (int k = 1; k <= 3; ++k) m.push_back({"LIGHT" + std::to_string(k) + "\\", "POINT.X", Bulb(k)});
    return m;
}

}  // namespace datagen
