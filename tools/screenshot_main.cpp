// quindle-screenshot DATA_DIR OUT.png [ID]: starts the main window on a data
// folder, looks up ID when given, and saves a picture of the window. Used to
// keep the screenshot in docs/ true to the program.
// quindle-screenshot DATA_DIR OUT.png ID --planner: the mating planner for that
// mare instead, ranked by DI.
// quindle-screenshot DATA_DIR OUT.png ID --find TEXT: the search window with TEXT typed.
// quindle-screenshot --logo OUT.png SIZE: saves the program's logo at SIZE pixels
// (packaging/quindle.png is made this way).
#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QTableView>
#include <QTimer>

#include "ui/frm_splash.h"
#include "ui/main_form.h"
#include "ui/planner_form.h"
#include "ui/planner_model.h"
#include "ui/search_form.h"
#include "ui/startup_ui.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc == 4 && QString::fromLocal8Bit(argv[1]) == QLatin1String("--logo"))
        return quindle::ui::logoPixmap(QString::fromLocal8Bit(argv[3]).toInt()).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    if (argc < 3) {
        qWarning("usage: quindle-screenshot DATA_DIR OUT.png [ID]");
        return 2;
    }
    const quindle::DataFolder folder(argv[1]);
    auto chefs = quindle::ui::startUp(folder, quindle::kStampFileName);
    if (!chefs)
        return 1;
    quindle::ui::MainForm window(folder, std::move(*chefs));
    window.show();
    if (argc > 3) {
        window.searchID()->setText(QString::fromLocal8Bit(argv[3]));
        window.goClick();
    }
    QWidget* shown = &window;
    if (argc > 4 && QString::fromLocal8Bit(argv[4]) == QLatin1String("--planner")) {
        window.openPlanner();
        shown = window.plannerForm();
        while (window.plannerForm()->busy())
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        window.plannerForm()->findChild<QLineEdit*>(QStringLiteral("diMax"))->setText(QStringLiteral("4"));
        window.plannerForm()->table()->sortByColumn(10, Qt::DescendingOrder);
    }
    if (argc > 5 && QString::fromLocal8Bit(argv[4]) == QLatin1String("--find")) {
        window.openSearch();
        shown = window.searchForm();
        auto settle = [&] {
            while (window.searchForm()->busy())
                QApplication::processEvents(QEventLoop::AllEvents, 50);
        };
        settle();
        window.searchForm()->textBox()->setText(QString::fromLocal8Bit(argv[5]));
        settle();
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    int rc = 1;
    QTimer::singleShot(300, [&] {
        rc = shown->grab().save(out) ? 0 : 1;
        app.quit();
    });
    QApplication::exec();
    return rc;
}
