#include "library/MainView.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>

#include "app/core/MainApp.h"

const win::MessageMapEntry<CMainView> CMainView::kMessageMap[1] = {
    {win::WM_REFRESH, &CMainView::OnRefresh},
};

CMainView::CMainView(QWidget* parent) : win::CMessageWindow<QWidget>(parent) {
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    m_tree = new QTreeWidget(splitter);
    m_tree->setObjectName(QStringLiteral("tree1001"));
    m_tree->header()->hide();
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setMinimumWidth(160);

    m_editArea = new QFrame(splitter);
    m_editArea->setFrameShape(QFrame::StyledPanel);
    m_editArea->setMinimumSize(320, 240);
    m_editArea->setAutoFillBackground(true);
    QPalette dark = m_editArea->palette();
    dark.setColor(QPalette::Window, QColor(64, 64, 64));
    m_editArea->setPalette(dark);

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

    GetApp()->m_pMainView = this;
    GetApp()->m_pPartsTree = m_tree;
}

CMainView::~CMainView() {
    if (GetApp()->m_pMainView == this) GetApp()->m_pMainView = nullptr;
    if (GetApp()->m_pPartsTree == m_tree) GetApp()->m_pPartsTree = nullptr;
}

bool CMainView::OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) {
    return win::DispatchMessageMap(this, kMessageMap, message, w, l, result);
}

win::LRESULT CMainView::OnRefresh(win::WPARAM, win::LPARAM) {
    update();
    return 0;
}
