#include "view/FloorGrid.h"

#include <algorithm>
#include <cmath>

#include "platform/rm/Viewport.h"
#include "platform/surface/DeviceContext.h"
#include "view/ScreenClip.h"

namespace {

// The floor reaches this far around the shown parts, and at least this far from its middle, so one
// standing figure has room around it; the largest reach bounds the lines to 201 each way.
constexpr float kMargin = 20.0f;
constexpr float kMinHalfSize = 30.0f;
constexpr float kMaxHalfSize = 200.0f;
// A line's colour is worked out once per stretch of its picture this long (in pixels), and at most
// this many times along the line.
constexpr double kStretchPixels = 16.0;
constexpr int kMaxStretches = 64;
// The line colours at full strength, a little lighter than the background grey of the view.
constexpr std::uint32_t kThinRgb = 0x7E7E7E;
constexpr std::uint32_t kStrongRgb = 0x9C9C9C;

double Clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

// The background blended towards the line colour by `strength` (0..1), both 0x00RRGGBB.
std::uint32_t Blend(std::uint32_t lineRgb, std::uint32_t backgroundRgb, double strength) {
    std::uint32_t rgb = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const double line = (lineRgb >> shift) & 0xFF, back = (backgroundRgb >> shift) & 0xFF;
        rgb |= std::uint32_t(back + (line - back) * strength + 0.5) << shift;
    }
    return rgb;
}

std::uint32_t ColorRefOf(std::uint32_t rgb) {
    return (rgb & 0x00FF00) | ((rgb >> 16) & 0xFF) | ((rgb & 0xFF) << 16);
}

struct Homogeneous {
    double x, y, w;
};

Homogeneous Lerp(const Homogeneous& a, const Homogeneous& b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.w + (b.w - a.w) * t};
}

// What the camera and viewport give every line.
struct View {
    const rm::Viewport& viewport;
    rm::Vector eye;         // the camera's place in the scene
    double middleDistance;  // from the camera to the middle of the grid
    double front, back;
    double loX, loY, hiX, hiY;  // the viewport's pixels
};

// How strongly a point of the grid shows: fading out over the outer part of the grid (as a disc
// around the middle) and with distance from the camera beyond the middle's near side.
double Strength(const FloorGrid& grid, const View& view, double x, double z) {
    const double h = grid.halfSize;
    const double fromMiddle2 =
        (x - grid.centreX) * (x - grid.centreX) + (z - grid.centreZ) * (z - grid.centreZ);
    if (fromMiddle2 >= h * h) return 0;
    const double rim = std::min(1.0, (h - std::sqrt(fromMiddle2)) / (0.4 * h));
    const double ex = x - view.eye.x, ey = grid.floorY - view.eye.y, ez = z - view.eye.z;
    const double d = std::sqrt(ex * ex + ey * ey + ez * ez);
    const double far = Clamp01(1.0 - std::max(0.0, d - (view.middleDistance - 0.5 * h)) / (2.5 * h));
    return rim * far;
}

// The part [t0, t1] of the line between the front and back planes (w = zc, the depth along the
// view, is linear along it); false when none of it is there. Cutting before the division keeps
// points behind the camera from turning up mirrored.
bool DepthRange(double wa, double wb, double front, double back, double* t0, double* t1) {
    *t0 = 0;
    *t1 = 1;
    for (const auto& [fa, fb] : {std::pair{wa - front, wb - front}, std::pair{back - wa, back - wb}}) {
        if (!(fa >= 0) && !(fb >= 0)) return false;
        if (fa < 0) *t0 = std::max(*t0, fa / (fa - fb));
        if (fb < 0) *t1 = std::min(*t1, fa / (fa - fb));
    }
    return *t0 < *t1;
}

