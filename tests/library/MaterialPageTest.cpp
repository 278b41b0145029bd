// The material page on the sample library: the names of a part's colours, recolouring a material
// across parts, the power slider, the palette, undo, and a page whose part has gone.

#include <QListWidget>
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
#include "view/3DView.h"
#include "view/ColorSwatchButton.h"
#include "view/LightColours.h"
#include "view/MaterialDlg.h"

namespace {

class MaterialPageTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        page = static_cast<CMaterialDlg*>(view->PageWidget(CMainView::kMaterialPage));
        view->Tabs()->setCurrentIndex(1);
        ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    }
    // Selects the part entry labelled `label` and the page's entry of `generalName`.
    void SelectMaterial(const char* label, const char* generalName) {
        ClickItem(ItemLabelled(label));
        const QList<QTreeWidgetItem*> found =
            page->Names()->findItems(QString::fromUtf8(generalName), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << generalName;
        page->Names()->setCurrentItem(found.front());
    }
    // Every colour object of the general name (UTF-8) in the scene.
    std::vector<const CColorObject*> ColoursNamed(const char* generalName) const {
        std::vector<const CColorObject*> colours;
        for (const CPartObject* part : doc->AllParts())
            for (const auto& color : part->ColorObjects())
                if (color->m_generalName == cp932::FromUtf8(generalName)) colours.push_back(color.get());
        return colours;
    }
    QImage Shown() {
        view->EditView()->DrawView();
        return view->EditView()->ShownFrame().convertToFormat(QImage::Format_RGB32);
    }

    CMaterialDlg* page = nullptr;
};

}  // namespace

TEST_F(MaterialPageTest, ListsEachGeneralNameOfThePartOnce) {
    ClickItem(ItemLabelled("からだ"));
    QStringList names;
    for (int i = 0; i < page->Names()->topLevelItemCount(); ++i) names << page->Names()->topLevelItem(i)->text(0);
    EXPECT_EQ(names.count(QString::fromUtf8("シャツ")), 1) << "shirt and both sleeves are one material";
    EXPECT_TRUE(page->Names()->isEnabled());
    EXPECT_EQ(page->Names()->currentItem(), page->Names()->topLevelItem(0)) << "the first entry shows";
}

TEST_F(MaterialPageTest, ACategoryOrNothingSelectedEmptiesAndDisablesThePage) {
    ClickItem(ItemLabelled("からだ"));
    ASSERT_GT(page->Names()->topLevelItemCount(), 0);
    for (HTREEITEM item : {doc->GetCharacterItem(), HTREEITEM(0)}) {
        if (item != 0)
            ClickItem(item);
        else
            win::SendMessage(view, win::WM_SELECT_TREE_ITEM, 0);
        EXPECT_EQ(page->Names()->topLevelItemCount(), 0);
        EXPECT_FALSE(page->ObjectButton()->isEnabled());
        EXPECT_FALSE(page->PowerSlider()->isEnabled());
        EXPECT_FALSE(page->SaveButton()->isEnabled());
    }
}

TEST_F(MaterialPageTest, AColourChangeRecoloursEveryPartSharingTheGeneralName) {
    SelectMaterial("あたま", "肌");
    const auto skins = ColoursNamed("肌");
    ASSERT_GE(skins.size(), 3u) << "face, arms and hands";
    prompts->colorAnswers.push_back(0x00FF00u);  // COLORREF green
    QTest::mouseClick(page->ObjectButton(), Qt::LeftButton);
    Settle();
    EXPECT_EQ(page->ObjectButton()->Color(), 0x00FF00u);
    for (const CColorObject* skin : skins) EXPECT_EQ(skin->m_diffuse & 0xFFFFFF, 0x00FF00u);

    // The emission and highlight buttons write their own values (COLORREF red → 0x00RRGGBB).
    prompts->colorAnswers.push_back(0x0000FFu);
    QTest::mouseClick(page->EmissionButton(), Qt::LeftButton);
    prompts->colorAnswers.push_back(0xFF0000u);
    QTest::mouseClick(page->HighlightButton(), Qt::LeftButton);
    for (const CColorObject* skin : skins) {
        EXPECT_EQ(skin->m_emissive & 0xFFFFFF, 0xFF0000u);
        EXPECT_EQ(skin->m_specular & 0xFFFFFF, 0x0000FFu);
    }
    // A cancelled chooser changes nothing.
    prompts->colorAnswers.push_back(std::nullopt);
    QTest::mouseClick(page->ObjectButton(), Qt::LeftButton);
    EXPECT_EQ(skins.front()->m_diffuse & 0xFFFFFF, 0x00FF00u);
}

