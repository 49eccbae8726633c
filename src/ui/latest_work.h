#pragma once
// Work run off the window's thread, of which only the latest counts: a result
// overtaken by work started after it is dropped, so a window never shows an
// answer to a question the player has since changed.
#include <QObject>
#include <QThread>
#include <functional>
#include <vector>

namespace quindle::ui {

class LatestWork {
public:
    // `owner` is the window whose thread gets the results.
    explicit LatestWork(QObject* owner) : owner_(owner) {}
    ~LatestWork(); // waits for the threads still running
    LatestWork(const LatestWork&) = delete;
    LatestWork& operator=(const LatestWork&) = delete;

    // Runs `work` on a thread of its own, then `done` on the owner's thread
    // unless other work was started (or drop() called) meanwhile.
    void run(std::function<void()> work, std::function<void()> done);
    // The same for work that shows what it has so far: each function it hands
    // `soFar` runs on the owner's thread, in order and before `done`, unless
    // the work has been overtaken meanwhile.
    using SoFar = std::function<void(std::function<void()> show)>;
    void run(std::function<void(const SoFar& soFar)> work, std::function<void()> done);
    // Results still on their way are dropped.
    void drop() { ++generation_; }
    bool busy() const { return !threads_.empty(); }

private:
    QObject* owner_;
    int generation_ = 0;
    std::vector<QThread*> threads_;
};

} // namespace quindle::ui
