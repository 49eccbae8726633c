#include "ui/my_horses_form.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "input/id_list.h"
#include "ui/counts.h"
#include "ui/my_horses_model.h"
#include "ui/session.h"
#include "ui/stable_store.h"
#include "ui/ui_seam.h"
#include "ui/zoom.h"

namespace quindle::ui {

namespace {
// Every column, CD included, within the window at its designed size.
constexpr int kColumnWidths[] = {60, 200, 80, 160, 160, 46, 46, 46};
constexpr QSize kWindowSize(860, 420);
} // namespace

MyHorsesForm::MyHorsesForm(Session* session, StableStore* store, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), store_(store)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("My Horses"));
    resize(kWindowSize);
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    ids_ = new QLineEdit(this);
    ids_->setObjectName(QStringLiteral("addIds"));
    ids_->setPlaceholderText(QStringLiteral("IDs to add, e.g. 1204 88731"));
    ids_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9 ,;]*")), ids_));
    auto* add = new QPushButton(QStringLiteral("Add"), this);
    add->setObjectName(QStringLiteral("add"));
    add->setAutoDefault(true); // Enter presses it when it has the focus
    connect(add, &QPushButton::clicked, this, &MyHorsesForm::addTyped);
    connect(ids_, &QLineEdit::returnPressed, this, &MyHorsesForm::addTyped);
    top->addWidget(new QLabel(QStringLiteral("Add by ID:"), this));
    top->addWidget(ids_, 1);
    top->addWidget(add);
    layout->addLayout(top);

    model_ = new MyHorsesModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("myHorses"));
    table_->setModel(model_);
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder); // the order they were added in
    table_->horizontalHeader()->setSortIndicatorClearable(true);          // a third click goes back to it
    table_->setSortingEnabled(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents); // follows the zoom
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setToolTip(QStringLiteral(
        "Enter or a double click shows the horse in the main window; Delete removes it, Ctrl+Z brings it back"));
    zoomTable(table_, kZoomMin, kColumnWidths);
    connect(table_, &QTableView::activated, this, &MyHorsesForm::showSelected);
    layout->addWidget(table_, 1);

    auto* remove = new QShortcut(QKeySequence::Delete, table_);
    remove->setContext(Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, &MyHorsesForm::removeSelected);
    auto* undo = new QShortcut(QKeySequence::Undo, this);
    connect(undo, &QShortcut::activated, this, [this] {
        if (!store_->undoRemoval(this))
            seam().beep(); // nothing removed to bring back
    });
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (const auto menu = rowMenuAt(at))
            menu->exec(table_->viewport()->mapToGlobal(at));
    });

    layout->addLayout(makeButtons());

    connect(store_, &StableStore::changed, this, &MyHorsesForm::refresh);
    // A breeding file cut again may hold other horses at the kept IDs.
    connect(session_, &Session::changed, this, &MyHorsesForm::refresh);
    refresh();
}

