// The File menu's pose commands on the sample figure: the shipped pose files, a pose saved on one
// pose set and loaded on another, parts the figure lacks, and damaged files refused without change.

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <fstream>
#include <map>

#include "MainWindowFixture.h"
#include "app/MainFrame.h"
#include "app/PoseCommands.h"
#include "base/PoseFile.h"
#include "core/MainApp.h"
#include "library/MainView.h"
#include "platform/rm/VectorMath.h"
#include "platform/win/ScriptedPrompts.h"
#include "scene/MainDoc.h"
#include "scene/PartMirror.h"
#include "scene/PartObject.h"
#include "scene/PartPlacement.h"
#include "scene/PartPoses.h"
#include "view/3DView.h"

namespace {

std::string ShippedPose(const char* name) {
    return QCoreApplication::applicationDirPath().toStdString() + "/POSE/" + name + ".mrp";
}

std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void ExpectNear(const rm::Matrix4& actual, const rm::Matrix4& expected, float tolerance, const std::string& what) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(actual.m[r][c], expected.m[r][c], tolerance) << what << " " << r << c;
}

class PoseFileCommandsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        BindPoseCommands(*frame, *view->EditView(), *doc);
        ASSERT_TRUE(folder.isValid());
    }

    CPartObject& Root() const {
        CPartObject* any = doc->AllParts().front();
        return scene::FigureRoot(*any);
    }
    // Every part's world matrix by its folder below the figure's root part.
    std::map<std::string, rm::Matrix4> WorldByFolder() const {
        std::map<std::string, rm::Matrix4> out;
        CPartObject& root = Root();
        root.ForEachInTree([&](CPartObject* p) {
            out[p == &root ? std::string() : p->m_folder.substr(root.m_folder.size())] = p->GetFrame()->WorldMatrix();
        });
        return out;
    }
    std::vector<rm::Matrix4> Placements() const {
        std::vector<rm::Matrix4> out;
        Root().ForEachInTree([&](CPartObject* p) { out.push_back(scene::PlacementInParentPart(*p)); });
        return out;
    }
    // Loads the pose set labelled `label` over the one loaded before (confirming that), then
    // forgets the questions asked so far.
    void LoadPoseSet(const std::string& label) {
        prompts->messageAnswers.push_back(win::IDOK);
        ASSERT_NO_FATAL_FAILURE(ApplyEntry(doc->GetCharacterItem(), label));
        ASSERT_FALSE(doc->AllParts().empty());
        prompts->messageAnswers.clear();
        prompts->asked.clear();
    }
    C3DView& EditView() const { return *view->EditView(); }
    void LoadThroughMenu(const std::string& path) {
        prompts->fileAnswers.push_back(path);
        QAction* load = MenuAction(*frame, QStringLiteral("ﾌｧｲﾙ(&F)"), QStringLiteral("ポーズの読み込み..."));
        ASSERT_NE(load, nullptr);
        load->trigger();
        Settle();
    }
    std::string Temp(const char* name) const { return folder.filePath(name).toStdString(); }

    QTemporaryDir folder;
};

TEST_F(PoseFileCommandsTest, TheShippedWalkPoseGivesTheStandingFigureTheWalkingFiguresPlacements) {
    ASSERT_NO_FATAL_FAILURE(LoadPoseSet("歩くポーズ"));
    const std::map<std::string, rm::Matrix4> walking = WorldByFolder();
    ASSERT_NO_FATAL_FAILURE(LoadPoseSet("立ちポーズ"));
    ASSERT_EQ(Root().m_folder, "BODY_STAND\\");
    const std::map<std::string, rm::Matrix4> standing = WorldByFolder();
    ASSERT_EQ(standing.size(), walking.size());
    ASSERT_GT(std::abs(standing.at("ARML\\").m[1][2] - walking.at("ARML\\").m[1][2]), 0.1f);

    LoadThroughMenu(ShippedPose("WALK"));
    EXPECT_TRUE(prompts->MessageTexts().empty());
    const auto& asked = prompts->asked.front();
    EXPECT_EQ(asked.kind, "open");
    EXPECT_EQ(asked.initial, GetApp()->GetAppFolder() + "POSE/");
    for (const auto& [folderName, world] : WorldByFolder()) ExpectNear(world, walking.at(folderName), 1e-3f, folderName);

    // One undo step puts every part back where the standing figure had it.
    ASSERT_EQ(EditView().History().UndoCount(), 1u);
    EditView().History().Undo();
    for (const auto& [folderName, world] : WorldByFolder()) ExpectNear(world, standing.at(folderName), 1e-4f, folderName);
    EditView().History().Redo();
    for (const auto& [folderName, world] : WorldByFolder()) ExpectNear(world, walking.at(folderName), 1e-3f, folderName);
}

