#include "library/PoseSetDlg.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "archive/Communicator.h"
#include "base/Cp932.h"
#include "scene/PartPaths.h"

std::vector<scene::PartListEntry> ReadPoseSets(CCommunicator& archive) {
    std::size_t length = 0;
    const char* text = archive.Read("plist.txt", length);
    if (!text) return {};
    std::vector<scene::PartListEntry> entries = scene::ParsePartList(std::string_view(text, length), "");
    std::erase_if(entries, [](const scene::PartListEntry& e) { return !scene::IsPoseSetPath(e.partPath); });
    return entries;
}

CPoseSetDlg::CPoseSetDlg(std::vector<scene::PartListEntry> entries, QWidget* parent)
    : QDialog(parent), m_entries(std::move(entries)) {
    setWindowTitle(QStringLiteral("ポーズセットを開く"));
    m_list = new QListWidget(this);
    for (const scene::PartListEntry& entry : m_entries) {
        QStringList lines;
        for (const std::string& line : scene::SplitDisplayLines(entry.name))
            lines << QString::fromStdString(cp932::ToUtf8(line));
        m_list->addItem(lines.join(QLatin1Char(' ')));
    }
    if (!m_entries.empty()) m_list->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    buttons->button(QDialogButtonBox::Ok)->setEnabled(!m_entries.empty());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(320, 300);
}

std::optional<scene::PartListEntry> CPoseSetDlg::Chosen() const {
    const int row = m_list->currentRow();
    if (result() != QDialog::Accepted || row < 0 || std::size_t(row) >= m_entries.size()) return std::nullopt;
    return m_entries[std::size_t(row)];
}
