// Frames drawn in bands by several threads: how rows split into bands, and a busy scene in every
// fill mode giving the same colour and depth bytes whatever the number of threads, the size of the
// frame or where the viewport lies on its device.

#include <gtest/gtest.h>
#include <QImage>
#include <QString>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "SceneShapes.h"
#include "platform/rm/Library.h"
#include "platform/rm/WorkerPool.h"
#include "platform/rm/raster/Bands.h"

using namespace rm;

namespace {

TEST(BandPlan, RowsSplitIntoBandsThatCoverEachRowOnce) {
    const struct {
        std::int32_t y0, y1, width;
        unsigned threads;
        std::uint32_t count;
        std::int32_t rows;
    } cases[] = {
        {0, 960, 1280, 1, 1, 960},   // one thread: one band
        {0, 960, 1280, 2, 8, 120},   // four bands a thread
        {0, 120, 160, 3, 12, 10},    // 19 200 pixels: worth splitting
        {0, 100, 160, 2, 1, 100},    // 16 000 pixels: not worth it
        {0, 24, 4000, 4, 3, 8},      // never fewer than 8 rows a band
        {0, 15, 4000, 4, 1, 15},     // not enough rows for two bands
        {30, 91, 640, 2, 7, 9},      // a viewport lower on its device; the last band has 7 rows
        {0, 4800, 6400, 64, 253, 19},  // 256 bands of 18.75 rows: 19 rows a band fill 253
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.y1 - c.y0) + " rows of " + std::to_string(c.width) + ", " +
                     std::to_string(c.threads) + " threads");
        const raster::BandPlan plan = raster::PlanBands(c.y0, c.y1, c.width, c.threads);
        EXPECT_EQ(plan.count, c.count);
        EXPECT_EQ(plan.rows, c.rows);
        std::vector<int> owners(std::size_t(c.y1 - c.y0), 0);
        for (std::uint32_t b = 0; b < plan.count; ++b) {
            ASSERT_LT(plan.Begin(b), plan.End(b)) << "band " << b << " is empty";
            for (std::int32_t y = plan.Begin(b); y < plan.End(b); ++y) {
                ++owners[std::size_t(y - c.y0)];
                ASSERT_EQ(plan.Of(y), b) << "row " << y;
            }
        }
        for (std::size_t r = 0; r < owners.size(); ++r) ASSERT_EQ(owners[r], 1) << "row " << r + std::size_t(c.y0);
    }
}

// A scene with something for every stage: lit spheres side by side and overlapping, a textured
// floor running from behind the camera into the distance (clipped at the front plane), large
// transparent faces over everything, small triangles crossing many band edges.
class BusyScene {
  public:
    BusyScene(std::uint32_t width, std::uint32_t height) {
        target = surface::Surface::Create(width, height, surface::PixelFormat::FromBits(32));
        device = lib->CreateDeviceFromSurface(nullptr, nullptr, target.Get());
        device->SetRenderMode(3);
        device->SetTextureQuality(D3DRMTEXTURE_MIPLINEAR);
        root = lib->CreateFrame(nullptr);
        camera = lib->CreateFrame(root.Get());
        Ref<Frame> scene = lib->CreateFrame(root.Get());
        Ref<Light> ambient = lib->CreateLight(D3DRMLIGHT_AMBIENT, 0x303030);
        scene->AddLight(ambient.Get());
        Ref<Frame> sunFrame = lib->CreateFrame(scene.Get());
        sunFrame->SetOrientation(nullptr, 1, -1, 1, 0, 1, 0);
        Ref<Light> sun = lib->CreateLight(D3DRMLIGHT_DIRECTIONAL, 0xB0A090);
        sunFrame->AddLight(sun.Get());
        Ref<Frame> lampFrame = lib->CreateFrame(scene.Get());
        lampFrame->SetPosition(nullptr, -2, 2, 1);
        Ref<Light> lamp = lib->CreateLight(D3DRMLIGHT_POINT, 0x405080);
        lampFrame->AddLight(lamp.Get());

        Ref<Material> shiny = lib->CreateMaterial(16);
        for (int i = 0; i < 12; ++i) {
            Ref<MeshBuilder> sphere = rmtest::MakeEllipsoid(*lib, 0.6f, 0.9f - 0.03f * float(i), 0.6f, 24, 13);
            sphere->SetColor(0xFF000000u | (0x30u + 17u * std::uint32_t(i)) << 16 | 0x8000u | (0xE0u - 9u * std::uint32_t(i)));
            sphere->SetMaterial(shiny.Get());
            Place(scene.Get(), sphere.Get(), -2.6f + 0.5f * float(i % 6), 1.0f - 1.2f * float(i / 6), 5.0f + 0.3f * float(i));
        }
        std::vector<std::uint32_t> texels(16 * 16);
        for (std::uint32_t y = 0; y < 16; ++y)
            for (std::uint32_t x = 0; x < 16; ++x) texels[y * 16 + x] = 0xFF000000u | (x * 16) << 16 | (y * 16) << 8 | 0x40;
        Ref<Texture> texture = lib->CreateTexture(16, 16, texels);
        Ref<MeshBuilder> floor = rmtest::MakeGrid(*lib, 6, 12, 6.0f);
        floor->SetColor(0xFFFFFFFF);
        floor->SetTexture(texture.Get());
        Ref<Frame> floorFrame = Place(scene.Get(), floor.Get(), 0, -1.8f, 4);
        floorFrame->AddRotation(D3DRMCOMBINE_BEFORE, 1, 0, 0, -1.45f);
        for (int i = 0; i < 3; ++i) {
            Ref<MeshBuilder> glass = rmtest::MakeGrid(*lib, 1.4f, 3);
            glass->SetColor((0x60u + 0x20u * std::uint32_t(i)) << 24 | (i == 0 ? 0xFF2020u : i == 1 ? 0x20FF20u : 0x2020FFu));
            Place(scene.Get(), glass.Get(), -0.8f + 0.8f * float(i), 0.3f * float(i), 3.5f + 0.5f * float(i));
        }
        Ref<MeshBuilder> shards = lib->CreateMeshBuilder();
        std::vector<Vector> v;
        std::vector<std::uint32_t> faces;
        for (std::uint32_t i = 0; i < 60; ++i) {
            const float x = -3.0f + 0.1f * float(i), y = std::sin(float(i)) * 2.0f;
            v.insert(v.end(), {{x, y, 7}, {x + 0.05f, y + 0.9f, 7}, {x + 0.3f, y - 0.2f, 7}});
            faces.insert(faces.end(), {3u, 3 * i, 0u, 3 * i + 1, 0u, 3 * i + 2, 0u});
        }
        faces.push_back(0);
        const Vector n[] = {{0, 0, -1}};
        shards->AddFaces(v, n, faces);
        shards->SetColor(0xFFF0F0A0);
        Place(scene.Get(), shards.Get(), 0, 0, 0);
    }

