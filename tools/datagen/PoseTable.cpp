#include "PoseTable.h"

#include <algorithm>
#include <sstream>

#include "Figure.h"

namespace datagen {

Mat4 TurnMatrix(const Vec3& d) {
    return Mat4::Rotation({1, 0, 0}, d.x) * Mat4::Rotation({0, 1, 0}, d.y) * Mat4::Rotation({0, 0, 1}, d.z);
}

Mat4 Pose::Turn(const std::string& joint) const {
    if (auto k = keys.find(joint); k != keys.end()) {
        for (const auto& key : k->second)
            if (key.time == 50) return TurnMatrix(key.degrees);
    }
    if (auto t = turns.find(joint); t != turns.end()) return TurnMatrix(t->second);
    return Mat4{};
}

std::optional<std::vector<Pose>> ParsePoseTable(const std::string& text, std::string* error) {
    std::vector<Pose> poses;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    const auto& joints = JointNames();
    auto fail = [&](const std::string& why) {
        if (error) *error = "line " + std::to_string(number) + ": " + why;
        return std::nullopt;
    };
    while (std::getline(lines, line)) {
        ++number;
        if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string first;
        if (!(words >> first)) continue;
        if (first == "POSE") {
            Pose p;
            if (!(words >> p.name >> p.label)) return fail("POSE needs a name and a label");
            poses.push_back(p);
            continue;
        }
        if (poses.empty()) return fail("joint before the first POSE");
        Pose& pose = poses.back();
        if (first == "ANIM") {
            std::string joint;
            words >> joint;
            if (std::find(joints.begin(), joints.end(), joint) == joints.end())
                return fail("unknown joint " + joint);
            std::vector<JointKey> keys;
            JointKey k;
            while (words >> k.time >> k.degrees.x >> k.degrees.y >> k.degrees.z) keys.push_back(k);
            const bool hasFifty =
                std::any_of(keys.begin(), keys.end(), [](const JointKey& x) { return x.time == 50; });
            if (keys.size() < 2 || !hasFifty) return fail("ANIM needs keys including time 50");
            pose.keys[joint] = keys;
            continue;
        }
        if (std::find(joints.begin(), joints.end(), first) == joints.end())
            return fail("unknown joint " + first);
        Vec3 d;
        if (!(words >> d.x >> d.y >> d.z)) return fail("a joint needs three angles");
        pose.turns[first] = d;
    }
    if (poses.empty()) return fail("no pose");
    return poses;
}

}  // namespace datagen
