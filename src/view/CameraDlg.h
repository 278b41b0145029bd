#pragma once
// The camera and background page (ｵﾌﾟｼｮﾝ): lens, background picture, eye textures, hardware device. A child page of the main view's page host; the application object points at it while
// it lives.

#include <QWidget>

#include "platform/win/WindowMessages.h"

class CCameraDlg final : public win::CMessageWindow<QWidget> {
  public:
    explicit CCameraDlg(QWidget* parent);
    ~CCameraDlg() override;

    bool OnWindowMessage(std::uint32_t message, win::WPARAM w, win::LPARAM l, win::LRESULT* result) override;
};
