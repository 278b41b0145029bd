#pragma once
// The parts of one pose set: every part file of the figure in its folder, with the alternatives
// of the folders that have them, and the assembly of a chosen set of parts into world space (for
// pictures and checks).

#include <string>
#include <vector>

#include "FrameNode.h"
#include "Painter.h"
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

// World placement of one part's meshes when the part hangs on `world`; the link frames' world
// matrices (for the pose) are added to `links` by joint name.
void CollectDrawables(const PartFile& part, const Mat4& world, const Pose* pose, std::vector<Drawable>& out,
                      std::vector<std::pair<std::string, Mat4>>* links, const QImage* eyeTexture);

// The whole figure of a pose (variant 0 of every folder) in the coordinates of the character root.
std::vector<Drawable> AssembleFigure(const std::vector<PartFolder>& folders, const Pose& pose,
                                     const QImage* eye);

}  // namespace datagen
