#pragma once
// The plain records passed between the rasteriser's stages:
//   SceneWalk  -> MeshInstance, SceneLight   (world matrices, lights of the hierarchy)
//   Lighting   -> colours per corner or face
//   Clip       -> ClipVertex polygons in camera space, cut by the front/back planes and a guard band
//   Project    -> ScreenVertex (pixels, depth, 1/w, attributes)
//   Setup      -> TriangleSetup (fixed-point edges, attribute planes)
//   Raster     -> pixels through depth test and blend into a RasterTarget

#include <cstdint>

#include "platform/rm/Texture.h"
#include "platform/rm/Types.h"

namespace rm::raster {

// A colour channel 0..255 from a real, rounded; anything out of range (NaN included) is clamped
// before the conversion, so bad input data never reaches an undefined float-to-int cast.
inline std::uint32_t ToChannel(float v) {
    const float c = v > 0.0f ? (v < 255.0f ? v : 255.0f) : 0.0f;
    return static_cast<std::uint32_t>(c + 0.5f);
}

// Colour as reals; r, g, b in [0, 1] after lighting.
struct Rgb {
    float r = 0, g = 0, b = 0;
};

struct ClipVertex {
    Vector pos;        // camera space
    float r, g, b, a;  // colour 0..255
    float u, v;        // texture coordinates
    // The edge from this vertex to the next one of its polygon is (a part of) one of the face's
    // own edges; false for an edge the clipper made along a plane. Wireframe draws only the first.
    bool faceEdge;
};

struct ScreenVertex {
    float x, y;        // pixels
    float z;           // depth 0 (front) .. 1 (back)
    float invW;        // 1 / zc
    float r, g, b, a;  // colour 0..255
    float uw, vw;      // u / zc, v / zc
};

// Where pixels go: the device's 32-bit target and z-buffer, cut to the viewport rectangle.
struct RasterTarget {
    std::uint8_t* color = nullptr;  // top-left pixel of the surface
    std::int32_t pitch = 0;         // bytes per row
    float* depth = nullptr;         // z-buffer, `depthStride` floats per row
    std::int32_t depthStride = 0;
    std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // scissor [x0, x1) x [y0, y1)
};

// How a triangle's pixels are shaded.
struct ShadeMode {
    bool gouraud = false;              // interpolate colour (else the first vertex's colour)
    const Texture* texture = nullptr;  // modulates the colour when set
    bool bilinear = true;              // texture filtering (else the nearest texel)
    bool blend = false;                // alpha-blend over the target, no depth write
};

}  // namespace rm::raster
