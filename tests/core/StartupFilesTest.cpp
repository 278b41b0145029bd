#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <fstream>

#include "core/CommandLine.h"
#include "core/DriveList.h"

namespace {

std::string Folder(const QTemporaryDir& dir) {
    return dir.path().toStdString() + "/";
}

TEST(DriveList, DefaultWhenMissingFirstLineOnlyOtherwise) {
    QTemporaryDir dir;
    EXPECT_EQ(ReadDriveList(Folder(dir)), "Z:\\Marisole\\Debug\\disk1.vd|Z:\\disk2.vd|");
    struct Row {
        std::string content;
        std::string list;
    } rows[] = {
        {"/data/one|/data/two|\r\nsecond line|ignored|\n", "/data/one|/data/two|"},
        {"/a|/b|", "/a|/b|"},
        {"\n/b|", ""},
        {std::string(300, 'x') + "\n", std::string(255, 'x')},
    };
    for (const auto& r : rows) {
        std::ofstream(Folder(dir) + "drive.dat", std::ios::binary) << r.content;
        EXPECT_EQ(ReadDriveList(Folder(dir)), r.list) << r.content;
    }
}

TEST(CommandLine, QuotedProgramPathWithBlanksAndASceneFile) {
    const QStringList args =
        QProcess::splitCommand(QStringLiteral("\"/opt/My Apps/marisole\" \"my scene.mrs\""));
    ASSERT_EQ(args.size(), 2);
    EXPECT_EQ(AppFolderFromProgramPath(args[0], "/fallback"), "/opt/My Apps/");
    const CommandLine c = ParseCommandLine(args);
    EXPECT_EQ(c.action, CommandLine::Action::RunApplication);
    EXPECT_EQ(c.sceneFile, "my scene.mrs");
    EXPECT_TRUE(c.showSplash);
    // A program found through PATH names no folder: the executable's own folder is used.
    EXPECT_EQ(AppFolderFromProgramPath("marisole", "/usr/lib/marisole"), "/usr/lib/marisole/");
    EXPECT_EQ(AppFolderFromProgramPath("\"/x/y/marisole\"", ""), "/x/y/");
}

TEST(CommandLine, BatchCommands) {
    struct Row {
        QStringList args;
        CommandLine::Action action;
    } rows[] = {
        {{"m", "--help"}, CommandLine::Action::Help},
        {{"m", "--version"}, CommandLine::Action::Version},
        {{"m", "--build-archive", "src", "out/disk1.vd"}, CommandLine::Action::BuildArchive},
        {{"m", "--build-archive", "src"}, CommandLine::Action::Error},
        {{"m", "--render", "o.bmp", "--pose-set", "STAND.OBJ"}, CommandLine::Action::Render},
        {{"m", "--render", "o.bmp"}, CommandLine::Action::Error},
        {{"m", "--render", "o.bmp", "--scene", "a.mrs", "--pose-set", "B.OBJ"}, CommandLine::Action::Error},
        {{"m", "--render", "o.bmp", "--scene", "a.mrs", "--width", "0"}, CommandLine::Action::Error},
        {{"m", "--render", "o.bmp", "--part", "a.x"}, CommandLine::Action::Render},
        {{"m", "--render", "o.bmp", "--part", "a.x", "--pose-set", "B.OBJ"}, CommandLine::Action::Error},
        {{"m", "--render", "o.bmp", "--part", "a.x", "--scene", "a.mrs"}, CommandLine::Action::Error},
        {{"m", "--render", "o.bmp", "--part"}, CommandLine::Action::Error},
        {{"m", "--render", "o.bmp", "--pose-set", "B.OBJ", "--background"}, CommandLine::Action::Error},
        {{"m", "--bogus"}, CommandLine::Action::Error},
        {{"m", "a.mrs", "b.mrs"}, CommandLine::Action::Error},
    };
    for (const auto& r : rows)
        EXPECT_EQ(ParseCommandLine(r.args).action, r.action) << r.args.join(' ').toStdString();

    // Qt's own options are Qt's: never a scene file, never an unknown option.
    struct QtRow {
        QStringList args;
        std::string sceneFile;
        std::string platform;
    } qtRows[] = {
        {{"m", "-platform", "offscreen", "a.mrs"}, "a.mrs", "offscreen"},
        {{"m", "--platform=xcb", "-style", "Fusion", "a.mrs"}, "a.mrs", "xcb"},
        {{"m", "-reverse", "-stylesheet", "x.qss", "-geometry", "640x480"}, "", ""},
        {{"m", "a.mrs", "-style=fusion", "-nograb"}, "a.mrs", ""},
    };
    for (const auto& r : qtRows) {
        const CommandLine c = ParseCommandLine(r.args);
        const std::string what = r.args.join(' ').toStdString();
        EXPECT_EQ(c.action, CommandLine::Action::RunApplication) << what << ": " << c.error;
        EXPECT_EQ(c.sceneFile, r.sceneFile) << what;
        EXPECT_EQ(c.qtPlatform, r.platform) << what;
        EXPECT_TRUE(IsDesktopStart(r.args)) << what;
    }
    // A value option at the end, or a flag given a value, is no Qt option.
    EXPECT_EQ(ParseCommandLine({"m", "a.mrs", "-style"}).action, CommandLine::Action::Error);
    EXPECT_EQ(ParseCommandLine({"m", "-reverse=1", "a.mrs"}).action, CommandLine::Action::Error);
    EXPECT_FALSE(IsDesktopStart({"m", "--render", "o.bmp"}));
    EXPECT_FALSE(IsDesktopStart({"m", "--build-archive", "a", "b"}));

    const CommandLine render = ParseCommandLine({"m", "--render", "o.bmp", "--scene", "a.mrs", "--width",
                                                 "800", "--height", "600", "--no-antialias", "--smooth"});
    EXPECT_EQ(render.renderOutput, "o.bmp");
    EXPECT_EQ(render.renderScene, "a.mrs");
    EXPECT_EQ(render.renderWidth, 800);
    EXPECT_EQ(render.renderHeight, 600);
    EXPECT_FALSE(render.renderAntialias);
    EXPECT_TRUE(render.renderSmooth);
    EXPECT_EQ(render.renderBackground, "");
    const CommandLine part =
        ParseCommandLine({"m", "--render", "o.bmp", "--part", "my part.x", "--background", "photo.jpg"});
    EXPECT_EQ(part.renderPart, "my part.x");
    EXPECT_EQ(part.renderBackground, "photo.jpg");
    EXPECT_EQ(part.renderScene, "");
    EXPECT_TRUE(part.renderPoseSets.empty());
    const CommandLine build = ParseCommandLine({"m", "--build-archive", "src", "out/disk1.vd"});
    EXPECT_EQ(build.archiveSource, "src");
    EXPECT_EQ(build.archiveVolume, "out/disk1.vd");
    EXPECT_EQ(VersionText(), "Version:1.00 (Build:751)");
}

// --width and --height take a whole number from 1 to 16384 and nothing else.
TEST(CommandLine, SizeOptionsTakeWholeNumbersUpTo16384) {
    const struct {
        const char* option;
        const char* value;
        int size;  // 0: the command line is refused
    } rows[] = {
        {"--width", "1", 1},         {"--width", "16384", 16384}, {"--height", "16384", 16384},
        {"--width", "16385", 0},     {"--height", "16385", 0},    {"--width", "4294967296", 0},
        {"--width", "0", 0},         {"--height", "-1", 0},       {"--width", "abc", 0},
        {"--height", "12px", 0},     {"--width", "", 0},          {"--height", "1e3", 0},
        {"--width", "640.0", 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(std::string(r.option) + " '" + r.value + "'");
        const CommandLine c =
            ParseCommandLine({"m", "--render", "o.bmp", "--pose-set", "STAND.OBJ", r.option, r.value});
        if (r.size == 0) {
            EXPECT_EQ(c.action, CommandLine::Action::Error);
            EXPECT_NE(c.error.find(r.option), std::string::npos) << c.error;
            continue;
        }
        EXPECT_EQ(c.action, CommandLine::Action::Render) << c.error;
        EXPECT_EQ(std::string(r.option) == "--width" ? c.renderWidth : c.renderHeight, r.size);
    }
}

}  // namespace
