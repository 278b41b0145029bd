#pragma once
// The parts of one pose set: every part file of the figure in its folder, with the alternatives
// of the folders that have them.

#include <string>
#include <vector>

#include "FrameNode.h"
#include "PoseTable.h"

namespace datagen {

struct PartVariant {
    std::string file;  // file name in the folder, e.g. "body2.x"
    int variant = 0;   // index into the label table of the folder kind
    PartFile part;
};

struct PartFolder {
    std::string kind;                   // BODY, HEAD, ARM, FARM, HAND, LEG, SHIN, FOOT
    std::string joint;                  // link name (last folder component), "" for the body
    std::string folder;                 // archive folder with trailing "\", e.g. "BODY_SIT\ARML\"
    std::vector<PartVariant> variants;  // [0] is the one the pose set loads
};

// All folders of a pose, parents before children.
std::vector<PartFolder> BuildPoseFolders(const Pose& pose);

}  // namespace datagen
