// The batch command renders a scene with the scene's own settings and the render dialog's defaults,
// whatever the last session left in profile.dat beside the program; only the values no session
// changes (the clipping planes) are taken from there.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <sstream>
#include <string>
#include <vector>

#include "app/BatchRender.h"
#include "app/HeadlessScene.h"
#include "core/CommandLine.h"
#include "core/SettingsStore.h"
#include "scene/MainDoc.h"

namespace {

QString BinFolder() {
    return QCoreApplication::applicationDirPath() + "/";
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A program folder of its own: the sample library of the build linked in, so that a profile.dat
// can be left beside "the program" without touching the build's.
class BatchSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(ProgramFolder());
        for (const char* name : {"disk1.vd", "disk1.VDH", "disk2.vd", "disk2.VDH", "drive.dat", "TEXTURE",
                                 "BACKGROUND", "IMAGE", "POSE"})
            ASSERT_TRUE(QFile::link(BinFolder() + name, ProgramFolder() + name)) << name;
        // The standing figure as a scene file, saved by the program's own writer.
        CHeadlessScene scene(BinFolder().toStdString(), std::cerr);
        ASSERT_TRUE(scene.LoadPoseSet("STAND.OBJ"));
        ASSERT_TRUE(scene.Document().OnSaveDocument(ScenePath().toStdString()));
    }

    QString ProgramFolder() const { return dir.path() + "/program/"; }
    QString ScenePath() const { return dir.path() + "/stand.mrs"; }

    // `marisole --render OUT --scene stand.mrs ARGS...` run from the program folder; the bytes written.
    QByteArray Render(const QString& out, const QStringList& args) {
        const CommandLine c =
            ParseCommandLine(QStringList{"marisole", "--render", out, "--scene", ScenePath()} + args);
        std::ostringstream err;
        EXPECT_EQ(RunBatchRender(c, {ProgramFolder() + "marisole"}, err), 0) << err.str();
        return ReadAll(out);
    }

    QTemporaryDir dir;
};

TEST_F(BatchSettingsTest, WhatTheLastSessionLeftInProfileDatDoesNotChangeTheRender) {
    struct Setting {
        const char* section;
        const char* key;
        const char* value;
    };
    const struct Row {
        const char* what;
        std::vector<Setting> left;
        QStringList args;
        bool changesTheRender;  // a value no session changes, which the window's render reads too
    } rows[] = {
        {"display mode wireframe", {{"dev", "mode", "0"}}, {"--width", "160", "--height", "120"}, false},
        {"display mode flat", {{"dev", "mode", "1"}}, {"--width", "160", "--height", "120"}, false},
        {"render size, antialiasing, smoothing and file of the dialog",
         {{"render", "width", "64"},
          {"render", "height", "48"},
          {"render", "antialias", "0"},
          {"render", "smooth", "1"},
          {"render", "name", "/nowhere/else.bmp"}},
         {},
         false},
        {"lens and background",
         {{"view", "field", "0.5"}, {"bg", "render", "1"}},
         {"--width", "160", "--height", "120"},
         false},
        {"clipping planes set by hand",
         {{"view", "front", "150"}},
         {"--width", "160", "--height", "120"},
         true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        QFile::remove(ProgramFolder() + "profile.dat");
        const QByteArray clean = Render(dir.path() + "/clean.bmp", r.args);
        ASSERT_FALSE(clean.isEmpty());

        CSettingsStore left;
        for (const Setting& s : r.left) left.SetSettingString(s.section, s.key, s.value);
        ASSERT_TRUE(left.SaveProfile(ProgramFolder().toStdString(), "profile.dat"));
        const QByteArray profile = ReadAll(ProgramFolder() + "profile.dat");
        const QByteArray withProfile = Render(dir.path() + "/with-profile.bmp", r.args);
        ASSERT_FALSE(withProfile.isEmpty());
        if (r.changesTheRender) {
            EXPECT_NE(withProfile, clean);
        } else {
            EXPECT_EQ(QImage::fromData(withProfile).size(), QImage::fromData(clean).size());
            EXPECT_TRUE(withProfile == clean) << "the picture follows the settings the last session left";
        }
        EXPECT_EQ(ReadAll(ProgramFolder() + "profile.dat"), profile) << "the batch never writes the settings";
    }
}

}  // namespace
