#pragma once
// The content of one part file: a tree of named frames, each with its placement and at most one
// mesh in one material, plus the keys of an optional animation set.

#include <string>
#include <vector>

#include "Math3.h"
#include "Mesh.h"

namespace datagen {

struct Colour {
    double r = 1, g = 1, b = 1, a = 1;
};

struct Surface {
    Colour colour;
    double power = 30;
    Colour specular{0.25, 0.25, 0.25, 1};
    Colour emissive{0, 0, 0, 1};
};

struct FrameNode {
    std::string name;  // as written, e.g. "FRM-ARML"
    Mat4 matrix;
    bool hasMesh = false;
    Mesh mesh;
    Surface surface;
    std::vector<FrameNode> children;

    FrameNode& Child(const std::string& childName, const Mat4& m = Mat4{}) {
        children.push_back(FrameNode{childName, m, false, {}, {}, {}});
        return children.back();
    }
    // A leaf frame holding `mesh` in `surface`.
    FrameNode& MeshChild(const std::string& childName, Mesh m, const Surface& s) {
        FrameNode& n = Child(childName);
        n.hasMesh = true;
        n.mesh = std::move(m);
        n.surface = s;
        return n;
    }
    // Depth-first, a frame before its children.
    const FrameNode* Find(const std::string& frameName) const;
    FrameNode* Find(const std::string& frameName);
};

struct AnimationKeys {
    std::string frame;  // name of an animated frame of the same file
    std::vector<int> times;
    std::vector<Mat4> poses;  // rotation and origin at each time
};

struct PartFile {
    FrameNode top;
    std::vector<AnimationKeys> animations;
};

}  // namespace datagen
