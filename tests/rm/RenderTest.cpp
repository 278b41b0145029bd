// Rendering through the software rasteriser: golden images of small canonical scenes, compared
// exactly, and properties that hold for any picture (fill rule, determinism, scissor). Every scene
// is drawn by one thread and by three (the frame then split into bands): the same bytes both ways.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "GoldenImage.h"
#include "RmTestUtil.h"
#include "SceneShapes.h"
#include "platform/rm/Library.h"
#include "platform/rm/WorkerPool.h"
#include "platform/rm/raster/Raster.h"
#include "platform/rm/raster/Setup.h"

using namespace rm;
using rmtest::kPi;

namespace {

class RenderTest : public ::testing::TestWithParam<unsigned> {
  protected:
    void SetUp() override {
        WorkerPool::Shared().SetThreads(GetParam());
        Prepare(160, 120);
    }
    void TearDown() override { WorkerPool::Shared().SetThreads(0); }
    void Prepare(std::uint32_t w, std::uint32_t h) {
        target = surface::Surface::Create(w, h, surface::PixelFormat::FromBits(32));
        device = lib->CreateDeviceFromSurface(nullptr, nullptr, target.Get());
        ASSERT_TRUE(device);
        device->SetQuality(D3DRMRENDER_GOURAUD);
        device->SetRenderMode(3);
        device->SetTextureQuality(D3DRMTEXTURE_MIPLINEAR);  // as the edit view and the render set it
        root = lib->CreateFrame(nullptr);
        scene = lib->CreateFrame(root.Get());
        camera = lib->CreateFrame(root.Get());
        viewport = lib->CreateViewport(device.Get(), camera.Get(), 0, 0, w, h);
        ASSERT_TRUE(viewport);
    }
    // Ambient 0x333333 and a white-ish sun shining from the upper left front.
    void AddSunlight() {
        Ref<Light> ambient = lib->CreateLight(D3DRMLIGHT_AMBIENT, 0x333333);
        scene->AddLight(ambient.Get());
        Ref<Frame> sunFrame = lib->CreateFrame(scene.Get());
        sunFrame->SetOrientation(nullptr, 1, -1, 1, 0, 1, 0);
        Ref<Light> sun = lib->CreateLight(D3DRMLIGHT_DIRECTIONAL, 0xCCCCCC);
        sunFrame->AddLight(sun.Get());
    }
    Ref<Frame> Place(MeshBuilder* mesh, float x, float y, float z) {
        Ref<Frame> f = lib->CreateFrame(scene.Get());
        f->SetPosition(nullptr, x, y, z);
        f->AddVisual(mesh);
        return f;
    }
    Ref<MeshBuilder> LitSphere() {
        Ref<MeshBuilder> sphere = rmtest::MakeEllipsoid(*lib, 1, 1, 1, 16, 10);
        sphere->SetColor(0xFF3080E0);
        Ref<Material> m = lib->CreateMaterial(20);
        sphere->SetMaterial(m.Get());
        return sphere;
    }
    Ref<Texture> Checker() {
        std::vector<std::uint32_t> t(64);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) t[y * 8 + x] = ((x / 2 + y / 2) % 2) ? 0xFFFFFFFF : 0xFFC02020;
        t[0] = 0xFF2020FF;  // marks the top-left texel
        return lib->CreateTexture(8, 8, t);
    }
    // A white quad with the checker texture repeated twice, its top edge tilted towards the camera.
    void DrawTiltedCheckerQuad() {
        device->SetQuality(D3DRMRENDER_UNLITFLAT);
        Ref<MeshBuilder> quad = rmtest::MakeGrid(*lib, 1.5f, 1, 2.0f);
        quad->SetColor(0xFFFFFFFF);
        Ref<Texture> tex = Checker();
        quad->SetTexture(tex.Get());
        Ref<Frame> f = Place(quad.Get(), 0, 0, 4);
        f->AddRotation(D3DRMCOMBINE_BEFORE, 1, 0, 0, -kPi / 3);
        Draw();
    }
    void Draw() {
        viewport->Clear(D3DRMCLEAR_ALL);
        ASSERT_EQ(viewport->Render(root.Get()), D3DRM_OK);
    }
    std::vector<std::uint8_t> Bytes() const {
        return {target->Bits(), target->Bits() + std::size_t(target->Pitch()) * target->Height()};
    }

