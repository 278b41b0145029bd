#include "library/MainView.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>
#include <QTreeWidget>

#include "core/MainApp.h"
#include "library/CollectionWnd.h"
#include "library/PageHost.h"
#include "library/PartsTreeCtrl.h"
#include "library/TreeRefresh.h"
#include "scene/MainDoc.h"
#include "view/3DView.h"
#include "view/CameraDlg.h"
#include "view/LightDlg.h"
#include "view/MaterialDlg.h"
#include "view/WaitCursor.h"

namespace {

// The tabs in order, each with the page it shows and its image of the icon list.
struct TabEntry {
    const char* text;
    CMainView::Page page;
};
constexpr TabEntry kTabs[] = {
    {"ｺﾚｸｼｮﾝ", CMainView::kCollectionPage},
    {"ｶﾗｰ", CMainView::kMaterialPage},
    {"ﾗｲﾄ", CMainView::kLightPage},
    {"ｵﾌﾟｼｮﾝ", CMainView::kCameraPage},
};

// Tabs as wide as their image and text need, so that the four fit the tab control's 200 pixels.
class CompactTabBar final : public QTabBar {
  public:
    using QTabBar::QTabBar;

  protected:
    QSize tabSizeHint(int index) const override {
        const QSize natural = QTabBar::tabSizeHint(index);
        const int needed = kMargin + iconSize().width() + kGap + fontMetrics().horizontalAdvance(tabText(index)) + kMargin;
        return {std::min(natural.width(), needed), natural.height()};
    }
    // The style's tab shapes, with the image and text placed tightly inside them.
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        for (int i = 0; i < count(); ++i) {
            QStyleOptionTab option;
            initStyleOption(&option, i);
            painter.drawControl(QStyle::CE_TabBarTabShape, option);
            const QRect r = option.rect;
            const QSize icon = iconSize();
            const int shift = i == currentIndex() ? 0 : 1;
            tabIcon(i).paint(&painter, r.left() + kMargin, r.top() + (r.height() - icon.height()) / 2 + shift,
                             icon.width(), icon.height());
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(QRect(r.left() + kMargin + icon.width() + kGap, r.top() + shift, r.width(), r.height()),
                             Qt::AlignLeft | Qt::AlignVCenter, tabText(i));
        }
    }

  private:
    static constexpr int kMargin = 3;
    static constexpr int kGap = 2;
};

// Where the page host sits inside the tab control, below the tabs.
constexpr int kHostLeft = 6;
constexpr int kHostTop = 28;

// The tree page: a plain child of the host that no tab shows.
QWidget* MakeTreePage(QWidget* host, const char* name, int height) {
    auto* page = new QWidget(host);
    page->setObjectName(QString::fromLatin1(name));
    page->resize(host->width(), height);
    page->hide();
    return page;
}

}  // namespace

const win::MessageMapEntry<CMainView> CMainView::kMessageMap[2] = {
    {win::WM_REFRESH, &CMainView::OnRefresh},
    {win::WM_SELECT_TREE_ITEM, &CMainView::OnSelectTreeItem},
};

CMainView::CMainView(QWidget* parent)
    : win::CMessageWindow<QScrollArea>(parent), m_treeModel(std::make_unique<CPartsTree>()) {
    CMainApp* app = GetApp();
    app->m_pMainView = this;
    app->m_pTreeModel = m_treeModel.get();

    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    auto* form = new QWidget;
    form->setObjectName(QStringLiteral("form101"));
    form->setMinimumSize(kMinimumWidth, kMinimumHeight);
    setWidget(form);
    form->installEventFilter(this);

    m_tree = new CPartsTreeCtrl(form);
    m_tree->Attach(m_treeModel.get());
    m_tree->onClicked = [this] { win::PostMessage(this, win::WM_REFRESH); };
    m_tree->onCheckToggled = [this](HTREEITEM) { win::PostMessage(this, win::WM_REFRESH); };
    m_tree->onSelectionChanged = [this](HTREEITEM item) {
        if (!m_selecting) win::SendMessage(this, win::WM_SELECT_TREE_ITEM, item);
    };
    m_tree->onDeletePressed = [this] { DeleteSelectedPart(); };
    app->m_pPartsTree = m_tree;

    m_editView = new C3DView(form);
    m_editView->show();

    auto* tabControl = new QFrame(form);
    tabControl->setObjectName(QStringLiteral("tab1002"));
    tabControl->setFrameShape(QFrame::StyledPanel);
    tabControl->installEventFilter(this);
    m_tabControl = tabControl;
    m_tabBar = new CompactTabBar(m_tabControl);
    m_tabBar->setDrawBase(false);
    m_tabBar->setExpanding(false);
    m_tabBar->setElideMode(Qt::ElideNone);
    // Four tabs share 200 pixels: small text and tight tabs, arrows only when a wide font forces.
    QFont tabFont = m_tabBar->font();
    tabFont.setPixelSize(11);
    m_tabBar->setFont(tabFont);
    m_tabBar->setIconSize(QSize(14, 14));
    m_tabBar->setUsesScrollButtons(true);
    m_tabBar->setFocusPolicy(Qt::TabFocus);
    CreatePages();
    connect(m_tabBar, &QTabBar::currentChanged, this, [this](int index) {
        SelectTab(index);
        if (m_toolbarRefresh) m_toolbarRefresh();
    });
}

CMainView::~CMainView() {
    // The edit view and the tree control go before the tree model they watch.
    delete m_editView;
    m_editView = nullptr;
    m_tree->Attach(nullptr);
    CMainApp* app = GetApp();
    if (app->m_pMainView == this) app->m_pMainView = nullptr;
    if (app->m_pPartsTree == m_tree) app->m_pPartsTree = nullptr;
    if (app->m_pTreeModel == m_treeModel.get()) app->m_pTreeModel = nullptr;
}

