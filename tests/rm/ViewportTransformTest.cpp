// Viewport projection: hand-computed points, exact round trips and the one-pixel property.

#include <gtest/gtest.h>

#include "RmTestUtil.h"
#include "platform/rm/Library.h"

using namespace rm;
using rmtest::ExpectNear;
using rmtest::kPi;

namespace {

class ViewportTransformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        target = surface::Surface::Create(320, 240, surface::PixelFormat::FromBits(32));
        device = lib->CreateDeviceFromSurface(nullptr, nullptr, target.Get());
        ASSERT_TRUE(device);
        scene = lib->CreateFrame(nullptr);
        camera = lib->CreateFrame(scene.Get());
    }
    Ref<Viewport> Make(std::int32_t x, std::int32_t y, std::uint32_t w, std::uint32_t h) {
        return lib->CreateViewport(device.Get(), camera.Get(), x, y, w, h);
    }
    Ref<Library> lib = Library::Create();
    Ref<surface::Surface> target;
    Ref<Device> device;
    Ref<Frame> scene;
    Ref<Frame> camera;
};

TEST_F(ViewportTransformTest, HandComputedProjection) {
    Ref<Viewport> vp = Make(0, 0, 200, 100);
    ASSERT_TRUE(vp);
    EXPECT_EQ(vp->GetFront(), 1.0f);
    EXPECT_EQ(vp->GetBack(), 100.0f);
    EXPECT_EQ(vp->GetField(), 0.5f);
    // s = 100; (0.5, 0, 1): sx = 100 + 100 * 0.5 / 0.5 = 200, depth 0 at the front plane.
    Vector p{0.5f, 0, 1};
    Vector4 h;
    ASSERT_EQ(vp->Transform(&h, &p), D3DRM_OK);
    EXPECT_FLOAT_EQ(h.w, 1);
    EXPECT_FLOAT_EQ(h.x / h.w, 200);
    EXPECT_FLOAT_EQ(h.y / h.w, 50);
    EXPECT_FLOAT_EQ(h.z / h.w, 0);
    // (0, 1, 100) at the back plane: sy = 50 - 100 * 1 / (0.5 * 100) = 48, depth 1.
    p = {0, 1, 100};
    vp->Transform(&h, &p);
    EXPECT_FLOAT_EQ(h.y / h.w, 48);
    EXPECT_FLOAT_EQ(h.z / h.w, 1);
}

TEST_F(ViewportTransformTest, FieldSpansTheLongerSideAndFollowsTheCamera) {
    Ref<Viewport> vp = Make(0, 0, 100, 200);
    vp->SetFront(10);
    vp->SetField(4);
    camera->SetPosition(nullptr, 5, 0, 0);
    camera->AddRotation(D3DRMCOMBINE_BEFORE, 0, 1, 0, kPi / 2);  // looking along world +x
    // 20 units ahead at 0.4 * 20 = 8 units up reaches the top edge of the longer (vertical) side.
    Vector p{25, 8, 0};
    Vector4 h;
    vp->Transform(&h, &p);
    EXPECT_NEAR(h.x / h.w, 50, 1e-4);
    EXPECT_NEAR(h.y / h.w, 0, 1e-4);
}

TEST_F(ViewportTransformTest, SettersRefuseBadValues) {
    Ref<Viewport> vp = Make(0, 0, 10, 10);
    EXPECT_NE(vp->SetFront(0), D3DRM_OK);
    EXPECT_NE(vp->SetFront(-1), D3DRM_OK);
    EXPECT_NE(vp->SetBack(1), D3DRM_OK);  // back must exceed front (1)
    EXPECT_NE(vp->SetField(0), D3DRM_OK);
    EXPECT_EQ(vp->SetBack(2), D3DRM_OK);
    EXPECT_EQ(vp->GetFront(), 1.0f);
    EXPECT_EQ(vp->GetBack(), 2.0f);
    EXPECT_EQ(vp->GetField(), 0.5f);
    EXPECT_FALSE(Make(0, 0, 0, 10));
    EXPECT_FALSE(Make(300, 0, 21, 10));  // leaves the 320-wide device
}

struct CameraPlaneCase {
    const char* name;
    Vector world;
    float w;   // zc
    float xw;  // cx * zc + s * D * xc / h with cx = 100, s = 100, D = 1, h = 0.5
};