    Ref<Library> lib = Library::Create();
    Ref<surface::Surface> target;
    Ref<Device> device;
    Ref<Frame> root, scene, camera;
    Ref<Viewport> viewport;
};

INSTANTIATE_TEST_SUITE_P(Threads, RenderTest, ::testing::Values(1u, 3u),
                         [](const ::testing::TestParamInfo<unsigned>& info) {
                             return std::to_string(info.param) + (info.param == 1 ? "Thread" : "Threads");
                         });

struct QualityCase {
    std::uint32_t quality;
    const char* golden;
};

TEST_P(RenderTest, LitSphereInEachQuality) {
    AddSunlight();
    Ref<MeshBuilder> sphere = LitSphere();
    Place(sphere.Get(), 0, 0, 4);
    const QualityCase cases[] = {
        {0, "sphere_points"},
        {D3DRMRENDER_WIREFRAME, "sphere_wireframe"},
        {D3DRMRENDER_FLAT, "sphere_flat"},
        {D3DRMRENDER_GOURAUD, "sphere_gouraud"},
    };
    for (const auto& c : cases) {
        device->SetQuality(c.quality);
        Draw();
        EXPECT_EQ(rmtest::CompareWithGolden(*target, c.golden), "") << c.golden;
    }
}

TEST_P(RenderTest, PhongIsDrawnAsGouraud) {
    AddSunlight();
    Ref<MeshBuilder> sphere = LitSphere();
    Place(sphere.Get(), 0, 0, 4);
    device->SetQuality(D3DRMRENDER_GOURAUD);
    Draw();
    const auto gouraud = Bytes();
    device->SetQuality(D3DRMRENDER_PHONG);
    Draw();
    EXPECT_EQ(Bytes(), gouraud);
}

TEST_P(RenderTest, RenderingIsDeterministic) {
    AddSunlight();
    Ref<MeshBuilder> sphere = LitSphere();
    Place(sphere.Get(), 0.3f, -0.2f, 3.5f);
    Draw();
    const auto first = Bytes();
    Draw();
    EXPECT_EQ(Bytes(), first);
}

TEST_P(RenderTest, TexturedQuadInPerspective) {
    DrawTiltedCheckerQuad();
    EXPECT_EQ(rmtest::CompareWithGolden(*target, "textured_quad"), "");
}

TEST_P(RenderTest, WrapFlagTakesTheShortWayAcrossTheSeam) {
    // Texels red, green, green, blue; u runs 0.9 -> 0.1 across the quad. Wrapped, it passes the
    // seam (blue, then red) and never reaches the green middle; unwrapped it crosses the middle.
    device->SetQuality(D3DRMRENDER_UNLITFLAT);
    const std::uint32_t texels[] = {0xFFFF0000, 0xFF00FF00, 0xFF00FF00, 0xFF0000FF};
    Ref<Texture> tex = lib->CreateTexture(4, 1, texels);
    Ref<MeshBuilder> quad = rmtest::MakeGrid(*lib, 1, 1);
    quad->SetColor(0xFFFFFFFF);
    quad->SetTexture(tex.Get());
    for (std::uint32_t i : {0u, 2u}) quad->SetTextureCoordinates(i, 0.9f, 0);
    for (std::uint32_t i : {1u, 3u}) quad->SetTextureCoordinates(i, 0.1f, 0);
    Place(quad.Get(), 0, 0, 4);
    auto greenest = [&] {
        std::uint32_t best = 0;
        for (std::uint32_t x = 45; x < 115; ++x) best = std::max(best, (target->GetPixel(x, 60) >> 8) & 0xFF);
        return best;
    };
    quad->SetTextureTopology(true, false);
    Draw();
    EXPECT_LT(greenest(), 0x20u);
    quad->SetTextureTopology(false, false);
    Draw();
    EXPECT_GT(greenest(), 0xE0u);
}

