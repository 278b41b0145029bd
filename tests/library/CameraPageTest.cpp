// The camera and background page (ｵﾌﾟｼｮﾝ) in the main window on the sample library: the lens and its
// undo, the two background switches with the render-size display, the three picture choosers and
// the eye textures on every eye, the hardware box, the layout, and the picture preview button.

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <functional>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <deque>
#include <optional>

#include "MainWindowFixture.h"
#include "app/MainFrame.h"
#include "base/Cp932.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "library/MainView.h"
#include "library/PageHost.h"
#include "platform/rm/MeshBuilder.h"
#include "platform/rm/Texture.h"
#include "platform/win/UserPrompts.h"
#include "platform/win/WindowMessages.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"
#include "view/CameraDlg.h"
#include "view/PicturePreviewButton.h"

namespace {

constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);

// Writes a picture of one colour as a 24-bit BMP; the path in native bytes.
std::string WriteBmp(const QTemporaryDir& dir, const char* name, QRgb colour, QSize size = {16, 16}) {
    QImage image(size, QImage::Format_RGB888);
    image.fill(colour);
    const QString path = dir.filePath(QString::fromUtf8(name));
    EXPECT_TRUE(image.save(path, "BMP")) << name;
    return path.toStdString();
}

std::string WriteText(const QTemporaryDir& dir, const char* name, const char* text) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return path.toStdString();
}

// Remembers every file chooser request in full (the scripted prompts keep only the caption) and
// answers from a queue; installed for the life of the object.
class RequestRecorder final : public win::UserPrompts {
  public:
    std::vector<win::FileChooserRequest> requests;
    std::deque<std::optional<std::string>> answers;

    int ShowMessageBox(const win::MessageBoxRequest&) override { return win::IDOK; }
    std::optional<std::uint32_t> ChooseColor(QWidget*, std::uint32_t) override { return std::nullopt; }
    std::optional<std::string> ChooseOpenFile(const win::FileChooserRequest& request) override {
        requests.push_back(request);
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<std::string> ChooseSaveFile(const win::FileChooserRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> PromptText(const win::TextPromptRequest&) override { return std::nullopt; }
    bool IsShiftDown() override { return false; }
};

class ScopedRecorder {
  public:
    ScopedRecorder() {
        auto recorder = std::make_unique<RequestRecorder>();
        m_recorder = recorder.get();
        m_previous = win::InstallPrompts(std::move(recorder));
    }
    ~ScopedRecorder() { win::InstallPrompts(std::move(m_previous)); }
    RequestRecorder* operator->() { return m_recorder; }

  private:
    RequestRecorder* m_recorder;
    std::unique_ptr<win::UserPrompts> m_previous;
};

// The stored text of a setting, none when absent.
std::optional<std::string> Stored(const char* section, const char* key) {
    const auto& values = GetApp()->Settings().Values();
    const auto it = values.find(std::string(section) + "/" + key);
    if (it == values.end()) return std::nullopt;
    return it->second;
}

// The first texel of the texture on every mesh of the frames of a general name ("左目", "右目");
// 0 stands for a face without texture.
std::vector<std::uint32_t> EyeTexels(const CMainDoc& doc, const char* generalName) {
    std::vector<std::uint32_t> texels;
    for (const auto& frame : doc.FindFramesByGeneralName(cp932::FromUtf8(generalName)))
        for (const auto& visual : frame->Visuals())
            if (auto* mesh = dynamic_cast<rm::MeshBuilder*>(visual.Get()))
                for (const rm::FaceRecord& face : mesh->FaceRecords())
                    texels.push_back(face.texture ? face.texture->Texel(0, 0) | 0xFF000000u : 0);
    return texels;
}

// The rectangle of the window that the frames of a general name cover (their boxes projected
// through the main viewport).
QRect ScreenBoxOf(const CMainDoc& doc, const C3DView& editView, const char* generalName) {
    QRect covered;
    for (const auto& frame : doc.FindFramesByGeneralName(cp932::FromUtf8(generalName))) {
        rm::Box box{};
        if (frame->GetHierarchyBox(&box) != rm::D3DRM_OK) continue;
        for (int i = 0; i < 8; ++i) {
            const rm::Vector corner{i & 1 ? box.max.x : box.min.x, i & 2 ? box.max.y : box.min.y,
                                    i & 4 ? box.max.z : box.min.z};
            rm::Vector world;
            rm::Vector4 s{};
            frame->Transform(&world, &corner);
            if (editView.MainViewport()->Transform(&s, &world) != rm::D3DRM_OK || s.w <= 0) continue;
            const QPoint p(int(s.x / s.w), int(s.y / s.w));
            covered = covered.united(QRect(p, QSize(1, 1)));
        }
    }
    return covered;
}

// The pixels that differ between two pictures of the same size.
std::vector<QPoint> Differences(const QImage& a, const QImage& b) {
    std::vector<QPoint> points;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) points.emplace_back(x, y);
    return points;
}

class CameraPageTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        view->Tabs()->setCurrentIndex(3);  // ｵﾌﾟｼｮﾝ
        Settle();
        ASSERT_TRUE(Page().isVisible());
    }

    CCameraDlg& Page() const { return *static_cast<CCameraDlg*>(view->PageWidget(CMainView::kCameraPage)); }
    template <typename T>
    T& Control(const char* name) const {
        T* control = Page().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return *control;
    }
    QComboBox& Lens() const { return Control<QComboBox>("combo1040"); }
    CPicturePreviewButton& Preview(const char* name) const { return Control<CPicturePreviewButton>(name); }

    void Refresh() {
        win::SendMessage(&Page(), win::WM_REFRESH);
        Settle();
    }
    // Picks a lens item from the open list with the mouse, as a person does.
    void ChooseLens(int index) {
        QComboBox& lens = Lens();
        lens.showPopup();
        QAbstractItemView* list = lens.view();
        const QRect item = list->visualRect(list->model()->index(index, 0));
        ASSERT_FALSE(item.isEmpty());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        Settle();
    }
    // A click on a check box's indicator or on a button's middle.
    void Click(QAbstractButton& button) {
        ASSERT_TRUE(button.isVisible());
        const QPoint at =
            qobject_cast<QCheckBox*>(&button) ? QPoint(6, button.height() / 2) : button.rect().center();
        QTest::mouseClick(&button, Qt::LeftButton, {}, at);
        Settle();
    }
    // Chooses `path` with the button of a picture (the chooser answers with it).
    void ChoosePicture(const char* button, const std::string& path) {
        prompts->fileAnswers.push_back(path);
        Click(Control<QPushButton>(button));
    }
    QImage Drawn() {
        view->EditView()->DrawView();
        return view->EditView()->ShownFrame();
    }
    std::size_t UndoCount() { return view->EditView()->History().UndoCount(); }
    void Undo() {
        view->EditView()->OnCommand(ID_EDIT_UNDO);
        Settle();
    }
    void Redo() {
        view->EditView()->OnCommand(ID_EDIT_REDO);
        Settle();
    }

    QTemporaryDir dir;
};

}  // namespace

