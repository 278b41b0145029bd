#include "app/ProgressWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include "support/MessageCounter.h"

namespace {

TEST(ProgressWindow, DisablesItsOwnerWhileOpen) {
    QWidget owner;
    owner.show();
    CProgressWindow progress;
    ASSERT_TRUE(progress.Open(&owner));
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(progress.Dialog()->isEnabled()) << "the progress window itself stays usable";
    EXPECT_TRUE(progress.Dialog()->isVisible());
    progress.Close();
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_FALSE(progress.IsOpen());
}

TEST(ProgressWindow, AnOwnerDisabledBeforeStaysDisabled) {
    QWidget owner;
    owner.setEnabled(false);
    CProgressWindow progress;
    ASSERT_TRUE(progress.Open(&owner));
    progress.Close();
    EXPECT_FALSE(owner.isEnabled());
}

TEST(ProgressWindow, NestedWindowsLeaveTheOwnerAsTheyFoundIt) {
    QWidget owner;
    CProgressWindow outer;
    CProgressWindow inner;
    ASSERT_TRUE(outer.Open(&owner));
    ASSERT_TRUE(inner.Open(&owner));
    inner.Close();
    EXPECT_FALSE(owner.isEnabled()) << "the outer operation is still running";
    outer.Close();
    EXPECT_TRUE(owner.isEnabled());
}

TEST(ProgressWindow, DestroyingAnOpenWindowClosesIt) {
    QWidget owner;
    {
        CProgressWindow progress;
        ASSERT_TRUE(progress.Open(&owner));
    }
    EXPECT_TRUE(owner.isEnabled());
}

TEST(ProgressWindow, SetPosDispatchesWaitingMessagesFirst) {
    CProgressWindow progress;
    ASSERT_TRUE(progress.Open(nullptr));
    progress.SetTitle("読み込み中");
    progress.SetText("BODY.X");
    progress.SetRange(0, 200);
    MessageCounter view;
    win::PostMessage(&view, win::WM_REFRESH);
    EXPECT_TRUE(view.received.empty());
    progress.SetPos(150);
    EXPECT_EQ(view.Count(win::WM_REFRESH), 1) << "a posted refresh runs in the middle of the operation";
    EXPECT_EQ(progress.Position(), 150);
    EXPECT_EQ(progress.Text(), "BODY.X");
    EXPECT_EQ(progress.Dialog()->windowTitle(), QStringLiteral("読み込み中"));
}

TEST(ProgressWindow, RangeSetBeforeOpeningApplies) {
    CProgressWindow progress;
    progress.SetRange(10, 20);
    ASSERT_TRUE(progress.Open(nullptr));
    EXPECT_EQ(progress.Position(), 10) << "the bar starts at the low end";
}

}  // namespace
