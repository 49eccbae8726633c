#include "ui/startup_ui.h"

#include <QApplication>
#include <QDir>
#include <QProgressBar>
#include <QSettings>
#include <memory>

#include "data/folder_search.h"
#include "data/startup.h"
#include "ui/frm_splash.h"
#include "ui/latin1.h"
#include "ui/ui_seam.h"

namespace quindle::ui {

StartupResult startUpShowing(const DataFolder& folder, const std::string& stampPath)
{
    std::unique_ptr<FrmSplash> splash;
    SplitObserver observer;
    observer.begins = [&] {
        splash = std::make_unique<FrmSplash>();
        splash->show();
        QApplication::processEvents(); // once, so the window is drawn
        splash->progressBar()->setVisible(true);
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

    StartupResult result = runStartup(folder, stampPath, observer);
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
