#include <algorithm>

#include "Figure.h"

namespace datagen {

namespace {

struct JointRow {
    const char* name;
    Vec3 offset;  // left side; the right side has x negated
};

// The skeleton of the standing figure: about 20 units from the soles (y = -10) to the top of the
// head, centred on the part origin of the body.
constexpr JointRow kJoints[] = {
    {"HEAD", {0, 6.72, 0.10}}, {"ARML", {1.98, 5.32, 0.05}}, {"FARML", {0, -3.0, 0}},
    {"HANDL", {0, -2.7, 0}},   {"LEGL", {0.95, -0.45, 0}},   {"SHINL", {0, -4.55, 0}},
    {"FOOTL", {0, -4.25, 0}},
};

}  // namespace

Vec3 JointOffset(const std::string& joint) {
    for (const auto& row : kJoints) {
        const std::string name = row.name;
        if (joint == name) return row.offset;
        if (name.back() == 'L' && joint == name.substr(0, name.size() - 1) + "R")
            return {-row.offset.x, row.offset.y, row.offset.z};
    }
    return {};
}

const std::vector<std::string>& JointNames() {
    static const std::vector<std::string> names = {"HEAD",  "ARML",  "ARMR", "FARML", "FARMR",
                                                   "HANDL", "HANDR", "LEGL", "LEGR",  "SHINL",
                                                   "SHINR", "FOOTL", "FOOTR"};
    return names;
}

void MirrorX(FrameNode& node) {
    const Mat4 s = [] {
        Mat4 m;
        m.m[0][0] = -1;
        return m;
    }();
    node.matrix = s * node.matrix * s;
    if (node.hasMesh) {
        for (auto& p : node.mesh.positions) p.x = -p.x;
        for (auto& n : node.mesh.normals) n.x = -n.x;
        for (auto& f : node.mesh.faces) std::reverse(f.begin() + 1, f.end());
    }
    for (auto& c : node.children) MirrorX(c);
}

Ring NeckRing() {
    return {0, 0.50, 0.47, 0.47, 0, 0, 0};
}
Ring ElbowRing() {
    return {0, 0.37, 0.37, 0.37, 0, 0, 0};
}
Ring WristRing() {
    return {0, 0.21, 0.28, 0.28, 0, 0, 0};
}

namespace look {
Surface Skin() {
    return {{1.0, 0.84, 0.72, 1}, 20, {0.18, 0.16, 0.15, 1}, {0, 0, 0, 1}};
}
Surface Hair() {
    return {{0.32, 0.19, 0.10, 1}, 40, {0.35, 0.33, 0.30, 1}, {0, 0, 0, 1}};
}
Surface Eye() {
    return {{1.0, 1.0, 1.0, 1}, 60, {0.6, 0.6, 0.6, 1}, {0, 0, 0, 1}};
}
Surface Mouth() {
    return {{0.86, 0.42, 0.45, 1}, 30, {0.3, 0.3, 0.3, 1}, {0, 0, 0, 1}};
}
Surface Shirt() {
    return {{0.32, 0.52, 0.86, 1}, 12, {0.10, 0.10, 0.10, 1}, {0, 0, 0, 1}};
}
Surface Jacket() {
    return {{0.58, 0.22, 0.24, 1}, 16, {0.15, 0.15, 0.15, 1}, {0, 0, 0, 1}};
}
Surface Dress() {
    return {{0.95, 0.72, 0.30, 1}, 16, {0.15, 0.15, 0.15, 1}, {0, 0, 0, 1}};
}
Surface Trousers() {
    return {{0.22, 0.25, 0.34, 1}, 10, {0.08, 0.08, 0.08, 1}, {0, 0, 0, 1}};
}
Surface Shoes() {
    return {{0.36, 0.22, 0.14, 1}, 50, {0.4, 0.4, 0.4, 1}, {0, 0, 0, 1}};
}
Surface Dark() {
    return {{0.12, 0.12, 0.13, 1}, 50, {0.3, 0.3, 0.3, 1}, {0, 0, 0, 1}};
}
}  // namespace look

}  // namespace datagen
