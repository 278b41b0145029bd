#include "app/MainFrame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <fstream>
#include <functional>

#include "support/MessageCounter.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "core/SettingsStore.h"
#include "platform/win/ScriptedPrompts.h"

namespace {

const int kDisplayButtons[] = {ID_VIEW_WIREFRAME, ID_VIEW_FLAT, ID_VIEW_GOURAUD, ID_VIEW_POINTS};
const int kAxisButtons[] = {ID_EDIT_X, ID_EDIT_Y, ID_EDIT_Z, ID_EDIT_FREE};

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        GetApp()->Settings().Clear();
        GetApp()->ResetState();
        GetApp()->m_bShowSplash = false;
        frame = std::make_unique<CMainFrame>();
        frame->show();
        GetApp()->m_p3DView = &editView;
    }
    void TearDown() override {
        frame.reset();
        GetApp()->ResetState();
    }

    // Clicks the toolbar button of a command like a person would, then lets posted messages run.
    void Click(int id) {
        QToolButton* button = frame->ToolButton(id);
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
        QApplication::processEvents();
    }
    // Puts the pointer over the empty middle of the frame, away from every button and its fly-by text.
    void PointerToTheMiddle() {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        QTest::mouseMove(frame.get());
        QApplication::processEvents();
    }
    std::vector<int> Checked(const int* ids, int n) {
        std::vector<int> out;
        for (int i = 0; i < n; ++i)
            if (frame->ToolButton(ids[i])->isChecked()) out.push_back(ids[i]);
        return out;
    }

    MessageCounter editView;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameTest, ToolbarHoldsTheCommandsInOrderWithTheirTips) {
    std::vector<int> ids;
    for (QAction* a : frame->ToolBar()->actions()) ids.push_back(a->isSeparator() ? 0 : a->data().toInt());
    const std::vector<int> expected = {57600, 57601, 57603, 0,     32777, 32778, 32779, 32780,
                                       32800, 32773, 0,     32781, 32782, 32783, 32784, 0,
                                       32787, 32788, 0,     32831, 0,     32785, 32786, 32794, 32789};
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(frame->Action(ID_EDIT_X)->toolTip(), QStringLiteral("Ｘ軸のみ"));
    EXPECT_EQ(frame->Action(ID_EDIT_X)->statusTip(), QStringLiteral("Ｘ軸方向のみの編集。"));
    EXPECT_EQ(frame->Action(ID_EDIT_ROTATE_MODE)->toolTip(), QStringLiteral("回転"));
    EXPECT_EQ(frame->Action(ID_EDIT_ROTATE_MODE)->statusTip(),
              QStringLiteral("ドラッグすると、選択したものが回転します。"));
    EXPECT_EQ(frame->ToolButton(ID_HELP)->size(), QSize(28, 26));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Mariso - Ovalith"));
    const QStringList menus = {QStringLiteral("ﾌｧｲﾙ(&F)"), QStringLiteral("表示(&V)"), QStringLiteral("ﾍﾙﾌﾟ(&H)")};
    QStringList titles;
    for (QAction* a : frame->menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, menus);
    EXPECT_EQ(frame->Action(ID_FILE_SAVE)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
}

TEST_F(MainFrameTest, TheViewMenusCameraSubmenuWaitsForTheEditView) {
    QMenu* view = frame->menuBar()->actions().at(1)->menu();
    ASSERT_NE(view, nullptr);
    QMenu* camera = nullptr;
    for (QAction* a : view->actions())
        if (a->text() == QStringLiteral("視点")) camera = a->menu();
    ASSERT_NE(camera, nullptr);
    QStringList items;
    for (QAction* a : camera->actions()) items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    const QStringList expected = {QStringLiteral("正面"),       QStringLiteral("背面"), QStringLiteral("右"),
                                  QStringLiteral("左"),         QStringLiteral("上"),   QStringLiteral("下"),
                                  QStringLiteral("-"),          QStringLiteral("全体を表示"),
                                  QStringLiteral("選択部分を表示"), QStringLiteral("-"),  QStringLiteral("視点を戻す")};
    EXPECT_EQ(items, expected);
    // Every item tells what it does in the status bar, and does nothing until the edit view binds it.
    for (QAction* a : camera->actions()) {
        if (a->isSeparator()) continue;
        EXPECT_FALSE(a->statusTip().isEmpty()) << a->text().toStdString();
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
        EXPECT_FALSE(frame->RunCommand(a->data().toInt()));
    }
    int shown = 0;
    frame->SetCommandHandler(ID_VIEW_CAMERA_TOP, [&] { ++shown; });
    EXPECT_TRUE(frame->Action(ID_VIEW_CAMERA_TOP)->isEnabled());
    frame->Action(ID_VIEW_CAMERA_TOP)->trigger();
    EXPECT_EQ(shown, 1);
}

TEST_F(MainFrameTest, DisplayModeButtons) {
    // Gouraud is the default: its button alone is checked.
    EXPECT_EQ(Checked(kDisplayButtons, 4), std::vector<int>{ID_VIEW_GOURAUD});
    Click(ID_VIEW_WIREFRAME);
    EXPECT_EQ(GetApp()->GetSettingInt("dev", "mode", 2), 0);
    EXPECT_EQ(Checked(kDisplayButtons, 4), std::vector<int>{ID_VIEW_WIREFRAME});
    EXPECT_EQ(editView.Count(win::WM_SETTINGS_CHANGED), 1);

    // The mode that is already on: nothing changes and nothing is posted, and the button stays in.
    Click(ID_VIEW_WIREFRAME);
    EXPECT_EQ(editView.Count(win::WM_SETTINGS_CHANGED), 1);
    EXPECT_EQ(Checked(kDisplayButtons, 4), std::vector<int>{ID_VIEW_WIREFRAME});

    Click(ID_VIEW_POINTS);
    EXPECT_EQ(GetApp()->GetSettingInt("dev", "mode", 2), 4);
    Click(ID_VIEW_FLAT);
    EXPECT_EQ(GetApp()->GetSettingInt("dev", "mode", 2), 1);
    EXPECT_EQ(editView.Count(win::WM_SETTINGS_CHANGED), 3);

    // A mode written elsewhere that no button offers: none is checked.
    GetApp()->SetSettingInt("dev", "mode", 3);
    frame->RefreshToolbar();
    EXPECT_TRUE(Checked(kDisplayButtons, 4).empty());
}

TEST_F(MainFrameTest, AxisButtonsCheckExactlyOne) {
    struct Row {
        int button;
        int constraint;
    } rows[] = {{ID_EDIT_Z, AXIS_Z}, {ID_EDIT_X, AXIS_X}, {ID_EDIT_Y, AXIS_Y}, {ID_EDIT_FREE, AXIS_FREE},
                {ID_EDIT_FREE, AXIS_FREE}};
    for (const auto& r : rows) {
        Click(r.button);
        EXPECT_EQ(GetApp()->AxisConstraint, r.constraint);
        EXPECT_EQ(Checked(kAxisButtons, 4), std::vector<int>{r.button});
    }
    EXPECT_TRUE(editView.received.empty()) << "axis commands do not disturb the edit view";
}

TEST_F(MainFrameTest, FreeEditingIsThePlaneMoveAndAxisLocksKeepTheMode) {
    const int buttons[] = {ID_EDIT_FREE, ID_EDIT_X, ID_EDIT_Y, ID_EDIT_Z, ID_EDIT_IK, ID_EDIT_ROTATE_MODE};
    struct Row {
        const char* what;
        int modeBefore;  // set elsewhere (the edit view's menu)
        int button;
        int mode, axis;
        std::vector<int> checked;
    };
    const Row rows[] = {
        {"Z under rotate", EDIT_ROTATE, ID_EDIT_Z, EDIT_ROTATE, AXIS_Z, {ID_EDIT_Z, ID_EDIT_ROTATE_MODE}},
        {"X under IK", EDIT_IK, ID_EDIT_X, EDIT_IK, AXIS_X, {ID_EDIT_X, ID_EDIT_IK}},
        {"Y under the move", EDIT_MOVE, ID_EDIT_Y, EDIT_MOVE, AXIS_Y, {ID_EDIT_Y}},
        {"free editing out of rotate", EDIT_ROTATE, ID_EDIT_FREE, EDIT_MOVE, AXIS_FREE, {ID_EDIT_FREE}},
        {"free editing out of IK", EDIT_IK, ID_EDIT_FREE, EDIT_MOVE, AXIS_FREE, {ID_EDIT_FREE}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        GetApp()->EditMode = r.modeBefore;
        Click(r.button);
        EXPECT_EQ(GetApp()->EditMode, r.mode);
        EXPECT_EQ(GetApp()->AxisConstraint, r.axis);
        EXPECT_EQ(Checked(buttons, 6), r.checked);
    }
    // Rotate or IK with a free axis is not free editing.
    for (int mode : {EDIT_ROTATE, EDIT_IK}) {
        GetApp()->EditMode = mode;
        GetApp()->AxisConstraint = AXIS_FREE;
        frame->RefreshToolbar();
        EXPECT_EQ(Checked(buttons, 6),
                  std::vector<int>{mode == EDIT_ROTATE ? ID_EDIT_ROTATE_MODE : ID_EDIT_IK});
    }
}

TEST_F(MainFrameTest, TheFileMenusRenderCarriesTheMainViewsText) {
    QAction* render = frame->Action(ID_FILE_RENDER);
    EXPECT_EQ(render->text(), QStringLiteral("レンダリング(&R)"));
    EXPECT_EQ(render->statusTip(), QStringLiteral("ﾚﾝﾀﾞﾘﾝｸﾞ"));
    EXPECT_EQ(render->toolTip(), QStringLiteral("ﾚﾝﾀﾞﾘﾝｸﾞ"));
    // The toolbar's render keeps the frame's own text.
    EXPECT_EQ(frame->Action(ID_RENDER)->statusTip(), QStringLiteral("現在のｼｰﾝをﾚﾝﾀﾞﾘﾝｸﾞします。"));

    // The status bar shows it while the pointer rests on the item.
    frame->SetCommandHandler(ID_FILE_RENDER, [] {});
    PointerToTheMiddle();
    QMenu* fileMenu = frame->menuBar()->actions().at(0)->menu();
    ASSERT_NE(fileMenu, nullptr);
    fileMenu->popup(frame->mapToGlobal(frame->rect().center()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fileMenu));
    QTest::mouseMove(fileMenu, fileMenu->actionGeometry(render).center());
    QApplication::processEvents();
    EXPECT_EQ(frame->statusBar()->currentMessage(), QStringLiteral("ﾚﾝﾀﾞﾘﾝｸﾞ"));
    fileMenu->hide();
}

TEST_F(MainFrameTest, SimpleAndRenderSizeTogglesWriteTheSettingAndPost) {
    EXPECT_TRUE(frame->ToolButton(ID_VIEW_SIMPLE)->isChecked());
    Click(ID_VIEW_SIMPLE);
    EXPECT_EQ(GetApp()->GetSettingInt("view", "s_mode", 1), 0);
    EXPECT_FALSE(frame->ToolButton(ID_VIEW_SIMPLE)->isChecked());
    Click(ID_VIEW_SIMPLE);
    EXPECT_EQ(GetApp()->GetSettingInt("view", "s_mode", 1), 1);
    EXPECT_TRUE(frame->ToolButton(ID_VIEW_SIMPLE)->isChecked());
    EXPECT_EQ(editView.Count(win::WM_SETTINGS_CHANGED), 2);

    EXPECT_FALSE(frame->ToolButton(ID_VIEW_RENDER_SIZE)->isChecked());
    Click(ID_VIEW_RENDER_SIZE);
    EXPECT_EQ(GetApp()->GetSettingInt("view", "mask", 0), 1);
    EXPECT_TRUE(frame->ToolButton(ID_VIEW_RENDER_SIZE)->isChecked());
    EXPECT_EQ(editView.Count(win::WM_SETTINGS_CHANGED), 3);

    // Without an edit view the toggle still works and posts to nobody.
    GetApp()->m_p3DView = nullptr;
    Click(ID_VIEW_RENDER_SIZE);
    EXPECT_EQ(GetApp()->GetSettingInt("view", "mask", 0), 0);
}

TEST_F(MainFrameTest, FloorGridItemOfTheViewMenuTogglesTheKeptSettingAndPosts) {
    QMenu* viewMenu = nullptr;
    for (QAction* a : frame->menuBar()->actions())
        if (a->text() == QStringLiteral("表示(&V)")) viewMenu = a->menu();
    ASSERT_NE(viewMenu, nullptr);
    QAction* grid = nullptr;
    for (QAction* a : viewMenu->actions())
        if (a->text() == QStringLiteral("床グリッド")) grid = a;
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid, frame->Action(ID_VIEW_FLOOR_GRID));
    EXPECT_TRUE(grid->isEnabled());
    EXPECT_TRUE(grid->isCheckable());
    EXPECT_TRUE(grid->isChecked()) << "on unless set off";

    grid->trigger();
    QApplication::processEvents();
    EXPECT_EQ(GetApp()->GetSettingInt("view", "grid", 1), 0);
    EXPECT_FALSE(grid->isChecked());
    EXPECT_EQ(editView.Count(win::WM_SETTINGS_CHANGED), 1);
    grid->trigger();
    QApplication::processEvents();
    EXPECT_EQ(GetApp()->GetSettingInt("view", "grid", 1), 1);
    EXPECT_TRUE(grid->isChecked());
    EXPECT_EQ(editView.Count(win::WM_SETTINGS_CHANGED), 2);

    // The mark follows the setting, whoever changed it; the setting is kept in the settings file,
    // and the next frame starts with its mark.
    GetApp()->SetSettingInt("view", "grid", 0);
    frame->RefreshToolbar();
    EXPECT_FALSE(grid->isChecked());
    CSettingsStore reread;
    const std::vector<std::uint8_t> file = GetApp()->Settings().Serialize();
    ASSERT_TRUE(reread.Deserialize(file.data(), file.size()));
    EXPECT_EQ(reread.GetSettingInt("view", "grid", 1), 0);
    frame = std::make_unique<CMainFrame>();
    EXPECT_FALSE(frame->Action(ID_VIEW_FLOOR_GRID)->isChecked());
}

TEST_F(MainFrameTest, RenderRunsOnlyWithAnEditViewWithTheButtonShownPressed) {
    int renders = 0;
    bool pressedDuringRender = false;
    frame->SetCommandHandler(ID_RENDER, [&] {
        ++renders;
        pressedDuringRender = frame->ToolButton(ID_RENDER)->isDown();
    });
    GetApp()->m_p3DView = nullptr;
    Click(ID_RENDER);
    EXPECT_EQ(renders, 0);
    GetApp()->m_p3DView = &editView;
    Click(ID_RENDER);
    EXPECT_EQ(renders, 1);
    EXPECT_TRUE(pressedDuringRender);
    EXPECT_FALSE(frame->ToolButton(ID_RENDER)->isDown());
}

TEST_F(MainFrameTest, CommandsWithoutTheirWindowAreDisabledUntilBound) {
    for (int id : {ID_SMOOTH, ID_APPLY_COLLECTION, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS}) {
        EXPECT_FALSE(frame->Action(id)->isEnabled()) << id;
        EXPECT_FALSE(frame->RunCommand(id));
    }
    int smoothed = 0;
    frame->SetCommandHandler(ID_SMOOTH, [&] { ++smoothed; });
    EXPECT_TRUE(frame->Action(ID_SMOOTH)->isEnabled());
    EXPECT_TRUE(frame->RunCommand(ID_SMOOTH));
    EXPECT_EQ(smoothed, 1);
    frame->SetCommandHandler(ID_SMOOTH, {});
    EXPECT_FALSE(frame->Action(ID_SMOOTH)->isEnabled());
}

TEST_F(MainFrameTest, ToolbarMenuItemHidesAndShowsTheToolbar) {
    QAction* toggle = frame->Action(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(toggle->isChecked());
    toggle->trigger();
    EXPECT_FALSE(frame->ToolBar()->isVisible());
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(frame->ToolBar()->isVisible());
    EXPECT_TRUE(toggle->isChecked());
}

TEST_F(MainFrameTest, RecentFileListKeepsSixNewestFirst) {
    for (int i = 1; i <= 8; ++i) frame->AddRecentFile(QStringLiteral("/scenes/%1.mrs").arg(i));
    frame->AddRecentFile(QStringLiteral("/scenes/5.mrs"));
    const QStringList expected = {"/scenes/5.mrs", "/scenes/8.mrs", "/scenes/7.mrs",
                                  "/scenes/6.mrs", "/scenes/4.mrs", "/scenes/3.mrs"};
    EXPECT_EQ(frame->RecentFiles().Files(), expected);
    // The list survives in the per-user settings.
    CRecentFileList reloaded;
    QSettings registry;
    reloaded.Load(registry);
    EXPECT_EQ(reloaded.Files(), expected);
    CRecentFileList cleared;
    cleared.Save(registry);
}

TEST_F(MainFrameTest, IdleTextReturnsWhenAFlyByTextEnds) {
    const QString idle = QStringLiteral("レディ");
    QStatusBar* bar = frame->statusBar();
    PointerToTheMiddle();
    EXPECT_EQ(bar->currentMessage(), idle);

    QMenu* fileMenu = frame->menuBar()->actions().at(0)->menu();
    ASSERT_NE(fileMenu, nullptr);
    const auto hoverButton = [&] { QTest::mouseMove(frame->ToolButton(ID_EDIT_X)); };
    const auto hoverMenuItem = [&] {
        // Over the empty middle of the frame, so that nothing under the menu has a text of its own.
        fileMenu->popup(frame->mapToGlobal(frame->rect().center()));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(fileMenu));
        QTest::mouseMove(fileMenu, fileMenu->actionGeometry(frame->Action(ID_FILE_NEW)).center());
    };
    // Where the pointer rests over a command, and how the fly-by text ends.
    const struct {
        const char* name;
        std::function<void()> hover;
        const char* flyBy;
        std::function<void()> leave;
    } rows[] = {
        {"toolbar button", hoverButton, "Ｘ軸方向のみの編集。", [&] { PointerToTheMiddle(); }},
        {"menu item, pointer onto a separator", hoverMenuItem,
         "現在のデータを破棄して新しいシーンを作成します。",
         [&] {
             // The separator above the item has no text of its own.
             const QList<QAction*> items = fileMenu->actions();
             QAction* separator = items.at(items.indexOf(frame->Action(ID_FILE_NEW)) - 1);
             ASSERT_TRUE(separator->isSeparator());
             QTest::mouseMove(fileMenu, fileMenu->actionGeometry(separator).center());
         }},
        {"menu item, menu closed with Esc", hoverMenuItem,
         "現在のデータを破棄して新しいシーンを作成します。",
         [&] {
             QTest::keyClick(fileMenu, Qt::Key_Escape);
             ASSERT_FALSE(fileMenu->isVisible());
         }},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        r.hover();
        QApplication::processEvents();
        EXPECT_EQ(bar->currentMessage(), QString::fromUtf8(r.flyBy));
        r.leave();
        QApplication::processEvents();
        EXPECT_EQ(bar->currentMessage(), idle);
        fileMenu->hide();
    }
}

TEST_F(MainFrameTest, IdleTextLeavesOtherMessagesAlone) {
    const QString idle = QStringLiteral("レディ");
    QStatusBar* bar = frame->statusBar();
    PointerToTheMiddle();
    const QString shown = QStringLiteral("ﾚﾝﾀﾞﾘﾝｸﾞ中");
    bar->showMessage(shown);
    QApplication::processEvents();
    EXPECT_EQ(bar->currentMessage(), shown);
    // Nothing left over from the clearing replaces the message shown right after it.
    bar->clearMessage();
    bar->showMessage(shown);
    QApplication::processEvents();
    EXPECT_EQ(bar->currentMessage(), shown);
    bar->clearMessage();
    QApplication::processEvents();
    EXPECT_EQ(bar->currentMessage(), idle);

    // A message with a time limit gives way to the idle text when its time is up.
    bar->showMessage(shown, 20);
    EXPECT_EQ(bar->currentMessage(), shown);
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->currentMessage() == idle; }, 5000))
        << bar->currentMessage().toStdString();
}

