#include "scene/PartPoses.h"

#include <cctype>
#include <map>

#include "scene/PartObject.h"
#include "scene/PartPlacement.h"

namespace scene {

namespace {

std::string Upper(std::string text) {
    for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The part's folder below the root part's folder ("" for the root part itself); parts outside
// the root's folder keep their whole folder.
std::string FolderBelow(const CPartObject& root, const CPartObject& part) {
    if (&part == &root) return {};
    const std::string& base = root.m_folder;
    const std::string& folder = part.m_folder;
    if (folder.size() > base.size() && Upper(folder.substr(0, base.size())) == Upper(base))
        return folder.substr(base.size());
    return folder;
}

pose::Placement ToPlacement(const rm::Matrix4& m) {
    pose::Placement p;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 3; ++col) p[std::size_t(row * 3 + col)] = m.m[row][col];
    return p;
}

rm::Matrix4 ToMatrix(const pose::Placement& p) {
    rm::Matrix4 m;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 3; ++col) m.m[row][col] = p[std::size_t(row * 3 + col)];
        m.m[row][3] = row == 3 ? 1.0f : 0.0f;
    }
    return m;
}

}  // namespace

pose::PoseData CaptureFigurePose(CPartObject& root) {
    pose::PoseData pose;
    root.ForEachInTree([&](CPartObject* part) {
        if (part->GetFrame()) pose.parts.push_back({FolderBelow(root, *part), ToPlacement(PlacementInParentPart(*part))});
    });
    return pose;
}

PosePlan PlanFigurePose(CPartObject& root, const pose::PoseData& pose) {
    std::map<std::string, CPartObject*> byFolder;
    root.ForEachInTree([&](CPartObject* part) {
        if (part->GetFrame()) byFolder.emplace(Upper(FolderBelow(root, *part)), part);
    });
    PosePlan plan;
    for (const pose::PartPose& entry : pose.parts) {
        const auto it = byFolder.find(Upper(entry.folder));
        if (it == byFolder.end())
            ++plan.partsNotFound;
        else
            plan.assignments.push_back({it->second, ToMatrix(entry.placement)});
    }
    return plan;
}

void ApplyFigurePose(const PosePlan& plan) {
    // Each placement is relative to the parent part, so the order of the parts does not matter.
    for (const PoseAssignment& a : plan.assignments) SetPlacementInParentPart(*a.part, a.placement);
}

}  // namespace scene
