#pragma once
// A figure's pose as a pose file (base/PoseFile.h) and back: every part of the figure by its
// folder below the figure's root part, with its placement relative to its parent part
// (PartPlacement.h). Applying matches the folders without regard to case and leaves the parts the
// file does not name alone.

#include <string>
#include <vector>

#include "base/PoseFile.h"
#include "platform/rm/Types.h"

class CPartObject;

namespace scene {

// The pose of the figure whose root part is `root`, parents before children.
pose::PoseData CaptureFigurePose(CPartObject& root);

// One part that a pose sets and the placement it takes.
struct PoseAssignment {
    CPartObject* part = nullptr;
    rm::Matrix4 placement;
};

struct PosePlan {
    std::vector<PoseAssignment> assignments;
    int partsNotFound = 0;  // parts of the pose that the figure does not have
};

// What applying `pose` to the figure of `root` sets.
PosePlan PlanFigurePose(CPartObject& root, const pose::PoseData& pose);
void ApplyFigurePose(const PosePlan& plan);

}  // namespace scene
