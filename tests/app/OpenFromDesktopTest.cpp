#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

#include "core/MainApp.h"
#include "platform/win/ScriptedPrompts.h"
#include "scene/MainDoc.h"

namespace {

// The desktop entry (whose name the program gives itself, with the window icon) starts "marisole %f" with the chosen scene file's full path, spaces and
// Japanese characters included: that file opens once the window is up.
TEST(OpenFromDesktop, TheSceneFileOfTheCommandLineOpens) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string scene = dir.path().toStdString() + "/わたしの シーン.mrs";
    win::ScopedPrompts prompts;
    CMainApp* app = GetApp();
    app->m_instanceLockFolder = dir.path();
    const QString program = dir.path() + "/marisole";

    ASSERT_TRUE(app->InitInstance({program, QStringLiteral("--no-splash")}));
    QApplication::processEvents();
    // The session matches the window to the installed desktop entry and its icon by this name.
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("jp.halvern.Marisole"));
    QList<QSize> sizes;
    for (const int size : {16, 32, 48, 64, 128, 256}) sizes << QSize(size, size);
    EXPECT_EQ(QApplication::windowIcon().availableSizes(), sizes);
    ASSERT_NE(app->m_pDocument, nullptr);
    ASSERT_TRUE(app->m_pDocument->OnSaveDocument(scene));
    app->ExitInstance();

    ASSERT_TRUE(app->InitInstance({program, QString::fromStdString(scene), QStringLiteral("--no-splash")}));
    QApplication::processEvents();
    ASSERT_NE(app->m_pDocument, nullptr);
    EXPECT_EQ(app->m_pDocument->GetPathName(), scene);
    EXPECT_EQ(app->m_pDocument->GetTitle(), "わたしの シーン");
    EXPECT_EQ(app->m_pMainWnd->windowTitle(), QStringLiteral("わたしの シーン - Ovalith"));
    app->ExitInstance();
}

}  // namespace
