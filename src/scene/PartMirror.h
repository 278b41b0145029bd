#pragma once
// Mirror posing: a figure's sides are parts whose folders differ only in a final L or R of their
// folder names below the figure's root part (ARML\FARML\ and ARMR\FARMR\). Mirroring copies the
// placements of one side onto the other, reflected in the figure's left-right plane (its x axis),
// or swaps the two sides. Placements are taken relative to the parent part (PartPlacement.h), so
// a mirrored limb takes the reflected pose whatever the pose set turned its joints to.

#include <string>
#include <string_view>
#include <vector>

#include "platform/rm/Types.h"

class CPartObject;

namespace scene {

enum class MirrorKind {
    CopyToOtherSide,  // the selected side's placements onto the other side
    SwapSides,        // both sides trade placements
};

// One part that a mirror sets, and the part whose placement it takes (reflected).
struct MirrorAssignment {
    CPartObject* target = nullptr;
    CPartObject* source = nullptr;
};

// `relative` with the final L and R of its folder names exchanged ("ARML\FARML\" gives
// "ARMR\FARMR\"); empty when no folder name ends in L or R (the path has no other side).
std::string MirrorFolderPath(std::string_view relative);

// The figure's root part: the part `part` hangs on, followed to the top.
CPartObject& FigureRoot(CPartObject& part);

// What a mirror with `selected` chosen sets. Copying goes from the selected part's side (a part
// of neither side, like the body, copies the figure's left onto its right) for the selected part
// and the parts below it; swapping pairs the selected part and the parts below it with their
// partners. Parts without a partner appear nowhere.
std::vector<MirrorAssignment> PlanMirror(CPartObject& selected, MirrorKind kind);

// The placement reflected in the left-right plane: x negated on both sides.
rm::Matrix4 ReflectedPlacement(const rm::Matrix4& placement);

// Sets every target to its source's reflected placement; all sources are read before any target is
// set, so a swap trades the placements the parts had before it.
void ApplyMirror(const std::vector<MirrorAssignment>& plan);

}  // namespace scene
