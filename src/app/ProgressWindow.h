#pragma once
// The progress window of long operations: a small modeless window with a bar, a moving animation
// and a message line. While it is open its owner is disabled (only if this window disabled it, so
// nested progress windows leave the owner as they found it); every SetPos first dispatches all
// waiting events, so the application keeps painting and handling posted messages.

#include <QDialog>
#include <QPointer>
#include <string>

#include "base/Progress.h"

class QLabel;
class QProgressBar;
class QTimer;
class CProgressAnimation;

class CProgressWindow final : public ProgressSink {
public:
    CProgressWindow() = default;
    ~CProgressWindow() override;
    CProgressWindow(const CProgressWindow&) = delete;
    CProgressWindow& operator=(const CProgressWindow&) = delete;

    bool Open(QWidget* owner);
    void SetTitle(const std::string& text) override;
    void SetText(const std::string& text) override;
    void SetRange(int low, int high) override;
    void SetPos(int position) override;
    void Close();

    bool IsOpen() const { return !m_dialog.isNull(); }
    QDialog* Dialog() const { return m_dialog.data(); }
    int Position() const;
    std::string Text() const;

private:
    QPointer<QWidget> m_owner;
    bool m_ownerDisabledHere = false;
    int m_low = 0;
    int m_high = 100;
    QPointer<QDialog> m_dialog;
    QProgressBar* m_bar = nullptr;
    QLabel* m_text = nullptr;
};

// Runs every waiting event of the user-interface thread and returns when the queue is empty.
void PumpMessages();
