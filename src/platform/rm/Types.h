#pragma once
// Value types and constants of the retained-mode library. Left-handed coordinates (+x right,
// +y up, +z into the screen), row vectors: a point maps to its parent as [x y z 1] * M.

#include <cstdint>

#include "platform/surface/Counted.h"

namespace rm {

using platform::Ref;
using platform::RefCast;
using D3DVALUE = float;

struct Vector {
    float x = 0, y = 0, z = 0;
    friend bool operator==(const Vector&, const Vector&) = default;
};
using D3DVECTOR = Vector;

struct Vector4 {
    float x = 0, y = 0, z = 0, w = 0;
};

// m[row][col]: rows 0-2 are a frame's axes in its parent, row 3 its origin; last column 0,0,0,1.
struct Matrix4 {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    friend bool operator==(const Matrix4&, const Matrix4&) = default;
};
using D3DRMMATRIX4D = Matrix4;

struct Box {
    Vector min;
    Vector max;
    friend bool operator==(const Box&, const Box&) = default;
};

// Rotation quaternion (s, v) = (cos(theta/2), sin(theta/2) * axis); the same rotation as the
// axis-angle matrix of Frame::SetRotation.
struct Quaternion {
    float s = 1;
    Vector v;
};

enum CombineType : std::uint32_t {
    D3DRMCOMBINE_REPLACE = 0,
    D3DRMCOMBINE_BEFORE = 1,
    D3DRMCOMBINE_AFTER = 2
};

enum LightType : std::uint32_t {
    D3DRMLIGHT_AMBIENT = 0,
    D3DRMLIGHT_POINT = 1,
    D3DRMLIGHT_SPOT = 2,  // lit like a point light
    D3DRMLIGHT_DIRECTIONAL = 3,
    D3DRMLIGHT_PARALLELPOINT = 4,  // lit like a directional light
};

// Render quality = shade + lights + fill.
enum : std::uint32_t {
    D3DRMSHADE_FLAT = 0,
    D3DRMSHADE_GOURAUD = 1,
    D3DRMSHADE_PHONG = 2,
    D3DRMSHADE_MASK = 7,
    D3DRMLIGHT_OFF = 0,
    D3DRMLIGHT_ON = 8,
    D3DRMLIGHT_MASK = 0x38,
    D3DRMFILL_POINTS = 0,
    D3DRMFILL_WIREFRAME = 0x40,
    D3DRMFILL_SOLID = 0x80,
    D3DRMFILL_MASK = 0x1C0,
    D3DRMRENDER_WIREFRAME = 0x40,
    D3DRMRENDER_UNLITFLAT = 0x80,
    D3DRMRENDER_FLAT = 0x88,
    D3DRMRENDER_GOURAUD = 0x89,
    D3DRMRENDER_PHONG = 0x8A,
};

enum : std::uint32_t {
    D3DRMCLEAR_TARGET = 1,
    D3DRMCLEAR_ZBUFFER = 2,
    D3DRMCLEAR_DIRTYRECTS = 4,
    D3DRMCLEAR_ALL = 7
};

enum : std::uint32_t {
    D3DRMTEXTURE_NEAREST = 0,
    D3DRMTEXTURE_LINEAR = 1,
    D3DRMTEXTURE_MIPNEAREST = 2,
    D3DRMTEXTURE_MIPLINEAR = 3,
    D3DRMTEXTURE_LINEARMIPNEAREST = 4,
    D3DRMTEXTURE_LINEARMIPLINEAR = 5,
};

// Render mode flags of Device::SetRenderMode.
enum : std::uint32_t { D3DRMRENDERMODE_BLENDEDTRANSPARENCY = 1, D3DRMRENDERMODE_SORTEDTRANSPARENCY = 2 };

// Animation options.
enum : std::uint32_t {
    D3DRMANIMATION_OPEN = 1,
    D3DRMANIMATION_CLOSED = 2,
    D3DRMANIMATION_LINEARPOSITION = 4,
    D3DRMANIMATION_SPLINEPOSITION = 8,
    D3DRMANIMATION_SCALEANDROTATION = 0x10,
    D3DRMANIMATION_POSITION = 0x20,
};

// Result codes (the platform's values).
enum Result : std::uint32_t {
    D3DRM_OK = 0,
    D3DRMERR_BADVALUE = 0x88760313,
    D3DRMERR_BADOBJECT = 0x88760312,
    D3DRMERR_NOTFOUND = 0x88760318,
    D3DRMERR_BADFILE = 0x8876031C,
    D3DRMERR_NOTDONEYET = 0x88760320,
    D3DRMERR_BADDEVICE = 0x8876032A,
};
inline bool Succeeded(std::uint32_t r) {
    return (r & 0x80000000u) == 0;
}

// 0xAARRGGBB from reals in [0, 1] (each times 255, rounded, clamped).
std::uint32_t CreateColorRGBA(float r, float g, float b, float a);
inline std::uint32_t CreateColorRGB(float r, float g, float b) {
    return CreateColorRGBA(r, g, b, 1.0f);
}

}  // namespace rm
