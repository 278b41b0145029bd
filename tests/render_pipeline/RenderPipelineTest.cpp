#include "render/pipeline/RenderPipeline.h"

#include <gtest/gtest.h>

#include "support/RecordingProgress.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "core/SettingsStore.h"
#include "platform/rm/Light.h"
#include "platform/rm/MeshBuilder.h"
#include "support/RenderRig.h"

namespace {

// A red square facing the camera 20 units in front of it, lit by a white ambient light.
class SmallScene : public ::testing::Test, protected RenderRig {
protected:
    void SetUp() override {
        square = library->CreateFrame(sceneRoot.Get());
        square->SetPosition(nullptr, 0, 0, 20);
        mesh = library->CreateMeshBuilder();
        const std::vector<rm::Vector> v = {{-2, -2, 0}, {-2, 2, 0}, {2, 2, 0}, {2, -2, 0}};
        const std::vector<rm::Vector> n = {{0, 0, -1}};
        // Both windings, so the square shows whichever way the faces are culled.
        mesh->AddFaces(v, n, std::vector<std::uint32_t>{4, 0, 0, 1, 0, 2, 0, 3, 0, 4, 3, 0, 2, 0, 1, 0, 0, 0, 0});
        mesh->SetColor(0xFFFF0000);
        square->AddVisual(mesh.Get());
        rm::Ref<rm::Light> light = library->CreateLight(rm::D3DRMLIGHT_AMBIENT, 0xFFFFFFFF);
        sceneRoot->AddLight(light.Get());
        settings.SetSettingInt("render", "width", 64);
        settings.SetSettingInt("render", "height", 48);
        settings.SetSettingInt("render", "antialias", 0);
        settings.SetSettingString("render", "name", Out("scene.bmp"));
    }

    std::string Out(const char* name) const { return dir.path().toStdString() + "/" + name; }

    RenderRequest Request() {
        RenderRequest r;
        r.directDraw = directDraw.Get();
        r.library = library.Get();
        r.camera = camera.Get();
        r.viewRoot = viewRoot.Get();
        r.sceneRoot = sceneRoot.Get();
        r.settings = &settings;
        r.documentTitle = "pose1";
        r.progress = &progress;
        return r;
    }
    RenderOutcome Render() { return RenderToFile(Request()); }

    QImage Result(const char* name = "scene.bmp") const { return QImage(QString::fromStdString(Out(name))); }

    QTemporaryDir dir;
    CSettingsStore settings;
    RecordingProgress progress;
    rm::Ref<rm::Frame> square;
    rm::Ref<rm::MeshBuilder> mesh;
};

TEST_F(SmallScene, WritesTheSceneAtTheOutputSize) {
    for (int antialias : {0, 1}) {
        settings.SetSettingInt("render", "antialias", antialias);
        ASSERT_EQ(Render(), RenderOutcome::Written);
        const QImage image = Result();
        ASSERT_EQ(image.size(), QSize(64, 48)) << antialias;
        EXPECT_EQ(QColor(image.pixel(32, 24)).red(), 255) << "the square in the middle";
        EXPECT_EQ(QColor(image.pixel(32, 24)).green(), 0);
        EXPECT_EQ(image.pixel(0, 0), image.pixel(63, 47)) << "background in both corners";
        EXPECT_NE(image.pixel(0, 0), image.pixel(32, 24));
    }
    EXPECT_EQ(sceneRoot->Parent(), nullptr) << "the scene hangs under the view only during the render";
    EXPECT_EQ(progress.texts.front(), "レンダリング ファイル >> pose1");
    EXPECT_EQ(progress.positions.front(), 40);
}

TEST_F(SmallScene, BackgroundPictureFillsTheSurfaceBothWays) {
    QImage green(8, 6, QImage::Format_RGB32);
    green.fill(QColor(0, 200, 0));
    ASSERT_TRUE(green.save(QString::fromStdString(Out("bg.bmp")), "BMP"));
    settings.SetSettingString("render", "bg", Out("bg.bmp"));
    settings.SetSettingInt("bg", "render", 1);
    ASSERT_EQ(Render(), RenderOutcome::Written);
    const QImage blitted = Result();
    EXPECT_EQ(QColor(blitted.pixel(0, 0)), QColor(0, 200, 0));
    EXPECT_EQ(QColor(blitted.pixel(32, 24)).red(), 255) << "the scene is drawn over the picture";

    settings.SetSettingInt("system", "disable_ddhal", 1);
    settings.SetSettingString("render", "name", Out("dc.bmp"));
    ASSERT_EQ(Render(), RenderOutcome::Written);
    QFile a(QString::fromStdString(Out("scene.bmp"))), b(QString::fromStdString(Out("dc.bmp")));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll()) << "device contexts give the same picture";