// The part [t0, t1] of the line from `hs` to `he` that shows: between the front and back planes
// and inside the viewport's rectangle. Its picture is `pixels` long.
bool VisibleRange(const Homogeneous& hs, const Homogeneous& he, const View& view, double* t0, double* t1,
                  double* pixels) {
    double d0, d1;
    if (!DepthRange(hs.w, he.w, view.front, view.back, &d0, &d1)) return false;
    const Homogeneous a = Lerp(hs, he, d0), b = Lerp(hs, he, d1);
    const double ax = a.x / a.w, ay = a.y / a.w, bx = b.x / b.w, by = b.y / b.w;
    if (!std::isfinite(ax) || !std::isfinite(ay) || !std::isfinite(bx) || !std::isfinite(by)) return false;
    double u0, u1;
    if (!ClipSegmentRange(ax, ay, bx, by, view.loX, view.loY, view.hiX, view.hiY, &u0, &u1)) return false;
    *pixels = std::hypot(bx - ax, by - ay) * (u1 - u0);
    // A fraction u of the picture between a and b is the fraction u·wa / (u·wa + (1 - u)·wb) of
    // the line between them (the division by the depth makes the far part shorter).
    auto along = [&](double u) { return d0 + (d1 - d0) * (u * a.w / (u * a.w + (1 - u) * b.w)); };
    *t0 = along(u0);
    *t1 = along(u1);
    return *t0 < *t1;
}

// The strokes of one grid line from `start` to `end` (scene coordinates on the floor).
void LineStrokes(const FloorGrid& grid, const View& view, const rm::Vector& start, const rm::Vector& end,
                 std::uint32_t lineRgb, std::uint32_t backgroundRgb, bool strong,
                 std::vector<GridStroke>& out) {
    rm::Vector4 s{}, e{};
    if (view.viewport.Transform(&s, &start) != rm::D3DRM_OK ||
        view.viewport.Transform(&e, &end) != rm::D3DRM_OK)
        return;
    // Screen x·w, y·w and w are linear along the line in the scene, so every point of it is cut out
    // of the two ends' transforms.
    const Homogeneous hs{s.x, s.y, s.w}, he{e.x, e.y, e.w};
    double t0, t1, pixels;
    if (!VisibleRange(hs, he, view, &t0, &t1, &pixels)) return;
    // The colour is worked out once per stretch of the picture.
    const int stretches = std::clamp(int(pixels / kStretchPixels) + 1, 1, kMaxStretches);
    auto screen = [&](double t) {
        const Homogeneous h = Lerp(hs, he, t);
        // Inside the rectangle but for rounding, which the clamp takes back.
        return std::pair{std::clamp(h.x / h.w, view.loX, view.hiX),
                         std::clamp(h.y / h.w, view.loY, view.hiY)};
    };
    // A stretch that goes on from the last one in the same colour lengthens its stroke.
    bool goesOn = false;
    auto [ax, ay] = screen(t0);
    for (int i = 1; i <= stretches; ++i) {
        const double from = t0 + (t1 - t0) * (i - 1) / stretches, to = t0 + (t1 - t0) * i / stretches;
        const auto [bx, by] = screen(to);
        const double middle = (from + to) / 2;
        const std::uint32_t rgb = Blend(
            lineRgb, backgroundRgb,
            Strength(grid, view, start.x + (end.x - start.x) * middle, start.z + (end.z - start.z) * middle));
        const GridStroke stroke{std::int32_t(ax), std::int32_t(ay), std::int32_t(bx),
                                std::int32_t(by), ColorRefOf(rgb),  strong};
        ax = bx;
        ay = by;
        if (rgb == backgroundRgb) {
            goesOn = false;
            continue;
        }
        GridStroke* last = goesOn ? &out.back() : nullptr;
        if (last && last->colorRef == stroke.colorRef) {
            last->x1 = stroke.x1;
            last->y1 = stroke.y1;
        } else {
            out.push_back(stroke);
        }
        goesOn = true;
    }
}

}  // namespace

FloorGrid FloorGrid::Under(const std::optional<rm::Box>& shownParts, const rm::Vector& standPoint) {
    FloorGrid grid;
    double x = standPoint.x, z = standPoint.z, reach = kMinHalfSize;
    const bool usable = shownParts && std::isfinite(shownParts->min.x) && std::isfinite(shownParts->min.y) &&
                        std::isfinite(shownParts->min.z) && std::isfinite(shownParts->max.x) &&
                        std::isfinite(shownParts->max.y) && std::isfinite(shownParts->max.z);
    if (usable) {
        const rm::Box& box = *shownParts;
        grid.floorY = box.min.y;
        x = (double(box.min.x) + box.max.x) / 2;
        z = (double(box.min.z) + box.max.z) / 2;
        reach = std::max(double(box.max.x) - box.min.x, double(box.max.z) - box.min.z) / 2 + kMargin;
    }
    if (!std::isfinite(x) || !std::isfinite(z)) x = z = 0;
    grid.centreX = float(std::round(x / kSpacing) * kSpacing);
    grid.centreZ = float(std::round(z / kSpacing) * kSpacing);
    grid.halfSize =
        float(std::clamp(std::ceil(reach / kSpacing) * kSpacing, double(kMinHalfSize), double(kMaxHalfSize)));
    return grid;
}