TEST_P(RenderTest, NearestTextureQualityShowsOnlyTexelColours) {
    device->SetTextureQuality(D3DRMTEXTURE_NEAREST);
    DrawTiltedCheckerQuad();
    std::set<std::uint32_t> colours;
    for (std::uint32_t y = 0; y < target->Height(); ++y)
        for (std::uint32_t x = 0; x < target->Width(); ++x) colours.insert(target->GetPixel(x, y));
    EXPECT_EQ(colours, (std::set<std::uint32_t>{0x000000, 0xFFFFFF, 0xC02020, 0x2020FF}));
}

TEST_P(RenderTest, PointLightHighlightWithoutFalloff) {
    Ref<Light> ambient = lib->CreateLight(D3DRMLIGHT_AMBIENT, 0x202020);
    scene->AddLight(ambient.Get());
    Ref<Frame> lamp = lib->CreateFrame(scene.Get());
    lamp->SetPosition(nullptr, 0.5f, 0.5f, 4);
    Ref<Light> point = lib->CreateLight(D3DRMLIGHT_POINT, 0xFFFFFF);
    lamp->AddLight(point.Get());
    Ref<MeshBuilder> grid = rmtest::MakeGrid(*lib, 2.5f, 24);
    grid->SetColor(0xFF808080);
    Ref<Material> m = lib->CreateMaterial(10);
    grid->SetMaterial(m.Get());
    Place(grid.Get(), 0, 0, 5);
    Draw();
    EXPECT_EQ(rmtest::CompareWithGolden(*target, "point_light"), "");
}

TEST_P(RenderTest, TwoOverlappingTransparentFaces) {
    device->SetQuality(D3DRMRENDER_UNLITFLAT);
    Ref<MeshBuilder> back = rmtest::MakeGrid(*lib, 1.5f, 1);
    back->SetColor(0xFF20A020);
    Place(back.Get(), 0, 0, 6);
    Ref<MeshBuilder> red = rmtest::MakeGrid(*lib, 0.8f, 1);
    red->SetColor(0x80FF0000);
    Place(red.Get(), -0.4f, 0.2f, 4);
    Ref<MeshBuilder> blue = rmtest::MakeGrid(*lib, 0.8f, 1);
    blue->SetColor(0x800000FF);
    Place(blue.Get(), 0.4f, -0.2f, 5);
    Draw();
    EXPECT_EQ(rmtest::CompareWithGolden(*target, "transparent_faces"), "");
    // Far to near whatever the order of the hierarchy: the same picture with the faces swapped.
    const auto picture = Bytes();
    scene->DeleteChild(scene->Children()[1].Get());
    Place(red.Get(), -0.4f, 0.2f, 4);
    Draw();
    EXPECT_EQ(Bytes(), picture);
}

TEST_P(RenderTest, TriangleCrossingTheFrontPlane) {
    device->SetQuality(D3DRMRENDER_UNLITFLAT);
    Ref<MeshBuilder> tri = lib->CreateMeshBuilder();
    const Vector v[] = {{-2, -1, 0.25f}, {0, 1.5f, 6}, {2, -1, 0.25f}};
    const std::uint32_t faces[] = {3, 0, 0, 1, 0, 2, 0, 0};
    tri->AddFaces(v, {}, faces);
    tri->SetTextureCoordinates(0, 0, 4);
    tri->SetTextureCoordinates(1, 2, 0);
    tri->SetTextureCoordinates(2, 4, 4);
    tri->SetColor(0xFFFFFFFF);
    Ref<Texture> tex = Checker();
    tri->SetTexture(tex.Get());
    Place(tri.Get(), 0, 0, 0);
    Draw();
    EXPECT_EQ(rmtest::CompareWithGolden(*target, "front_plane_crossing"), "");
}

struct PlaneStep {
    bool front;  // SetFront, else SetBack
    float value;
    bool accepted;
    float frontAfter, backAfter;
};

