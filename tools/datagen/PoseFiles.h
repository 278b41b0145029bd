#pragma once
// The pose file (base/PoseFile.h) of a pose set, so that a person can put a figure of any pose set
// into any other pose: each part's placement relative to its parent part is the matrix of the link
// frame it hangs on (an animated link at the time the scene shows), taken through the frames of the
// parent part's file; the body, the figure's root part, sits unturned in the frame it hangs on.

#include <string>
#include <vector>

#include "FigureSet.h"

namespace datagen {

// The bytes of the pose file of the pose set whose folders are `folders` (BuildPoseFolders).
std::string PoseFileOf(const std::vector<PartFolder>& folders);

}  // namespace datagen
