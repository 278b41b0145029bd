// The camera's standard views and framing, checked against the 3D library's own projection: a
// viewport of the picture's size on a camera placed where the framing says shows the box's corners
// over 80 % of the picture's width or height, all of it inside the picture.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/rm/Library.h"
#include "platform/surface/Surface.h"
#include "scene/CameraViews.h"

namespace {

using scene::FramePlacement;
using scene::StandardView;

struct Extent {
    double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    bool allInFront = true;
};

// Where the box's corners land in a picture of the projection's size seen from `camera`.
Extent Projected(const rm::Box& box, const FramePlacement& camera, const scene::Projection& p) {
    rm::Ref<rm::Library> lib = rm::Library::Create();
    auto target = surface::Surface::Create(std::uint32_t(p.width), std::uint32_t(p.height),
                                           surface::PixelFormat::FromBits(32));
    rm::Ref<rm::Device> device = lib->CreateDeviceFromSurface(nullptr, nullptr, target.Get());
    rm::Ref<rm::Frame> root = lib->CreateFrame(nullptr);
    rm::Ref<rm::Frame> eye = lib->CreateFrame(root.Get());
    eye->SetPosition(nullptr, camera.position[0], camera.position[1], camera.position[2]);
    eye->SetOrientation(nullptr, camera.direction[0], camera.direction[1], camera.direction[2], camera.up[0],
                        camera.up[1], camera.up[2]);
    rm::Ref<rm::Viewport> viewport =
        lib->CreateViewport(device.Get(), eye.Get(), 0, 0, std::uint32_t(p.width), std::uint32_t(p.height));
    viewport->SetPlanes(float(p.front), 1e6f);
    viewport->SetField(float(p.field));
    Extent e;
    for (int i = 0; i < 8; ++i) {
        const rm::Vector corner{i & 1 ? box.max.x : box.min.x, i & 2 ? box.max.y : box.min.y,
                                i & 4 ? box.max.z : box.min.z};
        rm::Vector4 s{};
        viewport->Transform(&s, &corner);
        e.allInFront = e.allInFront && s.w > p.front;
        e.left = std::min(e.left, double(s.x / s.w));
        e.right = std::max(e.right, double(s.x / s.w));
        e.top = std::min(e.top, double(s.y / s.w));
        e.bottom = std::max(e.bottom, double(s.y / s.w));
    }
    return e;
}

constexpr StandardView kViews[] = {StandardView::Front, StandardView::Back, StandardView::Right,
                                   StandardView::Left,  StandardView::Top,  StandardView::Bottom};

}  // namespace

TEST(CameraViews, EveryStandardViewFramesTheBoxToFourFifthsOfThePicture) {
    const rm::Box figure{{-4, -9, 50}, {4, 9, 58}};   // tall: the height limits
    const rm::Box table{{-20, -2, 40}, {20, 2, 70}};  // wide and flat
    const rm::Box far{{100, 100, 300}, {140, 180, 330}};  // away from the origin
    const scene::Projection projections[] = {{10, 4, 640, 480}, {10, 1.5, 320, 480}, {5, 7, 1280, 720}};
    for (const rm::Box& box : {figure, table, far})
        for (const scene::Projection& p : projections)
            for (StandardView view : kViews) {
                rm::Vector direction, up;
                scene::StandardViewAxes(view, &direction, &up);
                const FramePlacement camera = scene::FramedCamera(box, direction, up, p);
                const Extent e = Projected(box, camera, p);
                const double share = std::max((e.right - e.left) / p.width, (e.bottom - e.top) / p.height);
                SCOPED_TRACE(testing::Message() << "view " << int(view) << ", picture " << p.width << "x" << p.height
                                                << ", box at " << box.min.x);
                EXPECT_TRUE(e.allInFront);
                EXPECT_GE(share, 0.75);
                EXPECT_LE(share, 0.85);
                EXPECT_NEAR(scene::FilledShare(box, camera, p), share, 1e-3);
                // The box is in the middle of the picture and inside it.
                EXPECT_NEAR((e.left + e.right) / 2, p.width / 2, p.width * 0.1);
                EXPECT_NEAR((e.top + e.bottom) / 2, p.height / 2, p.height * 0.1);
                EXPECT_GE(e.left, 0);
                EXPECT_LE(e.right, p.width);
            }
}

TEST(CameraViews, TheStandardViewsLookAlongTheSceneAxes) {
    // Direction and up, and which way the scene's +x lies in the picture (the camera's x axis).
    const struct {
        StandardView view;
        rm::Vector direction, up, pictureRight;
    } rows[] = {
        {StandardView::Front, {0, 0, 1}, {0, 1, 0}, {1, 0, 0}},   {StandardView::Back, {0, 0, -1}, {0, 1, 0}, {-1, 0, 0}},
        {StandardView::Right, {-1, 0, 0}, {0, 1, 0}, {0, 0, 1}},  {StandardView::Left, {1, 0, 0}, {0, 1, 0}, {0, 0, -1}},
        {StandardView::Top, {0, -1, 0}, {0, 0, 1}, {1, 0, 0}},    {StandardView::Bottom, {0, 1, 0}, {0, 0, -1}, {1, 0, 0}},
    };
    for (const auto& row : rows) {
        rm::Vector direction, up;
        scene::StandardViewAxes(row.view, &direction, &up);
        EXPECT_EQ(direction, row.direction) << int(row.view);
        EXPECT_EQ(up, row.up) << int(row.view);
        // A point to the picture's right of the box's middle lands right of the middle.
        const rm::Box box{{-1, -1, -1}, {1, 1, 1}};
        const FramePlacement camera = scene::FramedCamera(box, direction, up, {});
        const rm::Box right{row.pictureRight, row.pictureRight};
        const Extent e = Projected(right, camera, {});
        EXPECT_GT(e.left, 320) << int(row.view);
    }
    EXPECT_EQ(scene::StandardViewNamed("right"), StandardView::Right);
    EXPECT_EQ(scene::StandardViewNamed("Right"), std::nullopt);
}

TEST(CameraViews, ABoxTooSmallToFillThePictureIsLookedAtFromJustBeyondTheFrontPlane) {
    const rm::Box dot{{0, 0, 30}, {0.01f, 0.01f, 30.01f}};
    rm::Vector direction, up;
    scene::StandardViewAxes(StandardView::Front, &direction, &up);
    const scene::Projection p{10, 40, 640, 480};  // a very wide lens
    const FramePlacement camera = scene::FramedCamera(dot, direction, up, p);
    const Extent e = Projected(dot, camera, p);
    EXPECT_TRUE(e.allInFront);
    EXPECT_LT(scene::FilledShare(dot, camera, p), 0.8);
    EXPECT_LT(30 - camera.position[2], 10.1) << "as near as the front plane allows";
}