TEST_F(MaterialPageTest, UndoPutsTheOldColourBackOnScreen) {
    SelectMaterial("からだ", "シャツ");
    ASSERT_NE(page->Names()->currentItem(), page->Names()->topLevelItem(0)) << "シャツ is not the first name";
    const std::uint32_t shirt = page->ObjectButton()->Color();
    ASSERT_NE(shirt, 0x00FF00u);
    const QImage before = Shown();
    prompts->colorAnswers.push_back(0x00FF00u);
    QTest::mouseClick(page->ObjectButton(), Qt::LeftButton);
    Settle();
    const QImage changed = Shown();
    ASSERT_NE(changed, before) << "the shirt turned green on screen";
    view->EditView()->UndoLast();
    Settle();
    EXPECT_EQ(Shown(), before);
    ASSERT_NE(page->Names()->currentItem(), nullptr);
    EXPECT_EQ(page->Names()->currentItem()->text(0), QString::fromUtf8("シャツ")) << "the page stays at the material";
    EXPECT_EQ(page->ObjectButton()->Color(), shirt) << "the page shows the restored colour";
    view->EditView()->RedoLast();
    Settle();
    EXPECT_EQ(Shown(), changed);
    EXPECT_EQ(page->ObjectButton()->Color(), 0x00FF00u);
}

// Objects of one general name that differ, as a newly loaded part's own mesh colours make them.
class DifferingMaterialTest : public MaterialPageTest {
  protected:
    void SetUp() override {
        MaterialPageTest::SetUp();
        skins = ColoursNamed("肌");
        ASSERT_GE(skins.size(), 3u) << "face, arms and hands";
        for (std::size_t i = 0; i < skins.size(); ++i) {
            auto* skin = const_cast<CColorObject*>(skins[i]);
            skin->m_diffuse = 0xFF000000u | static_cast<std::uint32_t>(0x101010 * (i + 1));
            skin->m_specular = static_cast<std::uint32_t>(0x020202 * (i + 1));
            skin->m_emissive = static_cast<std::uint32_t>(0x030303 * (i + 1));
            skin->m_power = static_cast<float>(10 * (i + 1));
            skin->ApplyColor();
        }
        before = Values();
        SelectMaterial("あたま", "肌");
        undoSteps = view->EditView()->History().UndoCount();
    }
    struct Colour {
        std::uint32_t diffuse, specular, emissive;
        float power;
        friend bool operator==(const Colour&, const Colour&) = default;
    };
    std::vector<Colour> Values() const {
        std::vector<Colour> values;
        for (const CColorObject* c : skins)
            values.push_back({c->m_diffuse & 0xFFFFFF, c->m_specular, c->m_emissive, c->m_power});
        return values;
    }
    std::vector<const CColorObject*> skins;
    std::vector<Colour> before;
    std::size_t undoSteps = 0;
};

