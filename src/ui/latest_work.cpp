#include "ui/latest_work.h"

#include <algorithm>

namespace quindle::ui {

LatestWork::~LatestWork()
{
    for (QThread* thread : threads_) {
        thread->wait();
        delete thread;
    }
}

void LatestWork::run(std::function<void()> work, std::function<void()> done)
{
    const int generation = ++generation_;
    QThread* thread = QThread::create(std::move(work));
    threads_.push_back(thread);
    QObject::connect(thread, &QThread::finished, owner_, [this, thread, generation, done = std::move(done)] {
        threads_.erase(std::find(threads_.begin(), threads_.end(), thread));
        thread->deleteLater();
        if (generation == generation_)
            done();
    });
    thread->start();
}

} // namespace quindle::ui