TEST_F(CameraPageTest, ShowsTheLensAStoredFieldReadsBackAs) {
    const struct {
        std::optional<float> field;
        int shown;
    } cases[] = {
        {std::nullopt, 1}, {7.0f, 0}, {4.2f, 0}, {4.1f, 1}, {4.0f, 1}, {2.2f, 1}, {2.1f, 2},
        {2.0f, 2},         {1.5f, 2}, {1.2f, 2}, {1.1f, 3}, {1.0f, 3}, {0.5f, 3},
    };
    ASSERT_EQ(Lens().count(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Lens().itemText(i), QString::fromLatin1(CCameraDlg::kLensNames[i]));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field ? std::to_string(*c.field) : std::string("absent"));
        // Start from another item so that the refresh has to move the selection.
        Lens().setCurrentIndex((c.shown + 2) % 4);
        if (c.field)
            GetApp()->SetSettingFloat("view", "field", *c.field);
        else
            GetApp()->Settings().RemoveSetting("view", "field");
        Refresh();
        EXPECT_EQ(Lens().currentIndex(), c.shown);
    }
}

TEST_F(CameraPageTest, ChoosingALensWritesItsFieldAndTheEditViewTakesIt) {
    const struct {
        int index;
        const char* stored;
        float field;
    } cases[] = {{0, "7.000000", 7.0f}, {1, "4.000000", 4.0f}, {3, "1.000000", 1.0f}, {2, "2.000000", 2.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(CCameraDlg::kLensNames[c.index]);
        ChooseLens(c.index);
        EXPECT_EQ(Stored("view", "field"), c.stored);
        EXPECT_EQ(Lens().currentIndex(), c.index);
        // The page asked the edit view to rebuild, which reads the new value.
        ASSERT_NE(view->EditView()->MainViewport(), nullptr);
        EXPECT_FLOAT_EQ(view->EditView()->MainViewport()->GetField(), c.field);
    }
}

TEST_F(CameraPageTest, AStoredFieldOf1Point5Shows200mmAndChoosingItAgainWrites2) {
    GetApp()->SetSettingFloat("view", "field", 1.5f);
    Refresh();
    ASSERT_EQ(Lens().currentText(), QStringLiteral("200mm"));
    ChooseLens(2);
    EXPECT_EQ(Stored("view", "field"), "2.000000");
    EXPECT_EQ(Lens().currentText(), QStringLiteral("200mm"));
}

TEST_F(CameraPageTest, ALensChoiceIsOneUndoStepThatUndoAndRedoShow) {
    GetApp()->SetSettingFloat("view", "field", 1.5f);
    Refresh();
    const std::size_t before = UndoCount();
    ChooseLens(0);
    ASSERT_EQ(Stored("view", "field"), "7.000000");
    EXPECT_EQ(UndoCount(), before + 1);
    // The same lens again changes nothing and adds no step.
    ChooseLens(0);
    EXPECT_EQ(UndoCount(), before + 1);

    Undo();
    EXPECT_EQ(Stored("view", "field"), "1.500000");
    EXPECT_EQ(Lens().currentText(), QStringLiteral("200mm"));
    EXPECT_FLOAT_EQ(view->EditView()->MainViewport()->GetField(), 1.5f);
    Redo();
    EXPECT_EQ(Stored("view", "field"), "7.000000");
    EXPECT_EQ(Lens().currentText(), QStringLiteral("35mm"));

    // Without a stored value, undo takes the value away again (the page then shows 50mm).
    GetApp()->Settings().RemoveSetting("view", "field");
    Refresh();
    ChooseLens(3);
    Undo();
    EXPECT_EQ(Stored("view", "field"), std::nullopt);
    EXPECT_EQ(Lens().currentText(), QStringLiteral("50mm"));
}

TEST_F(CameraPageTest, UsingTheBackgroundWhileEditingSwitchesTheRenderSizeDisplayOn) {
    QAction* renderSize = frame->Action(ID_VIEW_RENDER_SIZE);
    ASSERT_NE(renderSize, nullptr);
    for (const int maskBefore : {0, 1}) {
        SCOPED_TRACE(maskBefore);
        GetApp()->SetSettingInt("view", "mask", maskBefore);
        GetApp()->SetSettingInt("bg", "edit", 0);
        GetApp()->SetSettingInt("bg", "render", 0);
        frame->RefreshToolbar();
        Refresh();
        QCheckBox& edit = Control<QCheckBox>("check1018");
        ASSERT_FALSE(edit.isChecked());

        Click(edit);
        EXPECT_TRUE(edit.isChecked());
        EXPECT_EQ(Stored("bg", "edit"), "1");
        EXPECT_EQ(Stored("bg", "disable"), "0");
        EXPECT_EQ(Stored("view", "mask"), "1") << "switched on, never off";
        EXPECT_TRUE(renderSize->isChecked()) << "through the main frame's toggle, toolbar included";
        EXPECT_NE(view->EditView()->FullViewport(), nullptr)
            << "the edit view rebuilt in render-size display";

        Click(edit);
        EXPECT_FALSE(edit.isChecked());
        EXPECT_EQ(Stored("bg", "edit"), "0");
        EXPECT_EQ(Stored("view", "mask"), "1") << "clearing the box leaves the display as it is";
    }
}

TEST_F(CameraPageTest, TheEditViewShowsTheBackgroundOnceTheBoxIsTicked) {
    GetApp()->SetSettingString("render", "bg", WriteBmp(dir, "back.bmp", kBlue, {64, 48}));
    Refresh();
    ASSERT_EQ(Stored("view", "mask"), "0");
    Click(Control<QCheckBox>("check1018"));
    const surface::Rect r = view->EditView()->RenderRect();
    ASSERT_GT(r.Width(), 8);
    const QImage& shown = Drawn();
    // The empty scene leaves the render rectangle to the picture; black bars beside it.
    EXPECT_EQ(shown.pixel(r.left + 2, r.top + 2) & 0xFFFFFF, kBlue & 0xFFFFFF);
    EXPECT_EQ(shown.pixel(r.right - 3, r.bottom - 3) & 0xFFFFFF, kBlue & 0xFFFFFF);
}

TEST_F(CameraPageTest, BothBoxesClearedDisableTheBackgroundPictureAndItsButton) {
    GetApp()->SetSettingInt("bg", "edit", 1);
    GetApp()->SetSettingInt("bg", "render", 1);
    GetApp()->SetSettingInt("view", "mask", 1);
    Refresh();
    QCheckBox& render = Control<QCheckBox>("check1057");
    QCheckBox& edit = Control<QCheckBox>("check1018");
    CPicturePreviewButton& preview = Preview("preview1049");
    QPushButton& choose = Control<QPushButton>("button1042");
    ASSERT_TRUE(render.isChecked());
    ASSERT_TRUE(edit.isChecked());

    // Each step: which box is clicked, and the state after it.
    const struct {
        QCheckBox* box;
        const char* render;
        const char* edit;
        bool enabled;
    } steps[] = {
        {&render, "0", "1", true},
        {&edit, "0", "0", false},
        {&render, "1", "0", true},
        {&render, "0", "0", false},
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        Click(*steps[i].box);
        EXPECT_EQ(Stored("bg", "render"), steps[i].render);
        EXPECT_EQ(Stored("bg", "edit"), steps[i].edit);
        EXPECT_EQ(Stored("bg", "disable"), steps[i].enabled ? "0" : "1");
        EXPECT_EQ(render.isChecked(), std::string(steps[i].render) == "1");
        EXPECT_EQ(edit.isChecked(), std::string(steps[i].edit) == "1");
        EXPECT_EQ(preview.isEnabled(), steps[i].enabled);
        EXPECT_EQ(choose.isEnabled(), steps[i].enabled);
    }
}

TEST_F(CameraPageTest, EachBackgroundBoxIsOneUndoStep) {
    GetApp()->SetSettingInt("bg", "edit", 0);
    GetApp()->SetSettingInt("bg", "render", 0);
    GetApp()->SetSettingInt("view", "mask", 1);
    Refresh();
    for (const char* name : {"check1057", "check1018"}) {
        SCOPED_TRACE(name);
        const char* key = std::string(name) == "check1057" ? "render" : "edit";
        QCheckBox& box = Control<QCheckBox>(name);
        const std::size_t before = UndoCount();
        Click(box);
        ASSERT_EQ(Stored("bg", key), "1");
        ASSERT_EQ(Stored("bg", "disable"), "0");
        EXPECT_EQ(UndoCount(), before + 1);
        Undo();
        EXPECT_EQ(Stored("bg", key), "0");
        EXPECT_EQ(Stored("bg", "disable"), "1");
        EXPECT_FALSE(box.isChecked());
        EXPECT_FALSE(Control<QPushButton>("button1042").isEnabled());
    }
}

TEST_F(CameraPageTest, TheChoosersStartAtTheCurrentFileWithTheirFilters) {
    const std::string current = WriteBmp(dir, "current.bmp", kBlue);
    const struct {
        const char* button;
        const char* key;
        const char* filter;
    } cases[] = {
        {"button1042", "bg", "画像ファイル (*.jpg *.jpeg *.png *.bmp);;JPEG (*.jpg *.jpeg);;PNG (*.png);;ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)"},
        {"button1044", "eye_L", "画像ファイル (*.bmp *.png *.jpg *.jpeg);;ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp);;PNG (*.png);;JPEG (*.jpg *.jpeg)"},
        {"button1046", "eye_R", "画像ファイル (*.bmp *.png *.jpg *.jpeg);;ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp);;PNG (*.png);;JPEG (*.jpg *.jpeg)"},
    };
    GetApp()->SetSettingInt("bg", "render", 1);  // the background button is enabled
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        GetApp()->SetSettingString("render", c.key, current);
        Refresh();
        ScopedRecorder recorder;  // answers Cancel
        const std::size_t steps = UndoCount();
        Click(Control<QPushButton>(c.button));
        ASSERT_EQ(recorder->requests.size(), 1u);
        EXPECT_EQ(recorder->requests[0].filter, c.filter);
        EXPECT_EQ(recorder->requests[0].initialPath, current);
        EXPECT_EQ(recorder->requests[0].owner, &Page());
        // Cancel changes nothing.
        EXPECT_EQ(Stored("render", c.key), current);
        EXPECT_EQ(UndoCount(), steps);
    }
}

