#pragma once
// Puts the whole sample library together in memory: the files of the two archive volumes (part
// meshes, colour definitions, pose sets, tree definitions, plist.txt lists and their thumbnails)
// and the pictures that lie beside the executable. Texts are code page 932 with CR LF line ends.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "FigureSet.h"
#include "LabelTable.h"
#include "PoseTable.h"
#include "RmThumbnail.h"

namespace datagen {

struct ContentTree {
    // Archive name ("BODY_SIT\ARML\arm.x") -> file bytes, for disk1 and disk2.
    std::map<std::string, std::string> volumes[2];
    // Path relative to the executable's folder ("TEXTURE/eye_01a.bmp", the pose files
    // "POSE/STAND.mrp") -> file bytes.
    std::map<std::string, std::string> pictures;
};

std::optional<ContentTree> BuildContent(const std::vector<Pose>& poses, const LabelTable& labels,
                                        std::string* error);

// The parts of a pose set's figure (the first variant of every folder) for the renderer, and the
// view its pictures are taken from.
std::vector<RmPart> FigureParts(const std::vector<PartFolder>& folders);
RmView PoseView();

// The colour definition name of a mesh path: its last character replaced by "txt".
std::string ColourDefinitionName(const std::string& meshPath);

}  // namespace datagen
