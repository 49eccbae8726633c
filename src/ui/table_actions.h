#pragma once
// What the result tables of the planning windows offer alike: Ctrl+C copying the
// selected rows, Ctrl+Shift+A and a context menu for a table of matings, and the
// Export button writing a CSV file whole or not at all.
#include <QModelIndexList>
#include <QString>
#include <functional>
#include <memory>
#include <string_view>

class QAbstractItemView;
class QHBoxLayout;
class QIODevice;
class QMenu;
class QPoint;
class QWidget;

namespace quindle::ui {

// The selected rows' first cells, top to bottom.
QModelIndexList selectedRowsInOrder(const QAbstractItemView* view);

// Runs `change`, which gives the view's model new rows (a batch more, another
// order), and selects again the rows whose `keyColumn` text was selected, the
// current one current: rows coming in or sorted anew keep the player's choice.
void keepSelectionAcross(QAbstractItemView* view, int keyColumn, const std::function<void()>& change);

// `first` on a line, the first `columns` column titles, then the selected
// rows' cells under them, as lines of tab-separated text.
QString selectedRowsText(const QAbstractItemView* view, const QString& first, int columns);

// Ctrl+C while the view has the focus puts `text()` on the clipboard.
void copyRowsOnCtrlC(QAbstractItemView* view, QWidget* owner, std::function<QString()> text);

// A table whose rows are matings.
struct MatingRowActions {
    std::function<void(int)> show;          // shows a row's mating in the main window
    std::function<void()> compare;          // adds the selected rows to the comparison
    std::function<QString()> text;          // the selected rows as text
    std::function<void(int)> addToRoster{}; // adds a row's stallion to the season's roster; none: not offered
};
// Ctrl+C, Ctrl+Shift+A, and the context menu that rowMenu builds.
void addMatingRowActions(QAbstractItemView* view, QWidget* owner, MatingRowActions actions);
// The context menu for a right-click at `at` in the view's viewport: Show in
// Main Window over a row, Add to Comparison (while rows are selected), Copy.
std::unique_ptr<QMenu> rowMenu(QAbstractItemView* view, QWidget* owner, const MatingRowActions& actions,
                               const QPoint& at);

// The row under a table with the Export button at its right.
QHBoxLayout* exportButtonRow(QWidget* owner, const QString& objectName, std::function<void()> clicked);
// The Export button's click: a beep when no rows are `ready` (none yet, or
// rows of data that has since changed); else asks where to, and hands `write`
// the path (".csv" added to a name without a type of its own) unless cancelled.
void exportOnClick(QWidget* parent, const QString& title, bool ready, const std::function<bool(const QString&)>& write);
// The one way the windows save a file: writes it through `write` (false when a
// write failed), whole or not at all, so a failed save leaves no half file
// behind; a device, a FIFO or a folder at `path` is refused, nothing written
// over it. False after telling the player that `what` could not be written and
// why, in the system's words ("No space left on device").
bool saveWhole(QWidget* parent, const QString& path, const QString& what, const std::function<bool(QIODevice&)>& write);

// Writes all of `bytes`; false when a write failed.
bool writeAll(QIODevice& file, std::string_view bytes);
// The line above an exported table naming whom its rows are for, as one quoted
// CSV field.
bool writeTitleLine(QIODevice& file, QString title);

} // namespace quindle::ui
