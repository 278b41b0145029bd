#include "view/LightDlg.h"

#include "core/MainApp.h"

CLightDlg::CLightDlg(QWidget* parent) : win::CMessageWindow<QWidget>(parent) {
    setObjectName(QStringLiteral("page136"));
    resize(parent ? parent->width() : 160, 228);
    GetApp()->m_pLightDlg = this;
}

CLightDlg::~CLightDlg() {
    if (GetApp()->m_pLightDlg == this) GetApp()->m_pLightDlg = nullptr;
}

bool CLightDlg::OnWindowMessage(std::uint32_t, win::WPARAM, win::LPARAM, win::LRESULT*) { return false; }