TEST_F(CameraPageTest, AChosenPictureIsStoredShownAndOneUndoStep) {
    const std::string before = WriteBmp(dir, "before.bmp", kBlue);
    const std::string after = WriteBmp(dir, "after.bmp", kRed);
    const struct {
        const char* button;
        const char* preview;
        const char* key;
    } cases[] = {
        {"button1042", "preview1049", "bg"},
        {"button1044", "preview1050", "eye_L"},
        {"button1046", "preview1051", "eye_R"},
    };
    GetApp()->SetSettingInt("bg", "render", 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        GetApp()->SetSettingString("render", c.key, before);
        Refresh();
        const std::size_t steps = UndoCount();
        ChoosePicture(c.button, after);
        EXPECT_EQ(Stored("render", c.key), after);
        CPicturePreviewButton& preview = Preview(c.preview);
        EXPECT_EQ(preview.Path(), after);
        preview.repaint();
        ASSERT_TRUE(preview.HasPicture());
        EXPECT_EQ(preview.Picture().pixel(preview.Picture().rect().center()) & 0xFFFFFF, kRed & 0xFFFFFF);
        EXPECT_EQ(UndoCount(), steps + 1);

        Undo();
        EXPECT_EQ(Stored("render", c.key), before);
        EXPECT_EQ(preview.Path(), before);
    }
}