TEST_F(PoseFileCommandsTest, WithoutAFigureNothingIsSavedOrPosed) {
    const std::string path = Temp("none.mrp");
    EXPECT_FALSE(SavePoseFile(*doc, path));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
    EXPECT_FALSE(LoadPoseFile(EditView(), *doc, ShippedPose("STAND")));
    EXPECT_EQ(prompts->MessageTexts().size(), 2u);
    EXPECT_EQ(EditView().History().UndoCount(), 0u);
}

TEST_F(PoseFileCommandsTest, EveryShippedPosePutsTheSittingFigureIntoThatPoseSetsPose) {
    const struct {
        const char* label;
        const char* file;
    } poses[] = {{"立ちポーズ", "STAND"}, {"歩くポーズ", "WALK"},      {"走るポーズ", "RUN"},
                 {"座りポーズ", "SIT"},  {"手を振るポーズ", "WAVE"}, {"ばんざいポーズ", "CHEER"}};
    for (const auto& p : poses) {
        ASSERT_NO_FATAL_FAILURE(LoadPoseSet(p.label));
        const std::map<std::string, rm::Matrix4> expected = WorldByFolder();
        ASSERT_NO_FATAL_FAILURE(LoadPoseSet("座りポーズ"));
        ASSERT_TRUE(LoadPoseFile(EditView(), *doc, ShippedPose(p.file))) << p.file;
        EXPECT_TRUE(prompts->MessageTexts().empty()) << p.file;
        const std::map<std::string, rm::Matrix4> posed = WorldByFolder();
        ASSERT_EQ(posed.size(), expected.size());
        for (const auto& [folderName, world] : posed)
            ExpectNear(world, expected.at(folderName), 1e-3f, std::string(p.file) + " " + folderName);
    }
}

TEST_F(PoseFileCommandsTest, APoseSavedOnOnePoseSetLoadsOntoAnotherWithTheSavedPlacements) {
    ASSERT_NO_FATAL_FAILURE(LoadPoseSet("座りポーズ"));
    // A pose of its own: the left forearm and the head turned by the person.
    Root().ForEachInTree([](CPartObject* p) {
        if (p->m_folder.ends_with("FARML\\") || p->m_folder.ends_with("HEAD\\"))
            p->GetFrame()->AddTransform(rm::CombineType::D3DRMCOMBINE_REPLACE, rm::RotationMatrix({0.6f, 0, 0.8f}, 0.7f));
    });
    const pose::PoseData saved = scene::CaptureFigurePose(Root());
    prompts->asked.clear();

    const std::string path = Temp("mine.mrp");
    prompts->fileAnswers.push_back(path);
    QAction* save = MenuAction(*frame, QStringLiteral("ﾌｧｲﾙ(&F)"), QStringLiteral("ポーズの保存..."));
    ASSERT_NE(save, nullptr);
    save->trigger();
    Settle();
    EXPECT_EQ(prompts->asked.front().kind, "save");
    EXPECT_EQ(prompts->asked.front().defaultSuffix, "mrp");
    pose::PoseData written;
    ASSERT_EQ(pose::ReadPose(FileBytes(path), written), pose::PoseFileStatus::Ok);
    EXPECT_EQ(written, saved);

    ASSERT_NO_FATAL_FAILURE(LoadPoseSet("立ちポーズ"));
    LoadThroughMenu(path);
    EXPECT_TRUE(prompts->MessageTexts().empty()) << (prompts->MessageTexts().empty() ? std::string() : prompts->MessageTexts().front());
    const pose::PoseData loaded = scene::CaptureFigurePose(Root());
    ASSERT_EQ(loaded.parts.size(), saved.parts.size());
    for (std::size_t i = 0; i < saved.parts.size(); ++i) {
        EXPECT_EQ(loaded.parts[i].folder, saved.parts[i].folder);
        for (std::size_t k = 0; k < 12; ++k)
            EXPECT_NEAR(loaded.parts[i].placement[k], saved.parts[i].placement[k], 1e-4f) << saved.parts[i].folder << k;
    }
}

