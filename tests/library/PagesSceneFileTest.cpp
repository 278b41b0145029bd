// What a person sets on the pages is part of the scene: a material colour, a light colour and the
// lens chosen on the pages come back when the saved scene is opened again.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QSlider>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "MainWindowFixture.h"
#include "app/MainFrame.h"
#include "base/Cp932.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "library/MainView.h"
#include "scene/ColorObject.h"
#include "scene/MainDoc.h"
#include "view/ColorSwatchButton.h"
#include "view/LightColours.h"
#include "view/MaterialDlg.h"
#include "view/PicturePreviewButton.h"

TEST_F(MainWindowTest, ColourLightAndLensChosenOnThePagesSurviveSaveAndOpen) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    auto* material = static_cast<CMaterialDlg*>(view->PageWidget(CMainView::kMaterialPage));
    QWidget* lights = view->PageWidget(CMainView::kLightPage);
    QWidget* camera = view->PageWidget(CMainView::kCameraPage);

    // The skin turns green on the material page.
    view->Tabs()->setCurrentIndex(1);
    ClickItem(ItemLabelled("あたま"));
    const auto skin = material->Names()->findItems(QString::fromUtf8("肌"), Qt::MatchExactly);
    ASSERT_EQ(skin.size(), 1);
    material->Names()->setCurrentItem(skin.front());
    prompts->colorAnswers.push_back(0x00FF00u);
    QTest::mouseClick(material->ObjectButton(), Qt::LeftButton);
    // The sun turns orange on the light page.
    view->Tabs()->setCurrentIndex(2);
    auto* sun = lights->findChild<CColorSwatchButton*>(QStringLiteral("button1015"));
    ASSERT_NE(sun, nullptr);
    prompts->colorAnswers.push_back(0x0080FFu);
    QTest::mouseClick(sun, Qt::LeftButton);
    // The 300mm lens on the camera page.
    view->Tabs()->setCurrentIndex(3);
    auto* lens = camera->findChild<QComboBox*>(QStringLiteral("combo1040"));
    ASSERT_NE(lens, nullptr);
    lens->setCurrentIndex(3);
    emit lens->activated(3);
    Settle();
    ASSERT_EQ(GetApp()->GetSettingFloat("view", "field", 0), 1.0f);

    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/chosen.mrs";
    prompts->fileAnswers.push_back(path);
    ASSERT_TRUE(frame->RunCommand(ID_FILE_SAVE_AS));
    ASSERT_TRUE(frame->RunCommand(ID_FILE_NEW));
    Settle();
    GetApp()->SetSettingFloat("view", "field", 7.0f);
    prompts->fileAnswers.push_back(path);
    ASSERT_TRUE(frame->RunCommand(ID_FILE_OPEN));
    Settle();

    std::size_t skins = 0;
    for (const CPartObject* part : doc->AllParts())
        for (const auto& color : part->ColorObjects())
            if (color->m_generalName == cp932::FromUtf8("肌")) {
                ++skins;
                EXPECT_EQ(color->m_diffuse & 0xFFFFFF, 0x00FF00u);
            }
    EXPECT_GT(skins, 0u);
    EXPECT_EQ(GetLightColour(4), 0x0080FFu);
    EXPECT_EQ(sun->Color(), 0x0080FFu) << "the light page shows the opened scene's sun";
    EXPECT_EQ(GetApp()->GetSettingFloat("view", "field", 0), 1.0f);
    EXPECT_EQ(lens->currentIndex(), 3) << "the camera page shows the opened scene's lens";
    view->Tabs()->setCurrentIndex(1);
    ClickItem(ItemLabelled("あたま"));
    EXPECT_EQ(material->ObjectButton()->Color(), 0x00FF00u);
}

