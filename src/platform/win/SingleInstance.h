#pragma once
// The single-instance guard: a lock file named after the instance GUID. The first process takes it
// and keeps it for its whole life; a second process finds it held and ends. A lock left behind by a
// crashed run (its process no longer exists) is taken over.

#include <QLockFile>
#include <QString>
#include <memory>

namespace win {

class SingleInstance {
public:
    enum class Result { Acquired, AlreadyRunning, Failed };

    // `folder` holds the lock file (the user's runtime folder in the application; tests pass their own).
    SingleInstance(const QString& folder, const QString& name);
    Result Acquire();
    QString LockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

}  // namespace win
