#include "FigureSet.h"

#include <algorithm>

#include "Figure.h"

namespace datagen {

namespace {

bool IsJoint(const std::string& frameName, std::string* joint) {
    if (frameName.rfind("FRM-", 0) != 0) return false;
    const std::string j = frameName.substr(4);
    const auto& names = JointNames();
    if (std::find(names.begin(), names.end(), j) == names.end()) return false;
    *joint = j;
    return true;
}

// Static link matrices carry the pose; a joint that the pose animates keeps its rest placement in
// the frame and gets its turns as animation keys, so the scene shows the pose only by reading the
// animation at time 50.
void AnimateLinks(PartFile& part, const Pose& pose) {
    for (auto& child : part.top.children) {
        std::string joint;
        if (!IsJoint(child.name, &joint) || !pose.Animated(joint)) continue;
        const Vec3 offset = JointOffset(joint);
        child.matrix = Mat4::Translation(offset);
        AnimationKeys keys;
        keys.frame = child.name;
        for (const auto& k : pose.keys.at(joint)) {
            keys.times.push_back(k.time);
            keys.poses.push_back(TurnMatrix(k.degrees).WithOrigin(offset));
        }
        part.animations.push_back(keys);
    }
}

}  // namespace

std::vector<PartFolder> BuildPoseFolders(const Pose& pose) {
    const LinkMatrix link = [&pose](const std::string& joint) {
        return pose.Turn(joint).WithOrigin(JointOffset(joint));
    };
    const std::string root = "BODY_" + pose.name + "\\";
    std::vector<PartFolder> folders;
    auto add = [&](const std::string& kind, const std::string& joint, const std::string& folder,
                   std::vector<PartVariant> variants) {
        for (auto& v : variants) AnimateLinks(v.part, pose);
        folders.push_back({kind, joint, folder, std::move(variants)});
    };
    auto numbered = [](const std::string& stem, int i) {
        return stem + (i ? std::to_string(i + 1) : "") + ".x";
    };

    std::vector<PartVariant> bodies, heads;
    for (int i = 0; i < BodyVariants(); ++i) bodies.push_back({numbered("body", i), i, BuildBody(i, link)});
    for (int i = 0; i < HeadVariants(); ++i) heads.push_back({numbered("head", i), i, BuildHead(i)});
    add("BODY", "", root, std::move(bodies));
    add("HEAD", "HEAD", root + "HEAD\\", std::move(heads));
    for (char side : {'L', 'R'}) {
        const std::string s(1, side);
        const std::string arm = root + "ARM" + s + "\\", farm = arm + "FARM" + s + "\\",
                          hand = farm + "HAND" + s + "\\";
        add("ARM", "ARM" + s, arm, {{"arm.x", 0, BuildUpperArm(side, link)}});
        add("FARM", "FARM" + s, farm, {{"farm.x", 0, BuildForearm(side, link)}});
        std::vector<PartVariant> hands;
        for (int i = 0; i < HandVariants(); ++i)
            hands.push_back({numbered("hand", i), i, BuildHand(side, i)});
        add("HAND", "HAND" + s, hand, std::move(hands));
    }
    for (char side : {'L', 'R'}) {
        const std::string s(1, side);
        const std::string leg = root + "LEG" + s + "\\", shin = leg + "SHIN" + s + "\\",
                          foot = shin + "FOOT" + s + "\\";
        add("LEG", "LEG" + s, leg, {{"leg.x", 0, BuildThigh(side, link)}});
        add("SHIN", "SHIN" + s, shin, {{"shin.x", 0, BuildShin(side, link)}});
        add("FOOT", "FOOT" + s, foot, {{"foot.x", 0, BuildFoot(side)}});
    }
    return folders;
}

}  // namespace datagen