    // Colour and depth bytes of the whole device after a render through a viewport of `rect`.
    std::vector<std::uint8_t> Draw(std::uint32_t quality, std::int32_t x, std::int32_t y, std::uint32_t w,
                                   std::uint32_t h) {
        device->SetQuality(quality);
        Ref<Viewport> viewport = lib->CreateViewport(device.Get(), camera.Get(), x, y, w, h);
        EXPECT_TRUE(viewport);
        if (!viewport) return {};
        viewport->SetFront(0.5f);
        viewport->SetBack(40);
        viewport->SetField(0.6f);
        viewport->SetBackgroundColor(0x102030);
        viewport->Clear(D3DRMCLEAR_ALL);
        viewport->Render(root.Get());
        std::vector<std::uint8_t> bytes(target->Bits(), target->Bits() + std::size_t(target->Pitch()) * target->Height());
        const auto depth = device->DepthBuffer();
        const auto* d = reinterpret_cast<const std::uint8_t*>(depth.data());
        bytes.insert(bytes.end(), d, d + depth.size_bytes());
        return bytes;
    }

  private:
    Ref<Frame> Place(Frame* parent, MeshBuilder* mesh, float x, float y, float z) {
        Ref<Frame> f = lib->CreateFrame(parent);
        f->SetPosition(nullptr, x, y, z);
        f->AddVisual(mesh);
        return f;
    }

    Ref<Library> lib = Library::Create();
    Ref<surface::Surface> target;
    Ref<Device> device;
    Ref<Frame> root, camera;
};

std::size_t DifferingBytes(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    if (a.size() != b.size()) return std::max(a.size(), b.size());
    std::size_t n = 0;
    for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

class ThreadsRestored : public ::testing::Test {
  protected:
    void TearDown() override { WorkerPool::Shared().SetThreads(0); }
};

TEST_F(ThreadsRestored, EveryFillModeGivesTheSameBytesWhateverTheThreads) {
    const struct {
        std::uint32_t quality;
        const char* name;
    } fills[] = {{0, "points"},
                 {D3DRMRENDER_WIREFRAME, "wireframe"},
                 {D3DRMRENDER_UNLITFLAT, "unlit flat"},
                 {D3DRMRENDER_FLAT, "flat"},
                 {D3DRMRENDER_GOURAUD, "Gouraud"}};
    const struct {
        std::uint32_t deviceWidth, deviceHeight;
        std::int32_t x, y;
        std::uint32_t w, h;
    } frames[] = {{160, 120, 0, 0, 160, 120}, {333, 257, 0, 0, 333, 257}, {640, 480, 37, 21, 560, 411}};
    for (const auto& frame : frames) {
        BusyScene scene(frame.deviceWidth, frame.deviceHeight);
        for (const auto& fill : fills) {
            SCOPED_TRACE(std::string(fill.name) + " at " + std::to_string(frame.w) + "x" + std::to_string(frame.h));
            WorkerPool::Shared().SetThreads(1);
            const auto alone = scene.Draw(fill.quality, frame.x, frame.y, frame.w, frame.h);
            ASSERT_FALSE(alone.empty());
            { QImage img(alone.data(), int(frame.deviceWidth), int(frame.deviceHeight), int(frame.deviceWidth*4), QImage::Format_RGB32);
              img.save(QString("/tmp/h6probe/busy_%1_%2.png").arg(frame.deviceWidth).arg(fill.quality)); }
            for (unsigned threads : {2u, 3u, 7u}) {
                ASSERT_GT(raster::PlanBands(frame.y, frame.y + std::int32_t(frame.h), std::int32_t(frame.w), threads).count,
                          1u)
                    << "the frame must be split for the comparison to mean anything";
                WorkerPool::Shared().SetThreads(threads);
                EXPECT_EQ(DifferingBytes(scene.Draw(fill.quality, frame.x, frame.y, frame.w, frame.h), alone), 0u)
                    << threads << " threads";
            }
        }
    }
}

}  // namespace
