#pragma once
// Looking around the scene with the edit camera: turning it about a point (turntable style: about
// the world's up axis and the camera's own right axis, held short of straight up and straight
// down), sliding it in its own plane under the pointer, and moving it toward the point under the
// pointer. Pure geometry on the camera's placement in the scene's coordinates (left-handed, +y
// up), with the picture's projection as the edit view's main viewport has it. Nothing here
// touches a frame, a document or a window.

#include "platform/rm/Types.h"
#include "scene/SceneFile.h"

namespace nav {

// What the main viewport's projection needs: its front plane, its field and its rectangle in the
// window, in pixels. A point at (x, y) and depth z in the camera's frame lands s·front·x / (field·z)
// pixels right of the rectangle's middle, s being half its longer side (and as far up for y).
struct Lens {
    double front = 10.0;
    double field = 1.5;
    double x = 0.0;
    double y = 0.0;
    double width = 640.0;
    double height = 480.0;
};

// How far the view axis may tilt from the horizontal: a little short of straight down or up, so
// that the turntable never turns the picture over.
inline constexpr double kPoleStopDegrees = 88.0;
// One wheel notch brings the camera this much nearer the point under the pointer (the distance
// divides by it), or takes it as much farther.
inline constexpr double kZoomRatio = 1.15;
// A wheel's notch in the units of its angle delta.
inline constexpr int kWheelNotch = 120;

// Radians of turn per pixel of drag: a full turn across the picture's width.
double TurnPerPixel(const Lens& lens);

// The depth of a point along the camera's view axis (negative behind the camera).
double DepthOf(const scene::FramePlacement& camera, const rm::Vector& point);
// The point at `depth` along the view axis that shows at pixel (sx, sy).
rm::Vector PointUnder(const scene::FramePlacement& camera, const Lens& lens, double sx, double sy,
                      double depth);
// The point `distance` ahead of the camera on its view axis.
rm::Vector PointAhead(const scene::FramePlacement& camera, double distance);

// The camera turned about `pivot`: `turn` radians about the world's +y axis (positive: the scene
// turns as if dragged to the right, so its near side goes right), then `tilt` radians about the
// camera's right axis (positive: the camera rises and looks further down, as if the scene were
// dragged down). The tilt stops where the view axis is kPoleStopDegrees from the horizontal; a
// camera already beyond that may only come back. The pivot keeps its place in the picture and
// the camera its distance to the pivot; a camera without roll keeps none.
scene::FramePlacement Orbit(const scene::FramePlacement& camera, const rm::Vector& pivot, double turn,
                            double tilt);

// The camera slid in its own plane so that `grabbed` shows at pixel (sx, sy), at its own depth.
// A grabbed point at or behind the camera plane leaves the camera where it is.
scene::FramePlacement Pan(const scene::FramePlacement& camera, const Lens& lens, const rm::Vector& grabbed,
                          double sx, double sy);

// The camera moved toward (notches > 0) or away from (notches < 0) the point under pixel (sx, sy)
// at the pivot's depth, so that point stays under the pixel: the pivot's depth divides by
// kZoomRatio per notch. Nearer than twice the front plane the camera does not go (so it never
// passes the pivot), and not so far that the pivot goes beyond `farthest`; a camera already outside
// that range is only let back in. The lens is not changed. A pivot at or behind the camera plane
// leaves the camera where it is.
scene::FramePlacement Zoom(const scene::FramePlacement& camera, const Lens& lens, const rm::Vector& pivot,
                           double sx, double sy, int notches, double farthest);

}  // namespace nav
