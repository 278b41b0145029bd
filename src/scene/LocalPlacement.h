#pragma once
// A frame's placement in its parent as nine floats (position, direction, up), as undo snapshots
// keep it, and putting it back.

#include <array>

#include "platform/rm/Frame.h"

namespace scene {

inline std::array<float, 9> LocalPlacementOf(const rm::Frame& frame) {
    rm::Vector position, direction{0, 0, 1}, up{0, 1, 0};
    frame.GetPosition(nullptr, &position);
    frame.GetOrientation(nullptr, &direction, &up);
    return {position.x, position.y, position.z, direction.x, direction.y, direction.z, up.x, up.y, up.z};
}

inline void PlaceLocally(rm::Frame& frame, const std::array<float, 9>& p) {
    frame.SetPosition(nullptr, p[0], p[1], p[2]);
    frame.SetOrientation(nullptr, p[3], p[4], p[5], p[6], p[7], p[8]);
}

}  // namespace scene
