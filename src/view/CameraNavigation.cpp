#include "view/CameraNavigation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/rm/VectorMath.h"

namespace nav {

namespace {

constexpr rm::Vector kWorldUp{0, 1, 0};

// The camera's axes as its frame's orientation makes them: z the view axis, y the part of up
// across it, x = y × z.
struct Basis {
    rm::Vector right, up, forward;
};

rm::Vector Eye(const scene::FramePlacement& camera) {
    return {camera.position[0], camera.position[1], camera.position[2]};
}

Basis BasisOf(const scene::FramePlacement& camera) {
    const rm::Vector direction{camera.direction[0], camera.direction[1], camera.direction[2]};
    const rm::Vector up{camera.up[0], camera.up[1], camera.up[2]};
    Basis b;
    b.forward = rm::Normalized(direction);
    b.up = rm::Normalized(rm::Sub(up, rm::Scale(b.forward, rm::Dot(up, b.forward))));
    b.right = rm::Cross(b.up, b.forward);
    return b;
}

scene::FramePlacement Placed(const rm::Vector& eye, const rm::Vector& forward, const rm::Vector& up) {
    scene::FramePlacement p;
    p.position[0] = eye.x, p.position[1] = eye.y, p.position[2] = eye.z;
    p.direction[0] = forward.x, p.direction[1] = forward.y, p.direction[2] = forward.z;
    p.up[0] = up.x, p.up[1] = up.y, p.up[2] = up.z;
    return p;
}

scene::FramePlacement MovedTo(const scene::FramePlacement& camera, const rm::Vector& eye) {
    scene::FramePlacement p = camera;
    p.position[0] = eye.x, p.position[1] = eye.y, p.position[2] = eye.z;
    return p;
}

// The horizontal axis the tilt turns about: across the view axis, on the side of the camera's
// right. Straight up or down the view axis gives no such line and the camera's right, laid flat,
// stands in; false when even that lies along the world's up (a camera on its side looking down).
bool TiltAxis(const Basis& b, rm::Vector* axis) {
    rm::Vector across = rm::Cross(kWorldUp, b.forward);
    if (rm::Length(across) < 1e-6f) across = {b.right.x, 0, b.right.z};
    if (rm::Length(across) < 1e-6f) return false;
    across = rm::Normalized(across);
    *axis = rm::Dot(across, b.right) < 0 ? rm::Scale(across, -1) : across;
    return true;
}

}  // namespace

double TurnPerPixel(const Lens& lens) {
    return 2.0 * std::numbers::pi / std::max(lens.width, 1.0);
}

double DepthOf(const scene::FramePlacement& camera, const rm::Vector& point) {
    return rm::Dot(rm::Sub(point, Eye(camera)), BasisOf(camera).forward);
}

rm::Vector PointUnder(const scene::FramePlacement& camera, const Lens& lens, double sx, double sy,
                      double depth) {
    const Basis b = BasisOf(camera);
    const double s = std::max(lens.width, lens.height) / 2.0;
    const double perPixel = lens.field * depth / (s * lens.front);
    const double xc = (sx - (lens.x + lens.width / 2.0)) * perPixel;
    const double yc = -(sy - (lens.y + lens.height / 2.0)) * perPixel;
    rm::Vector point = rm::Add(Eye(camera), rm::Scale(b.forward, float(depth)));
    point = rm::Add(point, rm::Scale(b.right, float(xc)));
    return rm::Add(point, rm::Scale(b.up, float(yc)));
}

rm::Vector PointAhead(const scene::FramePlacement& camera, double distance) {
    return rm::Add(Eye(camera), rm::Scale(BasisOf(camera).forward, float(distance)));
}

scene::FramePlacement Orbit(const scene::FramePlacement& camera, const rm::Vector& pivot, double turn,
                            double tilt) {
    const Basis b = BasisOf(camera);
    rm::Matrix4 rotation = rm::RotationMatrix(kWorldUp, float(turn));
    rm::Vector axis;
    if (TiltAxis(b, &axis)) {
        // The dip of the view axis below the horizontal, measured along the circle the tilt moves it
        // on (beyond 90° the camera would be over the top, looking back).
        const rm::Vector level = rm::Cross(axis, kWorldUp);
        const double dip = std::atan2(-double(b.forward.y), double(rm::Dot(b.forward, level)));
        const double stop = kPoleStopDegrees * std::numbers::pi / 180.0;
        const double held = std::clamp(dip + tilt, std::min(-stop, dip), std::max(stop, dip));
        // The tilt first, about the axis the camera has now; the turn about +y carries that axis along.
        rotation = rm::Multiply(rm::RotationMatrix(axis, float(held - dip)), rotation);
    }
    const rm::Vector offset = rm::TransformDirection(rm::Sub(Eye(camera), pivot), rotation);
    const rm::Vector forward = rm::Normalized(rm::TransformDirection(b.forward, rotation));
    const rm::Vector up = rm::Normalized(rm::TransformDirection(b.up, rotation));
    return Placed(rm::Add(pivot, offset), forward, up);
}

scene::FramePlacement Pan(const scene::FramePlacement& camera, const Lens& lens, const rm::Vector& grabbed,
                          double sx, double sy) {
    const double depth = DepthOf(camera, grabbed);
    if (!(depth > 0)) return camera;
    // The camera moves by what takes the point now under the pixel onto the grabbed one: both lie at
    // one depth, so the move stays in the camera's plane.
    const rm::Vector under = PointUnder(camera, lens, sx, sy, depth);
    return MovedTo(camera, rm::Add(Eye(camera), rm::Sub(grabbed, under)));
}

scene::FramePlacement Zoom(const scene::FramePlacement& camera, const Lens& lens, const rm::Vector& pivot,
                           double sx, double sy, int notches, double farthest) {
    const double depth = DepthOf(camera, pivot);
    if (!(depth > 0) || notches == 0) return camera;
    const double nearest = 2.0 * lens.front;
    const double wanted = depth * std::pow(kZoomRatio, -double(notches));
    const double held = std::clamp(wanted, std::min(nearest, depth), std::max(farthest, depth));
    // Along the line from the eye through the point under the pixel: that point keeps its place in
    // the picture, and every depth scales by the same factor.
    const rm::Vector target = PointUnder(camera, lens, sx, sy, depth);
    const rm::Vector eye = rm::Add(target, rm::Scale(rm::Sub(Eye(camera), target), float(held / depth)));
    return MovedTo(camera, eye);
}

}  // namespace nav