    // Background switched off, or a file that is not there: the plain background colour.
    for (const char* bg : {"bg.bmp", "missing.bmp"}) {
        settings.SetSettingString("render", "bg", Out(bg));
        settings.SetSettingInt("bg", "render", std::string(bg) == "bg.bmp" ? 0 : 1);
        settings.SetSettingString("render", "name", Out("plain.bmp"));
        ASSERT_EQ(Render(), RenderOutcome::Written);
        EXPECT_NE(QColor(Result("plain.bmp").pixel(0, 0)), QColor(0, 200, 0)) << bg;
    }
}

// The output's name decides its format; a PNG holds exactly the BMP's pixels. A background of
// many colours (itself a PNG, which only the fallback reader takes) makes every pixel count.
TEST_F(SmallScene, APngAndABmpOfTheSameRenderHoldTheSamePixels) {
    QImage ramp(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) ramp.setPixel(x, y, qRgb(x * 4, y * 5, (x * 7 + y * 3) & 0xFF));
    ASSERT_TRUE(ramp.save(QString::fromStdString(Out("ramp.png")), "PNG"));
    settings.SetSettingString("render", "bg", Out("ramp.png"));
    settings.SetSettingInt("bg", "render", 1);
    for (int antialias : {0, 1}) {
        SCOPED_TRACE(antialias);
        settings.SetSettingInt("render", "antialias", antialias);
        QImage pictures[3];
        const char* names[3] = {"same.bmp", "same.png", "SAME2.PNG"};
        for (int i = 0; i < 3; ++i) {
            settings.SetSettingString("render", "name", Out(names[i]));
            ASSERT_EQ(Render(), RenderOutcome::Written) << names[i];
            QFile file(QString::fromStdString(Out(names[i])));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray head = file.read(8);
            EXPECT_EQ(head.startsWith("\x89PNG\r\n\x1a\n"), i > 0) << names[i];
            EXPECT_EQ(head.startsWith("BM"), i == 0) << names[i];
            pictures[i] = QImage(QString::fromStdString(Out(names[i]))).convertToFormat(QImage::Format_RGB32);
            ASSERT_EQ(pictures[i].size(), QSize(64, 48)) << names[i];
        }
        EXPECT_EQ(pictures[1], pictures[0]);
        EXPECT_EQ(pictures[2], pictures[0]);
        // The background came through: a corner holds the ramp's colour (averaged when antialiased).
        EXPECT_NE(pictures[0].pixel(63, 47), pictures[0].pixel(0, 0));
        EXPECT_NEAR(qGreen(pictures[0].pixel(0, 47)), 47 * 5, 4);
    }
}

TEST_F(SmallScene, QualityFollowsTheDisplayMode) {
    struct Row {
        int mode;
        std::uint32_t quality;
    } rows[] = {{0, 0x40}, {1, 0x88}, {2, 0x89}, {3, 0x8A}, {4, 0x89}, {7, 0x89}};
    for (const auto& r : rows) EXPECT_EQ(QualityForDisplayMode(r.mode), r.quality) << r.mode;
}

TEST_F(SmallScene, FailuresWriteNothing) {
    settings.SetSettingString("render", "name", Out("missing-folder/scene.bmp"));
    EXPECT_EQ(Render(), RenderOutcome::Failed);
    EXPECT_FALSE(QDir(dir.path() + "/missing-folder").exists());
    settings.SetSettingString("render", "name", "");
    EXPECT_EQ(Render(), RenderOutcome::Failed) << "no output name";
    // A size that cannot be allocated fails instead of crashing.
    settings.SetSettingString("render", "name", Out("huge.bmp"));
    settings.SetSettingInt("render", "antialias", 1);
    settings.SetSettingInt("render", "width", 20000);
    settings.SetSettingInt("render", "height", 20000);
    EXPECT_EQ(Render(), RenderOutcome::Failed);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Out("huge.bmp"))));
}

