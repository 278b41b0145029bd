#pragma once
// Where the edit camera stands: the place of a new scene, the standard views 3D tools share (front,
// back, right, left, top, bottom) and framing a box so that it fills a share of the picture. Pure
// geometry in the scene's coordinates (left-handed, +y up; a new scene's camera looks along +z at
// the figure, which faces it). The edit view and the batch command use the same answers.

#include <optional>
#include <string_view>

#include "platform/rm/Types.h"
#include "scene/SceneFile.h"

namespace scene {

enum class StandardView { Front, Back, Right, Left, Top, Bottom };

// The camera's direction (its z axis) and up (its y axis) in a standard view.
void StandardViewAxes(StandardView view, rm::Vector* direction, rm::Vector* up);
// "front", "back", "right", "left", "top", "bottom"; nothing for another word.
std::optional<StandardView> StandardViewNamed(std::string_view name);

// What a view's projection needs: the front plane, the field (Viewport::SetField) and the picture's
// size in pixels. A point at (x, y) and depth z in the camera's frame lands s·front·x / (field·z)
// pixels from the middle, s being half the longer side.
struct Projection {
    double front = 10.0;
    double field = 1.5;
    double width = 640.0;
    double height = 480.0;
};

// The camera of a new scene: at the origin, looking along +z with +y up.
FramePlacement StandardCamera();

// The camera looking along `direction` (with `up`) at the middle of `box` (scene coordinates) from
// where the box's picture fills `fill` of the picture's width or height, whichever it reaches first
// (never nearer than the front plane allows). An empty or degenerate box is looked at from as near.
FramePlacement FramedCamera(const rm::Box& box, const rm::Vector& direction, const rm::Vector& up,
                            const Projection& projection, double fill = 0.8);

// The share of the picture's width or height (the larger) that the box fills seen from `camera`;
// 0 when a corner lies at or behind the front plane.
double FilledShare(const rm::Box& box, const FramePlacement& camera, const Projection& projection);

}  // namespace scene
