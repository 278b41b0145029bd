// The light page on the sample library, through its real buttons: the rows' order, a chosen colour
// reaching the light and its marker, the markers after a pose set load, cancel and the same
// colour, undo with Ctrl+Z, and the colours a scene file brings back.

#include <QLabel>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#include "MainWindowFixture.h"
#include "app/MainFrame.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "library/MainView.h"
#include "platform/rm/Face.h"
#include "platform/rm/Library.h"
#include "platform/rm/Light.h"
#include "platform/rm/Material.h"
#include "platform/rm/MeshBuilder.h"
#include "scene/FrameNames.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"
#include "view/ColorSwatchButton.h"

namespace {

// COLORREF (0x00BBGGRR) of a red, green, blue triple.
constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r | (g << 8) | (b << 16);
}
// COLORREF of a light colour 0x00RRGGBB.
constexpr std::uint32_t RefOf(std::uint32_t rgb) {
    return Rgb(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

struct LightCase {
    int index;
    const char* button;       // object name
    const char* markerLabel;  // tree label of the marker part; null for the ambient light
};

// The rows from the top of the page.
const LightCase kLights[] = {
    {0, "button1016", nullptr},    {4, "button1015", "太陽光"},   {1, "button1012", "点光源１"},
    {2, "button1013", "点光源２"}, {3, "button1014", "点光源３"},
};

class LightPageTest : public MainWindowTest {
  protected:
    void ShowLightPage() {
        view->Tabs()->setCurrentIndex(2);
        Settle();
        ASSERT_TRUE(Page().isVisible());
    }
    QWidget& Page() const { return *view->PageWidget(CMainView::kLightPage); }
    CColorSwatchButton* Button(const char* name) const {
        return Page().findChild<CColorSwatchButton*>(QString::fromLatin1(name));
    }
    // Clicks the button with the chooser scripted to answer `answer` (nullopt: cancel).
    void ChooseWith(const char* button, std::optional<std::uint32_t> answer) {
        CColorSwatchButton* b = Button(button);
        ASSERT_NE(b, nullptr) << button;
        prompts->colorAnswers.push_back(answer);
        QTest::mouseClick(b, Qt::LeftButton);
        Settle();
        EXPECT_TRUE(prompts->colorAnswers.empty()) << button << " did not open the chooser";
    }
    // The light's colour, 0x00RRGGBB.
    static std::uint32_t LightColour(int index) {
        auto light = rm::RefCast<rm::Light>(
            GetApp()->m_lpD3DRM->GetNamedObject("LIGHTOBJECT@" + std::to_string(index)));
        return light ? light->GetColor() & 0xFFFFFF : 0xDEADBEEF;
    }
    // Ticks the marker's tree item so that its geometry is shown.
    void ShowMarker(const char* label) {
        const HTREEITEM item = ItemLabelled(label);
        ASSERT_NE(item, 0u) << label;
        CPartObject* marker = doc->FindPartByItem(item);
        ASSERT_NE(marker, nullptr) << label;
        if (!marker->IsVisible()) ClickCheckBox(item);
        ASSERT_TRUE(marker->IsVisible()) << label;
    }
    // Every face of the marker's "IRO" meshes has an emissive material of the colour (0x00RRGGBB).
    void ExpectMarkerColour(const char* label, std::uint32_t rgb) {
        SCOPED_TRACE(label);
        CPartObject* marker = doc->FindPartByItem(ItemLabelled(label));
        ASSERT_NE(marker, nullptr);
        rm::Ref<rm::Frame> iro = FindFrameByName("IRO", marker->GetFrame());
        ASSERT_TRUE(iro);
        std::size_t faces = 0;
        for (const auto& visual : iro->Visuals()) {
            auto* mesh = dynamic_cast<rm::MeshBuilder*>(visual.Get());
            if (!mesh) continue;
            for (const auto& face : mesh->Faces()) {
                const rm::Material* material = face->MaterialPtr();
                ASSERT_NE(material, nullptr);
                EXPECT_NEAR(material->Emissive().x, ((rgb >> 16) & 0xFF) / 255.0f, 1e-5f);
                EXPECT_NEAR(material->Emissive().y, ((rgb >> 8) & 0xFF) / 255.0f, 1e-5f);
                EXPECT_NEAR(material->Emissive().z, (rgb & 0xFF) / 255.0f, 1e-5f);
                EXPECT_EQ(material->GetPower(), 1000.0f);
                ++faces;
            }
        }
        EXPECT_GT(faces, 0u) << "the marker shows no IRO geometry";
    }
};

}  // namespace

TEST_F(LightPageTest, TheRowsStandAmbientSunAndThePointLightsFromTheTopWithinThePage) {
    ShowLightPage();
    const char* const texts[][2] = {
        {"環境", "環境光"},   {"太陽", "太陽光"},   {"点１", "点光源１"},
        {"点２", "点光源２"}, {"点３", "点光源３"},
    };
    int previousTop = -1;
    for (std::size_t row = 0; row < std::size(kLights); ++row) {
        SCOPED_TRACE(kLights[row].button);
        CColorSwatchButton* button = Button(kLights[row].button);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromUtf8(texts[row][0]));
        EXPECT_GT(button->y(), previousTop);
        previousTop = button->y();
        EXPECT_TRUE(button->isVisible());
        EXPECT_TRUE(Page().rect().contains(button->geometry())) << "inside the page the host gives";
        const QLabel* label = nullptr;
        for (const QLabel* l : Page().findChildren<QLabel*>())
            if (l->buddy() == button) label = l;
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromUtf8(texts[row][1]));
        EXPECT_LT(label->geometry().right(), button->x()) << "the label stands left of its button";
        EXPECT_EQ(label->y(), button->y());
    }
}

