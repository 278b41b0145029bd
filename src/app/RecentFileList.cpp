#include "app/RecentFileList.h"

namespace {
const QString kSection = QStringLiteral("Recent File List");
QString EntryName(int i) { return QStringLiteral("File%1").arg(i + 1); }
}  // namespace

void CRecentFileList::Load(QSettings& settings) {
    m_files.clear();
    settings.beginGroup(kSection);
    for (int i = 0; i < kSize; ++i) {
        const QString path = settings.value(EntryName(i)).toString();
        if (!path.isEmpty()) m_files.push_back(path);
    }
    settings.endGroup();
}

void CRecentFileList::Save(QSettings& settings) const {
    settings.beginGroup(kSection);
    for (int i = 0; i < kSize; ++i) {
        if (i < m_files.size())
            settings.setValue(EntryName(i), m_files[i]);
        else
            settings.remove(EntryName(i));
    }
    settings.endGroup();
}

void CRecentFileList::Add(const QString& path) {
    m_files.removeAll(path);
    m_files.prepend(path);
    while (m_files.size() > kSize) m_files.removeLast();
}

void CRecentFileList::Remove(const QString& path) { m_files.removeAll(path); }
