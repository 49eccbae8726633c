// quindle: look up a horse's pedigree and dosage profile, or try a mating.
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include "data/data_folder.h"
#include "data/folder_search.h"
#include "ui/fonts.h"
#include "ui/frm_splash.h"
#include "session/data_session.h"
#include "ui/main_form.h"
#include "ui/session.h"
#include "ui/startup_ui.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("quindle")); // settings are kept in ~/.config/quindle/
    QApplication::setApplicationName(QStringLiteral("quindle"));
    QApplication::setApplicationVersion(QStringLiteral(QUINDLE_VERSION));
    quindle::ui::useBuiltInFaceEverywhere();
    QApplication::setWindowIcon(QIcon(quindle::ui::logoPixmap(64)));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Pedigrees and dosage profiles of a racing game's horses."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dataDir(
        QStringLiteral("data-dir"),
        QStringLiteral("The data folder (default: the one chosen last time, else the first of ~/pdg and the game's "
                       "pdg folder in ~/.wine or $WINEPREFIX that holds the files; C:\\PDG\\ on Windows)."),
        QStringLiteral("DIR"));
    parser.addOption(dataDir);
    const QCommandLineOption stateFolder(
        QStringLiteral("state-folder"),
        QStringLiteral("Keep the stamp file in Quindle's state folder ($XDG_STATE_HOME/quindle) instead of the "
                       "working folder, as the desktop menu starts it."));
    parser.addOption(stateFolder);
    parser.process(app);

    const quindle::DataFolder folder = quindle::chooseDataFolder(
        parser.value(dataDir).toStdString(), quindle::hintsFromEnvironment(quindle::ui::rememberedDataFolder()));
    std::string stamp = quindle::kStampFileName;
    if (parser.isSet(stateFolder)) {
        const std::string state = quindle::stateFolder();
        if (!state.empty())
            stamp = state + "/" + quindle::kStampFileName;
    }
    auto started = quindle::ui::startUpChoosingFolder(folder, stamp);
    if (!started)
        return 1;
    // The open data, one for every window.
    quindle::DataSession data(std::move(started->folder), std::move(started->chefs));
    data.watch(stamp);
    quindle::ui::Session session(std::move(data));
    quindle::ui::MainForm window(&session);
    window.show();
    return QApplication::exec();
}