// Both planes at once take settings beyond the current back (which SetFront alone refuses) and
// refuse an unordered pair whole.
TEST_F(ViewportTransformTest, SetPlanesTakesBothPlanesOrNeither) {
    struct Row {
        float front, back;
        bool taken;
    };
    const Row rows[] = {{150, 300, true}, {20, 40, true}, {50, 50, false}, {60, 30, false}, {0, 10, false}};
    Ref<Viewport> v = Make(0, 0, 320, 240);
    float front = v->GetFront(), back = v->GetBack();
    for (const Row& r : rows) {
        EXPECT_EQ(v->SetPlanes(r.front, r.back) == D3DRM_OK, r.taken) << r.front << " " << r.back;
        if (r.taken) {
            front = r.front;
            back = r.back;
        }
        EXPECT_EQ(v->GetFront(), front);
        EXPECT_EQ(v->GetBack(), back);
    }
}

TEST_F(ViewportTransformTest, PointsInOrBehindTheCameraPlaneSucceedWithWAtMostZero) {
    // The camera sits at (0, 0, 10) looking along +z, so zc = z - 10.
    Ref<Viewport> vp = Make(0, 0, 200, 100);
    camera->SetPosition(nullptr, 0, 0, 10);
    const CameraPlaneCase cases[] = {
        {"in the camera plane", {0.5f, 0, 10}, 0, 100},  // 0 + 100 * 0.5 / 0.5
        {"behind the camera", {1, 0, 5}, -5, -300},      // -500 + 100 * 1 / 0.5
        {"in front", {1, 0, 12}, 2, 400},                // 200 + 200
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Vector4 h{7, 7, 7, 7};
        ASSERT_EQ(vp->Transform(&h, &c.world), D3DRM_OK);
        EXPECT_FLOAT_EQ(h.w, c.w);
        EXPECT_FLOAT_EQ(h.x, c.xw);
    }
    // w = 0 cannot be undone.
    const Vector4 inPlane{100, 0, 0, 0};
    Vector back;
    EXPECT_EQ(vp->InverseTransform(&back, &inPlane), D3DRMERR_BADVALUE);
}

struct Rect4 {
    std::int32_t x, y;
    std::uint32_t w, h;
};

TEST_F(ViewportTransformTest, RoundTripAndOnePixelMovesAtSeveralDepthsAndRectangles) {
    const Rect4 rects[] = {{0, 0, 320, 240}, {40, 30, 240, 180}, {100, 0, 120, 240}, {7, 11, 64, 200}};
    const float depths[] = {10.5f, 20, 55, 150, 199};
    camera->SetPosition(nullptr, 1, 2, -3);
    camera->AddRotation(D3DRMCOMBINE_BEFORE, 0.3f, 1, 0.1f, 0.4f);
    for (const Rect4& r : rects) {
        Ref<Viewport> vp = Make(r.x, r.y, r.w, r.h);
        ASSERT_TRUE(vp);
        vp->SetFront(10);
        vp->SetBack(200);
        vp->SetField(1.5f);
        for (float z : depths) {
            Vector local{2.0f, -1.5f, z};
            Vector world;
            camera->Transform(&world, &local);
            Vector4 h;
            ASSERT_EQ(vp->Transform(&h, &world), D3DRM_OK);
            Vector back;
            ASSERT_EQ(vp->InverseTransform(&back, &h), D3DRM_OK);
            ExpectNear(back, world, 1e-3f * z);
            for (const auto& [dx, dy] : {std::pair{1.0f, 0.0f}, {0.0f, 1.0f}, {-3.0f, 2.0f}}) {
                Vector4 moved{h.x + dx * h.w, h.y + dy * h.w, h.z, h.w};
                Vector q;
                ASSERT_EQ(vp->InverseTransform(&q, &moved), D3DRM_OK);
                Vector4 h2;
                vp->Transform(&h2, &q);
                EXPECT_NEAR(h2.x / h2.w - h.x / h.w, dx, 2e-3f) << r.x << "," << r.y << " z " << z;
                EXPECT_NEAR(h2.y / h2.w - h.y / h.w, dy, 2e-3f);
                EXPECT_NEAR(h2.z / h2.w, h.z / h.w, 1e-5f);
                EXPECT_NEAR(h2.w, h.w, 1e-3f * z);
            }
        }
    }
}

TEST_F(ViewportTransformTest, CentreOfTheViewportIsTheCameraAxisEvenOffTheOrigin) {
    Ref<Viewport> vp = Make(100, 20, 120, 90);
    Vector p{0, 0, 30};
    Vector4 h;
    vp->Transform(&h, &p);
    EXPECT_FLOAT_EQ(h.x / h.w, 160);
    EXPECT_FLOAT_EQ(h.y / h.w, 65);
}

}  // namespace