TEST_F(DifferingMaterialTest, UndoGivesEachObjectOfTheNameItsOwnColourBack) {
    prompts->colorAnswers.push_back(0x00FF00u);
    QTest::mouseClick(page->ObjectButton(), Qt::LeftButton);
    for (const CColorObject* skin : skins) EXPECT_EQ(skin->m_diffuse & 0xFFFFFF, 0x00FF00u);
    ASSERT_EQ(view->EditView()->History().UndoCount(), undoSteps + 1);
    view->EditView()->UndoLast();
    EXPECT_EQ(Values(), before) << "each part has its own old colour again";
    view->EditView()->RedoLast();
    for (const CColorObject* skin : skins) EXPECT_EQ(skin->m_diffuse & 0xFFFFFF, 0x00FF00u);
}

TEST_F(DifferingMaterialTest, ChoosingWhatIsShownMakesTheObjectsOneMaterialAsOneStep) {
    // The chooser is confirmed with the colour the button already shows.
    const std::uint32_t shown = page->ObjectButton()->Color();
    prompts->colorAnswers.push_back(shown);
    QTest::mouseClick(page->ObjectButton(), Qt::LeftButton);
    const CColorObject* face = skins.front();
    for (const CColorObject* skin : skins) {
        EXPECT_EQ(skin->m_diffuse & 0xFFFFFF, SwapRedBlue(shown));
        // The whole material comes along: the other values are the shown object's too.
        EXPECT_EQ(skin->m_power, static_cast<float>(page->PowerSlider()->value()));
        EXPECT_EQ(skin->m_specular, face->m_specular);
        EXPECT_EQ(skin->m_emissive, face->m_emissive);
    }
    EXPECT_EQ(view->EditView()->History().UndoCount(), undoSteps + 1);
    EXPECT_TRUE(doc->IsModified());
    view->EditView()->UndoLast();
    EXPECT_EQ(Values(), before);

    // Once they are one material, choosing the shown colour again changes nothing and is no step.
    prompts->colorAnswers.push_back(shown);
    QTest::mouseClick(page->ObjectButton(), Qt::LeftButton);
    const std::size_t steps = view->EditView()->History().UndoCount();
    prompts->colorAnswers.push_back(shown);
    QTest::mouseClick(page->ObjectButton(), Qt::LeftButton);
    EXPECT_EQ(view->EditView()->History().UndoCount(), steps);
}

TEST_F(DifferingMaterialTest, UndoOfAPowerChangeGivesEveryObjectItsOwnPowerBack) {
    QSlider& slider = *page->PowerSlider();
    slider.setSliderDown(true);
    slider.setValue(77);
    slider.setSliderDown(false);
    for (const CColorObject* skin : skins) EXPECT_EQ(skin->m_power, 77.0f);
    view->EditView()->UndoLast();
    EXPECT_EQ(Values(), before);
    view->EditView()->RedoLast();
    for (const CColorObject* skin : skins) EXPECT_EQ(skin->m_power, 77.0f);
}

