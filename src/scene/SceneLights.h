#pragma once
// The five scene lights: names (found again with GetNamedObject), types, initial colours, marker
// parts and the placements the markers get relative to the character root frame.

#include <cstdint>

#include "platform/rm/Types.h"

namespace scene {

struct LightDefinition {
    const char* name;
    rm::LightType type;
    std::uint32_t color;     // 0x00RRGGBB
    const char* markerPath;  // null: carried by the character root frame
    rm::Vector position;
    rm::Vector direction;
    rm::Vector up;
    bool oriented;  // the sun: its marker also gets direction and up
};

inline constexpr int kLightCount = 5;
// Indexed by the number in the light's name ("LIGHTOBJECT@k").
extern const LightDefinition kSceneLights[kLightCount];

}  // namespace scene
