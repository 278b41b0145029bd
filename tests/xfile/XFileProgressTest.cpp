// Progress while reading: range 0-100, position 0 first, then even positions that only grow,
// never more often than every 30 ms of the reader's clock.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "XFileTestSupport.h"

namespace {

struct RecordingProgress final : ProgressSink {
    struct Call {
        char kind;  // 'R' range, 'P' position
        int a, b;
        std::int64_t at;
    };
    std::vector<Call> calls;
    const std::int64_t* now = nullptr;
    void SetTitle(const std::string&) override {}
    void SetText(const std::string&) override {}
    void SetRange(int low, int high) override { calls.push_back({'R', low, high, *now}); }
    void SetPos(int position) override { calls.push_back({'P', position, 0, *now}); }
};

std::string BigMesh(int vertices) {
    std::string text(kXHeader);
    text += "Mesh {\n" + std::to_string(vertices) + ";\n";
    for (int i = 0; i < vertices; ++i) text += std::to_string(i) + ".5;0.25;-1.125;,\n";
    text += "0;;\n}\n";
    return text;
}

struct ProgressRun {
    RecordingProgress progress;
    std::int64_t now = 1000;
};

void Read(const std::string& text, ProgressRun& run, std::int64_t step) {
    run.progress.now = &run.now;
    auto lib = rm::Library::Create();
    CXFileReader reader;
    reader.SetProgress(run.progress);
    reader.SetClock([&run, step] { return run.now += step; });
    ASSERT_TRUE(reader.Load(text.data(), text.size(), lib.Get(), nullptr, nullptr));
}

TEST(XFileProgress, StartsAtZeroAndMovesInEvenSteps) {
    ProgressRun run;
    Read(BigMesh(20000), run, 31);
    const auto& calls = run.progress.calls;
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0].kind, 'R');
    EXPECT_EQ(calls[0].a, 0);
    EXPECT_EQ(calls[0].b, 100);
    EXPECT_EQ(calls[1].kind, 'P');
    EXPECT_EQ(calls[1].a, 0);
    int last = 0;
    for (std::size_t i = 2; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].kind, 'P');
        EXPECT_EQ(calls[i].a % 2, 0) << calls[i].a;
        EXPECT_GT(calls[i].a, last);
        EXPECT_LE(calls[i].a, 100);
        last = calls[i].a;
    }
    // A file of 60 000 number tokens moves the bar far along.
    EXPECT_GE(last, 90);
}

TEST(XFileProgress, NoMoreOftenThanEvery30Milliseconds) {
    ProgressRun run;
    Read(BigMesh(20000), run, 7);
    const auto& calls = run.progress.calls;
    ASSERT_GE(calls.size(), 4u);
    for (std::size_t i = 2; i < calls.size(); ++i) EXPECT_GT(calls[i].at - calls[i - 1].at, 30) << i;
}

TEST(XFileProgress, QuietWhenTheClockStands) {
    ProgressRun run;
    Read(BigMesh(20000), run, 0);
    EXPECT_EQ(run.progress.calls.size(), 2u);  // the range and position 0
}

TEST(XFileProgress, ReadingWithoutAProgressWindowWorks) {
    const std::string text = BigMesh(100);
    auto lib = rm::Library::Create();
    CXFileReader reader;
    rm::Ref<rm::Frame> root;
    ASSERT_TRUE(reader.Load(text.data(), text.size(), lib.Get(), nullptr, &root));
    ASSERT_EQ(root->Visuals().size(), 1u);
}

}  // namespace