TEST_F(DifferingMaterialTest, APaletteLoadPutsEachColourInItsPlaceAndIsOneStep) {
    // Three different colours, each on its own button, and a power.
    prompts->colorAnswers.push_back(0x0000FFu);  // object: red
    QTest::mouseClick(page->ObjectButton(), Qt::LeftButton);
    prompts->colorAnswers.push_back(0x00FF00u);  // emission: green
    QTest::mouseClick(page->EmissionButton(), Qt::LeftButton);
    prompts->colorAnswers.push_back(0xFF0000u);  // highlight: blue
    QTest::mouseClick(page->HighlightButton(), Qt::LeftButton);
    page->PowerSlider()->setValue(42);
    prompts->textAnswers.push_back(std::string("rgb"));
    QTest::mouseClick(page->SaveButton(), Qt::LeftButton);
    ASSERT_EQ(page->Palette().count("rgb"), 1u);
    const CMaterialDlg::PaletteRecord& saved = page->Palette().at("rgb");
    EXPECT_EQ(saved.object, 0x0000FFu);
    EXPECT_EQ(saved.emission, 0x00FF00u);
    EXPECT_EQ(saved.highlight, 0xFF0000u);
    EXPECT_EQ(saved.power, 42.0f);

    SelectMaterial("からだ", "シャツ");
    const auto shirts = ColoursNamed("シャツ");
    ASSERT_FALSE(shirts.empty());
    const std::uint32_t shirtSpecular = shirts.front()->m_specular;
    const std::size_t steps = view->EditView()->History().UndoCount();
    page->PaletteList()->setCurrentRow(0);
    QTest::mouseClick(page->LoadButton(), Qt::LeftButton);
    for (const CColorObject* shirt : shirts) {
        EXPECT_EQ(shirt->m_diffuse & 0xFFFFFF, 0xFF0000u) << "object colour";
        EXPECT_EQ(shirt->m_emissive & 0xFFFFFF, 0x00FF00u) << "emission goes to the emissive value";
        EXPECT_EQ(shirt->m_specular & 0xFFFFFF, 0x0000FFu) << "highlight goes to the specular value";
        EXPECT_EQ(shirt->m_power, 42.0f);
    }
    EXPECT_EQ(page->ObjectButton()->Color(), 0x0000FFu);
    EXPECT_EQ(page->EmissionButton()->Color(), 0x00FF00u);
    EXPECT_EQ(page->HighlightButton()->Color(), 0xFF0000u);
    EXPECT_EQ(page->PowerSlider()->value(), 42);
    ASSERT_EQ(view->EditView()->History().UndoCount(), steps + 1);
    view->EditView()->UndoLast();
    EXPECT_EQ(shirts.front()->m_specular, shirtSpecular);
    EXPECT_NE(shirts.front()->m_power, 42.0f);
}

TEST_F(MaterialPageTest, ThePowerAppliesOnReleaseAndOnKeysButNotDuringADrag) {
    SelectMaterial("あたま", "髪");
    const auto hair = ColoursNamed("髪");
    ASSERT_FALSE(hair.empty());
    QSlider& slider = *page->PowerSlider();
    EXPECT_EQ(slider.value(), static_cast<int>(hair.front()->m_power));

    slider.setSliderDown(true);
    slider.setValue(73);
    EXPECT_NE(hair.front()->m_power, 73.0f) << "nothing is applied while the slider is held";
    slider.setSliderDown(false);  // released
    EXPECT_EQ(hair.front()->m_power, 73.0f);

    slider.setFocus();
    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_EQ(hair.front()->m_power, 74.0f) << "a key press stores the power";
    QTest::keyClick(&slider, Qt::Key_PageDown);
    EXPECT_EQ(hair.back()->m_power, static_cast<float>(slider.value()));

    // Showing another entry moves the slider without applying anything to either material.
    const float hairPower = hair.front()->m_power;
    ASSERT_FALSE(ColoursNamed("肌").empty());
    const float skinPower = ColoursNamed("肌").front()->m_power;
    ASSERT_NE(static_cast<int>(skinPower), static_cast<int>(hairPower));
    SelectMaterial("あたま", "肌");
    EXPECT_EQ(slider.value(), static_cast<int>(skinPower));
    EXPECT_EQ(hair.front()->m_power, hairPower);
    EXPECT_EQ(ColoursNamed("肌").front()->m_power, skinPower);
}

