// The search order of eye textures and backgrounds.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include "SceneFixture.h"
#include "core/MainApp.h"

namespace {

class AssetPath : public SceneTest {
  protected:
    std::string Place(const std::string& absolute) {
        const QString path = QString::fromStdString(absolute);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
        return absolute;
    }
    void SetSetupPath(const std::string& folder) {
        QSettings registry(QStringLiteral("Halvern"), QStringLiteral("Marisole"));
        registry.setValue(QStringLiteral("setup/setup-path"), QString::fromStdString(folder));
        registry.sync();
    }
};

TEST_F(AssetPath, AnExistingFileIsItsOwnAnswer) {
    const std::string here = Place(TempPath("elsewhere/eye.bmp"));
    Place(AppFolder() + "eye.bmp");
    EXPECT_EQ(doc->ResolveAssetPath(here), here);
}

TEST_F(AssetPath, AMissingFileIsFoundByNameInTheDataFolders) {
    const std::string texture = Place(AppFolder() + "TEXTURE/eye_01a.bmp");
    EXPECT_EQ(doc->ResolveAssetPath("C:\\elsewhere\\eye_01a.bmp"), texture);
    EXPECT_EQ(doc->ResolveAssetPath("/elsewhere/eye_01a.bmp"), texture);
    const std::string image = Place(AppFolder() + "IMAGE/eye_01a.bmp");
    const std::string background = Place(AppFolder() + "BACKGROUND/eye_01a.bmp");
    EXPECT_EQ(doc->ResolveAssetPath("eye_01a.bmp"), texture);  // TEXTURE before BACKGROUND and IMAGE
    const std::string top = Place(AppFolder() + "eye_01a.bmp");
    EXPECT_EQ(doc->ResolveAssetPath("/x/eye_01a.bmp"), top);  // the data folder itself first
    EXPECT_EQ(doc->ResolveAssetPath("/x/bg.jpg"), "");
    Place(AppFolder() + "IMAGE/bg.jpg");
    EXPECT_EQ(doc->ResolveAssetPath("/x/bg.jpg"), AppFolder() + "IMAGE/bg.jpg");
    (void)image;
    (void)background;
}

TEST_F(AssetPath, TheSetupFolderComesAfterTheDataFolder) {
    const std::string setup = TempPath("setup");
    const std::string inSetup = Place(setup + "/BACKGROUND/sky.jpg");
    EXPECT_EQ(doc->ResolveAssetPath("sky.jpg"), "");  // no setup-path value: "?" finds nothing
    SetSetupPath(setup);
    EXPECT_EQ(doc->ResolveAssetPath("sky.jpg"), inSetup);
    const std::string inData = Place(AppFolder() + "IMAGE/sky.jpg");
    EXPECT_EQ(doc->ResolveAssetPath("sky.jpg"), inData);
}

TEST_F(AssetPath, EmptyAndFolderNamesResolveToNothing) {
    EXPECT_EQ(doc->ResolveAssetPath(""), "");
    QDir().mkpath(QString::fromStdString(AppFolder() + "TEXTURE/dir.bmp"));
    EXPECT_EQ(doc->ResolveAssetPath("dir.bmp"), "");
}

TEST_F(AssetPath, ResetResolvesTheDefaultEyeTexture) {
    const std::string eye = Place(AppFolder() + "TEXTURE/eye_01a.bmp");
    doc->OnNewDocument();
    EXPECT_EQ(GetApp()->GetSettingString("render", "eye_L", ""), eye);
    EXPECT_EQ(GetApp()->GetSettingString("render", "eye_R", ""), eye);
    EXPECT_EQ(GetApp()->GetSettingString("render", "bg", "x"), "");
}

}  // namespace
