#pragma once
// Cutting a screen segment to a rectangle, for the lines the edit view draws itself (the boxes of
// a drag, the floor grid): what is left of a line lies inside, so no huge value is ever turned into
// an integer and nothing is drawn outside the rectangle.

#include <algorithm>

// The part [t0, t1] of the segment a + t·(b - a), 0 <= t <= 1, inside [loX, hiX] x [loY, hiY]
// (Liang-Barsky); false when nothing is left.
inline bool ClipSegmentRange(double ax, double ay, double bx, double by, double loX, double loY, double hiX,
                             double hiY, double* t0, double* t1) {
    double from = 0, to = 1;
    const double dx = bx - ax, dy = by - ay;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {ax - loX, hiX - ax, ay - loY, hiY - ay};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            from = std::max(from, t);
        else
            to = std::min(to, t);
        if (from > to) return false;
    }
    *t0 = from;
    *t1 = to;
    return true;
}

// Cuts the segment a-b to [loX, hiX] x [loY, hiY]; false when nothing is left.
inline bool ClipSegment(double& ax, double& ay, double& bx, double& by, double loX, double loY, double hiX,
                        double hiY) {
    double t0, t1;
    if (!ClipSegmentRange(ax, ay, bx, by, loX, loY, hiX, hiY, &t0, &t1)) return false;
    const double dx = bx - ax, dy = by - ay;
    bx = ax + t1 * dx;
    by = ay + t1 * dy;
    ax = ax + t0 * dx;
    ay = ay + t0 * dy;
    return true;
}
