#pragma once
// The material page (ｶﾗｰ): the general names of the selected part's colours, their swatches and power, and a palette. A child page of the main view's page host; the application object points at it while
// it lives.

#include <QWidget>

#include "platform/win/WindowMessages.h"

class CMaterialDlg final : public win::CMessageWindow<QWidget> {
  public:
    explicit CMaterialDlg(QWidget* parent);
    ~CMaterialDlg() override;

    bool OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) override;
};
