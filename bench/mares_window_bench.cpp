// mares_window_bench DATA_DIR STALLION: the best mares pane planning for one
// stallion, from the start of the process to every row shown; it prints when
// the first rows and the last came. Timed whole beside `quindle-cli mares`.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "ui/best_mares_pane.h"
#include "ui/mares_model.h"
#include "ui/session.h"
#include "ui/startup_ui.h"

int main(int argc, char** argv)
{
    QElapsedTimer timer;
    timer.start();
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: mares_window_bench DATA_DIR STALLION\n");
        return 2;
    }
    const quindle::DataFolder folder(argv[1]);
    auto chefs = quindle::ui::startUp(folder, quindle::kStampFileName);
    if (!chefs)
        return 1;
    quindle::ui::Session session(quindle::DataSession(folder, std::move(*chefs)));
    quindle::ui::BestMaresPane pane(&session, nullptr, nullptr);
    pane.resize(1200, 700);
    pane.show();
    const double startedMs = timer.nsecsElapsed() / 1e6;
    pane.planFor(std::string(argv[2]));
    double firstMs = -1;
    int turns = 0; // how often the event loop came round while the pane ranked
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        ++turns;
        if (firstMs < 0 && pane.model()->rowCount() > 0)
            firstMs = timer.nsecsElapsed() / 1e6;
        if (pane.busy())
            return;
        std::printf("%d rows; pane shown at %.0f ms, first rows at %.0f ms, all at %.0f ms; the event loop turned "
                    "%d times\n",
                    pane.model()->rowCount(), startedMs, firstMs, timer.nsecsElapsed() / 1e6, turns);
        app.quit();
    });
    poll.start(1);
    return QApplication::exec();
}
