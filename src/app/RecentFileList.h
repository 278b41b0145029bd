#pragma once
// The list of the six most recently used scene files, kept in the per-user settings under
// "Recent File List" as File1 ... File6 (File1 the newest).

#include <QSettings>
#include <QStringList>

class CRecentFileList {
public:
    static constexpr int kSize = 6;

    void Load(QSettings& settings);
    void Save(QSettings& settings) const;
    // Puts `path` first; an existing entry for it moves up, the oldest falls off.
    void Add(const QString& path);
    // Drops the entry for `path` (a file that no longer opens); the entries after it move up.
    void Remove(const QString& path);
    const QStringList& Files() const { return m_files; }

private:
    QStringList m_files;
};