TEST_F(LightPageTest, APoseSetLoadShowsTheLightsOnTheButtonsAndOnTheHiddenMarkers) {
    ShowLightPage();
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    const std::uint32_t defaults[] = {0x363636, 0x888888, 0x000000, 0x000000, 0x444444};  // by index
    for (const LightCase& c : kLights) {
        SCOPED_TRACE(c.button);
        EXPECT_EQ(Button(c.button)->Color(), RefOf(defaults[c.index]));
        if (!c.markerLabel) continue;
        EXPECT_FALSE(doc->FindPartByItem(ItemLabelled(c.markerLabel))->IsVisible()) << "markers start hidden";
        ShowMarker(c.markerLabel);
        ExpectMarkerColour(c.markerLabel, defaults[c.index]);
    }
}

TEST_F(LightPageTest, AChosenColourBecomesTheLightsAndItsMarkersAndTheAmbientLightRecoloursNoMarker) {
    ShowLightPage();
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    for (const LightCase& c : kLights)
        if (c.markerLabel) ShowMarker(c.markerLabel);

    // The ambient light comes first, while no marker is orange yet.
    for (const LightCase& chosen : kLights) {
        SCOPED_TRACE(chosen.button);
        std::uint32_t before[5];
        for (int k = 0; k < 5; ++k) before[k] = LightColour(k);
        ChooseWith(chosen.button, Rgb(255, 128, 0));
        EXPECT_EQ(Button(chosen.button)->Color(), Rgb(255, 128, 0));
        for (const LightCase& c : kLights) {
            EXPECT_EQ(LightColour(c.index), c.index == chosen.index ? 0xFF8000u : before[c.index])
                << c.button;
            // Every marker carries its own light's colour; only the chosen one turned orange.
            if (c.markerLabel) ExpectMarkerColour(c.markerLabel, LightColour(c.index));
        }
    }
}