void CMainView::CreatePages() {
    m_pageHost = new CPageHost(m_tabControl);
    m_pageHost->move(kHostLeft, kHostTop);
    m_pages[kMaterialPage] = new CMaterialDlg(m_pageHost);
    auto* treePage = MakeTreePage(m_pageHost, "page132", 240);
    auto* pageTree = new QTreeWidget(treePage);
    pageTree->setObjectName(QStringLiteral("tree1008"));
    pageTree->setGeometry(0, 20, 160, 200);
    new QLabel(treePage);
    m_pages[kTreePage] = treePage;
    m_pages[kLightPage] = new CLightDlg(m_pageHost);
    m_pages[kCameraPage] = new CCameraDlg(m_pageHost);
    for (QWidget* page : m_pages)
        if (page) page->hide();
    m_collection = new CCollectionWnd(m_pageHost);
    m_collection->resize(m_pageHost->width(), 1);
    m_collection->hide();
    m_pages[kCollectionPage] = m_collection;

    const QList<QIcon>& icons = GetApp()->GetIconList();
    for (int i = 0; i < 4; ++i)
        m_tabBar->addTab(i < icons.size() ? icons[i] : QIcon(), QString::fromUtf8(kTabs[i].text));
    m_pageHost->show();
}

void CMainView::OnInitialUpdate() {
    {
        const QSignalBlocker quiet(m_tabBar);
        m_tabBar->setCurrentIndex(0);
    }
    SelectTab(0);
    m_initialised = true;
    LayOut();
    CMainDoc* doc = GetApp()->m_pDocument;
    if (doc) doc->PrepareTree();
    show();
    RefreshTree(*m_treeModel, doc, false);
    // The pages show the new scene: its lights and lens, and the colours of the selection.
    CMainApp* app = GetApp();
    win::SendMessage(app->m_pLightDlg, win::WM_REFRESH);
    win::SendMessage(app->m_pCameraDlg, win::WM_REFRESH);
    win::SendMessage(app->m_pMaterialDlg, win::WM_TREE_SELECTION_CHANGED, m_treeModel->GetSelectedItem());
}

void CMainView::SelectTab(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kTabs))) return;
    m_pageHost->ShowPage(m_pages[kTabs[index].page]);
}

bool CMainView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == widget()) LayOut();
        if (watched == m_tabControl) LayOutTabControl();
    }
    return QScrollArea::eventFilter(watched, event);
}

void CMainView::LayOut() {
    if (!m_initialised) return;
    const int w = std::max(widget()->width(), kMinimumWidth);
    const int h = std::max(widget()->height(), kMinimumHeight);
    const QScreen* screen = this->screen();
    const int screenHeight = screen ? screen->geometry().height() : h + 1;
    m_tree->setGeometry(6, 6, 180, h - 12);
    m_tabControl->setGeometry(w - 206, 6, 200, h - 12);
    m_editView->setGeometry(192, 6, w - 404, std::min(h, screenHeight - 1) - 12);
    LayOutTabControl();
}

void CMainView::LayOutTabControl() {
    const int tw = m_tabControl->width(), th = m_tabControl->height();
    m_tabBar->setGeometry(2, 2, tw - 4, kHostTop - 4);
    m_pageHost->setGeometry(kHostLeft, kHostTop, tw - 12, th - 36);
}

void CMainView::DeleteSelectedPart() {
    CMainDoc* doc = GetApp()->m_pDocument;
    if (!doc) return;
    CWaitCursor wait;
    doc->DeleteSelectedPart();
}

bool CMainView::OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) {
    return win::DispatchMessageMap(this, kMessageMap, message, w, l, result);
}

win::LRESULT CMainView::OnRefresh(win::WPARAM, win::LPARAM) {
    CMainDoc* doc = GetApp()->m_pDocument;
    // Option parts all deleted: no undo step may still point at the option frame's placement.
    if (doc && doc->GetOptionItem() != 0 && !m_treeModel->ItemHasChildren(doc->GetOptionItem()) &&
        doc->GetOptionFrame() && m_editView)
        m_editView->ForgetFrame(doc->GetOptionFrame());
    RefreshTree(*m_treeModel, doc, true);
    if (m_editView) m_editView->DrawView();
    // Figures come and go with a refresh: the command that adds one follows their number.
    if (m_toolbarRefresh) m_toolbarRefresh();
    return 0;
}

win::LRESULT CMainView::OnSelectTreeItem(win::WPARAM wParam, win::LPARAM) {
    CWaitCursor wait;
    auto item = static_cast<HTREEITEM>(wParam);
    if (!m_treeModel->Exists(item)) item = 0;
    {
        // The tree reports this selection; it is being handled here.
        const QScopedValueRollback<bool> selecting(m_selecting, true);
        m_treeModel->SelectItem(item);
    }
    CMainApp* app = GetApp();
    // Nothing selected (the camera command): nothing to check, show or edit.
    if (CMainDoc* doc = app->m_pDocument; doc && item != 0) {
        doc->CheckItem(item);
        doc->GetEditTarget();
    }
    win::SendMessage(app->m_pMaterialDlg, win::WM_TREE_SELECTION_CHANGED, item);
    const win::LRESULT listed = win::SendMessage(m_collection, win::WM_TREE_SELECTION_CHANGED, item);
    if (listed == 0 && m_tabBar->currentIndex() == 0) {
        m_pageHost->ShowPage(m_collection);
        // The entry in use may lie below the host's height.
        m_collection->ScrollSelectionIntoView();
    }
    if (QWidget* page = m_pageHost->CurrentPage()) page->repaint();
    return 0;
}
