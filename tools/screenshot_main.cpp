// quindle-screenshot [--zoom PERCENT] [--mate SIRE,DAMSIRE,DAMDAMSIRE --mating-window OUT2.png
//                    [--complete PREFIX]] DATA_DIR OUT.png [ID]
// starts the main window on a data folder, looks up ID when given, optionally
// submits a mating (and saves a picture of the mating window too, with the
// completion list open for PREFIX), and saves a picture of the main window.
// Used to keep the screenshots in docs/ true to the program. --find TEXT saves the
// search window with TEXT typed instead. The player's
// remembered zoom is neither read nor changed.
// quindle-screenshot DATA_DIR OUT.png ID --planner: the mating planner for that
// mare instead, ranked by DI.
// --chart shows the main window's chart pane; --card OUT.pdf also writes the
// card of the horse or foal shown; --foals SIRE saves the search window with
// the crop of that stallion; --compare A;B;... saves the comparison window with
// those candidates (an identifier, or three names SIRE,DAMSIRE,DAMDAMSIRE).
// --stable ID,ID,... keeps those horses in My Horses (in a list of the run's own,
// never the player's); --my-horses then saves the My Horses window, --season the
// season window planned for them.
// --screen WxH pictures a screen of that size with the main window centred on it,
// and --desktop OUT3.png the whole screen with every open window where it stands.
// --mares SIRE saves the planner's best mares for that stallion instead;
// --chart-menu N the main window with the context menu of its box TextN open.
// quindle-screenshot --logo OUT.png SIZE: saves the program's logo at SIZE pixels
// (packaging/quindle.png is made this way).
#include <QApplication>
#include <QCheckBox>
#include <QSpinBox>
#include <QAbstractItemView>
#include <QCommandLineParser>
#include <QCompleter>
#include <QPainter>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <memory>

#include "ui/best_mares_pane.h"
#include "ui/compare_form.h"
#include "ui/horse_copier.h"
#include "ui/fonts.h"
#include "ui/frm_splash.h"
#include "ui/main_form.h"
#include "ui/my_horses_form.h"
#include "ui/roster_store.h"
#include "ui/season_form.h"
#include "ui/stable_store.h"
#include "ui/planner_form.h"
#include "ui/planner_model.h"
#include "ui/search_form.h"
#include <QRadioButton>
#include "ui/startup_ui.h"
#include "ui/sub_form.h"
#include "ui/ui_seam.h"

namespace {

// An option: its name, its line of help, and for one that takes a value the
// value's name and what it is when not given.
struct ToolOption {
    const char* name;
    const char* help;
    const char* value = "";
    const char* byDefault = "";
};

constexpr ToolOption kOptions[] = {
    {"zoom", "Zoom in percent.", "PERCENT", "100"},
    {"mate", "Names to submit, comma-separated.", "NAMES"},
    {"mating-window", "Also save the mating window to this file.", "OUT2.png"},
    {"screen", "The screen's size, the main window centred on it as a window manager would.", "WxH", "2560x1600"},
    {"desktop", "Also save the whole screen with every open window where it stands.", "OUT3.png"},
    {"complete", "Then type PREFIX into the Dam's Dam-Sire box, list open.", "PREFIX"},
    {"planner", "Save the mating planner for the horse instead."},
    {"find", "Save the search window with TEXT typed instead.", "TEXT"},
    {"chart", "Show the main window's chart pane."},
    {"card", "Also write the card as PDF to this file.", "OUT.pdf"},
    {"foals", "Save the search window with the foals of SIRE instead.", "SIRE"},
    {"compare", "Save the comparison of these candidates instead (ID or SIRE,DAMSIRE,DAMDAMSIRE, separated by ';').",
     "CANDIDATES"},
    {"stable", "Horses to keep in My Horses.", "IDS"},
    {"my-horses", "Save the My Horses window instead."},
    {"season", "Save the season window instead."},
    {"roster", "Stallions to keep in the season's roster: IDs of the breeding file or names of the sire list.",
     "STALLIONS"},
    {"decide", "Decide the season: one stallion per mare, each stallion covering at most BOOK mares.", "BOOK"},
    {"mares", "Save the planner's best mares for SIRE instead.", "SIRE"},
    {"chart-menu", "Show the context menu of the box TextN over the main window.", "N"},
};

// What the windows would say in a message box goes to standard error instead: a
// modal box would wait for a click that never comes, before any picture is taken.
class PrintingSeam : public quindle::ui::UiSeam {
public:
    void warning(QWidget*, const QString& title, const QString& text) override { print(title, text); }
    void information(QWidget*, const QString& title, const QString& text) override { print(title, text); }

private:
    static void print(const QString& title, const QString& text)
    {
        std::fprintf(stderr, "%s: %s\n", title.toUtf8().constData(), text.toUtf8().constData());
    }
};

} // namespace

