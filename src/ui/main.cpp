// quindle: look up a horse's pedigree and dosage profile, or try a mating.
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include "data/data_folder.h"
#include "ui/frm_splash.h"
#include "ui/main_form.h"
#include "ui/startup_ui.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quindle"));
    QApplication::setApplicationVersion(QStringLiteral(QUINDLE_VERSION));
    QApplication::setWindowIcon(QIcon(quindle::ui::logoPixmap(64)));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Pedigrees and dosage profiles of a racing game's horses."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("The data folder (default: ~/pdg, C:\\PDG\\ on Windows)."),
                                     QStringLiteral("DIR"));
    parser.addOption(dataDir);
    parser.process(app);

    const quindle::DataFolder folder =
        quindle::DataFolder::fromOption(parser.value(dataDir).toLocal8Bit().toStdString());
    auto chefs = quindle::ui::startUp(folder, quindle::kStampFileName);
    if (!chefs)
        return 1;
    quindle::ui::MainForm window(folder, std::move(*chefs));
    window.show();
    return QApplication::exec();
}
