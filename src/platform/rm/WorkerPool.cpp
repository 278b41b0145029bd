#include "platform/rm/WorkerPool.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace rm {

namespace {

// Set on a thread while it runs a task: a ForEach from inside a task runs inline, as the same worker.
thread_local bool t_inTask = false;
thread_local unsigned t_worker = 0;

// Marks the thread as running tasks of `worker` for its lifetime, and restores what was before.
class InTask {
  public:
    explicit InTask(unsigned worker) : m_wasInTask(t_inTask), m_wasWorker(t_worker) {
        t_inTask = true;
        t_worker = worker;
    }
    ~InTask() {
        t_inTask = m_wasInTask;
        t_worker = m_wasWorker;
    }
    InTask(const InTask&) = delete;
    InTask& operator=(const InTask&) = delete;

  private:
    bool m_wasInTask;
    unsigned m_wasWorker;
};

unsigned DefaultThreads() {
    return ThreadCountFromText(std::getenv("MARISOLE_THREADS"), std::thread::hardware_concurrency());
}

}  // namespace

unsigned ThreadCountFromText(const char* text, unsigned cores) {
    const unsigned fallback = std::clamp(cores, 1u, WorkerPool::kMaxThreads);
    if (!text || *text == '\0') return fallback;
    char* end = nullptr;
    errno = 0;
    const long long n = std::strtoll(text, &end, 10);
    if (*end != '\0' || end == text || n < 1) return fallback;
    if (errno == ERANGE || n > WorkerPool::kMaxThreads) return WorkerPool::kMaxThreads;
    return static_cast<unsigned>(n);
}

WorkerPool& WorkerPool::Shared() {
    static WorkerPool pool(DefaultThreads());
    return pool;
}

WorkerPool::WorkerPool(unsigned threads) {
    Start(threads == 0 ? DefaultThreads() : threads);
}

WorkerPool::~WorkerPool() {
    Stop();
}

void WorkerPool::SetThreads(unsigned threads) {
    const std::lock_guard run(m_runMutex);
    Stop();
    Start(threads == 0 ? DefaultThreads() : threads);
}

void WorkerPool::Start(unsigned threads) {
    threads = std::clamp(threads, 1u, kMaxThreads);
    unsigned long long generation;
    {
        const std::lock_guard lock(m_mutex);
        m_stop = false;
        generation = m_generation;
    }
    // A new worker waits for the next job: the jobs counted so far are over.
    m_workers.reserve(threads - 1);
    for (unsigned w = 1; w < threads; ++w)
        m_workers.emplace_back([this, w, generation] { WorkerLoop(w, generation); });
}

void WorkerPool::Stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_workers.clear();  // each jthread joins as it goes
}

void WorkerPool::Drain(Job& job, unsigned worker) {
    const InTask mark(worker);
    for (std::size_t i; (i = job.next.fetch_add(1, std::memory_order_relaxed)) < job.count;) {
        try {
            job.fn(job.context, i, worker);
        } catch (...) {
            const std::lock_guard lock(job.errorMutex);
            if (!job.error) job.error = std::current_exception();
        }
    }
}

void WorkerPool::WorkerLoop(unsigned worker, unsigned long long seen) {
    for (;;) {
        Job* job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_stop || m_generation != seen; });
            if (m_stop) return;
            seen = m_generation;
            job = m_job;
        }
        Drain(*job, worker);
        // The last worker out wakes the caller, which is waiting to return (and so to end the job).
        if (m_busy.fetch_sub(1, std::memory_order_acq_rel) == 1) m_busy.notify_all();
    }
}

void WorkerPool::Run(std::size_t count, TaskFn fn, void* context) {
    if (count == 0) return;
    std::unique_lock run(m_runMutex, std::defer_lock);
    if (m_workers.empty() || count == 1 || t_inTask || !run.try_lock()) {
        const unsigned worker = t_inTask ? t_worker : 0;
        const InTask mark(worker);
        for (std::size_t i = 0; i < count; ++i) fn(context, i, worker);
        return;
    }
    Job job;
    job.fn = fn;
    job.context = context;
    job.count = count;
    m_busy.store(static_cast<unsigned>(m_workers.size()), std::memory_order_relaxed);
    {
        const std::lock_guard lock(m_mutex);
        m_job = &job;
        ++m_generation;
    }
    m_wake.notify_all();
    Drain(job, 0);
    for (unsigned busy; (busy = m_busy.load(std::memory_order_acquire)) != 0;)
        m_busy.wait(busy, std::memory_order_acquire);
    {
        const std::lock_guard lock(m_mutex);
        m_job = nullptr;
    }
    if (job.error) std::rethrow_exception(job.error);
}

}  // namespace rm