TEST_F(CameraPageTest, ANewLeftEyeTextureReachesEveryEyeInTheEditView) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    Settle();
    ASSERT_FALSE(EyeTexels(*doc, "左目").empty()) << "the figure has left eyes";
    const std::vector<std::uint32_t> rightBefore = EyeTexels(*doc, "右目");
    const QImage before = Drawn().copy();

    ChoosePicture("button1044", WriteBmp(dir, "red_eye.bmp", kRed));
    for (std::uint32_t texel : EyeTexels(*doc, "左目")) EXPECT_EQ(texel, 0xFF000000u | kRed);
    EXPECT_EQ(EyeTexels(*doc, "右目"), rightBefore) << "the right eyes keep theirs";

    // The redrawn picture changed around the left eye, nowhere else, and towards red.
    const QImage after = Drawn().copy();
    ASSERT_EQ(after.size(), before.size());
    const std::vector<QPoint> changed = Differences(before, after);
    ASSERT_FALSE(changed.empty()) << "the eye is seen";
    const QRect eye = ScreenBoxOf(*doc, *view->EditView(), "左目").adjusted(-1, -1, 1, 1);
    ASSERT_FALSE(eye.isEmpty());
    int redder = 0;
    for (const QPoint& p : changed) {
        EXPECT_TRUE(eye.contains(p)) << p.x() << "," << p.y();
        const QColor was(before.pixel(p)), is(after.pixel(p));
        if (is.red() - is.green() - is.blue() > was.red() - was.green() - was.blue()) ++redder;
    }
    EXPECT_GT(redder * 10, int(changed.size()) * 9) << "nearly every changed pixel turned redder";
}

