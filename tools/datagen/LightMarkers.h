#pragma once
// The marker parts that carry the scene's lights: LIGHT4\arrow.x for the sun (an arrow along the
// light's +z direction) and LIGHTk\POINT.X for the point lights (a bulb). The part of each marker
// that shows the light's colour is the frame named "IRO"; the rest is the housing.

#include <string>
#include <vector>

#include "FrameNode.h"

namespace datagen {

struct Marker {
    std::string folder;  // "LIGHT4\"
    std::string file;    // "arrow.x"
    PartFile part;
};

std::vector<Marker> BuildLightMarkers();

}  // namespace datagen
