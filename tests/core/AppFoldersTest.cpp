#include "core/AppFolders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>

#include "core/MainApp.h"
#include "core/SettingsStore.h"
#include "platform/win/ScriptedPrompts.h"
#include "support/CaseNames.h"
#include "support/ScopedEnvironment.h"

namespace {

std::string Make(const QTemporaryDir& dir, const std::string& relative) {
    QDir(dir.path()).mkpath(QString::fromStdString(relative));
    return dir.path().toStdString() + "/" + relative + "/";
}

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

TEST(AppFolders, DataBesideTheProgramOrInTheInstalledShareFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string root = QDir(dir.path()).canonicalPath().toStdString() + "/";
    const std::string build = Make(dir, "build/bin");
    Touch(build + "disk1.vd");
    Make(dir, "build/share/marisole");
    const std::string installed = Make(dir, "usr/bin");
    Make(dir, "usr/share/marisole");
    const std::string bare = Make(dir, "bare/bin");

    EXPECT_EQ(ApplicationDataFolder(build), build) << "a volume beside the program wins";
    EXPECT_EQ(ApplicationDataFolder(installed), root + "usr/share/marisole/");
    EXPECT_EQ(ApplicationDataFolder(bare), bare) << "no share folder: the program's folder as before";
    EXPECT_EQ(ApplicationDataFolder(""), "");
}

struct PlaceCase {
    const char* name;
    bool installed;            // application folder under share/, not the program's folder
    bool programFolderMissing; // a program folder that cannot be written to
    bool appProfile;           // profile.dat in the application folder
    bool userProfile;          // profile.dat in the user's folder
    const char* expectedRead;  // "app", "user" or ""
    const char* expectedWrite; // "app" or "user"
};

const PlaceCase kPlaceCases[] = {
    {"BuildFolderKeepsTheFileBesideTheProgram", false, false, true, true, "app", "app"},
    {"BuildFolderWithoutAFile", false, false, false, false, "app", "app"},
    {"InstalledFirstStartTakesTheSharedValues", true, false, true, false, "app", "user"},
    {"InstalledLaterStartsReadTheUsersFile", true, false, true, true, "user", "user"},
    {"InstalledWithNoFileAnywhere", true, false, false, false, "", "user"},
    {"UnwritableProgramFolderUsesTheUsersFolder", false, true, false, false, "", "user"},
};

class ProfilePlaceTest : public testing::TestWithParam<PlaceCase> {};

TEST_P(ProfilePlaceTest, ChoosesWhereTheFileIsReadAndWritten) {
    const PlaceCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string user = Make(dir, "config/marisole");
    std::string program = Make(dir, "bin");
    std::string app = c.installed ? Make(dir, "share/marisole") : program;
    if (c.programFolderMissing) program = app = dir.path().toStdString() + "/gone/";
    if (c.appProfile) Touch(app + "profile.dat");
    if (c.userProfile) Touch(user + "profile.dat");

    const ProfilePlace place = ChooseProfilePlace(app, program, user, "profile.dat");
    const auto named = [&](const std::string& value) {
        return value == "app" ? app : value == "user" ? user : std::string();
    };
    EXPECT_EQ(place.readFolder, named(c.expectedRead));
    EXPECT_EQ(place.writeFolder, named(c.expectedWrite));
}

void PrintTo(const PlaceCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(AppFolders, ProfilePlaceTest, testing::ValuesIn(kPlaceCases), testsupport::PrintedName());

// An installed layout in a temporary folder, with the user's configuration folder beside it.
class InstalledProfile : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_program = Make(m_dir, "usr/bin");
        m_share = Make(m_dir, "usr/share/marisole");
        m_env.Set("XDG_CONFIG_HOME", m_dir.path().toStdString() + "/config");
        m_app.SetProgramFolder(m_program);
    }
    QTemporaryDir m_dir;
    ScopedEnvironment m_env;
    std::string m_program, m_share;
    CMainApp m_app;
};

TEST_F(InstalledProfile, SettingsLandInTheUserFolderAndAreReadBack) {
    CSettingsStore shared;
    shared.SetSettingInt("view", "mask", 7);
    ASSERT_TRUE(shared.SaveProfile(m_share, "profile.dat"));

    ASSERT_TRUE(m_app.LoadProfile("profile.dat"));
    EXPECT_EQ(m_app.GetSettingInt("view", "mask", 0), 7) << "the shared file gives the first start's values";
    m_app.SetSettingInt("view", "mask", 3);
    win::ScopedPrompts prompts;
    ASSERT_TRUE(m_app.SaveProfileOrReport("profile.dat"));
    EXPECT_TRUE(prompts->asked.empty());
    const std::string user = m_dir.path().toStdString() + "/config/marisole/";
    EXPECT_EQ(m_app.ProfileWritePath("profile.dat"), user + "profile.dat");

    CMainApp next;
    next.SetProgramFolder(m_program);
    ASSERT_TRUE(next.LoadProfile("profile.dat"));
    EXPECT_EQ(next.GetSettingInt("view", "mask", 0), 3) << "the next start reads the user's file";
    CSettingsStore untouched;
    ASSERT_TRUE(untouched.LoadProfile(m_share, "profile.dat"));
    EXPECT_EQ(untouched.GetSettingInt("view", "mask", 0), 7) << "the shared file is never written";
}

TEST_F(InstalledProfile, AFileThatCannotBeWrittenIsReportedOnce) {
    // A plain file where the configuration folder should be: no user, root included, can write there.
    const std::string blocker = m_dir.path().toStdString() + "/config";
    Touch(blocker);
    win::ScopedPrompts prompts;
    EXPECT_FALSE(m_app.SaveProfileOrReport("profile.dat"));
    EXPECT_FALSE(m_app.SaveProfileOrReport("profile.dat"));
    ASSERT_EQ(prompts->asked.size(), 1u);
    EXPECT_EQ(prompts->asked[0].kind, "message");
    EXPECT_NE(prompts->asked[0].text.find(blocker + "/marisole/profile.dat"), std::string::npos)
        << prompts->asked[0].text;
}

TEST_F(InstalledProfile, AnUnattendedEndReportsOnTheErrorStreamOnly) {
    Touch(m_dir.path().toStdString() + "/config");
    win::ScopedPrompts prompts;
    m_app.m_bEndingUnattended = true;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(m_app.SaveProfileOrReport("profile.dat"));
    EXPECT_FALSE(m_app.SaveProfileOrReport("profile.dat"));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(prompts->asked.empty()) << "nothing waits for a person";
    const std::string line = "the settings could not be saved to " + m_dir.path().toStdString() + "/config/marisole/profile.dat\n";
    EXPECT_EQ(err, "marisole: " + line) << "one line, once";
}

TEST(AppFoldersMainApp, SettingTheApplicationFolderAloneKeepsTodaysPlace) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString() + "/";
    CMainApp app;
    app.SetAppFolder(folder);
    EXPECT_EQ(app.GetProgramFolder(), folder);
    EXPECT_EQ(app.ProfileWritePath("profile.dat"), folder + "profile.dat");
}

}  // namespace
