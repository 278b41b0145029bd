#include "app/MainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include "app/AboutBox.h"
#include "app/Artwork.h"
#include "app/SplashWindow.h"
#include "core/Commands.h"
#include "core/MainApp.h"
#include "scene/MainDoc.h"

namespace {

// Status-bar prompt and tool tip of each command, separated by "\n".
struct CommandText {
    int id;
    const char* menuText;  // menu item text; nullptr for toolbar-only commands
    const char* prompt;
};

const CommandText kCommands[] = {
    // The File menu's render is the main view's command and carries its text.
    {ID_FILE_RENDER, "レンダリング(&R)", "ﾚﾝﾀﾞﾘﾝｸﾞ\nﾚﾝﾀﾞﾘﾝｸﾞ"},
    {ID_FILE_NEW, "新規作成(&N)", "現在のデータを破棄して新しいシーンを作成します。\n新規ｼｰﾝﾌｧｲﾙの作成"},
    {ID_FILE_OPEN, "開く(&O)...", "保存されているｼﾝｰﾌｧｲﾙを開きます。\nｼｰﾝﾌｧｲﾙを開く"},
    {ID_FILE_SAVE, "上書き保存(&S)", "現在のデータを保存します。\nｼｰﾝﾌｧｲﾙを保存"},
    {ID_FILE_SAVE_AS, "名前を付けて保存(&A)...", "作業中のﾌｧｲﾙを新しい名前で保存\n名前をつけて保存"},
    {ID_FILE_SAVE_POSE, "ポーズの保存...", "フィギュアのポーズをﾎﾟｰｽﾞﾌｧｲﾙに保存します。\nポーズの保存"},
    {ID_FILE_LOAD_POSE, "ポーズの読み込み...", "ﾎﾟｰｽﾞﾌｧｲﾙのポーズをフィギュアに付けます。\nポーズの読み込み"},
    {ID_APP_EXIT, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", "ｱﾌﾟﾘｹｰｼｮﾝを終了します。\n終了"},
    {ID_VIEW_TOOLBAR, "ﾂｰﾙ ﾊﾞｰ(&T)", "ﾂｰﾙ ﾊﾞｰの表示/非表示を切り替えます。\nﾂｰﾙ ﾊﾞｰの表示/非表示"},
    {ID_APP_ABOUT, "Marisole のﾊﾞｰｼﾞｮﾝ情報(&A)...", "ﾊﾞｰｼﾞｮﾝ情報を表示します。\nﾊﾞｰｼﾞｮﾝ情報"},
    {ID_EDIT_FREE, nullptr, "自由に編集。\n自由に編集"},
    {ID_EDIT_X, nullptr, "Ｘ軸方向のみの編集。\nＸ軸のみ"},
    {ID_EDIT_Y, nullptr, "Ｙ軸方向のみの編集。\nＹ軸のみ"},
    {ID_EDIT_Z, nullptr, "Ｚ軸のみの編集。\nＺ軸のみ"},
    {ID_EDIT_IK, nullptr, "手や足をドラッグすると、腕や脚が曲がってついてきます。\nIK"},
    {ID_EDIT_ROTATE_MODE, nullptr, "ドラッグすると、選択したものが回転します。\n回転"},
    {ID_EDIT_MIRROR, "左右反転コピー",
     "選択したパーツとその先のポーズを、左右反転して反対側にコピーします。\n左右反転コピー"},
    {ID_EDIT_SWAP_SIDES, "左右入れ替え", "選択したパーツとその先のポーズを、反対側と入れ替えます。\n左右入れ替え"},
    {ID_VIEW_POINTS, nullptr,
     "ﾎﾟﾘｺﾞﾝの頂点のみを表示します／ﾚﾝﾀﾞﾘﾝｸﾞされた画像にも反映されます。\nﾎﾟｲﾝﾄ表示"},
    {ID_VIEW_WIREFRAME, nullptr, "ﾜｲﾔｰﾌﾚｰﾑで表示します／ﾚﾝﾀﾞﾘﾝｸﾞにも反映されます。\nﾜｲﾔｰﾙﾚｰﾑ表示"},
    {ID_VIEW_FLAT, nullptr,
     "ﾌﾗｯﾄｼｪｰﾃﾞｨﾝｸﾞで表示します／ﾌﾗｯﾄｼｪｰﾃﾞｨﾝｸﾞされた画像にも反映されます。\nﾌﾗｯﾄｼｪｰﾃﾞｨﾝｸﾞ表示"},
    {ID_VIEW_GOURAUD, nullptr,
     "ｸﾞｰﾛｰｼｪｰﾃﾞｨﾝｸﾞで表示します／ﾚﾝﾀﾞﾘﾝｸﾞされた画像にも反映されます。\nｸﾞｰﾛｰｼｪｰﾃﾞｨﾝｸﾞ表示"},
    {ID_RENDER, nullptr, "現在のｼｰﾝをﾚﾝﾀﾞﾘﾝｸﾞします。\nﾚﾝﾀﾞﾘﾝｸﾞ"},
    {ID_SMOOTH, nullptr,
     "各ｵﾌﾞｼﾞｪｸﾄの接合部を補完して滑らかなデータにします。（時間のかかることがあります）\nｽﾑｰｼﾞﾝｸﾞ"},
    {ID_VIEW_SIMPLE, nullptr, "編集時にオブジェクトをバウンディング ボックス表示にします。\n簡易表示"},
    {ID_VIEW_RENDER_SIZE, nullptr, "実際にﾚﾝﾀﾞﾘﾝｸﾞされる画面の比率で表示します。\nﾚﾝﾀﾞﾘﾝｸﾞｻｲｽﾞの表示"},
    {ID_HELP, nullptr, "ﾍﾙﾌﾟを表示します。\nﾍﾙﾌﾟ"},
    {ID_APPLY_COLLECTION, nullptr, "ｺﾚｸｼｮﾝｳｨﾝﾄﾞｳの選択されたﾃﾞｰﾀをｼｰﾝに適用します。\nｺﾚｸｼｮﾝを適用"},
    {ID_VIEW_FLOOR_GRID, "床グリッド", "編集画面の床にグリッドを表示します（レンダリングには写りません）。\n床グリッド"},
    {ID_VIEW_OPEN_POSE_SET, "ポーズセットを開く...", "ポーズセットを一覧から選んで読み込みます。\nポーズセットを開く"},
    {ID_VIEW_ADD_FIGURE, "キャラクタを追加...",
     "ポーズセットを一覧から選んで、キャラクタをシーンに追加します（8体まで）。\nキャラクタを追加"},
    {ID_VIEW_CAMERA_FRONT, "正面", "シーンを正面から見ます。\n正面"},
    {ID_VIEW_CAMERA_BACK, "背面", "シーンを背面から見ます。\n背面"},
    {ID_VIEW_CAMERA_RIGHT, "右", "シーンを右から見ます。\n右"},
    {ID_VIEW_CAMERA_LEFT, "左", "シーンを左から見ます。\n左"},
    {ID_VIEW_CAMERA_TOP, "上", "シーンを上から見ます。\n上"},
    {ID_VIEW_CAMERA_BOTTOM, "下", "シーンを下から見ます。\n下"},
    {ID_VIEW_FRAME_ALL, "全体を表示", "表示されているものがすべて収まるように視点を動かします。\n全体を表示"},
    {ID_VIEW_FRAME_SELECTED, "選択部分を表示", "選択したパーツが収まるように視点を動かします。\n選択部分を表示"},
    {ID_VIEW_CAMERA_RESET, "視点を戻す", "視点を新しいシーンの位置に戻します。\n視点を戻す"},
};

// The 表示 menu's 視点 submenu; 0 is a separator.
const int kCameraMenu[] = {
    ID_VIEW_CAMERA_FRONT, ID_VIEW_CAMERA_BACK, ID_VIEW_CAMERA_RIGHT, ID_VIEW_CAMERA_LEFT, ID_VIEW_CAMERA_TOP,
    ID_VIEW_CAMERA_BOTTOM, 0, ID_VIEW_FRAME_ALL, ID_VIEW_FRAME_SELECTED, 0, ID_VIEW_CAMERA_RESET,
};

// Toolbar order, one group a line; 0 is a separator.
// clang-format off
const int kToolbarLayout[] = {
    ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0,
    ID_EDIT_FREE, ID_EDIT_X, ID_EDIT_Y, ID_EDIT_Z, ID_EDIT_IK, ID_EDIT_ROTATE_MODE, 0,
    ID_VIEW_POINTS, ID_VIEW_WIREFRAME, ID_VIEW_FLAT, ID_VIEW_GOURAUD, 0,
    ID_VIEW_SIMPLE, ID_VIEW_RENDER_SIZE, 0,
    ID_VIEW_ADD_FIGURE, 0,
    ID_RENDER, ID_SMOOTH, ID_APPLY_COLLECTION, ID_HELP,
};

// Commands whose checked state RefreshToolbar computes.
const int kCheckableCommands[] = {
    ID_EDIT_FREE, ID_EDIT_X, ID_EDIT_Y, ID_EDIT_Z, ID_EDIT_IK, ID_EDIT_ROTATE_MODE,
    ID_VIEW_POINTS, ID_VIEW_WIREFRAME, ID_VIEW_FLAT, ID_VIEW_GOURAUD,
    ID_VIEW_SIMPLE, ID_VIEW_RENDER_SIZE, ID_VIEW_FLOOR_GRID,
};
// clang-format on

// What the status bar says while no fly-by text or other message is shown.
const char kIdleText[] = "レディ";

QString Prompt(const char* prompt) { return QString::fromUtf8(prompt).section('\n', 0, 0); }
QString ToolTip(const char* prompt) { return QString::fromUtf8(prompt).section('\n', 1, 1); }

}  // namespace

CMainFrame::CMainFrame() : win::CMessageWindow<QMainWindow>(nullptr) {
    // Published at once: the splash and the library objects need the main window while it is made.
    GetApp()->m_pMainWnd = this;
    setObjectName(QStringLiteral("MainFrame"));
    // The software libraries cannot fail to come up; every later window relies on them.
    m_devices.Create(this);
    GetApp()->m_lpDD = m_devices.DirectDraw();
    GetApp()->m_lpD3DRM = m_devices.Library3D();
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    setAcceptDrops(true);
    m_htmlLauncher = HtmlLauncher::Desktop();
    QSettings registry;
    m_recentFiles.Load(registry);
    RebuildRecentFileMenu();
    UpdateTitle(CMainDoc::kNewDocumentTitle);
    resize(1100, 720);
    RefreshToolbar();
}

CMainFrame::~CMainFrame() { OnDestroy(); }

void CMainFrame::OnDestroy() {
    if (m_destroyed) return;
    m_destroyed = true;
    CSplashWnd::HideSplash();
    // The document lets go of its parts while the library objects still exist.
    if (CMainDoc* doc = GetApp()->m_pDocument) doc->ReleaseAllParts();
    GetApp()->m_lpD3DRM = nullptr;
    GetApp()->m_lpDD = nullptr;
    m_devices.Release();
    if (GetApp()->m_pMainWnd == this) GetApp()->m_pMainWnd = nullptr;
}

bool CMainFrame::OnWindowMessage(std::uint32_t, win::WPARAM, win::LPARAM, win::LRESULT*) { return false; }

QAction* CMainFrame::AddCommand(int id, const QString& text, const char* prompt) {
    auto* action = new QAction(text, this);
    action->setData(id);
    action->setStatusTip(Prompt(prompt));
    action->setToolTip(ToolTip(prompt));
    action->setIcon(artwork::ToolbarIcon(id));
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    m_actions[id] = action;
    return action;
}

void CMainFrame::CreateActions() {
    for (const auto& c : kCommands) {
        const QString text = c.menuText ? QString::fromUtf8(c.menuText) : ToolTip(c.prompt);
        AddCommand(c.id, text, c.prompt);
    }
    m_actions[ID_FILE_NEW]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    m_actions[ID_FILE_OPEN]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    m_actions[ID_FILE_SAVE]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    m_actions[ID_VIEW_TOOLBAR]->setCheckable(true);
    m_actions[ID_VIEW_TOOLBAR]->setChecked(true);
    for (int id : kCheckableCommands) m_actions[id]->setCheckable(true);
    // A menu-only toggle: without an icon the menu shows its check mark, not a pressed icon.
    m_actions[ID_VIEW_FLOOR_GRID]->setIcon(QIcon());

    // The frame's own commands.
    m_handlers[ID_FILE_NEW] = [] {
        if (CMainDoc* doc = GetApp()->m_pDocument) doc->OnNewDocument();
    };
    m_handlers[ID_APP_EXIT] = [this] { close(); };
    m_handlers[ID_VIEW_TOOLBAR] = [this] { m_toolBar->setVisible(!m_toolBar->isVisible()); };
    m_handlers[ID_APP_ABOUT] = [this] {
        CAboutDlg about(this);
        about.exec();
    };
    m_handlers[ID_VIEW_POINTS] = [this] { SetDisplayMode(4); };
    m_handlers[ID_VIEW_WIREFRAME] = [this] { SetDisplayMode(0); };
    m_handlers[ID_VIEW_FLAT] = [this] { SetDisplayMode(1); };
    m_handlers[ID_VIEW_GOURAUD] = [this] { SetDisplayMode(2); };
    m_handlers[ID_EDIT_FREE] = [this] { SetPlaneMove(); };
    m_handlers[ID_EDIT_X] = [this] { SetAxisConstraint(AXIS_X); };
    m_handlers[ID_EDIT_Y] = [this] { SetAxisConstraint(AXIS_Y); };
    m_handlers[ID_EDIT_Z] = [this] { SetAxisConstraint(AXIS_Z); };
    m_handlers[ID_VIEW_SIMPLE] = [this] { ToggleSimpleDisplay(); };
    m_handlers[ID_VIEW_RENDER_SIZE] = [this] { ToggleRenderSizeDisplay(); };
    m_handlers[ID_VIEW_FLOOR_GRID] = [this] { ToggleFloorGrid(); };
    m_handlers[ID_HELP] = [this] { ShowHelp(); };
    for (auto& [id, action] : m_actions) action->setEnabled(m_handlers.count(id) > 0 || id == ID_RENDER);
}

void CMainFrame::CreateMenus() {
    m_fileMenu = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    m_fileMenu->addAction(m_actions[ID_FILE_RENDER]);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_actions[ID_FILE_NEW]);
    m_fileMenu->addAction(m_actions[ID_FILE_OPEN]);
    m_fileMenu->addAction(m_actions[ID_FILE_SAVE]);
    m_fileMenu->addAction(m_actions[ID_FILE_SAVE_AS]);
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_actions[ID_FILE_SAVE_POSE]);
    m_fileMenu->addAction(m_actions[ID_FILE_LOAD_POSE]);
    m_fileMenu->addSeparator();
    m_recentSeparator = m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_actions[ID_APP_EXIT]);

    QMenu* view = menuBar()->addMenu(QStringLiteral("表示(&V)"));
    view->addAction(m_actions[ID_VIEW_TOOLBAR]);
    view->addAction(m_actions[ID_VIEW_FLOOR_GRID]);
    view->addSeparator();
    view->addAction(m_actions[ID_VIEW_OPEN_POSE_SET]);
    view->addAction(m_actions[ID_VIEW_ADD_FIGURE]);
    view->addSeparator();
    view->addAction(m_actions[ID_EDIT_MIRROR]);
    view->addAction(m_actions[ID_EDIT_SWAP_SIDES]);
    view->addSeparator();
    QMenu* camera = view->addMenu(QStringLiteral("視点"));
    for (int id : kCameraMenu) {
        if (id == 0)
            camera->addSeparator();
        else
            camera->addAction(m_actions[id]);
    }
    QMenu* help = menuBar()->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->addAction(m_actions[ID_APP_ABOUT]);
}