TEST_P(RenderTest, FrontAtOrBeyondBackSettingsAreRefusedAndTheViewStillDraws) {
    // From the defaults front 1, back 100; the planes must stay ordered 0 < front < back.
    const PlaneStep steps[] = {
        {true, 100, false, 1, 100},  // front at the back plane
        {true, 150, false, 1, 100},  // front beyond it
        {false, 1, false, 1, 100},   // back at the front plane
        {false, 0.5f, false, 1, 100}, {true, 3, true, 3, 100}, {false, 3, false, 3, 100},
        {false, 5, true, 3, 5},       {true, 5, false, 3, 5},  {true, 6, false, 3, 5},
        {true, 0, false, 3, 5},
    };
    for (const PlaneStep& s : steps) {
        SCOPED_TRACE(std::string(s.front ? "front " : "back ") + std::to_string(s.value));
        const std::uint32_t r = s.front ? viewport->SetFront(s.value) : viewport->SetBack(s.value);
        EXPECT_EQ(r, s.accepted ? D3DRM_OK : D3DRMERR_BADVALUE);
        EXPECT_EQ(viewport->GetFront(), s.frontAfter);
        EXPECT_EQ(viewport->GetBack(), s.backAfter);
    }
    // A white quad of side 2 at depth 4, between the planes 3 and 5: with field 3 it spans
    // 80 * 3 / 3 * 1 / 4 = 20 pixels either side of the centre.
    ASSERT_EQ(viewport->SetField(3), D3DRM_OK);
    device->SetQuality(D3DRMRENDER_UNLITFLAT);
    Ref<MeshBuilder> quad = rmtest::MakeGrid(*lib, 1, 1);
    quad->SetColor(0xFFFFFFFF);
    Place(quad.Get(), 0, 0, 4);
    Draw();
    int drawn = 0;
    for (std::uint32_t y = 0; y < target->Height(); ++y)
        for (std::uint32_t x = 0; x < target->Width(); ++x) drawn += target->GetPixel(x, y) == 0xFFFFFFu;
    EXPECT_EQ(target->GetPixel(80, 60), 0xFFFFFFu);
    EXPECT_EQ(target->GetPixel(50, 60), 0u);
    EXPECT_NEAR(drawn, 40 * 40, 2 * 40);
}

struct WireCutCase {
    float back;
    std::vector<std::int32_t> cutRows;  // rows of the edges clipping makes (none may be drawn)
    std::int32_t sidesFrom;             // both side edges are visible from this row to 100
    bool farEdge;                       // the far edge (row 73) survives
};

