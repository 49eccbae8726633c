#include "ui/table_actions.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QHBoxLayout>
#include <QMenu>
#include <QItemSelection>
#include <QPushButton>
#include <QSet>
#include <QShortcut>
#include <algorithm>

#include "data/file_error.h"
#include "data/replacing_file.h"
#include "ui/target_boxes.h"
#include "ui/ui_seam.h"

namespace quindle::ui {

namespace {

QKeySequence compareKeys() { return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A); }

// A shortcut of the view alone, so the window's own keys stay free elsewhere.
QShortcut* viewShortcut(const QKeySequence& keys, QAbstractItemView* view)
{
    auto* shortcut = new QShortcut(keys, view);
    shortcut->setContext(Qt::WidgetShortcut);
    return shortcut;
}

} // namespace

QModelIndexList selectedRowsInOrder(const QAbstractItemView* view)
{
    QModelIndexList rows = view->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    return rows;
}

void keepSelectionAcross(QAbstractItemView* view, int keyColumn, const std::function<void()>& change)
{
    const QAbstractItemModel* model = view->model();
    QSet<QString> keys;
    for (const QModelIndex& index : view->selectionModel()->selectedRows(keyColumn))
        keys.insert(index.data().toString());
    const QModelIndex current = view->currentIndex();
    const QString currentKey = current.isValid() ? current.siblingAtColumn(keyColumn).data().toString() : QString();
    change();
    if (keys.isEmpty() && currentKey.isEmpty())
        return; // nothing chosen: no rows to go through
    QItemSelection selection;
    QModelIndex newCurrent;
    const int last = model->columnCount() - 1;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QString key = model->index(row, keyColumn).data().toString();
        if (keys.contains(key))
            selection.select(model->index(row, 0), model->index(row, last));
        if (!currentKey.isEmpty() && key == currentKey)
            newCurrent = model->index(row, current.column());
    }
    if (newCurrent.isValid())
        view->selectionModel()->setCurrentIndex(newCurrent, QItemSelectionModel::NoUpdate);
    view->selectionModel()->select(selection, QItemSelectionModel::Select);
}

QString selectedRowsText(const QAbstractItemView* view, const QString& first, int columns)
{
    const QAbstractItemModel* model = view->model();
    QString text = first + QLatin1Char('\n');
    for (int c = 0; c < columns; ++c) // the titles, so a pasted table says what its numbers are
        text += (c ? QStringLiteral("\t") : QString()) + model->headerData(c, Qt::Horizontal).toString();
    text += QLatin1Char('\n');
    for (const QModelIndex& index : selectedRowsInOrder(view)) {
        for (int c = 0; c < columns; ++c)
            text += (c ? QStringLiteral("\t") : QString()) +
                    model->data(model->index(index.row(), c), Qt::DisplayRole).toString();
        text += QLatin1Char('\n');
    }
    return text;
}

void copyRowsOnCtrlC(QAbstractItemView* view, QWidget* owner, std::function<QString()> text)
{
    QObject::connect(viewShortcut(QKeySequence::Copy, view), &QShortcut::activated, owner,
                     [text = std::move(text)] { QApplication::clipboard()->setText(text()); });
}

void addMatingRowActions(QAbstractItemView* view, QWidget* owner, MatingRowActions actions)
{
    copyRowsOnCtrlC(view, owner, actions.text);
    QObject::connect(viewShortcut(compareKeys(), view), &QShortcut::activated, owner, actions.compare);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(view, &QWidget::customContextMenuRequested, owner,
                     [view, owner, actions = std::move(actions)](const QPoint& at) {
                         rowMenu(view, owner, actions, at)->exec(view->viewport()->mapToGlobal(at));
                     });
}

std::unique_ptr<QMenu> rowMenu(QAbstractItemView* view, QWidget* owner, const MatingRowActions& actions,
                               const QPoint& at)
{
    auto menu = std::make_unique<QMenu>(owner);
    const QModelIndex index = view->indexAt(at);
    if (index.isValid())
        menu->addAction(QStringLiteral("Show in Main Window"), owner,
                        [show = actions.show, row = index.row()] { show(row); });
    if (index.isValid() && actions.addToRoster)
        menu->addAction(QStringLiteral("Add to the Roster"), owner,
                        [add = actions.addToRoster, row = index.row()] { add(row); });
    QAction* add = menu->addAction(QStringLiteral("Add to Comparison"), owner, actions.compare);
    add->setShortcut(compareKeys());
    add->setEnabled(view->selectionModel()->hasSelection());
    menu->addAction(QStringLiteral("Copy"), owner,
                    [text = actions.text] { QApplication::clipboard()->setText(text()); })
        ->setShortcut(QKeySequence::Copy);
    return menu;
}

QHBoxLayout* exportButtonRow(QWidget* owner, const QString& objectName, std::function<void()> clicked)
{
    auto* row = new QHBoxLayout;
    auto* button = new QPushButton(QStringLiteral("Export\u2026"), owner);
    button->setObjectName(objectName);
    button->setToolTip(QStringLiteral("Write the rows as shown to a CSV file"));
    button->setAutoDefault(true); // Enter presses it when it has the focus
    QObject::connect(button, &QPushButton::clicked, owner, std::move(clicked));
    row->addStretch(1);
    row->addWidget(button);
    return row;
}

void exportOnClick(QWidget* parent, const QString& title, bool ready, const std::function<bool(const QString&)>& write)
{
    if (!ready) {
        seam().beep();
        return;
    }
    const QString path = seam().saveFileName(parent, title, QStringLiteral("CSV files (*.csv)"));
    if (!path.isEmpty())
        write(csvPath(path));
}

bool saveWhole(QWidget* parent, const QString& path, const QString& what, const std::function<bool(QIODevice&)>& write)
{
    // Made in memory, then written by the core's writer: the file is replaced
    // whole or not at all, only when it is a regular file, and a failure is
    // told by the system's own reason.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QString reason = QStringLiteral("The %1 could not be made.").arg(what);
    if (buffer.open(QIODevice::WriteOnly) && write(buffer)) {
        try {
            ReplacingFile file(path.toStdString());
            file.write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
            file.commit();
            return true;
        } catch (const FileError& e) {
            reason = QString::fromStdString(e.what());
        }
    }
    seam().warning(parent, QStringLiteral("Quindle"),
                   QStringLiteral("The %1 could not be written to %2.\n\n%3").arg(what, path, reason));
    return false;
}

bool writeAll(QIODevice& file, std::string_view bytes)
{
    return file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

bool writeTitleLine(QIODevice& file, QString title)
{
    title.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return file.write(QStringLiteral("\"%1\"\n").arg(title).toUtf8()) >= 0;
}

} // namespace quindle::ui
