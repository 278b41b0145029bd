#include "view/MaterialDlg.h"

#include "core/MainApp.h"

CMaterialDlg::CMaterialDlg(QWidget* parent) : win::CMessageWindow<QWidget>(parent) {
    setObjectName(QStringLiteral("page134"));
    resize(parent ? parent->width() : 160, 485);
    GetApp()->m_pMaterialDlg = this;
}

CMaterialDlg::~CMaterialDlg() {
    if (GetApp()->m_pMaterialDlg == this) GetApp()->m_pMaterialDlg = nullptr;
}

bool CMaterialDlg::OnWindowMessage(std::uint32_t, win::WPARAM, win::LPARAM, win::LRESULT*) { return false; }
