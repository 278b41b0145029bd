#include "platform/win/SingleInstance.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>

namespace {

const QString kName = QStringLiteral("5A1C3E72-0B9D-4F16-A2E4-7D90C3B51E08");

TEST(SingleInstance, SecondInstanceIsRefusedWhileTheFirstRuns) {
    QTemporaryDir dir;
    win::SingleInstance first(dir.path(), kName);
    ASSERT_EQ(first.Acquire(), win::SingleInstance::Result::Acquired);
    win::SingleInstance second(dir.path(), kName);
    EXPECT_EQ(second.Acquire(), win::SingleInstance::Result::AlreadyRunning);
}

TEST(SingleInstance, LockOfACrashedRunIsTakenOver) {
    QTemporaryDir dir;
    win::SingleInstance probe(dir.path(), kName);
    // A lock file in QLockFile's format naming a process that does not exist on this host.
    QFile stale(probe.LockPath());
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("2147480000\nmarisole\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    EXPECT_EQ(probe.Acquire(), win::SingleInstance::Result::Acquired);
}

}  // namespace