TEST_P(RenderTest, WireframeDrawsOnlyTheFacesOwnEdgesOfAClippedPolygon) {
    // A floor quad at y = -0.25 from z = 0.5 to z = 3, x from -0.25 to 0.25, seen from the origin:
    // s = 80, front 1, field 0.5, so k = 160 and a point at depth z is at sy = 60 + 40 / z,
    // sx = 80 -/+ 40 / z. The side edges run along sx = 140 - sy and sx = sy + 20; the far edge
    // is row 73 (73.3) from column 67 to 93; the front plane cuts the quad along row 100 from
    // column 40 to 120, a back plane at 2 along row 80 from column 60 to 100.
    device->SetQuality(D3DRMRENDER_WIREFRAME);
    Ref<MeshBuilder> floor = lib->CreateMeshBuilder();
    const Vector v[] = {
        {-0.25f, -0.25f, 3}, {0.25f, -0.25f, 3}, {0.25f, -0.25f, 0.5f}, {-0.25f, -0.25f, 0.5f}};
    const std::uint32_t faces[] = {4, 0, 0, 1, 0, 2, 0, 3, 0, 0};  // clockwise on screen
    ASSERT_EQ(floor->AddFaces(v, {}, faces), D3DRM_OK);
    floor->SetColor(0xFFFFFFFF);
    Place(floor.Get(), 0, 0, 0);
    auto line = [&](std::int32_t x, std::int32_t y) {
        for (std::int32_t dx = -1; dx <= 1; ++dx)
            if (target->GetPixel(x + dx, y) == 0xFFFFFFu) return true;
        return false;
    };
    const WireCutCase cases[] = {
        {100, {100}, 74, true},
        {2, {80, 100}, 81, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("back " + std::to_string(c.back));
        ASSERT_EQ(viewport->SetBack(c.back), D3DRM_OK);
        Draw();
        for (std::int32_t row : c.cutRows) {
            // Between the side edges, a few columns in from where they meet the cut.
            const std::int32_t x0 = 140 - row + 5, x1 = row + 20 - 5;
            int drawn = 0;
            for (std::int32_t y = row - 2; y <= row + 2; ++y)
                for (std::int32_t x = x0; x <= x1; ++x) drawn += target->GetPixel(x, y) != 0u;
            EXPECT_EQ(drawn, 0) << "along the cut at row " << row;
        }
        for (std::int32_t y = c.sidesFrom; y <= 100; ++y) {
            EXPECT_TRUE(line(140 - y, y)) << "left side, row " << y;
            EXPECT_TRUE(line(y + 20, y)) << "right side, row " << y;
        }
        for (std::int32_t x = 70; x <= 90; ++x)
            EXPECT_EQ(target->GetPixel(x, 73) == 0xFFFFFFu, c.farEdge) << x;
    }
}

TEST_P(RenderTest, ViewportSmallerThanTheDevice) {
    const std::uint32_t outside = 0x000040;
    ASSERT_EQ(target->Blt(nullptr, nullptr, nullptr, surface::DDBLT_COLORFILL, outside), surface::DD_OK);
    Ref<Viewport> small = lib->CreateViewport(device.Get(), camera.Get(), 40, 30, 80, 60);
    ASSERT_TRUE(small);
    small->SetBackgroundColor(0x606060);
    AddSunlight();
    Ref<MeshBuilder> sphere = LitSphere();
    Place(sphere.Get(), 0.5f, 0, 2.5f);
    small->Clear(D3DRMCLEAR_ALL);
    small->Render(root.Get());
    EXPECT_EQ(rmtest::CompareWithGolden(*target, "small_viewport"), "");
    for (std::uint32_t y = 0; y < target->Height(); ++y)
        for (std::uint32_t x = 0; x < target->Width(); ++x) {
            if (x < 40 || x >= 120 || y < 30 || y >= 90) {
                ASSERT_EQ(target->GetPixel(x, y), outside) << x << "," << y;
            }
        }
}

TEST_P(RenderTest, BadNumbersInMeshDataDrawNothingAndNeverFault) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const Vector v[] = {{nan, 0, 4},  {0, 1, 4},   {1, 0, 4}, {-1e30f, -1e30f, 4}, {1e30f, 1, 1e-30f},
                        {0, -inf, 5}, {-1, -1, 4}, {0, 1, 4}, {1, -1, 4}};
    const Vector n[] = {{nan, nan, nan}, {0, 0, -1}};
    const std::uint32_t faces[] = {3, 0, 0, 1, 1, 2, 1, 3, 3, 1, 4, 1, 1, 1, 3,
                                   5, 1, 1, 1, 2, 1, 3, 6, 0, 7, 0, 8, 0, 0};
    Ref<MeshBuilder> mesh = lib->CreateMeshBuilder();
    ASSERT_EQ(mesh->AddFaces(v, n, faces), D3DRM_OK);
    mesh->SetTextureCoordinates(6, nan, inf);
    mesh->SetTextureCoordinates(7, 1e30f, -1e30f);
    Ref<Texture> tex = Checker();
    mesh->SetTexture(tex.Get());
    Ref<Material> m = lib->CreateMaterial(nan);
    mesh->SetMaterial(m.Get());
    AddSunlight();
    Place(mesh.Get(), 0, 0, 0);
    for (std::uint32_t q : {0u, 0x40u, 0x88u, 0x89u, 0x80u}) {
        device->SetQuality(q);
        Draw();
    }
    // The one sound face (6, 7, 8) is drawn; the faces with bad corners draw nothing. (The sanitizer
    // build checks that no undefined conversion or access happened on the way.)
    EXPECT_LT(device->DepthBuffer()[60 * 160 + 80], 1.0f);
    for (auto [x, y] : {std::pair{2u, 2u}, {157u, 2u}, {2u, 117u}, {157u, 117u}, {80u, 110u}})
        EXPECT_EQ(target->GetPixel(x, y), 0u) << x << "," << y;
}

