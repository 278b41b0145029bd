#include "library/MainView.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>

#include "core/MainApp.h"
#include "scene/PartsTree.h"
#include "view/3DView.h"

const win::MessageMapEntry<CMainView> CMainView::kMessageMap[2] = {
    {win::WM_REFRESH, &CMainView::OnRefresh},
    {win::WM_SELECT_TREE_ITEM, &CMainView::OnSelectTreeItem},
};

CMainView::CMainView(QWidget* parent)
    : win::CMessageWindow<QWidget>(parent), m_treeModel(std::make_unique<CPartsTree>()) {
    GetApp()->m_pMainView = this;
    GetApp()->m_pTreeModel = m_treeModel.get();

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    m_tree = new QTreeWidget(splitter);
    m_tree->setObjectName(QStringLiteral("tree1001"));
    m_tree->header()->hide();
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setMinimumWidth(160);

    m_editView = new C3DView(splitter);
    m_editView->setMinimumSize(320, 240);

    m_tabs = new QTabWidget(splitter);
    m_tabs->setObjectName(QStringLiteral("tab1002"));
    m_tabs->setMinimumWidth(300);
    const auto& icons = GetApp()->GetIconList();
    const char* const texts[] = {"ｺﾚｸｼｮﾝ", "ｶﾗｰ", "ﾗｲﾄ", "ｵﾌﾟｼｮﾝ"};
    for (int i = 0; i < 4; ++i) {
        const QIcon icon = i < icons.size() ? icons[i] : QIcon();
        m_tabs->addTab(new QWidget(m_tabs), icon, QString::fromUtf8(texts[i]));
    }
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setStretchFactor(2, 0);
    splitter->setSizes({200, 560, 320});

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    GetApp()->m_pPartsTree = m_tree;
}

CMainView::~CMainView() {
    // The edit view goes before the tree model it watches.
    delete m_editView;
    m_editView = nullptr;
    if (GetApp()->m_pMainView == this) GetApp()->m_pMainView = nullptr;
    if (GetApp()->m_pPartsTree == m_tree) GetApp()->m_pPartsTree = nullptr;
    if (GetApp()->m_pTreeModel == m_treeModel.get()) GetApp()->m_pTreeModel = nullptr;
}

bool CMainView::OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) {
    return win::DispatchMessageMap(this, kMessageMap, message, w, l, result);
}

win::LRESULT CMainView::OnRefresh(win::WPARAM, win::LPARAM) {
    if (m_editView) m_editView->DrawView();
    return 0;
}

win::LRESULT CMainView::OnSelectTreeItem(win::WPARAM item, win::LPARAM) {
    m_treeModel->SelectItem(static_cast<HTREEITEM>(item));
    win::SendMessage(GetApp()->m_pCollectionWnd, win::WM_TREE_SELECTION_CHANGED, item);
    win::SendMessage(GetApp()->m_pMaterialDlg, win::WM_TREE_SELECTION_CHANGED, item);
    return 0;
}