TEST_F(CameraPageTest, AChosenFileThatIsNoPictureIsNamedInOneMessageAndNotTaken) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    const std::string red = WriteBmp(dir, "red_eye.bmp", kRed);
    ChoosePicture("button1044", red);
    ASSERT_FALSE(EyeTexels(*doc, "左目").empty()) << "the figure has eyes " << "左目";
    ASSERT_EQ(EyeTexels(*doc, "左目").front(), 0xFF000000u | kRed);
    const QImage withRed = Drawn().copy();

    // A JPEG cut in half, as an interrupted download leaves it.
    QImage blue(64, 32, QImage::Format_RGB32);
    blue.fill(kBlue);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
    ASSERT_TRUE(blue.save(&buffer, "JPEG"));
    const QString cutPath = dir.filePath(QStringLiteral("cut.jpg"));
    QFile cutFile(cutPath);
    ASSERT_TRUE(cutFile.open(QIODevice::WriteOnly));
    cutFile.write(jpeg.left(jpeg.size() / 2));
    cutFile.close();
    const std::string cut = cutPath.toStdString();
    const std::string broken[] = {WriteText(dir, "broken.bmp", "not a bitmap"), cut,
                                  dir.filePath("missing.bmp").toStdString()};
    const struct {
        const char* button;
        const char* preview;
        const char* key;
    } choosers[] = {{"button1044", "preview1050", "eye_L"}, {"button1042", "preview1049", "bg"}};
    GetApp()->SetSettingInt("bg", "render", 1);
    GetApp()->SetSettingString("render", "bg", red);
    Refresh();
    for (const auto& chooser : choosers)
        for (const std::string& path : broken) {
            SCOPED_TRACE(std::string(chooser.button) + " " + path);
            const std::size_t asked = prompts->MessageTexts().size();
            const std::size_t steps = UndoCount();
            ChoosePicture(chooser.button, path);
            const std::vector<std::string> messages = prompts->MessageTexts();
            ASSERT_EQ(messages.size(), asked + 1) << "one message";
            EXPECT_EQ(messages.back(), CCameraDlg::kUnreadablePictureText + path);
            EXPECT_EQ(Stored("render", chooser.key), red) << "the choice is not taken";
            EXPECT_EQ(UndoCount(), steps);
            for (std::uint32_t texel : EyeTexels(*doc, "左目")) EXPECT_EQ(texel, 0xFF000000u | kRed);
            EXPECT_TRUE(Differences(withRed, Drawn()).empty());
            CPicturePreviewButton& preview = Preview(chooser.preview);
            preview.repaint();
            EXPECT_EQ(preview.Path(), red);
            EXPECT_TRUE(preview.HasPicture());
        }
}

