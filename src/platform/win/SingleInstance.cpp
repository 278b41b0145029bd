#include "platform/win/SingleInstance.h"

#include <QDir>

namespace win {

SingleInstance::SingleInstance(const QString& folder, const QString& name)
    : m_path(QDir(folder).filePath(name + QStringLiteral(".lock"))) {}

SingleInstance::Result SingleInstance::Acquire() {
    if (m_lock && m_lock->isLocked()) return Result::Acquired;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    m_lock = std::make_unique<QLockFile>(m_path);
    // Never stale by age: a lock counts as stale only when its process is gone (QLockFile checks the
    // recorded process id and host), so a long-running first instance keeps it.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) return Result::Acquired;
    switch (m_lock->error()) {
        case QLockFile::LockFailedError: return Result::AlreadyRunning;
        default: return Result::Failed;
    }
}

}  // namespace win
