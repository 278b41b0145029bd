#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <sstream>

#include "app/BatchRender.h"
#include "app/HeadlessScene.h"
#include "core/CommandLine.h"
#include "core/MainApp.h"
#include "base/Cp932.h"
#include "platform/rm/WorkerPool.h"
#include "platform/win/ScriptedPrompts.h"
#include "render/smooth/JointSmoothing.h"
#include "scene/MainDoc.h"
#include "support/GoldenImage.h"
#include "support/SmoothingReference.h"

namespace {

std::string BinFolder() { return QCoreApplication::applicationDirPath().toStdString() + "/"; }

QImage Decode(const std::vector<std::uint8_t>& bmp) {
    return QImage::fromData(bmp.data(), static_cast<int>(bmp.size()), "BMP");
}

// The standing pose set, rendered by the command line exactly as a person would ask for it, is
// the picture a person has looked at (golden/STAND.png), pixel for pixel: drawn by one thread, and
// by two and by three, the frame split into bands.
class SampleRenderThreads : public ::testing::TestWithParam<unsigned> {
  protected:
    void SetUp() override { rm::WorkerPool::Shared().SetThreads(GetParam()); }
    void TearDown() override { rm::WorkerPool::Shared().SetThreads(0); }
};

INSTANTIATE_TEST_SUITE_P(Threads, SampleRenderThreads, ::testing::Values(1u, 2u, 3u),
                         [](const ::testing::TestParamInfo<unsigned>& info) {
                             return std::to_string(info.param) + (info.param == 1 ? "Thread" : "Threads");
                         });

TEST_P(SampleRenderThreads, StandingPoseSetMatchesTheGoldenPicture) {
    QTemporaryDir dir;
    const std::string out = dir.path().toStdString() + "/stand.bmp";
    const CommandLine c = ParseCommandLine({"marisole", "--render", QString::fromStdString(out), "--pose-set",
                                            "STAND.OBJ", "--width", "320", "--height", "240"});
    std::ostringstream err;
    ASSERT_EQ(RunBatchRender(c, {QCoreApplication::applicationFilePath()}, err), 0) << err.str();
    const QImage rendered(QString::fromStdString(out));
    ASSERT_EQ(rendered.size(), QSize(320, 240));
    EXPECT_EQ(golden::CompareWithGolden(rendered, MARISOLE_GOLDEN_DIR, MARISOLE_GOLDEN_OUT, "STAND"), "");
}

// The program itself, run as a person runs it, with the number of threads set by MARISOLE_THREADS.
TEST(SampleRender, TheProgramDrawsTheGoldenPictureWithAnyNumberOfThreads) {
    QTemporaryDir dir;
    for (const char* threads : {"1", "3"}) {
        SCOPED_TRACE(std::string("MARISOLE_THREADS=") + threads);
        const QString out = dir.path() + "/stand" + threads + ".bmp";
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("MARISOLE_THREADS", threads);
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(MARISOLE_PROGRAM),
                      {"--render", out, "--pose-set", "STAND.OBJ", "--width", "320", "--height", "240"});
        ASSERT_TRUE(program.waitForFinished(120000));
        ASSERT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        EXPECT_EQ(golden::CompareWithGolden(QImage(out), MARISOLE_GOLDEN_DIR, MARISOLE_GOLDEN_OUT, "STAND"), "");
    }
}

TEST(SampleRender, EveryPoseSetRendersWithoutAMessage) {
    win::ScopedPrompts prompts;
    CHeadlessScene scene(BinFolder(), std::cerr);
    GetApp()->SetSettingInt("render", "width", 64);
    GetApp()->SetSettingInt("render", "height", 48);
    for (const char* pose : {"STAND.OBJ", "WALK.OBJ", "RUN.OBJ", "SIT.OBJ", "WAVE.OBJ", "CHEER.OBJ"}) {
        ASSERT_TRUE(scene.LoadPoseSet(pose)) << pose;
        const QImage image = Decode(RenderToBmp(scene.MakeRenderRequest(nullptr)));
        ASSERT_EQ(image.size(), QSize(64, 48)) << pose;
        EXPECT_NE(image.pixel(32, 24), image.pixel(0, 0)) << pose << ": the figure stands in the middle";
    }
    EXPECT_TRUE(prompts->asked.empty()) << prompts->MessageTexts().front();
}

// On the sample figure the grid walk gives the normals of the plain quadratic walk, bit for bit.
TEST(SampleRender, SmoothingTheFigureMatchesTheQuadraticWalk) {
    CHeadlessScene scene(BinFolder(), std::cerr);
    ASSERT_TRUE(scene.LoadPoseSet("STAND.OBJ"));
    const auto frames = scene.Document().FindFramesByGeneralName(cp932::FromUtf8("肌"));
    ASSERT_GT(frames.size(), 5u);
    auto fast = CollectSmoothMeshes(frames);
    auto slow = CollectSmoothMeshes(frames);
    SmoothAllPairs(fast, static_cast<float>(kJointThreshold), PairWalk::Grid);
    SmoothAllPairs(slow, static_cast<float>(kJointThreshold), PairWalk::Quadratic);
    int joined = 0;
    for (std::size_t m = 0; m < fast.size(); ++m) {
        const auto before = CollectSmoothMeshes({frames[m]})[0].normals;
        for (std::size_t k = 0; k < fast[m].normals.size(); ++k) {
            ASSERT_EQ(fast[m].normals[k], slow[m].normals[k]) << m << " " << k;
            joined += !(fast[m].normals[k] == before[k]);
        }
    }
    EXPECT_GT(joined, 20) << "the figure's joints have seams to close";
}

}  // namespace
