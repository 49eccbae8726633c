#include "data/worker_threads.h"

#include <algorithm>
#include <exception>

namespace quindle {

namespace detail {
ThreadStarter startThread = [](std::function<void()> body) { return std::thread(std::move(body)); };
} // namespace detail

std::size_t threadsFor(std::size_t most)
{
    return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, std::max<std::size_t>(most, 1));
}

WorkerThreads::WorkerThreads(std::size_t count, std::function<void(std::size_t)> job) : job_(std::move(job))
{
    try {
        threads_.reserve(count > 1 ? count - 1 : 0);
        for (std::size_t i = 1; i < count; ++i)
            threads_.push_back(detail::startThread([this, i] { job_(i); }));
    } catch (const std::exception&) { // std::system_error, or std::bad_alloc: fewer threads
    }
}

WorkerThreads::~WorkerThreads() { join(); }

void WorkerThreads::join()
{
    for (std::thread& thread : threads_)
        if (thread.joinable())
            thread.join();
}

void runOnThreads(std::size_t count, const std::function<void(std::size_t)>& job)
{
    std::vector<std::exception_ptr> failed(count);
    const auto guarded = [&](std::size_t i) {
        try {
            job(i);
        } catch (...) {
            failed[i] = std::current_exception();
        }
    };
    {
        WorkerThreads threads(count, guarded);
        if (count > 0)
            guarded(0);
        for (std::size_t i = threads.started() + 1; i < count; ++i)
            guarded(i);
    }
    for (const std::exception_ptr& failure : failed)
        if (failure)
            std::rethrow_exception(failure);
}

} // namespace quindle