// Textures stop at 8192 pixels a side, backgrounds go far beyond: an eye picture wider than that
// is refused with a message naming its size and the limit, where it would have been taken and the
// eyes would have kept their old texture without a word.
TEST_F(CameraPageTest, AnEyePictureLargerThanATextureIsRefusedWithItsSizeAndTheBackgroundTakesIt) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    const std::string red = WriteBmp(dir, "red_eye.bmp", kRed);
    ChoosePicture("button1044", red);
    ChoosePicture("button1046", red);
    ASSERT_FALSE(EyeTexels(*doc, "左目").empty());
    const std::string wide = WriteBmp(dir, "wide.bmp", kBlue, {10000, 100});
    const std::string expected =
        "テクスチャーには大きすぎる画像です（10000 × 100 ピクセル）。縦横とも 8192 "
        "ピクセル以下の画像を選んでください。\n" +
        wide;
    const struct {
        const char* button;
        const char* preview;
        const char* key;
        const char* eye;
    } eyes[] = {{"button1044", "preview1050", "eye_L", "左目"},
                {"button1046", "preview1051", "eye_R", "右目"}};
    for (const auto& e : eyes) {
        SCOPED_TRACE(e.button);
        const std::size_t asked = prompts->MessageTexts().size();
        const std::size_t steps = UndoCount();
        ChoosePicture(e.button, wide);
        const std::vector<std::string> messages = prompts->MessageTexts();
        ASSERT_EQ(messages.size(), asked + 1) << "one message";
        EXPECT_EQ(messages.back(), expected);
        EXPECT_EQ(Stored("render", e.key), red) << "the choice is not taken";
        EXPECT_EQ(Preview(e.preview).Path(), red);
        EXPECT_EQ(UndoCount(), steps);
        for (std::uint32_t texel : EyeTexels(*doc, e.eye)) EXPECT_EQ(texel, 0xFF000000u | kRed);
    }

    GetApp()->SetSettingInt("bg", "render", 1);
    Refresh();
    const std::size_t asked = prompts->MessageTexts().size();
    ChoosePicture("button1042", wide);
    EXPECT_EQ(prompts->MessageTexts().size(), asked);
    EXPECT_EQ(Stored("render", "bg"), wide);
    CPicturePreviewButton& preview = Preview("preview1049");
    preview.repaint();
    ASSERT_TRUE(preview.HasPicture());
    EXPECT_EQ(preview.Picture().pixel(preview.Picture().rect().center()) & 0xFFFFFF, kBlue & 0xFFFFFF);
}

TEST_F(CameraPageTest, APictureThatGoesMissingLaterIsPassedOverQuietly) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    const std::string red = WriteBmp(dir, "red_eye.bmp", kRed);
    ChoosePicture("button1044", red);
    ASSERT_FALSE(EyeTexels(*doc, "左目").empty()) << "the figure has eyes " << "左目";
    ASSERT_EQ(EyeTexels(*doc, "左目").front(), 0xFF000000u | kRed);
    const std::size_t asked = prompts->asked.size();
    ASSERT_TRUE(QFile::remove(QString::fromStdString(red)));
    Refresh();
    CPicturePreviewButton& preview = Preview("preview1050");
    preview.repaint();
    EXPECT_FALSE(preview.HasPicture());
    EXPECT_EQ(Stored("render", "eye_L"), red) << "the setting keeps the path";
    for (std::uint32_t texel : EyeTexels(*doc, "左目")) EXPECT_EQ(texel, 0xFF000000u | kRed);
    EXPECT_EQ(prompts->asked.size(), asked) << "no message";
}

