#pragma once
// Until it goes, the system gives only the first `allowed` threads asked for.
#include <atomic>
#include <functional>
#include <system_error>
#include <thread>

#include "data/worker_threads.h"

namespace quindle::testing {

class RefusedThreads {
public:
    explicit RefusedThreads(int allowed) : allowed_(allowed)
    {
        left_ = allowed;
        detail::startThread = [](std::function<void()> body) {
            if (left_-- <= 0)
                throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            return std::thread(std::move(body));
        };
    }
    ~RefusedThreads() { detail::startThread = kBefore; }
    RefusedThreads(const RefusedThreads&) = delete;
    RefusedThreads& operator=(const RefusedThreads&) = delete;

    int asked() const { return allowed_ - left_; } // threads asked for so far

private:
    static inline std::atomic<int> left_{0};
    const int allowed_;
    const detail::ThreadStarter kBefore = detail::startThread;
};

} // namespace quindle::testing