TEST_F(SmallScene, TheLargestPresetWithAntialiasingRenders) {
    settings.SetSettingInt("render", "antialias", 1);
    settings.SetSettingInt("render", "width", 1600);
    settings.SetSettingInt("render", "height", 1200);
    ASSERT_EQ(Render(), RenderOutcome::Written);
    EXPECT_EQ(Result().size(), QSize(1600, 1200));
    // Its buffers stay for the next render: the target, its depth and the file fit the bound.
    const RenderPipeline& kept = RenderPipeline::Shared();
    ASSERT_NE(kept.KeptTarget(), nullptr);
    EXPECT_EQ(kept.KeptTarget()->Width(), 3200u);
    EXPECT_LE(kept.KeptBytes(), RenderPipeline::kKeptBytes);
}

// The pipeline keeps its target between renders of one size; what a render draws depends only on
// its own scene and settings, never on what the kept buffers held before.
TEST_F(SmallScene, RendersOfOneSizeShareTheirBuffersAndNothingElse) {
    RenderPipeline pipeline;
    auto render = [&] {
        const std::span<const std::uint8_t> file = pipeline.RenderBmp(Request());
        return std::vector<std::uint8_t>(file.begin(), file.end());
    };
    const auto red = render();
    ASSERT_FALSE(red.empty());
    const surface::Surface* target = pipeline.KeptTarget();
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(render(), red);
    EXPECT_EQ(pipeline.KeptTarget(), target);

    // Another scene in the same buffers: a green square moved to the right, on a background picture.
    mesh->SetColor(0xFF00FF00);
    square->SetPosition(nullptr, 3, 0, 20);
    QImage blue(8, 6, QImage::Format_RGB32);
    blue.fill(QColor(0, 0, 200));
    ASSERT_TRUE(blue.save(QString::fromStdString(Out("blue.bmp")), "BMP"));
    settings.SetSettingString("render", "bg", Out("blue.bmp"));
    settings.SetSettingInt("bg", "render", 1);
    const auto green = render();
    EXPECT_EQ(pipeline.KeptTarget(), target);
    EXPECT_NE(green, red);

    // And back: the very first picture, byte for byte.
    mesh->SetColor(0xFFFF0000);
    square->SetPosition(nullptr, 0, 0, 20);
    settings.SetSettingInt("bg", "render", 0);
    EXPECT_EQ(render(), red);

    // Another size takes new buffers, and draws the scene at that size.
    settings.SetSettingInt("render", "width", 80);
    const auto wider = render();
    ASSERT_NE(pipeline.KeptTarget(), nullptr);
    EXPECT_EQ(pipeline.KeptTarget()->Width(), 80u);
    EXPECT_EQ(QImage::fromData(wider.data(), int(wider.size())).size(), QSize(80, 48));
}

// What stays after a render is bounded: buffers above the bound are given back.
TEST_F(SmallScene, BuffersAboveTheBoundAreGivenBack) {
    // 64 × 48 without antialiasing: a 12 KiB target, 12 KiB of depth and a 9 KiB file.
    const struct {
        std::size_t bound;
        bool kept;
    } cases[] = {{std::size_t{64} << 10, true}, {std::size_t{16} << 10, false}};
    for (const auto& c : cases) {
        RenderPipeline pipeline(c.bound);
        ASSERT_FALSE(pipeline.RenderBmp(Request()).empty());
        EXPECT_GT(pipeline.KeptBytes(), std::size_t{30} << 10);
        pipeline.GiveBackOverBound();
        EXPECT_EQ(pipeline.KeptTarget() != nullptr, c.kept) << c.bound;
        EXPECT_EQ(pipeline.KeptBytes() > 0, c.kept) << c.bound;
    }
}

}  // namespace