TEST_F(PoseFileCommandsTest, APartTheFigureLacksIsCountedInOneMessageAndTheOthersArePosed) {
    // Figure parts cannot be taken off the figure, so the pose names a part this figure lacks: a
    // figure of other parts would have saved it.
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    pose::PoseData wave;
    ASSERT_EQ(pose::ReadPose(FileBytes(ShippedPose("WAVE")), wave), pose::PoseFileStatus::Ok);
    wave.parts.insert(wave.parts.begin() + 2, {"ARML\\CAPEL\\", wave.parts[1].placement});
    const std::string path = Temp("cape.mrp");
    WriteBytes(path, pose::WritePose(wave));

    LoadThroughMenu(path);
    ASSERT_EQ(prompts->MessageTexts().size(), 1u);
    EXPECT_EQ(prompts->MessageTexts().front(), "ポーズの 1 個のパーツが見つかりませんでした。");
    const pose::PoseData loaded = scene::CaptureFigurePose(Root());
    ASSERT_EQ(loaded.parts.size() + 1, wave.parts.size());
    for (const pose::PartPose& part : loaded.parts) {
        const auto saved = std::find_if(wave.parts.begin(), wave.parts.end(),
                                        [&](const pose::PartPose& w) { return w.folder == part.folder; });
        ASSERT_NE(saved, wave.parts.end()) << part.folder;
        for (std::size_t k = 0; k < 12; ++k) EXPECT_NEAR(part.placement[k], saved->placement[k], 1e-4f) << part.folder;
    }
    EXPECT_EQ(EditView().History().UndoCount(), 1u);
}

TEST_F(PoseFileCommandsTest, DamagedFilesAreRefusedWithAMessageAndChangeNothing) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    const std::vector<std::uint8_t> good = FileBytes(ShippedPose("RUN"));
    ASSERT_GT(good.size(), 20u);
    std::vector<std::vector<std::uint8_t>> damaged;
    for (std::size_t n = 0; n < good.size(); ++n) damaged.emplace_back(good.begin(), good.begin() + std::ptrdiff_t(n));
    // The part count and the first folder's length patched beyond the bytes, and a trailing byte.
    for (std::uint32_t count : {0u, 1u, 16u, 0x01000000u, 0xFFFFFFFFu}) {
        std::vector<std::uint8_t> patched = good;
        for (int b = 0; b < 4; ++b) patched[12 + std::size_t(b)] = std::uint8_t(count >> (8 * b));
        damaged.push_back(patched);
    }
    for (std::uint8_t length : {std::uint8_t(0xFE), std::uint8_t(0xFF), std::uint8_t(200)}) {
        std::vector<std::uint8_t> patched = good;
        patched[16] = length;
        damaged.push_back(patched);
    }
    damaged.push_back(good);
    damaged.back().push_back(0);

    const std::vector<rm::Matrix4> before = Placements();
    const std::string path = Temp("damaged.mrp");
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        WriteBytes(path, damaged[i]);
        prompts->asked.clear();
        EXPECT_FALSE(LoadPoseFile(EditView(), *doc, path)) << i;
        EXPECT_EQ(prompts->MessageTexts().size(), 1u) << i;
        EXPECT_EQ(Placements(), before) << i;
    }
    EXPECT_EQ(EditView().History().UndoCount(), 0u);
}

}  // namespace