TEST_F(LightPageTest, CancelOrTheSameColourKeepsTheLightAndAddsNoUndoStep) {
    ShowLightPage();
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    C3DView& edit = *view->EditView();
    const std::optional<std::uint32_t> answers[] = {std::nullopt, Rgb(0x88, 0x88, 0x88)};
    for (const std::optional<std::uint32_t>& answer : answers) {
        SCOPED_TRACE(answer ? "same colour" : "cancel");
        const std::size_t steps = edit.History().UndoCount();
        prompts->asked.clear();
        ChooseWith("button1012", answer);
        ASSERT_EQ(prompts->asked.size(), 1u);
        EXPECT_EQ(prompts->asked[0].kind, "color");
        EXPECT_EQ(prompts->asked[0].owner, &Page());
        EXPECT_EQ(LightColour(1), 0x888888u);
        EXPECT_EQ(Button("button1012")->Color(), Rgb(0x88, 0x88, 0x88));
        EXPECT_EQ(edit.History().UndoCount(), steps);
    }
}

TEST_F(LightPageTest, CtrlZTakesBackALightColourAndTheButtonShowsItCtrlYBringsItAgain) {
    ShowLightPage();
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    C3DView& edit = *view->EditView();
    const std::size_t steps = edit.History().UndoCount();
    CColorSwatchButton* sun = Button("button1015");
    ChooseWith("button1015", Rgb(0x20, 0x40, 0xC0));
    ASSERT_EQ(LightColour(4), 0x2040C0u);
    ASSERT_EQ(edit.History().UndoCount(), steps + 1) << "one step for one colour";
    // The keys reach the main window's shortcuts while it is the active window.
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));

    struct Key {
        Qt::Key key;
        std::uint32_t rgb;
        std::size_t undoSteps;
    };
    for (const Key& k : {Key{Qt::Key_Z, 0x444444, steps}, Key{Qt::Key_Y, 0x2040C0, steps + 1}}) {
        SCOPED_TRACE(k.key == Qt::Key_Z ? "Ctrl+Z" : "Ctrl+Y");
        QTest::keyClick(sun, k.key, Qt::ControlModifier);
        Settle();
        EXPECT_EQ(edit.History().UndoCount(), k.undoSteps);
        EXPECT_EQ(LightColour(4), k.rgb);
        EXPECT_EQ(sun->Color(), RefOf(k.rgb));
    }
}

TEST_F(LightPageTest, OpenBringsBackTheSavedLightColoursOnTheButtonsAndMarkers) {
    ShowLightPage();
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    ChooseWith("button1015", Rgb(255, 128, 0));
    ChooseWith("button1013", Rgb(0x10, 0x20, 0x30));
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/lights.mrs";
    prompts->fileAnswers.push_back(path);
    ASSERT_TRUE(frame->RunCommand(ID_FILE_SAVE_AS));
    // Something else on the buttons, so that only the scene file can put the saved colours back.
    ChooseWith("button1015", Rgb(0, 0, 255));
    ChooseWith("button1013", Rgb(0, 255, 0));
    // The changed lights are unsaved: New asks first, and No lets them go.
    prompts->messageAnswers.push_back(win::IDNO);
    ASSERT_TRUE(frame->RunCommand(ID_FILE_NEW));
    EXPECT_EQ(prompts->MessageTexts().back(), "変更を保存しますか?");
    Settle();
    prompts->fileAnswers.push_back(path);
    ASSERT_TRUE(frame->RunCommand(ID_FILE_OPEN));
    Settle();
    ASSERT_EQ(doc->GetPathName(), path);

    const std::uint32_t expected[] = {0x363636, 0x888888, 0x102030, 0x000000, 0xFF8000};  // by index
    for (const LightCase& c : kLights) {
        SCOPED_TRACE(c.button);
        const std::uint32_t rgb = expected[c.index];
        EXPECT_EQ(LightColour(c.index), rgb);
        EXPECT_EQ(Button(c.button)->Color(), RefOf(rgb));
        if (!c.markerLabel) continue;
        ShowMarker(c.markerLabel);
        ExpectMarkerColour(c.markerLabel, rgb);
    }
}