void CMainFrame::CreateToolBar() {
    m_toolBar = new QToolBar(QStringLiteral("ﾂｰﾙ ﾊﾞｰ"), this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setIconSize(QSize(24, 22));
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : kToolbarLayout) {
        if (id == 0) {
            m_toolBar->addSeparator();
            continue;
        }
        m_toolBar->addAction(m_actions[id]);
        if (QToolButton* button = ToolButton(id)) button->setFixedSize(28, 26);
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    connect(m_toolBar, &QToolBar::visibilityChanged, this,
            [this](bool visible) { m_actions[ID_VIEW_TOOLBAR]->setChecked(visible); });
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    // Buttons and menu items show their fly-by text while the pointer is over them and clear the
    // message when it leaves; a cleared message brings the idle text back. Only an empty message is
    // answered, so a message that something else shows stays until it is replaced or cleared.
    connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& message) {
        if (message.isEmpty()) bar->showMessage(QString::fromUtf8(kIdleText));
    });
    bar->showMessage(QString::fromUtf8(kIdleText));
}

QAction* CMainFrame::Action(int id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QToolButton* CMainFrame::ToolButton(int id) const {
    QAction* action = Action(id);
    return action ? qobject_cast<QToolButton*>(m_toolBar->widgetForAction(action)) : nullptr;
}

void CMainFrame::SetCommandHandler(int id, std::function<void()> handler) {
    const bool enabled = static_cast<bool>(handler);
    if (enabled)
        m_handlers[id] = std::move(handler);
    else
        m_handlers.erase(id);
    if (QAction* action = Action(id)) action->setEnabled(enabled || id == ID_RENDER);
}

bool CMainFrame::RunCommand(int id) {
    QAction* action = Action(id);
    if (!action || !action->isEnabled()) return false;
    OnCommand(id);
    return true;
}

void CMainFrame::OnCommand(int id) {
    if (id == ID_RENDER) {
        Render();
    } else if (const auto it = m_handlers.find(id); it != m_handlers.end()) {
        const auto handler = it->second;  // a handler may rebind commands
        handler();
    }
    // Check marks come from the settings and the editing state only: a click never leaves its
    // own toggle behind.
    RefreshToolbar();
}

void CMainFrame::Render() {
    QToolButton* button = ToolButton(ID_RENDER);
    if (button) button->setDown(true);
    const auto it = m_handlers.find(ID_RENDER);
    if (GetApp()->m_p3DView && it != m_handlers.end()) it->second();
    if (button) button->setDown(false);
}

void CMainFrame::SetOpenFileHandler(OpenFileHandler handler) {
    m_openFile = std::move(handler);
    RebuildRecentFileMenu();
}

void CMainFrame::AddRecentFile(const QString& path) {
    m_recentFiles.Add(path);
    RecentFilesChanged();
}

void CMainFrame::RemoveRecentFile(const QString& path) {
    m_recentFiles.Remove(path);
    RecentFilesChanged();
}

void CMainFrame::RecentFilesChanged() {
    QSettings registry;
    m_recentFiles.Save(registry);
    RebuildRecentFileMenu();
}

void CMainFrame::OpenRecentFile(const QString& path) {
    if (!m_openFile || m_openFile(path)) return;
    // The document has told the person why the file does not open; its entry goes, from the
    // settings too, so that it does not come back at the next start.
    RemoveRecentFile(path);
}

void CMainFrame::RebuildRecentFileMenu() {
    // The list changes while one of its own items is being triggered (the file it opens moves to
    // the top, or leaves): the old items go once that has finished.
    for (QAction* a : m_recentActions) {
        m_fileMenu->removeAction(a);
        a->deleteLater();
    }
    m_recentActions.clear();
    const QStringList& files = m_recentFiles.Files();
    if (files.isEmpty()) {
        auto* empty = new QAction(QStringLiteral("最近使ったﾌｧｲﾙ"), this);
        empty->setEnabled(false);
        m_recentActions.push_back(empty);
    }
    for (int i = 0; i < files.size(); ++i) {
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]), this);
        a->setData(ID_FILE_MRU_FIRST + i);
        a->setEnabled(static_cast<bool>(m_openFile));
        const QString path = files[i];
        connect(a, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
        m_recentActions.push_back(a);
    }
    for (QAction* a : m_recentActions) m_fileMenu->insertAction(m_recentSeparator, a);
}

void CMainFrame::UpdateTitle(const std::string& documentTitle) {
    setWindowTitle(QString::fromStdString(documentTitle) + QStringLiteral(" - Ovalith"));
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_splashShown) {
        m_splashShown = true;
        CSplashWnd::ShowSplash(this);
    }
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (m_openFile && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const auto urls = event->mimeData()->urls();
    if (!m_openFile || urls.isEmpty() || !urls.front().isLocalFile()) return;
    m_openFile(urls.front().toLocalFile());
    event->acceptProposedAction();
}
