#include "platform/win/TerminationSignals.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <memory>
#include <vector>

namespace {

std::vector<int> g_previousHandlerCalls;

// Runs the event loop until `count` signals have arrived or a second has passed.
void ProcessUntil(const std::vector<int>& received, std::size_t count) {
    QElapsedTimer clock;
    clock.start();
    while (received.size() < count && clock.elapsed() < 1000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
void PreviousHandler(int signal) { g_previousHandlerCalls.push_back(signal); }

// Both signals reach the callback on the main thread, in the event loop rather than in the
// handler; when the object ends, the handler that was there before is back.
TEST(TerminationSignals, SignalsReachTheCallbackThroughTheEventLoopAndTheOldHandlersComeBack) {
    // The notifier needs an event loop: this suite's main makes no application object.
    int argc = 1;
    char name[] = "platform_win_tests";
    char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) app = std::make_unique<QCoreApplication>(argc, argv);
    g_previousHandlerCalls.clear();
    const auto previousTerm = std::signal(SIGTERM, PreviousHandler);
    const auto previousInt = std::signal(SIGINT, PreviousHandler);
    {
        std::vector<int> received;
        win::TerminationSignals first([&](int signal) { received.push_back(signal); });
        ASSERT_TRUE(first.Installed());
        win::TerminationSignals second([](int) {});
        EXPECT_FALSE(second.Installed()) << "one object at a time";

        std::raise(SIGTERM);
        std::raise(SIGINT);
        EXPECT_TRUE(received.empty()) << "nothing runs inside the signal handler";
        ProcessUntil(received, 2);
        EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGINT}));
        EXPECT_TRUE(g_previousHandlerCalls.empty());
    }
    std::raise(SIGTERM);
    std::raise(SIGINT);
    EXPECT_EQ(g_previousHandlerCalls, (std::vector<int>{SIGTERM, SIGINT}));
    std::signal(SIGTERM, previousTerm);
    std::signal(SIGINT, previousInt);

    // A new object works again after the first has gone.
    std::vector<int> again;
    win::TerminationSignals third([&](int signal) { again.push_back(signal); });
    ASSERT_TRUE(third.Installed());
    std::raise(SIGTERM);
    ProcessUntil(again, 1);
    EXPECT_EQ(again, std::vector<int>{SIGTERM});
}

}  // namespace