namespace {

// What the pages show of a scene: the material page's entry of 肌 on the head, the lights, and
// the camera page's lens, switches and pictures.
struct PagesShown {
    std::uint32_t object = 0, emission = 0, highlight = 0;
    int power = 0;
    std::vector<std::uint32_t> lights;
    int lens = -1;
    bool useForRender = false, useForEdit = false;
    std::vector<std::string> pictures;
    friend bool operator==(const PagesShown&, const PagesShown&) = default;
};

class PagesAfterOpenTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
        material = static_cast<CMaterialDlg*>(view->PageWidget(CMainView::kMaterialPage));
        lights = view->PageWidget(CMainView::kLightPage);
        camera = view->PageWidget(CMainView::kCameraPage);
        ASSERT_TRUE(dir.isValid());
    }
    // The skin of the head entry with its own emission, highlight and power.
    void ColourTheSkin(std::uint32_t object, std::uint32_t emission, std::uint32_t highlight, int power) {
        view->Tabs()->setCurrentIndex(1);
        ClickItem(ItemLabelled("あたま"));
        const auto skin = material->Names()->findItems(QString::fromUtf8("肌"), Qt::MatchExactly);
        ASSERT_EQ(skin.size(), 1);
        material->Names()->setCurrentItem(skin.front());
        for (auto [answer, button] : {std::pair{object, material->ObjectButton()},
                                      std::pair{emission, material->EmissionButton()},
                                      std::pair{highlight, material->HighlightButton()}}) {
            prompts->colorAnswers.push_back(answer);
            QTest::mouseClick(button, Qt::LeftButton);
        }
        material->PowerSlider()->setValue(power);
    }
    PagesShown Shown() {
        PagesShown s;
        view->Tabs()->setCurrentIndex(1);
        ClickItem(ItemLabelled("あたま"));
        const auto skin = material->Names()->findItems(QString::fromUtf8("肌"), Qt::MatchExactly);
        if (skin.size() == 1) material->Names()->setCurrentItem(skin.front());
        s.object = material->ObjectButton()->Color();
        s.emission = material->EmissionButton()->Color();
        s.highlight = material->HighlightButton()->Color();
        s.power = material->PowerSlider()->value();
        for (const char* id : {"button1016", "button1015", "button1012", "button1013", "button1014"})
            if (auto* b = lights->findChild<CColorSwatchButton*>(QString::fromLatin1(id))) s.lights.push_back(b->Color());
        if (auto* lens = camera->findChild<QComboBox*>(QStringLiteral("combo1040"))) s.lens = lens->currentIndex();
        if (auto* box = camera->findChild<QCheckBox*>(QStringLiteral("check1057"))) s.useForRender = box->isChecked();
        if (auto* box = camera->findChild<QCheckBox*>(QStringLiteral("check1018"))) s.useForEdit = box->isChecked();
        for (const char* id : {"preview1049", "preview1050", "preview1051"})
            if (auto* p = camera->findChild<CPicturePreviewButton*>(QString::fromLatin1(id))) s.pictures.push_back(p->Path());
        return s;
    }
    std::string Asset(const char* name) const { return doc->ResolveAssetPath(name); }
    std::string Save(const char* name) {
        const std::string path = dir.path().toStdString() + "/" + name;
        prompts->fileAnswers.push_back(path);
        EXPECT_TRUE(frame->RunCommand(ID_FILE_SAVE_AS));
        return path;
    }

    CMaterialDlg* material = nullptr;
    QWidget* lights = nullptr;
    QWidget* camera = nullptr;
    QTemporaryDir dir;
};

}  // namespace

TEST_F(PagesAfterOpenTest, ThePagesShowTheOpenedScenesColoursBackgroundAndEyes) {
    ASSERT_NO_FATAL_FAILURE(ColourTheSkin(0x0000FFu, 0x00FF00u, 0xFF0000u, 33));
    const std::string background = Asset("bg_02.jpg"), eye = Asset("eye_02a.bmp");
    ASSERT_FALSE(background.empty());
    ASSERT_FALSE(eye.empty());
    GetApp()->SetSettingString("render", "bg", background);
    GetApp()->SetSettingInt("bg", "render", 1);
    GetApp()->SetSettingString("render", "eye_L", eye);
    const std::string path = Save("pages.mrs");
    ASSERT_TRUE(frame->RunCommand(ID_FILE_NEW));
    Settle();
    prompts->fileAnswers.push_back(path);
    ASSERT_TRUE(frame->RunCommand(ID_FILE_OPEN));
    Settle();

    const PagesShown shown = Shown();
    EXPECT_EQ(shown.object, 0x0000FFu);
    EXPECT_EQ(shown.emission, 0x00FF00u) << "the emission swatch shows the emissive value";
    EXPECT_EQ(shown.highlight, 0xFF0000u) << "the highlight swatch shows the specular value";
    EXPECT_EQ(shown.power, 33);
    EXPECT_TRUE(shown.useForRender);
    EXPECT_FALSE(shown.useForEdit);
    EXPECT_EQ(shown.pictures, (std::vector<std::string>{background, eye, Asset("eye_01a.bmp")}));
}

TEST_F(PagesAfterOpenTest, AFileThatCannotBeOpenedLeavesThePagesAsTheyWere) {
    ASSERT_NO_FATAL_FAILURE(ColourTheSkin(0x0000FFu, 0x00FF00u, 0xFF0000u, 33));
    const std::string path = Save("whole.mrs");
    // The scene goes on after the save: other lens, background switches and skin.
    ASSERT_NO_FATAL_FAILURE(ColourTheSkin(0x00FFFFu, 0x000080u, 0x808080u, 60));
    GetApp()->SetSettingFloat("view", "field", 1.0f);
    GetApp()->SetSettingInt("bg", "edit", 1);
    win::SendMessage(GetApp()->m_pCameraDlg, win::WM_REFRESH);
    Settle();
    const PagesShown before = Shown();
    ASSERT_EQ(before.lens, 3);

    // The file's body cut short: the header and the settings in it are whole.
    QFile whole(QString::fromStdString(path));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    const std::string cut = dir.path().toStdString() + "/cut.mrs";
    QFile out(QString::fromStdString(cut));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes.left(bytes.size() * 2 / 3));
    out.close();

    prompts->messageAnswers.push_back(win::IDNO);  // 変更を保存しますか?
    prompts->fileAnswers.push_back(cut);
    ASSERT_TRUE(frame->RunCommand(ID_FILE_OPEN));
    Settle();
    ASSERT_FALSE(prompts->asked.empty());
    EXPECT_EQ(prompts->asked.back().text, "シーンデータが壊れているため、読み込みを中止しました。");
    EXPECT_EQ(Shown(), before);
    EXPECT_EQ(doc->GetPathName(), path);
}
