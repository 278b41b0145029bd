#include "view/CameraDlg.h"

#include "core/MainApp.h"

CCameraDlg::CCameraDlg(QWidget* parent) : win::CMessageWindow<QWidget>(parent) {
    setObjectName(QStringLiteral("page135"));
    resize(parent ? parent->width() : 160, 564);
    GetApp()->m_pCameraDlg = this;
}

CCameraDlg::~CCameraDlg() {
    if (GetApp()->m_pCameraDlg == this) GetApp()->m_pCameraDlg = nullptr;
}

bool CCameraDlg::OnWindowMessage(std::uint32_t, win::WPARAM, win::LPARAM, win::LRESULT*) { return false; }