// A new device's depth reads the back plane (1) everywhere; a viewport's clear sets its own
// rectangle, colour and depth, and leaves the rest of the device as it was. The device is large
// enough for the fills to be shared between threads.
TEST_P(RenderTest, AClearReachesItsViewportAndNothingElse) {
    Prepare(720, 480);
    const std::uint32_t outside = 0x000040;
    ASSERT_EQ(target->Blt(nullptr, nullptr, nullptr, surface::DDBLT_COLORFILL, outside), surface::DD_OK);
    Ref<Viewport> part = lib->CreateViewport(device.Get(), camera.Get(), 13, 50, 700, 421);
    ASSERT_TRUE(part);
    part->SetBackgroundColor(0x606060);
    part->Clear(D3DRMCLEAR_ALL);
    const std::span<const float> depth = device->DepthBuffer();
    ASSERT_EQ(depth.size(), std::size_t{720} * 480);
    for (std::uint32_t y = 0; y < 480; ++y)
        for (std::uint32_t x = 0; x < 720; ++x) {
            const bool inside = x >= 13 && x < 713 && y >= 50 && y < 471;
            ASSERT_EQ(target->GetPixel(x, y), inside ? 0x606060u : outside) << x << "," << y;
            if (inside)
                ASSERT_GT(depth[y * 720 + x], 1.0f) << x << "," << y << ": cleared beyond the back plane";
            else
                ASSERT_EQ(depth[y * 720 + x], 1.0f) << x << "," << y;
        }
}

TEST_P(RenderTest, BackFacesAreCulled) {
    device->SetQuality(D3DRMRENDER_UNLITFLAT);
    Ref<MeshBuilder> quad = rmtest::MakeGrid(*lib, 1, 1);
    quad->SetColor(0xFFFFFFFF);
    Ref<Frame> f = Place(quad.Get(), 0, 0, 4);
    f->AddRotation(D3DRMCOMBINE_BEFORE, 0, 1, 0, kPi);  // now facing away
    Draw();
    for (std::uint32_t y = 0; y < target->Height(); ++y)
        for (std::uint32_t x = 0; x < target->Width(); ++x) ASSERT_EQ(target->GetPixel(x, y), 0u);
}

TEST_P(RenderTest, NearerFacesHideFartherOnesWhateverTheOrder) {
    device->SetQuality(D3DRMRENDER_UNLITFLAT);
    Ref<MeshBuilder> nearQuad = rmtest::MakeGrid(*lib, 1, 1);
    nearQuad->SetColor(0xFFFF0000);
    Ref<MeshBuilder> farQuad = rmtest::MakeGrid(*lib, 1, 1);
    farQuad->SetColor(0xFF00FF00);
    Place(nearQuad.Get(), 0, 0, 4);
    Place(farQuad.Get(), 0, 0, 6);
    Draw();
    EXPECT_EQ(target->GetPixel(80, 60), 0xFF0000u);
}

// Lights keep their colour channels apart: coloured (never grey) ambient and directional lights on
// white and coloured faces seen head-on, the sun shining straight at them. Each channel is the
// face's times the lights' sum, within one step of rounding.
TEST_P(RenderTest, ColouredLightsKeepTheirChannels) {
    const struct {
        const char* what;
        std::uint32_t ambient, sun, face, expected;
    } cases[] = {
        {"a coloured ambient light alone", 0x603010, 0, 0xFFFFFFFF, 0x603010},
        {"a coloured ambient light on a coloured face", 0x8040C0, 0, 0xFFFF8040, 0x802030},
        {"a coloured sun alone", 0, 0x2060A0, 0xFFFFFFFF, 0x2060A0},
        {"ambient and sun add up by channel", 0x201008, 0x100020, 0xFFFFFFFF, 0x301028},
    };
    device->SetQuality(D3DRMRENDER_FLAT);
    Ref<MeshBuilder> quad = rmtest::MakeGrid(*lib, 1, 1);
    Place(quad.Get(), 0, 0, 4);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Ref<Frame> lights = lib->CreateFrame(scene.Get());  // facing +z: the sun shines at the quad
        Ref<Light> ambient = lib->CreateLight(D3DRMLIGHT_AMBIENT, c.ambient);
        Ref<Light> sun = lib->CreateLight(D3DRMLIGHT_DIRECTIONAL, c.sun);
        if (c.ambient) lights->AddLight(ambient.Get());
        if (c.sun) lights->AddLight(sun.Get());
        quad->SetColor(c.face);
        Draw();
        const std::uint32_t shown = target->GetPixel(80, 60);
        for (int shift : {16, 8, 0}) {
            const int got = int(shown >> shift & 0xFF), want = int(c.expected >> shift & 0xFF);
            EXPECT_NEAR(got, want, 1) << "channel at bit " << shift << " of " << std::hex << shown;
        }
        scene->DeleteChild(lights.Get());
    }
}