class HelpTest : public MainFrameTest {
protected:
    void SetUp() override {
        MainFrameTest::SetUp();
        GetApp()->SetAppFolder(dir.path().toStdString() + "/");
        HtmlLauncher launcher;
        launcher.findHandler = [this]() -> std::optional<QString> { return handler; };
        launcher.start = [this](const QString& program, const QStringList& args) {
            started.push_back(program + " " + args.join(' '));
            return true;
        };
        frame->SetHtmlLauncher(launcher);
    }
    void WritePage() { std::ofstream(dir.path().toStdString() + "/OvalithHelp.HTML") << "<html></html>"; }

    QTemporaryDir dir;
    std::optional<QString> handler;
    QStringList started;
    win::ScopedPrompts prompts;
};

TEST_F(HelpTest, MissingPage) {
    handler = QStringLiteral("/usr/bin/browser");
    Click(ID_HELP);
    EXPECT_EQ(prompts->MessageTexts(), std::vector<std::string>{"ヘルプファイルが見つかりません。"});
    EXPECT_TRUE(started.isEmpty());
}

TEST_F(HelpTest, PagePresentButNoBrowserStartsNothing) {
    WritePage();
    Click(ID_HELP);
    EXPECT_EQ(prompts->MessageTexts(), std::vector<std::string>{"HTMLブラウザが正常にセットアップされていません。"});
    EXPECT_TRUE(started.isEmpty());
    EXPECT_EQ(prompts->asked.at(0).owner, frame.get());
}

TEST_F(HelpTest, PageOpensWithTheBrowser) {
    WritePage();
    handler = QStringLiteral("/usr/bin/browser");
    Click(ID_HELP);
    EXPECT_TRUE(prompts->asked.empty());
    EXPECT_EQ(started, QStringList{"/usr/bin/browser " + dir.path() + "/OvalithHelp.HTML"});
}

}  // namespace