// The mating window, with the completion list over it when that is open.
static QPixmap matingPicture(QWidget* sub)
{
    const QPixmap window = sub->grab();
    QWidget* popup = nullptr;
    for (QLineEdit* box : sub->findChildren<QLineEdit*>())
        if (box->completer() && box->completer()->popup()->isVisible())
            popup = box->completer()->popup();
    if (!popup)
        return window;
    const QPoint at = popup->mapToGlobal(QPoint(0, 0)) - sub->mapToGlobal(QPoint(0, 0));
    const QRect all = QRect(QPoint(0, 0), window.size()).united(QRect(at, popup->size()));
    QPixmap out(all.size());
    out.fill(sub->palette().color(QPalette::Window));
    QPainter painter(&out);
    painter.drawPixmap(-all.topLeft(), window);
    painter.drawPixmap(at - all.topLeft(), popup->grab());
    return out;
}

int main(int argc, char** argv)
{
    // Windows open inside their screen, shrunk when larger: offscreen, they are
    // pictured on a screen with room for every window at 200 %.
    QTemporaryDir screens;
    QByteArray width = "2560", height = "1600";
    for (int i = 1; i + 1 < argc; ++i)
        if (QByteArray(argv[i]) == "--screen" && QByteArray(argv[i + 1]).contains('x')) {
            width = QByteArray(argv[i + 1]).split('x')[0];
            height = QByteArray(argv[i + 1]).split('x')[1];
        }
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        QFile config(screens.filePath(QStringLiteral("screens.json")));
        if (config.open(QIODevice::WriteOnly) &&
            config.write(R"({"screens": [{"name": "large", "x": 0, "y": 0, "width": )" + width + R"(, "height": )" +
                         height + "}]}") > 0) {
            config.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
        }
    }
    QApplication app(argc, argv);
    if (argc == 4 && QString::fromLocal8Bit(argv[1]) == QLatin1String("--logo"))
        return quindle::ui::logoPixmap(QString::fromLocal8Bit(argv[3]).toInt()).save(QString::fromLocal8Bit(argv[2]))
                   ? 0
                   : 1;
    QCommandLineParser parser;
    for (const ToolOption& option : kOptions) {
        QCommandLineOption added(QString::fromLatin1(option.name), QString::fromLatin1(option.help),
                                 QString::fromLatin1(option.value), QString::fromLatin1(option.byDefault));
        parser.addOption(added);
    }
    const auto isSet = [&parser](const char* name) { return parser.isSet(QString::fromLatin1(name)); };
    const auto value = [&parser](const char* name) { return parser.value(QString::fromLatin1(name)); };
    parser.addPositionalArgument(QStringLiteral("DATA_DIR"), QStringLiteral("The data folder."));
    parser.addPositionalArgument(QStringLiteral("OUT.png"), QStringLiteral("The picture of the main window."));
    parser.addPositionalArgument(QStringLiteral("ID"), QStringLiteral("A horse to look up first."),
                                 QStringLiteral("[ID]"));
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    if (args.size() < 2) {
        qWarning("usage: quindle-screenshot [--zoom PERCENT]"
                 " [--mate NAMES --mating-window OUT2.png [--complete PREFIX]] DATA_DIR OUT.png [ID [--planner | "
                 "--find TEXT]]");
        return 2;
    }
    quindle::ui::useBuiltInFaceEverywhere();
    PrintingSeam printing;
    quindle::ui::setSeam(&printing);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    // My Horses is kept in the application's data folder: one of this run's own.
    qputenv("XDG_DATA_HOME", settings.path().toLocal8Bit());
    qputenv("APPDATA", settings.path().toLocal8Bit());

    const quindle::DataFolder folder(args[0].toLocal8Bit().toStdString());
    auto chefs = quindle::ui::startUp(folder, quindle::kStampFileName);
    if (!chefs)
        return 1;
    quindle::ui::MainForm window(folder, std::move(*chefs));
    window.setZoom(value("zoom").toInt());
    window.setChartShown(isSet("chart"));
    if (isSet("screen")) {
        const QRect area = window.screen()->availableGeometry();
        window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
    }
    window.show();
    if (args.size() > 2) {
        window.searchID()->setText(args[2]);
        window.goClick();
    }
    if (isSet("mate")) {
        window.hypoMateClick();
        const QStringList names = value("mate").split(QLatin1Char(','));
        for (int i = 0; i < names.size() && i < 3; ++i)
            window.subForm()->box(i)->setText(names[i]);
        window.subForm()->submitClick();
        window.subForm()->box(0)->setFocus();
        if (isSet("complete")) {
            QLineEdit* box = window.subForm()->box(2);
            window.subForm()->windowHandle()->requestActivate(); // typed into, as the player would
            for (int i = 0; i < 10 && QGuiApplication::focusWindow() != window.subForm()->windowHandle(); ++i)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            box->setFocus();
            box->setText(value("complete"));
            box->completer()->setCompletionPrefix(box->text());
            box->completer()->complete();
        }
    }
    if (isSet("card") && !window.writeCardPdf(value("card")))
        return 1;
    for (const QString& id : value("stable").split(QLatin1Char(','), Qt::SkipEmptyParts))
        window.stable()->add(id.toInt(), &window);
    QWidget* shown = &window;
    auto settled = [](auto* form) {
        while (form->busy())
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        return form;
    };
    if (isSet("my-horses")) {
        window.openMyHorses();
        shown = settled(window.myHorsesForm());
    }
    for (const QString& stallion : value("roster").split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool isId = false;
        const int id = stallion.toInt(&isId);
        window.roster()->add({isId ? quindle::RosterKey{id, {}} : quindle::RosterKey{0, stallion.toStdString()}},
                             &window);
    }
    if (isSet("season")) {
        window.openSeason();
        quindle::ui::SeasonForm* season = settled(window.seasonForm());
        if (isSet("roster"))
            season->setUsesRoster(true);
        if (isSet("decide")) {
            season->findChild<QSpinBox*>(QStringLiteral("book"))->setValue(value("decide").toInt());
            season->findChild<QCheckBox*>(QStringLiteral("assign"))->setChecked(true);
        }
        shown = settled(season);
    }
    if (isSet("compare")) {
        for (const QString& item : value("compare").split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            quindle::Candidate candidate;
            const QStringList names = item.split(QLatin1Char(','));
            if (names.size() == 1)
                candidate.horse = names[0].toInt();
            else
                for (int i = 0; i < names.size() && i < 3; ++i)
                    candidate.mating[static_cast<std::size_t>(i)] = names[i].toLatin1().toStdString();
            window.addToComparison(candidate);
        }
        window.openCompare();
        shown = window.compareForm();
    }
    if (isSet("planner")) {
        window.openPlanner();
        shown = settled(window.plannerForm());
        window.plannerForm()->findChild<QLineEdit*>(QStringLiteral("diMax"))->setText(QStringLiteral("4"));
        window.plannerForm()->table()->sortByColumn(10, Qt::DescendingOrder);
    }
    if (isSet("mares")) {
        window.openBestMares(value("mares").toLatin1().toStdString());
        shown = settled(window.plannerForm());
        window.plannerForm()->maresPane()->table()->selectRow(0);
    }
    std::unique_ptr<QMenu> menu;
    if (isSet("chart-menu")) {
        QWidget* box = window.text(value("chart-menu").toInt());
        menu = window.findChild<quindle::ui::HorseCopier*>()->menuAt(box->geometry().center());
        menu->adjustSize();
    }
    // The search window, settled, with `text` typed (the crop of a sire for `bySire`).
    const auto search = [&](const QString& text, bool bySire) {
        window.openSearch();
        shown = settled(window.searchForm());
        if (bySire)
            window.searchForm()->bySire()->setChecked(true);
        window.searchForm()->textBox()->setText(text);
        settled(window.searchForm());
    };
    if (isSet("find"))
        search(value("find"), false);
    if (isSet("foals"))
        search(value("foals"), true);
    int rc = 1;
    QTimer::singleShot(300, [&] {
        QPixmap picture = shown->grab();
        if (menu) {
            // The menu as it opens from the middle of its box, over the window (grown to hold it).
            const QPixmap popup = menu->grab();
            const QPoint at = window.text(value("chart-menu").toInt())->geometry().center();
            const QRect all = QRect(QPoint(0, 0), shown->size()).united(QRect(at, menu->size()));
            QPixmap out(all.size() * picture.devicePixelRatio());
            out.setDevicePixelRatio(picture.devicePixelRatio());
            out.fill(window.palette().color(QPalette::Window));
            QPainter painter(&out);
            painter.drawPixmap(QPoint(0, 0), picture);
            painter.drawPixmap(at, popup);
            painter.end();
            picture = out;
        }
        rc = picture.save(args[1]) ? 0 : 1;
        if (rc == 0 && isSet("desktop")) {
            // Every open window where it stands, the main window first, as a player sees the screen.
            QPixmap desk(window.screen()->geometry().size());
            desk.fill(QColor(0x50, 0x60, 0x70));
            QPainter painter(&desk);
            QWidgetList windows{&window};
            for (QWidget* other : QApplication::topLevelWidgets())
                if (other != &window && other->isVisible() && !other->inherits("QMenu"))
                    windows << other;
            for (QWidget* each : windows) {
                painter.drawPixmap(each->geometry().topLeft(), each->grab());
                painter.setPen(Qt::black);
                painter.drawRect(each->geometry().adjusted(-1, -1, 0, 0));
            }
            painter.end();
            rc = desk.save(value("desktop")) ? 0 : 1;
        }
        if (rc == 0 && isSet("mating-window") && window.subForm())
            rc = matingPicture(window.subForm()).save(value("mating-window")) ? 0 : 1;
        app.quit();
    });
    QApplication::exec();
    return rc;
}