TEST_F(MaterialPageTest, CancelledSavesStillCountTheDefaultNames) {
    SelectMaterial("あたま", "肌");
    for (int i = 0; i < 3; ++i) prompts->textAnswers.push_back(std::nullopt);
    for (int i = 0; i < 3; ++i) QTest::mouseClick(page->SaveButton(), Qt::LeftButton);
    ASSERT_EQ(prompts->asked.size(), 3u);
    const std::string first = prompts->asked[0].initial;
    int start = -1;
    ASSERT_EQ(std::sscanf(first.c_str(), "USER COLOR #%d", &start), 1) << first;
    for (int i = 0; i < 3; ++i) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "USER COLOR #%02d", start + i);
        EXPECT_EQ(prompts->asked[static_cast<std::size_t>(i)].initial, expected);
        EXPECT_EQ(prompts->asked[static_cast<std::size_t>(i)].caption, "質感の保存");
        EXPECT_EQ(prompts->asked[static_cast<std::size_t>(i)].text, "名称を入力してください");
    }
    EXPECT_EQ(page->PaletteList()->count(), 0);
    prompts->textAnswers.push_back(std::string("mine"));
    QTest::mouseClick(page->SaveButton(), Qt::LeftButton);
    char next[32];
    std::snprintf(next, sizeof next, "USER COLOR #%02d", start + 3);
    EXPECT_EQ(prompts->asked.back().initial, next);
    EXPECT_EQ(page->PaletteList()->count(), 1);
}

TEST_F(MaterialPageTest, APaletteEntryLoadsOntoAnotherMaterialAndGoesOnDelete) {
    SelectMaterial("あたま", "髪");
    prompts->colorAnswers.push_back(0x102030u);
    QTest::mouseClick(page->ObjectButton(), Qt::LeftButton);
    prompts->textAnswers.push_back(std::string("dark"));
    QTest::mouseClick(page->SaveButton(), Qt::LeftButton);
    ASSERT_EQ(page->Palette().count("dark"), 1u);
    const CMaterialDlg::PaletteRecord saved = page->Palette().at("dark");
    EXPECT_EQ(saved.object, 0x102030u);
    EXPECT_EQ(saved.power, static_cast<float>(page->PowerSlider()->value()));

    SelectMaterial("からだ", "シャツ");
    page->PaletteList()->setCurrentRow(0);
    QTest::mouseClick(page->LoadButton(), Qt::LeftButton);
    for (const CColorObject* shirt : ColoursNamed("シャツ")) {
        EXPECT_EQ(shirt->m_diffuse & 0xFFFFFF, 0x302010u);
        EXPECT_EQ(shirt->m_power, saved.power);
    }
    EXPECT_EQ(page->ObjectButton()->Color(), 0x102030u);

    QTest::mouseClick(page->DeleteButton(), Qt::LeftButton);
    EXPECT_EQ(page->PaletteList()->count(), 0);
    EXPECT_TRUE(page->Palette().empty());
}

TEST_F(MaterialPageTest, APageWhosePartWentActsOnNothingAndEmpties) {
    SelectMaterial("あたま", "肌");
    // A pose set that is not in the archive: the scene is emptied without a selection change.
    prompts->messageAnswers.push_back(win::IDOK);
    doc->LoadPoseSet("NOWHERE.OBJ");
    Settle();
    prompts->colorAnswers.push_back(0x00FF00u);
    QTest::mouseClick(page->ObjectButton(), Qt::LeftButton);
    EXPECT_EQ(prompts->colorAnswers.size(), 1u) << "no chooser for a part that is gone";
    EXPECT_EQ(page->Names()->topLevelItemCount(), 0);
    EXPECT_FALSE(page->ObjectButton()->isEnabled());
}

TEST_F(MaterialPageTest, AfterOpenThePageActsOnTheOpenedScene) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/scene.mrs";
    ASSERT_TRUE(doc->OnSaveDocument(path));
    SelectMaterial("あたま", "肌");
    prompts->fileAnswers.push_back(path);
    ASSERT_TRUE(frame->RunCommand(ID_FILE_OPEN));
    Settle();
    SelectMaterial("あたま", "肌");
    prompts->colorAnswers.push_back(0x00FF00u);
    QTest::mouseClick(page->ObjectButton(), Qt::LeftButton);
    const auto skins = ColoursNamed("肌");
    ASSERT_FALSE(skins.empty());
    for (const CColorObject* skin : skins) EXPECT_EQ(skin->m_diffuse & 0xFFFFFF, 0x00FF00u);
}
