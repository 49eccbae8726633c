// What the planning windows' result tables offer alike: the rows' context menu
// and an export that is written whole or not at all.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QIODevice>
#include <QMenu>
#include <QSettings>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <filesystem>

#include "gui_fixture.h"
#include "ui/table_actions.h"
#include "ui/ui_seam.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

QAction* entry(const QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

} // namespace

TEST(TableActions, TheMenuShowsTheRowUnderThePointerAndComparesOnlyWithASelection)
{
    QWidget window;
    QStandardItemModel model(3, 2);
    QTableView view(&window);
    view.setModel(&model);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    window.resize(400, 300);
    window.show();
    int shown = -1, compared = 0;
    const ui::MatingRowActions actions{[&](int row) { shown = row; }, [&] { ++compared; },
                                       [] { return QStringLiteral("the rows"); }};

    const QPoint onRow1 = view.visualRect(model.index(1, 0)).center();
    auto menu = ui::rowMenu(&view, &window, actions, onRow1);
    ASSERT_NE(entry(*menu, "Show in Main Window"), nullptr);
    entry(*menu, "Show in Main Window")->trigger();
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(entry(*menu, "Add to Comparison")->isEnabled()); // nothing selected
    entry(*menu, "Copy")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "the rows");

    view.selectRow(2);
    const QPoint belowRows(5, view.viewport()->height() - 2);
    menu = ui::rowMenu(&view, &window, actions, belowRows);
    EXPECT_EQ(entry(*menu, "Show in Main Window"), nullptr);
    ASSERT_TRUE(entry(*menu, "Add to Comparison")->isEnabled());
    entry(*menu, "Add to Comparison")->trigger();
    EXPECT_EQ(compared, 1);
}

TEST(TableActions, AFailedExportLeavesNoFileAndSaysSo)
{
    RecordingSeam seam;
    ui::setSeam(&seam);
    TempDir dir;
    const QString path = QString::fromStdString(dir.file("plan.csv"));
    // A write that fails half-way leaves nothing behind.
    EXPECT_FALSE(ui::saveWhole(nullptr, path, QStringLiteral("table"), [](QIODevice& file) {
        ui::writeTitleLine(file, QStringLiteral("Planned for \"X\""));
        return false; // as a full disk answers
    }));
    EXPECT_FALSE(std::filesystem::exists(dir.file("plan.csv")));
    ASSERT_EQ(seam.warnings.size(), 1u);
    EXPECT_TRUE(seam.warnings[0].second.startsWith("The table could not be written to " + path + ".\n\n"))
        << seam.warnings[0].second.toStdString();

    EXPECT_TRUE(ui::saveWhole(nullptr, path, QStringLiteral("table"), [](QIODevice& file) {
        return ui::writeTitleLine(file, QStringLiteral("Planned for \"X\"")) && ui::writeAll(file, "a,b\n");
    }));
    EXPECT_EQ(readFile(dir.file("plan.csv")), "\"Planned for \"\"X\"\"\"\na,b\n");
    EXPECT_EQ(seam.warnings.size(), 1u);
    ui::setSeam(nullptr);
}

TEST(TableActions, TheSaveDialogAddsItsSuffixAndOpensWhereThePlayerSavedLast)
{
    QSettings().remove(QStringLiteral("window/saveFolder"));
    TempDir dir;
    ui::UiSeam real;
    // Answers the dialog once it is open: the folder it opened in, then the name typed.
    QString openedIn, offered; // the folder, and the name the dialog offered
    const auto answer = [&openedIn, &offered](const QString& typed) {
        QTimer::singleShot(0, [&openedIn, &offered, typed] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            openedIn = dialog->directory().absolutePath();
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                offered = name->text();
            dialog->selectFile(typed);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    };
    const QString folder = QDir(QString::fromStdString(dir.path().string())).absolutePath();
    answer(folder + QStringLiteral("/plan"));
    EXPECT_EQ(real.saveFileName(nullptr, QStringLiteral("Export"), QStringLiteral("CSV files (*.csv)")),
              folder + QStringLiteral("/plan.csv"));
    answer(QStringLiteral("card"));
    EXPECT_EQ(real.saveFileName(nullptr, QStringLiteral("Card"), QStringLiteral("PDF files (*.pdf)")),
              folder + QStringLiteral("/card.pdf"));
    EXPECT_EQ(openedIn, folder);
    QSettings().remove(QStringLiteral("window/saveFolder"));

#ifndef _WIN32
    // A home without a Documents folder: the dialog opens in the home folder, and
    // offers no file named "Documents" for Enter to write.
    const QByteArray home = qgetenv("HOME"), xdgConfig = qgetenv("XDG_CONFIG_HOME");
    const bool xdgSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    qputenv("HOME", folder.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (folder + QStringLiteral("/config")).toLocal8Bit());
    answer(QStringLiteral("card"));
    const QString bare = real.saveFileName(nullptr, QStringLiteral("Card"), QStringLiteral("PDF files (*.pdf)"));
    qputenv("HOME", home);
    if (xdgSet)
        qputenv("XDG_CONFIG_HOME", xdgConfig);
    else
        qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(openedIn, folder);
    EXPECT_TRUE(offered.isEmpty()) << offered.toStdString();
    EXPECT_EQ(bare, folder + QStringLiteral("/card.pdf"));
    QSettings().remove(QStringLiteral("window/saveFolder"));
#endif
}
