#pragma once
// Puts the whole sample library together in memory: the files of the two archive volumes (part
// meshes, colour definitions, pose sets, tree definitions, plist.txt lists and their thumbnails)
// and the pictures that lie beside the executable. Texts are code page 932 with CR LF line ends.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "LabelTable.h"
#include "PoseTable.h"

namespace datagen {

struct ContentTree {
    // Archive name ("BODY_SIT\ARML\arm.x") -> file bytes, for disk1 and disk2.
    std::map<std::string, std::string> volumes[2];
    // Path relative to the executable's folder ("TEXTURE/eye_01a.bmp") -> file bytes.
    std::map<std::string, std::string> pictures;
};

std::optional<ContentTree> BuildContent(const std::vector<Pose>& poses, const LabelTable& labels,
                                        std::string* error);

// The colour definition name of a mesh path: its last character replaced by "txt".
std::string ColourDefinitionName(const std::string& meshPath);

}  // namespace datagen
