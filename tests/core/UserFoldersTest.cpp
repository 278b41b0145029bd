#include "core/UserFolders.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdio>
#include <sys/stat.h>

#include "support/CaseNames.h"
#include "support/ScopedEnvironment.h"

namespace {

struct XdgCase {
    const char* name;
    const char* xdgValue;
    const char* home;
    const char* expected;
};

const XdgCase kXdgCases[] = {
    {"AbsoluteValue", "/x/conf", "/home/u", "/x/conf/marisole/"},
    {"AbsoluteValueWithSlash", "/x/conf/", "/home/u", "/x/conf/marisole/"},
    {"EmptyValueFallsBackToHome", "", "/home/u", "/home/u/.rel/marisole/"},
    {"RelativeValueIsIgnored", "conf", "/home/u/", "/home/u/.rel/marisole/"},
    {"NoHomeNoFolder", "", "", ""},
    {"RelativeHomeNoFolder", "", "home", ""},
};

class XdgUserFolderTest : public testing::TestWithParam<XdgCase> {};

TEST_P(XdgUserFolderTest, FollowsTheBaseDirectoryRules) {
    const XdgCase& c = GetParam();
    EXPECT_EQ(XdgUserFolder(c.xdgValue, c.home, ".rel"), c.expected);
}

void PrintTo(const XdgCase& c, std::ostream* os) { *os << c.name; }

INSTANTIATE_TEST_SUITE_P(UserFolders, XdgUserFolderTest, testing::ValuesIn(kXdgCases), testsupport::PrintedName());

TEST(UserFolders, ReadTheEnvironment) {
    ScopedEnvironment env;
    env.Set("HOME", "/home/someone");
    env.Set("XDG_CONFIG_HOME", nullptr);
    env.Set("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(ConfigFolder(), "/home/someone/.config/marisole/");
    EXPECT_EQ(DataFolder(), "/home/someone/.local/share/marisole/");
    env.Set("XDG_CONFIG_HOME", "/c");
    env.Set("XDG_DATA_HOME", "/d");
    EXPECT_EQ(ConfigFolder(), "/c/marisole/");
    EXPECT_EQ(DataFolder(), "/d/marisole/");
}

TEST(UserFolders, MakeUserFolderMakesMissingParentsPrivately) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString() + "/a/b/marisole/";
    ASSERT_TRUE(MakeUserFolder(folder));
    struct stat info{};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(MakeUserFolder(folder)) << "an existing folder is fine";
}

TEST(UserFolders, MakeUserFolderFailsOnAFileOrARelativePath) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string file = dir.path().toStdString() + "/plain";
    std::FILE* created = std::fopen(file.c_str(), "w");
    ASSERT_TRUE(created != nullptr);
    std::fclose(created);
    EXPECT_FALSE(MakeUserFolder(file + "/marisole/"));
    EXPECT_FALSE(MakeUserFolder(file));
    EXPECT_FALSE(MakeUserFolder("relative/folder/"));
    EXPECT_FALSE(MakeUserFolder(""));
}

}  // namespace
