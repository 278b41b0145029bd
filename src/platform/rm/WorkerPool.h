#pragma once
// A small pool of threads for work that splits into independent pieces: the rasteriser's meshes
// and bands of rows, the clearing of large targets, the conversion of a rendered picture's rows.
// The calling thread takes part, so with one thread everything runs on the caller, in order.
//
// The number of threads comes from the environment variable MARISOLE_THREADS (1 to 64) and is
// otherwise the machine's number of cores: one on a one-core machine. The pool only runs plain
// functions over memory the caller hands it; no Qt object and no scene object is ever touched
// from a worker (the document and the views stay on the GUI thread).

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

namespace rm {

class WorkerPool {
  public:
    static constexpr unsigned kMaxThreads = 64;

    // The process's pool, made on first use with the default number of threads.
    static WorkerPool& Shared();

    explicit WorkerPool(unsigned threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Threads that take part in a ForEach, the caller included (1 to kMaxThreads).
    unsigned Threads() const { return static_cast<unsigned>(m_workers.size()) + 1; }
    // Sets that number (clamped to 1..kMaxThreads); 0 gives back the default. Not while a ForEach
    // runs: benchmarks and tests call it between renders.
    void SetThreads(unsigned threads);

    // Calls task(i, worker) for every i in [0, count), spread over the threads; returns when every
    // call has returned. `worker` (below Threads()) names the thread running the call, so a task can
    // use scratch kept for that thread. A call from inside a task runs on that thread, as its worker;
    // a call made while another thread is running the pool runs on the calling thread as worker 0.
    // An exception thrown by a task is thrown again here once every thread has finished.
    template <class Task>
    void ForEach(std::size_t count, Task&& task) {
        using Callable = std::remove_reference_t<Task>;
        Run(
            count,
            [](void* context, std::size_t i, unsigned worker) { (*static_cast<Callable*>(context))(i, worker); },
            const_cast<void*>(static_cast<const void*>(std::addressof(task))));
    }

  private:
    using TaskFn = void (*)(void* context, std::size_t i, unsigned worker);
    struct Job {
        TaskFn fn;
        void* context;
        std::size_t count;
        std::atomic<std::size_t> next{0};
        std::mutex errorMutex;
        std::exception_ptr error;
    };

    void Run(std::size_t count, TaskFn fn, void* context);
    void Start(unsigned threads);
    void Stop();
    void WorkerLoop(unsigned worker, unsigned long long seen);
    static void Drain(Job& job, unsigned worker);

    std::mutex m_runMutex;  // one ForEach at a time
    std::mutex m_mutex;     // guards m_job, m_generation, m_stop
    std::condition_variable m_wake;
    Job* m_job = nullptr;
    unsigned long long m_generation = 0;
    bool m_stop = false;
    std::atomic<unsigned> m_busy{0};  // workers not yet done with the current job
    std::vector<std::jthread> m_workers;
};

// Sets the shared pool's number of threads for a scope, and the default again at its end: for tests
// and benchmarks that compare one thread with several.
class ScopedPoolThreads {
  public:
    explicit ScopedPoolThreads(unsigned threads) { WorkerPool::Shared().SetThreads(threads); }
    ~ScopedPoolThreads() { WorkerPool::Shared().SetThreads(0); }
    ScopedPoolThreads(const ScopedPoolThreads&) = delete;
    ScopedPoolThreads& operator=(const ScopedPoolThreads&) = delete;
};

// The number of threads MARISOLE_THREADS asks for: a whole number from 1 to kMaxThreads (larger
// numbers are cut to kMaxThreads); anything else (unset, empty, 0, not a number) gives `cores`, at
// least 1.
unsigned ThreadCountFromText(const char* text, unsigned cores);

}  // namespace rm
