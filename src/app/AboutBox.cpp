#include "app/AboutBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <cstdlib>
#include <ctime>

#include "app/Artwork.h"
#include "platform/win/UserPrompts.h"

namespace {

// Both click counters live for the process and start over whenever the box opens.
int g_shiftClicks = 1;
int g_plainClicks = 1;

class ClickableLabel final : public QLabel {
public:
    ClickableLabel(const QString& text, QWidget* parent, CAboutDlg* dialog) : QLabel(text, parent), m_dialog(dialog) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) m_dialog->OnVersionClicked();
    }

private:
    CAboutDlg* m_dialog;
};

}  // namespace

QString CAboutDlg::FortuneText(int r) {
    static const char* const kFortunes[4] = {"大吉(^^)", "中吉(--)", "小吉(>_<)", "凶(--;"};
    return QString::fromUtf8(kFortunes[((r % 4) + 4) % 4]);
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    auto* icon = new QLabel(this);
    icon->setPixmap(artwork::IconPixmap(artwork::ICON_FIGURE).scaled(32, 32));
    auto* title = new QLabel(QStringLiteral("Marisole"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    m_version = new ClickableLabel(QString::fromLatin1(kVersionText), this, this);
    m_version->setObjectName(QStringLiteral("version1062"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(title);
    texts->addWidget(m_version);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);

    std::srand(static_cast<unsigned>(std::time(nullptr)));
    g_shiftClicks = 1;
    g_plainClicks = 1;
}

void CAboutDlg::OnVersionClicked() {
    const bool shift = win::Prompts().IsShiftDown();
    if (shift) ++g_shiftClicks;
    if (g_shiftClicks == 3 && !shift) ++g_plainClicks;
    if (g_plainClicks == 3) {
        m_version->setText(FortuneText(std::rand()));
        g_shiftClicks = 1;
        g_plainClicks = 1;
    }
}
