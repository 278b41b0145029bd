#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>

#include "app/AboutBox.h"
#include "app/SplashWindow.h"
#include "core/MainApp.h"
#include "platform/win/ScriptedPrompts.h"

namespace {

class KeyCounter : public QWidget {
public:
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++keys; }
};

TEST(Splash, NotShownWhenTheFlagIsOff) {
    GetApp()->m_bShowSplash = false;
    QWidget main;
    CSplashWnd::ShowSplash(&main);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    GetApp()->m_bShowSplash = true;
}

TEST(Splash, CentredOverTheMainWindowAndAKeyIsConsumed) {
    GetApp()->m_bShowSplash = true;
    KeyCounter main;
    main.setGeometry(100, 100, 800, 600);
    main.show();
    CSplashWnd::ShowSplash(&main);
    CSplashWnd* splash = CSplashWnd::Current();
    ASSERT_NE(splash, nullptr);
    const QRect frame = main.frameGeometry();
    EXPECT_EQ(splash->pos(), QPoint(frame.left() + frame.width() / 2 - splash->width() / 2,
                                    frame.top() + frame.height() / 2 - splash->height() / 2));
    CSplashWnd::ShowSplash(&main);
    EXPECT_EQ(CSplashWnd::Current(), splash) << "at most one splash";

    QTest::keyClick(&main, Qt::Key_A);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    EXPECT_EQ(main.keys, 0) << "the key that hides the splash does not reach the window";
    QTest::keyClick(&main, Qt::Key_A);
    EXPECT_EQ(main.keys, 1);
}

TEST(Splash, GoesAwayByItself) {
    QWidget main;
    main.show();
    CSplashWnd::ShowSplash(&main);
    ASSERT_NE(CSplashWnd::Current(), nullptr);
    QElapsedTimer waited;
    waited.start();
    while (CSplashWnd::Current() && waited.elapsed() < 10000) QTest::qWait(50);
    EXPECT_EQ(CSplashWnd::Current(), nullptr);
    EXPECT_GE(waited.elapsed(), CSplashWnd::kDisplayMilliseconds - 100);
}

class AboutTest : public ::testing::Test {
protected:
    void Click(bool shift) {
        prompts->shiftAnswers.push_back(shift);
        QTest::mouseClick(about.VersionLine(), Qt::LeftButton);
    }
    bool ShowsFortune() const {
        const QString text = about.VersionLine()->text();
        for (int r = 0; r < 4; ++r)
            if (text == CAboutDlg::FortuneText(r)) return true;
        return false;
    }
    win::ScopedPrompts prompts;
    CAboutDlg about{nullptr};
};

TEST_F(AboutTest, ShowsTheVersion) {
    EXPECT_EQ(about.VersionLine()->text(), QStringLiteral("Version:1.00 (Build:751)"));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(CAboutDlg::FortuneText(0), QStringLiteral("大吉(^^)"));
    EXPECT_EQ(CAboutDlg::FortuneText(7), QStringLiteral("凶(--;"));
}

TEST_F(AboutTest, TwoShiftClicksThenTwoPlainClicksShowAFortuneEveryTime) {
    for (int round = 0; round < 2; ++round) {
        about.VersionLine()->setText(QString::fromLatin1(CAboutDlg::kVersionText));
        Click(true);
        Click(true);
        Click(false);
        EXPECT_FALSE(ShowsFortune()) << round;
        Click(false);
        EXPECT_TRUE(ShowsFortune()) << round;
    }
}

TEST_F(AboutTest, ThreeShiftClicksSpoilTheGame) {
    Click(true);
    Click(true);
    Click(true);
    for (int i = 0; i < 6; ++i) Click(false);
    EXPECT_EQ(about.VersionLine()->text(), QStringLiteral("Version:1.00 (Build:751)"));
}

}  // namespace