TEST(FillRuleTest, TrianglesSharingEdgesCoverEachPixelOnce) {
    // A fan of triangles around an off-grid centre, with vertices on pixel centres and edges
    // through them: every pixel of the covered area is claimed by exactly one triangle.
    raster::RasterTarget t;
    t.x0 = 0;
    t.y0 = 0;
    t.x1 = 64;
    t.y1 = 64;
    std::vector<int> count(64 * 64, 0);
    const float cx = 32.5f, cy = 32.5f;
    const int spokes = 12;
    auto vertex = [](float x, float y) {
        raster::ScreenVertex v{};
        v.x = x;
        v.y = y;
        return v;
    };
    for (int i = 0; i < spokes; ++i) {
        // Clockwise on screen (y down): increasing angle.
        const float a0 = 2 * kPi * i / spokes, a1 = 2 * kPi * (i + 1) / spokes;
        const auto c = vertex(cx, cy);
        const auto p =
            vertex(std::round(cx + 25 * std::cos(a0)) + 0.5f, std::round(cy + 25 * std::sin(a0)) + 0.5f);
        const auto q =
            vertex(std::round(cx + 25 * std::cos(a1)) + 0.5f, std::round(cy + 25 * std::sin(a1)) + 0.5f);
        raster::TriangleSetup s;
        if (!raster::SetupTriangle(c, p, q, t, false, false, &s)) continue;
        for (std::int32_t y = s.rowBegin; y < s.rowEnd; ++y) {
            std::int32_t b, e;
            if (raster::RowSpan(s, y, &b, &e))
                for (std::int32_t x = b; x < e; ++x) ++count[y * 64 + x];
        }
    }
    int covered = 0;
    for (int c : count) {
        ASSERT_LE(c, 1);
        covered += c;
    }
    EXPECT_GT(covered, 1500);  // about the area of the 12-gon of radius 25
    EXPECT_EQ(count[32 * 64 + 32], 1);
}

TEST(FillRuleTest, TopAndLeftEdgesAreInsideBottomAndRightOutside) {
    // An axis-aligned square from pixel centres (2.5, 2.5) to (5.5, 5.5) as two triangles covers
    // exactly the 3 x 3 pixels 2..4: its top and left edges run through centres that belong to it.
    raster::RasterTarget t;
    t.x1 = 16;
    t.y1 = 16;
    auto v = [](float x, float y) {
        raster::ScreenVertex s{};
        s.x = x;
        s.y = y;
        return s;
    };
    std::vector<int> count(256, 0);
    const raster::ScreenVertex tl = v(2.5f, 2.5f), tr = v(5.5f, 2.5f), br = v(5.5f, 5.5f), bl = v(2.5f, 5.5f);
    for (auto tri : {std::array{tl, tr, bl}, std::array{tr, br, bl}}) {
        raster::TriangleSetup s;
        ASSERT_TRUE(raster::SetupTriangle(tri[0], tri[1], tri[2], t, false, false, &s));
        for (std::int32_t y = s.rowBegin; y < s.rowEnd; ++y) {
            std::int32_t b, e;
            if (raster::RowSpan(s, y, &b, &e))
                for (std::int32_t x = b; x < e; ++x) ++count[y * 16 + x];
        }
    }
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(count[y * 16 + x], (x >= 2 && x <= 4 && y >= 2 && y <= 4) ? 1 : 0) << x << "," << y;
}

}  // namespace

