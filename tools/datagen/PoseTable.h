#pragma once
// The pose sets of the figure, read from the hand-written table data/content/poses.txt: for each
// pose its name, its Japanese label and the turns of its joints, some of them animated.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Math3.h"

namespace datagen {

struct JointKey {
    int time = 0;
    Vec3 degrees;
};

struct Pose {
    std::string name;                                   // STAND, SIT, ...
    std::string label;                                  // UTF-8
    std::map<std::string, Vec3> turns;                  // degrees about x, y, z
    std::map<std::string, std::vector<JointKey>> keys;  // animated joints

    // The turn of a joint as the scene shows it (animated joints at time 50).
    Mat4 Turn(const std::string& joint) const;
    bool Animated(const std::string& joint) const { return keys.count(joint) != 0; }
};

Mat4 TurnMatrix(const Vec3& degrees);

// Parses the table; on a malformed line returns nothing and describes it in `error`.
std::optional<std::vector<Pose>> ParsePoseTable(const std::string& text, std::string* error);

}  // namespace datagen
