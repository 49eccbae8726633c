#pragma once
// Spreading work over the cores, written once: threads started as far as the
// system gives them (it may refuse one when processes or memory run short),
// and the work of a thread it refused done on the calling thread instead.
#include <cstddef>
#include <functional>
#include <thread>
#include <vector>

namespace quindle {

// How many threads to use for work that pays off on at most `most` of them:
// one per core, at least one.
std::size_t threadsFor(std::size_t most);

// Threads 1 .. count-1, thread i running job(i), started as far as the system
// gives them; joined when the object goes.
class WorkerThreads {
public:
    WorkerThreads(std::size_t count, std::function<void(std::size_t)> job);
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // How many jobs have a thread of their own: jobs 1 .. started() do; job 0
    // and those from started() + 1 on are the caller's.
    std::size_t started() const { return threads_.size(); }
    void join();

private:
    std::function<void(std::size_t)> job_;
    std::vector<std::thread> threads_;
};

// Runs job(0) .. job(count-1) and returns when all are done: job 0 on the
// calling thread, each other on a thread of its own where the system gives one,
// else on the calling thread after job 0. An exception a job throws (no memory,
// say) is thrown here once every job has ended, the lowest job's first.
void runOnThreads(std::size_t count, const std::function<void(std::size_t)>& job);

namespace detail {
// How a thread is started; tests put here one that the system refuses.
using ThreadStarter = std::thread (*)(std::function<void()> body);
extern ThreadStarter startThread;
} // namespace detail

} // namespace quindle
