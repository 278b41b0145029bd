#pragma once
// Draws meshes into a picture for thumbnails and previews: perspective projection, back faces
// culled, a depth buffer, colours lit per vertex (one directional light plus ambient, Lambert and
// specular) and interpolated across faces, textures sampled at the interpolated coordinates.
// Output depends only on the input, so pictures are the same on every run.

#include <QImage>
#include <vector>

#include "FrameNode.h"

namespace datagen {

struct Drawable {
    const Mesh* mesh = nullptr;
    Mat4 world;
    Surface surface;
    const QImage* texture = nullptr;
};

struct ViewSpec {
    Vec3 direction{0.30, -0.22, 1.0};  // from the camera towards the subject
    double fill = 0.82;                // share of the picture the subject's extent takes
    double field = 0.35;               // tan of half the view angle
};

QImage PaintMeshes(const std::vector<Drawable>& items, int width, int height, const ViewSpec& view,
                   QRgb backgroundTop, QRgb backgroundBottom);

}  // namespace datagen
