#include "ui/startup_ui.h"

#include <QApplication>
#include <QDir>
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QProgressBar>
#include <QSettings>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "data/folder_search.h"
#include "data/startup.h"
#include "ui/frm_splash.h"
#include "ui/latin1.h"
#include "ui/ui_seam.h"

namespace quindle::ui {

namespace {

// The calls a cut on another thread makes to the progress window, kept until
// this thread takes them, and whether the cut has ended.
class Mailbox {
public:
    Mailbox() : dispatcher_(QAbstractEventDispatcher::instance()) {}
    void post(std::function<void()> call)
    {
        {
            const std::lock_guard lock(mutex_);
            calls_.push_back(std::move(call));
        }
        dispatcher_->wakeUp();
    }
    void finish()
    {
        {
            const std::lock_guard lock(mutex_);
            finished_ = true;
        }
        dispatcher_->wakeUp();
    }
    // The calls posted so far, in order; `finished` says whether more may come.
    std::vector<std::function<void()>> take(bool& finished)
    {
        const std::lock_guard lock(mutex_);
        finished = finished_;
        return std::exchange(calls_, {});
    }

private:
    QAbstractEventDispatcher* dispatcher_;
    std::mutex mutex_;
    std::vector<std::function<void()>> calls_;
    bool finished_ = false;
};

// While it lives the player's keys and clicks reach only the progress window,
// as a modal window's would: the windows open during a later cut read the
// data only after it. (Leaving them queued would hold back the window
// system's other events too, the progress window's first paint among them.)
class InputHeld : public QObject {
public:
    InputHeld() { qApp->installEventFilter(this); }
    ~InputHeld() override { qApp->removeEventFilter(this); }
    InputHeld(const InputHeld&) = delete;
    InputHeld& operator=(const InputHeld&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::ContextMenu: {
            const auto* widget = qobject_cast<QWidget*>(watched);
            return !(widget && qobject_cast<FrmSplash*>(widget->window()));
        }
        default:
            return false;
        }
    }
};

// Runs `run` off this thread and handles this thread's events until it ends;
// what it tells `observer` is passed on here in the order told, from this
// loop itself rather than from inside an event, as a cut on this thread would.
StartupResult runBesideEvents(const std::function<StartupResult(const SplitObserver&)>& run,
                              const SplitObserver& observer)
{
    // A start-up asked for while one runs (a window's timer during the cut)
    // runs here, the window still: its cut waits for the first one's under
    // the bucket folder's lock, and no event is handled inside another wait.
    static bool waiting = false;
    if (waiting)
        return run(observer);
    waiting = true;
    const struct Done {
        ~Done() { waiting = false; }
    } done;
    Mailbox mailbox;
    SplitObserver posted;
    posted.begins = [&] { mailbox.post(observer.begins); };
    posted.progress = [&](int value) { mailbox.post([&observer, value] { observer.progress(value); }); };
    posted.ends = [&] { mailbox.post(observer.ends); };

    StartupResult result;
    std::thread thread;
    try {
        thread = std::thread([&] {
            result = run(posted);
            mailbox.finish();
        });
    } catch (const std::system_error&) {
        // No thread to be had (no memory for its stack): the cut runs here, the window still.
        return run(observer);
    }
    const InputHeld held;
    // A wake-up from the cut may come between a look into the mailbox and the
    // wait for events; the timer ends every wait soon all the same.
    QTimer turn;
    turn.start(50);
    for (bool finished = false;;) {
        for (const std::function<void()>& call : mailbox.take(finished))
            call();
        if (finished)
            break;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    thread.join();
    return result;
}

} // namespace

StartupResult startUpShowing(const DataFolder& folder, const std::string& stampPath)
{
    return startUpShowing(folder, stampPath, runStartup);
}

StartupResult startUpShowing(const DataFolder& folder, const std::string& stampPath, const StartupRun& run)
{
    std::unique_ptr<FrmSplash> splash;
    SplitObserver observer;
    observer.begins = [&] {
        splash = std::make_unique<FrmSplash>();
        splash->progressBar()->setVisible(true);
        splash->show();
    };
    observer.progress = [&](int value) {
        if (splash)
            splash->setProgress(value);
    };
    observer.ends = [&] {
        if (splash)
            splash->close();
        splash.reset();
    };

    StartupResult result =
        runBesideEvents([&](const SplitObserver& posted) { return run(folder, stampPath, posted); }, observer);
    switch (result.status) {
    case Outcome::Done:
        if (!result.warning.empty())
            seam().warning(nullptr, QStringLiteral("Quindle"), QString::fromStdString(result.warning));
        break;
    case Outcome::Absent:
        seam().warning(nullptr, QStringLiteral("File Error"),
                       QString::fromStdString(missingFileText(result.missingPath)));
        break;
    case Outcome::Failed:
        seam().warning(nullptr, QStringLiteral("Quindle"),
                       QStringLiteral("Quindle cannot start.\n\n") + QString::fromStdString(result.error));
        break;
    }
    return result;
}

namespace {
const char* const kDataFolderKey = "dataFolder";
} // namespace

std::optional<ChefTable> startUp(const DataFolder& folder, const std::string& stampPath)
{
    StartupResult result = startUpShowing(folder, stampPath);
    if (result.status != Outcome::Done)
        return std::nullopt;
    return std::move(result.chefs);
}

std::optional<Started> startUpChoosingFolder(DataFolder folder, const std::string& stampPath)
{
    for (;;) {
        StartupResult result = startUpShowing(folder, stampPath);
        if (result.status == Outcome::Done)
            return Started{std::move(folder), std::move(result.chefs)};
        if (result.status != Outcome::Absent)
            return std::nullopt;
        const std::string chosen = askForDataFolder(nullptr);
        if (chosen.empty())
            return std::nullopt;
        folder = DataFolder(chosen);
        if (holdsDataFiles(folder))
            rememberDataFolder(folder);
    }
}

std::string rememberedDataFolder() { return QSettings().value(QLatin1String(kDataFolderKey)).toString().toStdString(); }

void rememberDataFolder(const DataFolder& folder)
{
    QSettings().setValue(QLatin1String(kDataFolderKey), QString::fromStdString(folder.dir()));
}

std::string askForDataFolder(QWidget* parent)
{
    const QString dir = seam().chooseFolder(
        parent, QStringLiteral("Where is the game's data folder (ChefTable, QN_SireList, breeding.txt)?"));
    return QDir::toNativeSeparators(dir).toStdString();
}

} // namespace quindle::ui
