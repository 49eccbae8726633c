#include "ui/startup_ui.h"

#include <QApplication>
#include <QProgressBar>
#include <memory>

#include "data/startup.h"
#include "ui/frm_splash.h"
#include "ui/latin1.h"
#include "ui/ui_seam.h"

namespace quindle::ui {

std::optional<ChefTable> startUp(const DataFolder& folder, const std::string& stampPath)
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
    case StartupResult::Status::Ready:
        return std::move(result.chefs);
    case StartupResult::Status::MissingFile:
        seam().warning(nullptr, QStringLiteral("File Error"),
                       QString::fromLocal8Bit(missingFileText(result.missingPath).c_str()));
        return std::nullopt;
    case StartupResult::Status::Failed:
        seam().warning(nullptr, QStringLiteral("Quindle"),
                       QStringLiteral("Quindle cannot start.\n\n") + QString::fromLocal8Bit(result.error.c_str()));
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace quindle::ui
