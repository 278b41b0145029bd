#include "PoseFiles.h"

#include "base/PoseFile.h"

namespace datagen {

namespace {

// The time of the animation keys the scene shows.
constexpr int kSceneTime = 50;

// The frame's matrix as the scene shows it: an animated frame at the scene's time.
Mat4 ShownMatrix(const PartFile& part, const FrameNode& frame) {
    for (const AnimationKeys& keys : part.animations)
        if (keys.frame == frame.name)
            for (std::size_t i = 0; i < keys.times.size() && i < keys.poses.size(); ++i)
                if (keys.times[i] == kSceneTime) return keys.poses[i];
    return frame.matrix;
}

// The matrix of the frame `name` in `node`'s coordinates (the frames between included); false
// when no frame below `node` has that name.
bool LinkInNode(const PartFile& part, const FrameNode& node, const std::string& name, Mat4& out) {
    for (const FrameNode& child : node.children) {
        if (child.name == name) {
            out = ShownMatrix(part, child);
            return true;
        }
        Mat4 below;
        if (LinkInNode(part, child, name, below)) {
            out = below * ShownMatrix(part, child);
            return true;
        }
    }
    return false;
}

pose::Placement ToPlacement(const Mat4& m) {
    pose::Placement p;
    for (std::size_t row = 0; row < 4; ++row)
        for (std::size_t col = 0; col < 3; ++col) p[row * 3 + col] = static_cast<float>(m.m[row][col]);
    return p;
}

// The folder of the part a folder's part hangs on: the folder one level up.
std::string ParentFolder(const std::string& folder) {
    const std::size_t end = folder.size() >= 2 ? folder.rfind('\\', folder.size() - 2) : std::string::npos;
    return end == std::string::npos ? std::string() : folder.substr(0, end + 1);
}

}  // namespace

std::string PoseFileOf(const std::vector<PartFolder>& folders) {
    pose::PoseData data;
    if (folders.empty()) return {};
    const std::string& root = folders.front().folder;
    for (const PartFolder& f : folders) {
        if (f.folder == root) {
            data.parts.push_back({"", ToPlacement(Mat4{})});
            continue;
        }
        const std::string parentFolder = ParentFolder(f.folder);
        for (const PartFolder& parent : folders) {
            Mat4 link;
            if (parent.folder == parentFolder &&
                LinkInNode(parent.variants.front().part, parent.variants.front().part.top, "FRM-" + f.joint, link))
                data.parts.push_back({f.folder.substr(root.size()), ToPlacement(link)});
        }
    }
    const std::vector<std::uint8_t> bytes = pose::WritePose(data);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace datagen
