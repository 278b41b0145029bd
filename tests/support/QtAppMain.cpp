// Test main for suites that drive real widgets: one QApplication for the whole run, on the
// offscreen platform unless a display platform was chosen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Per-user settings written by the code under test go to Qt's test location, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    // Files the program keeps in the user's data folder (the recovery copy) go to a folder of the run.
    QTemporaryDir userData;
    setenv("XDG_DATA_HOME", userData.path().toLocal8Bit().constData(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
