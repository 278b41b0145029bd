#pragma once
// The about box: the version line, and a small game hidden in it — two SHIFT-clicks on the version
// line, then two plain clicks, show a fortune in its place.

#include <QDialog>

class QLabel;

class CAboutDlg final : public QDialog {
public:
    explicit CAboutDlg(QWidget* parent);

    static constexpr const char* kVersionText = "Version:1.00 (Build:751)";
    // The fortune shown for the pseudo-random number r.
    static QString FortuneText(int r);

    QLabel* VersionLine() const { return m_version; }
    // A click on the version line (SHIFT read through the prompt seam).
    void OnVersionClicked();

private:
    QLabel* m_version;
};
