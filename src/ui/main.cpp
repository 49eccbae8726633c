// quindle: look up a horse's pedigree and dosage profile, or try a mating.
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <cstdio>
#include <new>
#include <optional>
#include <system_error>

#include "data/data_folder.h"
#include "data/folder_search.h"
#include "ui/fonts.h"
#include "ui/frm_splash.h"
#include "session/data_session.h"
#include "ui/main_form.h"
#include "ui/session.h"
#include "ui/startup_ui.h"

namespace {

// Memory or threads the system refuses (or any other exception), wherever an
// event meets them, end the program with a message instead of an abort; files
// being written are removed as the exception passes them.
class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::bad_alloc&) {
            fail("There is not enough memory to go on.");
        } catch (const std::system_error& e) {
            fail(QStringLiteral("The system refused: %1").arg(QString::fromLocal8Bit(e.what())));
        } catch (const std::exception& e) { // a fault of Quindle's own: said, not an abort
            fail(QStringLiteral("An unexpected fault: %1")
                     .arg(QString::fromUtf8(e.what()))); // Quindle's texts are UTF-8
        }
        return false;
    }

private:
    static void fail(const QString& text)
    {
        std::fprintf(stderr, "quindle: %s\n", text.toLocal8Bit().constData());
        exit(1);
    }
};

int startFailed(const char* what)
{
    std::fprintf(stderr, "quindle: cannot start: %s\n", what);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
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
    const std::string stamp = quindle::stampPathFor(parser.isSet(stateFolder));
    std::optional<quindle::ui::Started> started;
    try {
        started = quindle::ui::startUpChoosingFolder(folder, stamp);
    } catch (const std::bad_alloc&) {
        return startFailed("there is not enough memory");
    } catch (const std::system_error& e) {
        return startFailed(e.what());
    }
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
