#include "scene/CameraViews.h"

#include <algorithm>
#include <cmath>

#include "platform/rm/VectorMath.h"

namespace scene {

namespace {

struct Basis {
    rm::Vector right, up, forward;
};

// The camera's axes for a direction and an up, as a frame's orientation makes them.
Basis BasisOf(const rm::Vector& direction, const rm::Vector& up) {
    Basis b;
    b.forward = rm::Normalized(direction);
    b.up = rm::Normalized(rm::Sub(up, rm::Scale(b.forward, rm::Dot(up, b.forward))));
    b.right = rm::Cross(b.up, b.forward);
    return b;
}

rm::Vector Corner(const rm::Box& box, int i) {
    return {i & 1 ? box.max.x : box.min.x, i & 2 ? box.max.y : box.min.y, i & 4 ? box.max.z : box.min.z};
}

rm::Vector Centre(const rm::Box& box) {
    return rm::Scale(rm::Add(box.min, box.max), 0.5f);
}

// The share of the picture the box fills from a camera at `eye` with axes `b`; 0 when a corner is
// not beyond the front plane.
double Share(const rm::Box& box, const rm::Vector& eye, const Basis& b, const Projection& p) {
    const double s = std::max(p.width, p.height) / 2.0;
    double left = 0, right = 0, top = 0, bottom = 0;
    for (int i = 0; i < 8; ++i) {
        const rm::Vector o = rm::Sub(Corner(box, i), eye);
        const double z = rm::Dot(o, b.forward);
        if (!(z > p.front)) return 0;
        const double x = s * p.front * rm::Dot(o, b.right) / (p.field * z);
        const double y = s * p.front * rm::Dot(o, b.up) / (p.field * z);
        if (i == 0) {
            left = right = x;
            top = bottom = y;
        }
        left = std::min(left, x);
        right = std::max(right, x);
        bottom = std::min(bottom, y);
        top = std::max(top, y);
    }
    return std::max((right - left) / p.width, (top - bottom) / p.height);
}

FramePlacement Placement(const rm::Vector& eye, const Basis& b) {
    FramePlacement f;
    f.position[0] = eye.x, f.position[1] = eye.y, f.position[2] = eye.z;
    f.direction[0] = b.forward.x, f.direction[1] = b.forward.y, f.direction[2] = b.forward.z;
    f.up[0] = b.up.x, f.up[1] = b.up.y, f.up[2] = b.up.z;
    return f;
}

}  // namespace

void StandardViewAxes(StandardView view, rm::Vector* direction, rm::Vector* up) {
    // The camera of a new scene looks along +z at the figure, whose right hand is on the camera's
    // left (-x). Right looks from the scene's right (+x) towards -x; top looks down with +z up the
    // picture, so the figure's front is at the bottom; bottom looks up with the front at the top.
    switch (view) {
        case StandardView::Front: *direction = {0, 0, 1}, *up = {0, 1, 0}; break;
        case StandardView::Back: *direction = {0, 0, -1}, *up = {0, 1, 0}; break;
        case StandardView::Right: *direction = {-1, 0, 0}, *up = {0, 1, 0}; break;
        case StandardView::Left: *direction = {1, 0, 0}, *up = {0, 1, 0}; break;
        case StandardView::Top: *direction = {0, -1, 0}, *up = {0, 0, 1}; break;
        case StandardView::Bottom: *direction = {0, 1, 0}, *up = {0, 0, -1}; break;
    }
}

std::optional<StandardView> StandardViewNamed(std::string_view name) {
    constexpr std::pair<std::string_view, StandardView> kNames[] = {
        {"front", StandardView::Front}, {"back", StandardView::Back},   {"right", StandardView::Right},
        {"left", StandardView::Left},   {"top", StandardView::Top},     {"bottom", StandardView::Bottom},
    };
    for (const auto& [text, view] : kNames)
        if (name == text) return view;
    return std::nullopt;
}

FramePlacement StandardCamera() { return FramePlacement{}; }

FramePlacement FramedCamera(const rm::Box& box, const rm::Vector& direction, const rm::Vector& up,
                            const Projection& projection, double fill) {
    const Basis b = BasisOf(direction, up);
    const rm::Vector centre = Centre(box);
    // Nearest: every corner beyond the front plane (with a little room).
    double nearest = 0;
    for (int i = 0; i < 8; ++i)
        nearest = std::max(nearest, -double(rm::Dot(rm::Sub(Corner(box, i), centre), b.forward)));
    nearest += projection.front * 1.001 + 1e-3;
    auto eyeAt = [&](double distance) { return rm::Sub(centre, rm::Scale(b.forward, float(distance))); };
    auto share = [&](double distance) { return Share(box, eyeAt(distance), b, projection); };
    if (!(share(nearest) > fill)) return Placement(eyeAt(nearest), b);
    // The share falls as the camera backs away: halve the distance's interval until it is found.
    double near = nearest, far = nearest * 2;
    while (share(far) > fill && far < 1e9) far *= 2;
    for (int i = 0; i < 60; ++i) {
        const double middle = (near + far) / 2;
        (share(middle) > fill ? near : far) = middle;
    }
    return Placement(eyeAt(far), b);
}

double FilledShare(const rm::Box& box, const FramePlacement& camera, const Projection& projection) {
    const rm::Vector eye{camera.position[0], camera.position[1], camera.position[2]};
    const Basis b = BasisOf({camera.direction[0], camera.direction[1], camera.direction[2]},
                            {camera.up[0], camera.up[1], camera.up[2]});
    return Share(box, eye, b, projection);
}

}  // namespace scene
