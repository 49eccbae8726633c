#include "ui/startup_ui.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <QProgressBar>
#include <QSettings>
#include <memory>

#include "data/folder_search.h"
#include "data/startup.h"
#include "ui/frm_splash.h"
#include "ui/latin1.h"
#include "ui/ui_seam.h"

namespace quindle::ui {

namespace {

// Runs `run` off this thread and turns this thread's event loop until it ends;
// what it tells `observer` is passed on here, queued, in the order told.
StartupResult runBesideEvents(const std::function<StartupResult(const SplitObserver&)>& run,
                              const SplitObserver& observer)
{
    QObject here; // the queued calls are made on this thread through it
    const auto post = [&here](std::function<void()> call) {
        QMetaObject::invokeMethod(&here, std::move(call), Qt::QueuedConnection);
    };
    SplitObserver posted;
    posted.begins = [&] { post([&] { observer.begins(); }); };
    posted.progress = [&](int value) { post([&observer, value] { observer.progress(value); }); };
    posted.ends = [&] { post([&] { observer.ends(); }); };

    StartupResult result;
    bool finished = false;
    QEventLoop loop;
    QThread* thread = QThread::create([&] { result = run(posted); });
    // Queued after every call the run posted, so they are all handled first.
    QObject::connect(thread, &QThread::finished, &here, [&] {
        finished = true;
        loop.quit();
    });
    thread->start();
    if (!thread->isRunning() && !thread->isFinished()) {
        // No thread to be had (no memory for its stack): the cut runs here, the window still.
        delete thread;
        return run(observer);
    }
    // A quit asked for meanwhile (the last window closed) ends the loop early: turn it again.
    while (!finished)
        loop.exec();
    thread->wait();
    delete thread;
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
        // Other windows (a cut after start-up) take no input until the buckets are whole.
        splash->setWindowModality(Qt::ApplicationModal);
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