TEST_F(CameraPageTest, EyeTexturesAndBackgroundsOfEveryCommonFormat) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    QImage picture(32, 32, QImage::Format_RGB32);
    picture.fill(kRed);
    const struct {
        const char* name;
        std::function<bool(const QString&)> write;
    } files[] = {
        {"eye.png", [&](const QString& p) { return picture.save(p, "PNG"); }},
        {"eye16.png", [&](const QString& p) { return picture.convertToFormat(QImage::Format_RGBX64).save(p, "PNG"); }},
        {"eye-progressive.jpg",
         [&](const QString& p) {
             QImageWriter writer(p, "jpeg");
             writer.setProgressiveScanWrite(true);
             return writer.write(picture);
         }},
    };
    GetApp()->SetSettingInt("bg", "render", 1);  // the background button is enabled
    Refresh();
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const QString path = dir.filePath(QString::fromUtf8(f.name));
        ASSERT_TRUE(f.write(path));
        ChoosePicture("button1046", path.toStdString());
        EXPECT_EQ(Stored("render", "eye_R"), path.toStdString());
        for (std::uint32_t texel : EyeTexels(*doc, "右目")) {
            EXPECT_NEAR(qRed(texel), 255, 4);
            EXPECT_NEAR(qGreen(texel), 0, 4);
        }
        ChoosePicture("button1042", path.toStdString());
        EXPECT_EQ(Stored("render", "bg"), path.toStdString());
        CPicturePreviewButton& preview = Preview("preview1049");
        preview.repaint();
        ASSERT_TRUE(preview.HasPicture());
        EXPECT_NEAR(qRed(preview.Picture().pixel(preview.Picture().rect().center())), 255, 4);
    }
    EXPECT_TRUE(prompts->MessageTexts().empty());
}

TEST_F(CameraPageTest, UndoingAnEyeTexturePutsThePreviousOneBackOnTheEyes) {
    ASSERT_NO_FATAL_FAILURE(LoadStandingFigure());
    ChoosePicture("button1046", WriteBmp(dir, "blue_eye.bmp", kBlue));
    ChoosePicture("button1046", WriteBmp(dir, "red_eye.bmp", kRed));
    ASSERT_FALSE(EyeTexels(*doc, "右目").empty()) << "the figure has eyes " << "右目";
    ASSERT_EQ(EyeTexels(*doc, "右目").front(), 0xFF000000u | kRed);
    Undo();
    for (std::uint32_t texel : EyeTexels(*doc, "右目")) EXPECT_EQ(texel, 0xFF000000u | kBlue);
    Redo();
    for (std::uint32_t texel : EyeTexels(*doc, "右目")) EXPECT_EQ(texel, 0xFF000000u | kRed);
}

TEST_F(CameraPageTest, WithoutAHardwareDeviceTheHardwareBoxIsDisabledAndCleared) {
    // The software rasteriser is this system's only device.
    ASSERT_TRUE(C3DView::HasDeviceNamed("RGB E"));
    ASSERT_FALSE(C3DView::HasDeviceNamed("HAL"));
    QCheckBox& hardware = Control<QCheckBox>("check1060");
    for (int disabled : {0, 1}) {
        SCOPED_TRACE(disabled);
        hardware.setChecked(true);
        GetApp()->SetSettingInt("system", "disable_d3dhal", disabled);
        Refresh();
        EXPECT_FALSE(hardware.isEnabled());
        EXPECT_FALSE(hardware.isChecked());
        EXPECT_EQ(Stored("system", "disable_d3dhal"), std::to_string(disabled))
            << "the setting is left alone";
    }
}

