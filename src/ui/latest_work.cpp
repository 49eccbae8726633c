#include "ui/latest_work.h"

#include <QMetaObject>
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

void LatestWork::run(std::function<void(const SoFar& soFar)> work, std::function<void()> done)
{
    // Shown only while this work is the latest and has not ended (without a
    // thread of its own it ends before its queued calls come).
    auto ended = std::make_shared<std::atomic<bool>>(false);
    const int generation = generation_ + 1;
    SoFar soFar = [this, generation, ended](std::function<void()> show) {
        QMetaObject::invokeMethod(
            owner_,
            [this, generation, ended, show = std::move(show)] {
                if (generation == generation_ && !*ended)
                    show();
            },
            Qt::QueuedConnection);
    };
    run([work = std::move(work), soFar = std::move(soFar)] { work(soFar); },
        [ended, done = std::move(done)] {
            *ended = true;
            done();
        });
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
