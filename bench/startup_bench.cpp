// startup_bench DATA_DIR: the time from the start of start-up to the main window
// shown, when the breeding file needs no split (run it once to split first).
#include <QApplication>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QTimer>
#include <cstdio>

#include "ui/fonts.h"
#include "ui/main_form.h"
#include "ui/startup_ui.h"

int main(int argc, char** argv)
{
    QElapsedTimer timer;
    timer.start();
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: startup_bench DATA_DIR\n");
        return 2;
    }
    const quindle::DataFolder folder(argv[1]);
    auto chefs = quindle::ui::startUp(folder, quindle::kStampFileName);
    // The system's font list is read on first use anyway; apart from that, what
    // registering the built-in faces costs.
    QElapsedTimer fonts;
    fonts.start();
    QFontDatabase::families();
    const double systemFontMs = fonts.nsecsElapsed() / 1e6;
    fonts.restart();
    quindle::ui::loadBuiltInFonts(); // else done by the main window
    const double fontMs = fonts.nsecsElapsed() / 1e6;
    if (!chefs)
        return 1;
    quindle::ui::MainForm window(folder, std::move(*chefs));
    window.show();
    QTimer::singleShot(0, [&] {
        std::printf("%.1f ms from start to the main window shown (%d chefs); of it %.1f ms reading the system's "
                    "font list, %.2f ms registering the built-in fonts\n",
                    timer.nsecsElapsed() / 1e6, window.chefs().count(), systemFontMs, fontMs);
        app.quit();
    });
    return QApplication::exec();
}