TEST_F(CameraPageTest, TheControlsStackInOrderInsideThePageAtTheHostsWidth) {
    const char* const order[] = {"combo1040",   "check1057",  "check1018",   "preview1049", "button1042",
                                 "preview1050", "button1044", "preview1051", "button1046",  "check1060"};
    for (const QSize client : {QSize(1000, 700), QSize(604, 300)}) {
        SCOPED_TRACE(client.height());
        view->setFixedSize(client);
        Settle();
        const CPageHost& host = *view->PageHost();
        EXPECT_EQ(Page().width(), host.width() - CPageHost::kScrollBarWidth - 1);
        EXPECT_EQ(Page().height(), CCameraDlg::kPageHeight);
        int lastTop = -1;
        for (const char* name : order) {
            QWidget& control = Control<QWidget>(name);
            const QRect r(control.mapTo(&Page(), QPoint(0, 0)), control.size());
            EXPECT_TRUE(QRect(0, 0, Page().width(), Page().height()).contains(r)) << name;
            EXPECT_GE(r.top(), lastTop) << name;
            lastTop = r.top();
        }
        // A page taller than the host scrolls; one that fits does not.
        EXPECT_EQ(host.ScrollBar()->isEnabled(), CCameraDlg::kPageHeight >= host.height());
    }
}

// The three file buttons show a picture (a yellow folder) where a text was; the text stays their
// name for screen readers, and a tool tip says what they do. Pressed, the picture moves; disabled,
// it is grey.
TEST_F(CameraPageTest, TheFileButtonsShowAPictureAndKeepTheirTexts) {
    GetApp()->SetSettingInt("bg", "render", 1);
    Refresh();
    // Pixels of the folder's yellow, and pixels of any clear colour.
    auto yellow = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                n += c.red() > 200 && c.green() > 150 && c.blue() < 140;
            }
        return n;
    };
    auto coloured = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) n += image.pixelColor(x, y).hsvSaturation() > 80;
        return n;
    };
    const struct {
        const char* button;
        const char* text;
        const char* toolTip;
    } buttons[] = {
        {"button1042", "?", "背景画像を選ぶ"},
        {"button1044", "読み込み", "読み込み"},
        {"button1046", "読み込み", "読み込み"},
    };
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.button);
        QPushButton& button = Control<QPushButton>(b.button);
        EXPECT_EQ(button.text(), QString::fromUtf8(b.text));
        EXPECT_EQ(button.accessibleName(), QString::fromUtf8(b.text));
        EXPECT_EQ(button.toolTip(), QString::fromUtf8(b.toolTip));
        const QImage normal = button.grab().toImage();
        EXPECT_GT(yellow(normal), 20) << "the folder is drawn";
        button.setDown(true);
        const QImage pressed = button.grab().toImage();
        button.setDown(false);
        EXPECT_GT(yellow(pressed), 20);
        EXPECT_NE(pressed, normal);
        button.setEnabled(false);
        const QImage disabled = button.grab().toImage();
        button.setEnabled(true);
        EXPECT_EQ(coloured(disabled), 0) << "grey when disabled";
        EXPECT_NE(disabled, normal);
    }
}

TEST_F(CameraPageTest, ThePreviewButtonShowsItsPictureOrTheButtonFace) {
    const std::string red = WriteBmp(dir, "red.bmp", kRed, {40, 30});
    const std::string junk = WriteText(dir, "junk.jpg", "no picture here");
    const struct {
        std::string path;
        bool enabled;
        bool picture;
        bool pathKept;
    } cases[] = {
        {red, true, true, true},    {red, false, false, true},  // disabled: nothing is loaded
        {junk, true, false, false}, {dir.filePath("none.bmp").toStdString(), true, false, false},
        {"", true, false, true},
    };
    CPicturePreviewButton button(&Page());
    button.setGeometry(0, 0, 50, 40);
    button.show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + (c.enabled ? "" : " disabled"));
        button.setEnabled(c.enabled);
        const QColor face = button.palette().color(QPalette::Button);
        button.SetPath(c.path);
        EXPECT_FALSE(button.HasPicture()) << "setting the path drops the picture";
        const QImage shown = button.grab().toImage();
        EXPECT_EQ(button.HasPicture(), c.picture);
        EXPECT_EQ(button.Path(), c.pathKept ? c.path : std::string());
        const QRgb middle = shown.pixel(shown.rect().center()) & 0xFFFFFF;
        EXPECT_EQ(middle, (c.picture ? QColor(kRed) : face).rgb() & 0xFFFFFF);
        if (c.picture) {
            EXPECT_EQ(button.Picture().size(), button.FaceRect().size()) << "loaded at the face size";
        }
    }
    // A new size loads the picture again at that size.
    button.setEnabled(true);
    button.SetPath(red);
    button.grab();
    button.resize(30, 30);
    button.grab();
    ASSERT_TRUE(button.HasPicture());
    EXPECT_EQ(button.Picture().size(), QSize(28, 28));
}