namespace {

TEST(SpanWalkerTest, AgreesWithTheDividingReferenceOnEveryRow) {
    raster::RasterTarget t;
    t.x0 = -50;
    t.y0 = -40;
    t.x1 = 700;
    t.y1 = 500;
    std::uint32_t seed = 12345;
    auto next = [&seed](float range) {
        seed = seed * 1664525u + 1013904223u;
        return float(seed >> 8) / float(1 << 24) * range - range / 4;
    };
    int triangles = 0;
    for (int i = 0; i < 3000; ++i) {
        // Small, large, thin and nearly horizontal triangles, vertices anywhere in 1/16 pixels.
        const float scale = (i % 3 == 0) ? 8.0f : (i % 3 == 1) ? 200.0f : 800.0f;
        raster::ScreenVertex v[3] = {};
        const float bx = next(600), by = next(450);
        for (auto& p : v) {
            p.x = bx + next(scale);
            p.y = by + next(i % 7 == 0 ? 1.0f : scale);
        }
        raster::TriangleSetup s;
        if (!raster::SetupTriangle(v[0], v[1], v[2], t, false, false, &s) &&
            !raster::SetupTriangle(v[0], v[2], v[1], t, false, false, &s))
            continue;
        ++triangles;
        raster::SpanWalker walker(s);
        for (std::int32_t y = s.rowBegin; y < s.rowEnd; ++y) {
            std::int32_t b0 = 0, e0 = 0, b1 = 0, e1 = 0;
            const bool ref = raster::RowSpan(s, y, &b0, &e0);
            ASSERT_EQ(walker.Next(&b1, &e1), ref) << "triangle " << i << " row " << y;
            if (ref) {
                ASSERT_EQ(b1, b0);
                ASSERT_EQ(e1, e0);
            }
        }
    }
    EXPECT_GT(triangles, 2000);
}

// A band starts a triangle's walk at its own first row: the spans from there on are the ones the
// walk from the triangle's top gives.
TEST(SpanWalkerTest, StartingAtAnyRowGivesTheSameSpans) {
    raster::RasterTarget t;
    t.x1 = 640;
    t.y1 = 480;
    std::uint32_t seed = 777;
    auto next = [&seed](float range) {
        seed = seed * 1664525u + 1013904223u;
        return float(seed >> 8) / float(1 << 24) * range;
    };
    int walks = 0;
    for (int i = 0; i < 300; ++i) {
        raster::ScreenVertex v[3] = {};
        for (auto& p : v) {
            p.x = next(640);
            p.y = next(480);
        }
        raster::TriangleSetup s;
        if (!raster::SetupTriangle(v[0], v[1], v[2], t, false, false, &s) &&
            !raster::SetupTriangle(v[0], v[2], v[1], t, false, false, &s))
            continue;
        std::vector<std::array<std::int32_t, 3>> fromTop;
        raster::SpanWalker top(s);
        for (std::int32_t y = s.rowBegin; y < s.rowEnd; ++y) {
            std::int32_t b = 0, e = 0;
            const bool any = top.Next(&b, &e);
            fromTop.push_back({any, any ? b : 0, any ? e : 0});
        }
        for (std::int32_t first = s.rowBegin + 1; first < s.rowEnd; first += 7) {
            raster::SpanWalker band(s, first);
            for (std::int32_t y = first; y < s.rowEnd; ++y) {
                std::int32_t b = 0, e = 0;
                const bool any = band.Next(&b, &e);
                const std::array<std::int32_t, 3> got{any, any ? b : 0, any ? e : 0};
                ASSERT_EQ(got, fromTop[std::size_t(y - s.rowBegin)]) << "triangle " << i << " from row " << first;
            }
            ++walks;
        }
    }
    EXPECT_GT(walks, 1000);
}

}  // namespace
