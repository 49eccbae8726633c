#include "ui/latest_work.h"

#include <QWidget>
#include <algorithm>
#include <atomic>
#include <memory>
#include <new>

#include "ui/ui_seam.h"

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
    // Work that runs out of memory ends with a warning instead of its result.
    auto outOfMemory = std::make_shared<std::atomic<bool>>(false);
    auto guarded = [work = std::move(work), outOfMemory] {
        try {
            work();
        } catch (const std::bad_alloc&) {
            *outOfMemory = true;
        }
    };
    const auto finish = [this, generation, outOfMemory, done = std::move(done)] {
        if (*outOfMemory)
            seam().warning(qobject_cast<QWidget*>(owner_), QStringLiteral("Quindle"),
                           QStringLiteral("There was not enough memory to finish."));
        else if (generation == generation_)
            done();
    };
    QThread* thread = QThread::create(guarded);
    threads_.push_back(thread);
    QObject::connect(thread, &QThread::finished, owner_, [this, thread, finish] {
        threads_.erase(std::find(threads_.begin(), threads_.end(), thread));
        thread->deleteLater();
        finish();
    });
    thread->start();
    if (!thread->isRunning() && !thread->isFinished()) {
        // The system gave no thread (too many processes, no memory for its
        // stack): the work is done here, the window waiting for it.
        threads_.erase(std::find(threads_.begin(), threads_.end(), thread));
        delete thread;
        guarded();
        finish();
    }
}

} // namespace quindle::ui
