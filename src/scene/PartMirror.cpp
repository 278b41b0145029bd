#include "scene/PartMirror.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "base/Cp932.h"
#include "scene/PartObject.h"
#include "scene/PartPlacement.h"

namespace scene {

namespace {

// The side a folder name stands for: its last character when that is a single-byte L or R. Names
// are code page 932: the second byte of a two-byte character may look like a letter (腕 is
// 0x98 0x72), so only whole characters are looked at.
char SideOfName(std::string_view name) {
    const std::string_view last = cp932::LastChar(name);
    if (last.size() != 1) return 0;
    const char side = char(std::toupper(static_cast<unsigned char>(last.front())));
    return side == 'L' || side == 'R' ? side : 0;
}

// The end of the folder name that starts at `start` (the next separator outside two-byte
// characters, or the end of the path).
std::size_t NameEnd(std::string_view path, std::size_t start) {
    const std::size_t end = cp932::FindChar(path, '\\', start);
    return end == std::string_view::npos ? path.size() : end;
}

// The folder path of `part` below the root part's folder; empty for the root itself or for a part
// whose folder does not lie below it.
std::string RelativeFolder(const CPartObject& root, const CPartObject& part) {
    const std::string& base = root.m_folder;
    const std::string& folder = part.m_folder;
    if (folder.size() <= base.size() ||
        !cp932::EqualsNoCase(std::string_view(folder).substr(0, base.size()), base))
        return {};
    return folder.substr(base.size());
}

// The side of the innermost sided folder name of a relative path (0 for neither side).
char SideOfPath(std::string_view relative) {
    char side = 0;
    for (std::size_t start = 0; start < relative.size();) {
        const std::size_t end = NameEnd(relative, start);
        if (const char s = SideOfName(relative.substr(start, end - start))) side = s;
        start = end + 1;
    }
    return side;
}

}  // namespace

std::string MirrorFolderPath(std::string_view relative) {
    std::string mirrored(relative);
    bool changed = false;
    for (std::size_t start = 0; start < mirrored.size();) {
        const std::size_t end = NameEnd(mirrored, start);
        if (const char side = SideOfName(std::string_view(mirrored).substr(start, end - start))) {
            // A sided name ends in the single-byte letter itself.
            char& last = mirrored[end - 1];
            const bool lower = std::islower(static_cast<unsigned char>(last)) != 0;
            const char other = side == 'L' ? 'R' : 'L';
            last = lower ? char(std::tolower(other)) : other;
            changed = true;
        }
        start = end + 1;
    }
    return changed ? mirrored : std::string();
}

CPartObject& FigureRoot(CPartObject& part) {
    CPartObject* root = &part;
    while (root->GetParent()) root = root->GetParent();
    return *root;
}

std::vector<MirrorAssignment> PlanMirror(CPartObject& selected, MirrorKind kind) {
    CPartObject& root = FigureRoot(selected);
    // Every part of the figure by its folder below the root, in capitals.
    std::map<std::string, CPartObject*> byFolder;
    root.ForEachInTree([&](CPartObject* p) {
        std::string key = cp932::ToUpper(RelativeFolder(root, *p));
        if (!key.empty()) byFolder.emplace(std::move(key), p);
    });
    auto partnerOf = [&](const CPartObject& p) -> CPartObject* {
        const std::string key = cp932::ToUpper(MirrorFolderPath(RelativeFolder(root, p)));
        const auto it = key.empty() ? byFolder.end() : byFolder.find(key);
        return it == byFolder.end() || it->second == &p ? nullptr : it->second;
    };

    const char selectedSide = SideOfPath(RelativeFolder(root, selected));
    std::vector<MirrorAssignment> plan;
    auto planned = [&plan](const CPartObject* p) {
        return std::any_of(plan.begin(), plan.end(), [p](const MirrorAssignment& a) { return a.target == p; });
    };
    selected.ForEachInTree([&](CPartObject* p) {
        CPartObject* partner = partnerOf(*p);
        if (!partner) return;
        if (kind == MirrorKind::SwapSides) {
            if (planned(p)) return;
            plan.push_back({partner, p});
            plan.push_back({p, partner});
            return;
        }
        // Copying: from the selected side, or from the left when the selection has no side.
        const char side = SideOfPath(RelativeFolder(root, *p));
        if (side == (selectedSide ? selectedSide : 'L')) plan.push_back({partner, p});
    });
    return plan;
}

rm::Matrix4 ReflectedPlacement(const rm::Matrix4& placement) {
    rm::Matrix4 r = placement;
    // S M S with S = diag(-1, 1, 1, 1): the entries that mix x with another axis change sign.
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            if ((row == 0) != (col == 0)) r.m[row][col] = -r.m[row][col];
    return r;
}

void ApplyMirror(const std::vector<MirrorAssignment>& plan) {
    std::vector<rm::Matrix4> placements;
    placements.reserve(plan.size());
    for (const MirrorAssignment& a : plan) placements.push_back(ReflectedPlacement(PlacementInParentPart(*a.source)));
    for (std::size_t i = 0; i < plan.size(); ++i) SetPlacementInParentPart(*plan[i].target, placements[i]);
}

}  // namespace scene
