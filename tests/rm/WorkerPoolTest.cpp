// The worker pool: every piece of work runs exactly once, on a worker of its own, whatever the
// number of threads and however often that number changes; MARISOLE_THREADS is read as documented.

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

#include "platform/rm/WorkerPool.h"

using rm::ThreadCountFromText;
using rm::WorkerPool;

namespace {

TEST(ThreadCount, FromTheEnvironmentText) {
    const struct {
        const char* text;
        unsigned cores, expected;
    } cases[] = {
        {nullptr, 2, 2},  {"", 4, 4},       {"3", 2, 3},      {"1", 8, 1},
        {"64", 2, 64},    {"65", 2, 64},    {"99999999999999999999", 2, 64},
        {"0", 2, 2},      {"-2", 2, 2},     {"two", 2, 2},    {"4x", 2, 2},
        {" 3", 2, 3},     {nullptr, 0, 1},  {nullptr, 1000, 64},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ThreadCountFromText(c.text, c.cores), c.expected) << (c.text ? c.text : "(unset)") << " " << c.cores;
}

// Runs `count` pieces and checks that each ran once, on a worker below Threads(), and that no two
// pieces running at the same time were given the same worker (their scratch would collide).
void ExpectEachPieceOnceOnItsOwnWorker(WorkerPool& pool, std::size_t count) {
    std::vector<std::atomic<int>> runs(count);
    std::vector<std::atomic<int>> busy(WorkerPool::kMaxThreads);
    std::atomic<int> collisions{0}, badWorkers{0};
    pool.ForEach(count, [&](std::size_t i, unsigned worker) {
        if (worker >= pool.Threads()) {
            ++badWorkers;
            return;
        }
        if (busy[worker].fetch_add(1) != 0) ++collisions;
        runs[i].fetch_add(1);
        // A little work, so that pieces overlap in time.
        volatile std::uint64_t spin = 0;
        for (int k = 0; k < 2000; ++k) spin = spin + k;
        busy[worker].fetch_sub(1);
    });
    EXPECT_EQ(badWorkers.load(), 0);
    EXPECT_EQ(collisions.load(), 0);
    for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(runs[i].load(), 1) << "piece " << i << " of " << count;
}

TEST(WorkerPool, EveryPieceRunsOnceWhateverTheThreads) {
    for (unsigned threads : {1u, 2u, 3u, 8u}) {
        WorkerPool pool(threads);
        ASSERT_EQ(pool.Threads(), threads);
        for (std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{500}}) {
            SCOPED_TRACE(std::to_string(threads) + " threads, " + std::to_string(count) + " pieces");
            ExpectEachPieceOnceOnItsOwnWorker(pool, count);
        }
    }
}

// New threads join after earlier work: they must wait for the next piece of work, not take up work
// that is over (and whose memory is gone).
TEST(WorkerPool, ChangingTheNumberOfThreadsBetweenRuns) {
    WorkerPool pool(2);
    for (unsigned threads : {3u, 1u, 4u, 2u, 0u, 5u}) {
        ExpectEachPieceOnceOnItsOwnWorker(pool, 64);
        pool.SetThreads(threads);
        ExpectEachPieceOnceOnItsOwnWorker(pool, 64);
    }
    pool.SetThreads(500);
    EXPECT_EQ(pool.Threads(), WorkerPool::kMaxThreads);
}

TEST(WorkerPool, WorkStartedFromAPieceRunsOnThatPiecesWorker) {
    WorkerPool pool(3);
    std::atomic<int> inner{0}, mismatched{0};
    pool.ForEach(6, [&](std::size_t, unsigned outer) {
        pool.ForEach(5, [&](std::size_t, unsigned worker) {
            ++inner;
            if (worker != outer) ++mismatched;
        });
    });
    EXPECT_EQ(inner.load(), 30);
    EXPECT_EQ(mismatched.load(), 0);
}

TEST(WorkerPool, AnExceptionComesBackToTheCallerAfterTheOtherPieces) {
    WorkerPool pool(3);
    std::atomic<int> ran{0};
    EXPECT_THROW(pool.ForEach(40,
                              [&](std::size_t i, unsigned) {
                                  ++ran;
                                  if (i == 5) throw std::runtime_error("piece 5");
                              }),
                 std::runtime_error);
    EXPECT_EQ(ran.load(), 40);
    ExpectEachPieceOnceOnItsOwnWorker(pool, 100);
}

}  // namespace
