#pragma once
// The floor grid of the edit view: thin lines on the plane the figure stands on, every fifth one a
// little stronger, fading into the background with distance from the camera and towards the grid's
// rim. The view draws it on the cleared picture before the scene, so every part covers the lines
// behind it. It is a picture of the edit view only: no frame of the scene carries it, so renders,
// the boxes of a drag and framing never see it.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/rm/Types.h"

namespace rm {
class Viewport;
}
namespace surface {
class DeviceContext;
}

struct FloorGrid {
    // Lines every 2 units along x and along z (a figure is about 18 units tall); the lines on
    // multiples of 10 units of the scene are the stronger ones.
    static constexpr float kSpacing = 2.0f;
    static constexpr int kStrongEvery = 5;

    float floorY = 0;   // the plane's height in the scene's coordinates
    float centreX = 0;  // the middle of the grid, on a line crossing
    float centreZ = 0;
    float halfSize = 30;  // the lines reach this far from the middle along x and z

    // The floor through the lowest point of the shown parts (their box in the scene's
    // coordinates), reaching well around them. With no part shown: the plane y = 0 around
    // `standPoint` (where a figure will stand). The middle lies on a line crossing, so the lines
    // keep their places in the scene when the parts move.
    static FloorGrid Under(const std::optional<rm::Box>& shownParts, const rm::Vector& standPoint);
};

// One stretch of a grid line on the screen in one colour (COLORREF), drawn from (x0, y0) up to,
// not including, (x1, y1).
struct GridStroke {
    std::int32_t x0, y0, x1, y1;
    std::uint32_t colorRef;
    bool strong;
};

// The grid seen through the viewport's camera: the lines cut at the viewport's front and back
// planes (so nothing behind the camera turns up mirrored) and to its rectangle, in stretches
// coloured between the line colour and `backgroundRgb` (0x00RRGGBB). Stretches that would not show
// are left out; the stronger lines come last, so they are drawn over the crossings.
std::vector<GridStroke> FloorGridStrokes(const FloorGrid& grid, const rm::Viewport& viewport,
                                         std::uint32_t backgroundRgb);

// Draws the strokes with one-pixel pens; the device context's pen is left as it was.
void DrawGridStrokes(surface::DeviceContext& dc, const std::vector<GridStroke>& strokes);
