#include "app/ProgressWindow.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/Artwork.h"

// The animation: a turning cube that advances on its own timer, so it moves while SetPos pumps.
class CProgressAnimation final : public QLabel {
public:
    explicit CProgressAnimation(QWidget* parent) : QLabel(parent) {
        setFixedSize(240, 40);
        m_timer.setInterval(80);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { Advance(); });
        Advance();
        m_timer.start();
    }

private:
    void Advance() {
        setPixmap(artwork::ProgressAnimationFrame(m_frame, width(), height()));
        m_frame = (m_frame + 1) % 8;
    }
    QTimer m_timer;
    int m_frame = 0;
};

void PumpMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

CProgressWindow::~CProgressWindow() { Close(); }

bool CProgressWindow::Open(QWidget* owner) {
    if (IsOpen()) return true;
    m_owner = owner;
    m_ownerDisabledHere = false;
    if (owner && owner->isEnabled()) {
        owner->setEnabled(false);
        m_ownerDisabledHere = true;
    }
    auto* dialog = new QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->setModal(false);
    QFont font(QStringLiteral("Terminal"));
    font.setStyleHint(QFont::TypeWriter);
    dialog->setFont(font);
    // A dialog parented to the disabled owner would be disabled with it.
    dialog->setEnabled(true);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(new CProgressAnimation(dialog), 0, Qt::AlignHCenter);
    m_bar = new QProgressBar(dialog);
    m_bar->setObjectName(QStringLiteral("progress1003"));
    m_bar->setRange(m_low, m_high);
    m_bar->setValue(m_low);
    m_bar->setTextVisible(false);
    layout->addWidget(m_bar);
    m_text = new QLabel(dialog);
    m_text->setObjectName(QStringLiteral("text1005"));
    m_text->setMinimumWidth(280);
    layout->addWidget(m_text);
    m_dialog = dialog;
    dialog->show();
    return true;
}

void CProgressWindow::SetTitle(const std::string& text) {
    if (m_dialog) m_dialog->setWindowTitle(QString::fromStdString(text));
}

void CProgressWindow::SetText(const std::string& text) {
    if (m_text) m_text->setText(QString::fromStdString(text));
}

void CProgressWindow::SetRange(int low, int high) {
    // The bar keeps 16-bit values, as the positions callers report are.
    m_low = static_cast<std::int16_t>(low);
    m_high = static_cast<std::int16_t>(high);
    if (m_bar) m_bar->setRange(m_low, m_high);
}

void CProgressWindow::SetPos(int position) {
    PumpMessages();
    if (m_bar) m_bar->setValue(position);
}

void CProgressWindow::Close() {
    if (m_ownerDisabledHere && m_owner) m_owner->setEnabled(true);
    m_ownerDisabledHere = false;
    if (m_dialog) {
        m_dialog->hide();
        delete m_dialog.data();
    }
    m_bar = nullptr;
    m_text = nullptr;
}

int CProgressWindow::Position() const { return m_bar ? m_bar->value() : m_low; }

std::string CProgressWindow::Text() const { return m_text ? m_text->text().toStdString() : std::string(); }