std::vector<GridStroke> FloorGridStrokes(const FloorGrid& grid, const rm::Viewport& viewport,
                                         std::uint32_t backgroundRgb) {
    backgroundRgb &= 0xFFFFFF;
    std::vector<GridStroke> strokes;
    const rm::Ref<rm::Frame> camera = viewport.GetCamera();
    if (!camera || viewport.GetWidth() == 0 || viewport.GetHeight() == 0) return strokes;
    const rm::Matrix4 placed = camera->WorldMatrix();
    const rm::Vector eye{placed.m[3][0], placed.m[3][1], placed.m[3][2]};
    // A camera in the floor's plane sees it edge-on: it has no picture, and its lines would all
    // fall on one line across the view. Nearer than this the whole floor is less than a pixel tall
    // (a point of it, at the front plane or beyond, is that far from the horizon's picture).
    const double pixelsPerUnitAtFront =
        std::max(viewport.GetWidth(), viewport.GetHeight()) / 2.0 / viewport.GetField();
    if (!(std::abs(double(eye.y) - grid.floorY) * pixelsPerUnitAtFront >= 1.0)) return strokes;
    const double middle = std::sqrt((grid.centreX - eye.x) * double(grid.centreX - eye.x) +
                                    (grid.floorY - eye.y) * double(grid.floorY - eye.y) +
                                    (grid.centreZ - eye.z) * double(grid.centreZ - eye.z));
    // The last pixel column and row inside: cut points truncate onto pixels of the viewport.
    const View view{viewport,
                    eye,
                    middle,
                    viewport.GetFront(),
                    viewport.GetBack(),
                    double(viewport.GetX()),
                    double(viewport.GetY()),
                    double(viewport.GetX()) + viewport.GetWidth() - 1,
                    double(viewport.GetY()) + viewport.GetHeight() - 1};

    const int lines = int(grid.halfSize / FloorGrid::kSpacing);  // on each side of the middle
    const float reach = lines * FloorGrid::kSpacing;
    // The line through the middle is the n-th of the scene's lines; every fifth is a strong one.
    const long long middleX = std::llround(grid.centreX / FloorGrid::kSpacing);
    const long long middleZ = std::llround(grid.centreZ / FloorGrid::kSpacing);
    auto isStrong = [](long long index) { return index % FloorGrid::kStrongEvery == 0; };
    for (const bool strong : {false, true}) {
        const std::uint32_t lineRgb = strong ? kStrongRgb : kThinRgb;
        for (int k = -lines; k <= lines; ++k) {
            // The grid fades out towards a circle of radius `reach`: each line ends on it.
            const float offset = k * FloorGrid::kSpacing;
            const float half = std::sqrt(std::max(0.0f, reach * reach - offset * offset));
            if (half <= 0) continue;
            const float y = grid.floorY;
            if (isStrong(middleX + k) == strong) {  // a line along z
                const float x = grid.centreX + offset;
                LineStrokes(grid, view, {x, y, grid.centreZ - half}, {x, y, grid.centreZ + half}, lineRgb,
                            backgroundRgb, strong, strokes);
            }
            if (isStrong(middleZ + k) == strong) {  // a line along x
                const float z = grid.centreZ + offset;
                LineStrokes(grid, view, {grid.centreX - half, y, z}, {grid.centreX + half, y, z}, lineRgb,
                            backgroundRgb, strong, strokes);
            }
        }
    }
    return strokes;
}

void DrawGridStrokes(surface::DeviceContext& dc, const std::vector<GridStroke>& strokes) {
    const surface::Pen previous = dc.CurrentPen();
    for (const GridStroke& s : strokes) {
        dc.SelectPen({surface::PS_SOLID, 0, s.colorRef});
        dc.MoveTo(s.x0, s.y0);
        dc.LineTo(s.x1, s.y1);
    }
    dc.SelectPen(previous);
}
