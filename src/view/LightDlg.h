#pragma once
// The light page (ﾗｲﾄ): the colours of the five scene lights. A child page of the main view's page host; the application object points at it while
// it lives.

#include <QWidget>

#include "platform/win/WindowMessages.h"

class CLightDlg final : public win::CMessageWindow<QWidget> {
  public:
    explicit CLightDlg(QWidget* parent);
    ~CLightDlg() override;

    bool OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) override;
};