QHBoxLayout* MyHorsesForm::makeButtons()
{
    auto* buttons = new QHBoxLayout;
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("stableStatus"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    buttons->addWidget(status_, 1);
    const struct {
        const char* name;
        const char* text;
        const char* tip;
        void (MyHorsesForm::*slot)();
    } actions[] = {
        {"go", "GO", "Show the horse in the main window", &MyHorsesForm::showSelected},
        {"confirm", "Confirm", "Keep the horse now at the ID under its new name", &MyHorsesForm::confirmSelected},
        {"remove", "Remove", "Drop the selected horses from the list (Delete)", &MyHorsesForm::removeSelected},
        {"season", "Season\u2026", "Plan the best stallions for every filly and mare", &MyHorsesForm::openSeason},
        {"import", "Take from another folder\u2026",
         "Add the horses kept for another data folder (a game folder moved)", &MyHorsesForm::importList},
    };
    for (const auto& a : actions) {
        auto* button = new QPushButton(QString::fromUtf8(a.text), this);
        button->setObjectName(QString::fromLatin1(a.name));
        button->setToolTip(QString::fromLatin1(a.tip));
        button->setAutoDefault(true); // Enter presses it when it has the focus
        connect(button, &QPushButton::clicked, this, a.slot);
        buttons->addWidget(button);
    }
    return buttons;
}

void MyHorsesForm::importList()
{
    const QString file = seam().openFileName(this, QStringLiteral("Take My Horses from another folder"),
                                             QFileInfo(store_->path()).absolutePath(),
                                             QStringLiteral("Lists of horses (horses-*.json);;All files (*)"));
    if (!file.isEmpty())
        store_->importFrom(file, this);
}

void MyHorsesForm::setZoom(int percent)
{
    applyFontZoom(this, percent);
    zoomTable(table_, percent, kColumnWidths);
    zoomWindowSize(this, kWindowSize, percent);
}

void MyHorsesForm::refresh()
{
    if (!session_->current())
        return;
    auto rows = std::make_shared<std::vector<MyHorseRow>>();
    status_->setText(QStringLiteral("Looking the horses up\u2026"));
    work_.run([rows, stable = store_->stable(), folder = session_->folder(),
               chefs = session_->sharedChefs()] { *rows = stableRows(stable, folder, *chefs); },
              [this, rows] {
                  const Choice before = choice();
                  model_->setRows(std::move(*rows));
                  choose(before);
                  int marked = 0;
                  for (int r = 0; r < model_->rowCount(); ++r)
                      marked += model_->row(r).checked.usable() ? 0 : 1;
                  QString text = countOf(model_->rowCount(), QStringLiteral("horse"));
                  if (marked)
                      text += QStringLiteral(", %1 left out of plans until confirmed or removed").arg(marked);
                  status_->setText(text);
                  status_->setToolTip(QDir::toNativeSeparators(store_->path()));
              });
}

bool MyHorsesForm::addTyped()
{
    const IdList typed = parseIdList(ids_->text().toStdString());
    bool allAdded = typed.refused.empty();
    for (const std::int32_t id : typed.ids)
        if (!store_->stable().find(id) && !store_->add(id, this))
            allAdded = false;
    if (!typed.refused.empty()) {
        QStringList refused;
        for (const std::string& part : typed.refused)
            refused << QString::fromStdString(part);
        seam().warning(this, QStringLiteral("My Horses"),
                       QStringLiteral("An ID is a number from 1 to %1; not added: %2")
                           .arg(kLargestId)
                           .arg(refused.join(QStringLiteral(", "))));
    }
    if (allAdded)
        ids_->clear();
    return allAdded;
}

MyHorsesForm::Choice MyHorsesForm::choice() const
{
    Choice choice;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        choice.selected.push_back(model_->row(index.row()).checked.entry.id);
    const QModelIndex current = table_->currentIndex();
    choice.currentRow = current.isValid() ? current.row() : -1;
    choice.current = current.isValid() ? model_->row(current.row()).checked.entry.id : 0;
    return choice;
}

void MyHorsesForm::choose(const Choice& choice)
{
    // The horses chosen stay chosen, wherever the list now has them.
    QItemSelection selection;
    int currentRow = -1;
    const auto selectRow = [&](int row) { selection.select(model_->index(row, 0), model_->index(row, 0)); };
    for (int row = 0; row < model_->rowCount(); ++row) {
        const std::int32_t id = model_->row(row).checked.entry.id;
        if (std::find(choice.selected.begin(), choice.selected.end(), id) != choice.selected.end())
            selectRow(row);
        if (id == choice.current)
            currentRow = row;
    }
    // The horse at the caret was just removed: the next takes its place, so Delete and Enter go on.
    if (currentRow < 0 && choice.currentRow >= 0 && model_->rowCount() > 0) {
        currentRow = std::min(choice.currentRow, model_->rowCount() - 1);
        if (selection.isEmpty())
            selectRow(currentRow);
    }
    QItemSelectionModel* model = table_->selectionModel();
    model->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (currentRow >= 0)
        model->setCurrentIndex(model_->index(currentRow, 0), QItemSelectionModel::NoUpdate);
}

std::unique_ptr<QMenu> MyHorsesForm::rowMenuAt(const QPoint& at)
{
    const QModelIndex index = table_->indexAt(at);
    if (!index.isValid())
        return nullptr; // below the rows: nothing to act on, not the rows chosen before
    if (!table_->selectionModel()->isRowSelected(index.row(), {}))
        table_->selectionModel()->setCurrentIndex(index,
                                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    auto menu = std::make_unique<QMenu>(this);
    menu->addAction(QStringLiteral("Show in the main window"), this, &MyHorsesForm::showSelected);
    menu->addAction(QStringLiteral("Confirm the name now at the ID"), this, &MyHorsesForm::confirmSelected);
    menu->addAction(QStringLiteral("Remove"), this, &MyHorsesForm::removeSelected);
    return menu;
}

std::vector<std::int32_t> MyHorsesForm::selectedIds() const
{
    std::vector<std::int32_t> ids;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        ids.push_back(model_->row(index.row()).checked.entry.id);
    if (ids.empty() && table_->currentIndex().isValid())
        ids.push_back(model_->row(table_->currentIndex().row()).checked.entry.id);
    return ids;
}

void MyHorsesForm::removeSelected() { store_->remove(selectedIds(), this); }

void MyHorsesForm::confirmSelected()
{
    // Each marked horse selected takes the name its ID holds now.
    const auto ids = selectedIds();
    std::vector<std::pair<std::int32_t, std::string>> renamed;
    for (int r = 0; r < model_->rowCount(); ++r) {
        const CheckedHorse& checked = model_->row(r).checked;
        if (checked.status == CheckedHorse::Status::Renamed &&
            std::find(ids.begin(), ids.end(), checked.entry.id) != ids.end())
            renamed.emplace_back(checked.entry.id, checked.horse.name);
    }
    for (const auto& [id, name] : renamed)
        if (!store_->confirm(id, name, this))
            return;
}

void MyHorsesForm::showSelected()
{
    const auto ids = selectedIds();
    if (!ids.empty())
        emit showHorse(ids.front());
}

void MyHorsesForm::closeEvent(QCloseEvent* event)
{
    work_.drop();
    QWidget::closeEvent(event);
}

void MyHorsesForm::changeEvent(QEvent* event)
{
    // Back in this window: show what another Quindle may have changed meanwhile.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        store_->catchUp(this);
    QWidget::changeEvent(event);
}

} // namespace quindle::ui
