// What a person sets on the pages is part of the scene: a material colour, a light colour and the
// lens chosen on the pages come back when the saved scene is opened again.

#include <QComboBox>
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
