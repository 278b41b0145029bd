#include "platform/win/WindowMessages.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <vector>

namespace {

class Receiver : public win::CMessageWindow<QObject> {
public:
    struct Got {
        std::uint32_t message;
        win::WPARAM w;
        win::LPARAM l;
    };
    std::vector<Got> got;

    bool OnWindowMessage(std::uint32_t m, win::WPARAM w, win::LPARAM l, win::LRESULT* r) override {
        return win::DispatchMessageMap(this, kMap, m, w, l, r);
    }

private:
    win::LRESULT OnRefresh(win::WPARAM w, win::LPARAM l) {
        got.push_back({win::WM_REFRESH, w, l});
        return 7;
    }
    win::LRESULT OnSettingsChanged(win::WPARAM w, win::LPARAM l) {
        got.push_back({win::WM_SETTINGS_CHANGED, w, l});
        return 9;
    }
    static constexpr win::MessageMapEntry<Receiver> kMap[] = {
        {win::WM_REFRESH, &Receiver::OnRefresh},
        {win::WM_SETTINGS_CHANGED, &Receiver::OnSettingsChanged},
    };
};

struct App {
    int argc = 1;
    char name[8] = "test";
    char* argv[1] = {name};
    QCoreApplication app{argc, argv};
};

TEST(WindowMessages, NumbersAreTheSystemsOwn) {
    EXPECT_EQ(win::WM_REFRESH, 1124u);
    EXPECT_EQ(win::WM_TREE_SELECTION_CHANGED, 1125u);
    EXPECT_EQ(win::WM_SELECT_TREE_ITEM, 1126u);
    EXPECT_EQ(win::WM_SETTINGS_CHANGED, 1127u);
}

TEST(WindowMessages, PostedMessagesArriveInOrderThroughTheEventLoop) {
    App app;
    Receiver r;
    EXPECT_TRUE(win::PostMessage(&r, win::WM_SETTINGS_CHANGED, 1, 2));
    EXPECT_TRUE(win::PostMessage(&r, win::WM_REFRESH));
    EXPECT_TRUE(r.got.empty()) << "posting must not run the handler";
    QCoreApplication::processEvents();
    ASSERT_EQ(r.got.size(), 2u);
    EXPECT_EQ(r.got[0].message, win::WM_SETTINGS_CHANGED);
    EXPECT_EQ(r.got[0].w, 1u);
    EXPECT_EQ(r.got[0].l, 2);
    EXPECT_EQ(r.got[1].message, win::WM_REFRESH);
}

TEST(WindowMessages, SendRunsAtOnceAndReturnsTheResult) {
    App app;
    Receiver r;
    EXPECT_EQ(win::SendMessage(&r, win::WM_REFRESH, 3, 4), 7);
    ASSERT_EQ(r.got.size(), 1u);
    // A message outside the map, and a null target, give 0 and run nothing.
    EXPECT_EQ(win::SendMessage(&r, win::WM_SELECT_TREE_ITEM), 0);
    EXPECT_EQ(win::SendMessage(nullptr, win::WM_REFRESH), 0);
    EXPECT_FALSE(win::PostMessage(nullptr, win::WM_REFRESH));
    EXPECT_EQ(r.got.size(), 1u);
}

}  // namespace
