#include "ui/roster_pane.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <set>

#include "app/roster_rows.h"
#include "app/season_roster.h"
#include "data/latin1_text.h"
#include "data/sire_list.h"
#include "ui/latin1.h"
#include "ui/roster_store.h"
#include "ui/session.h"
#include "ui/zoom.h"
#include "ui/sire_completer.h"
#include "ui/stable_store.h"
#include "ui/ui_seam.h"

namespace quindle::ui {

namespace {

enum Column { kStallion, kLine, kBook, kColumnCount };

} // namespace

RosterPane::RosterPane(Session* session, RosterStore* roster, StableStore* stable, QWidget* parent)
    : QWidget(parent), session_(session), roster_(roster), stable_(stable)
{
    setObjectName(QStringLiteral("rosterPane"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* choice = new QHBoxLayout;
    from_ = new QComboBox(this);
    from_->setObjectName(QStringLiteral("stallionsFrom"));
    from_->addItem(QStringLiteral("the whole sire list"));
    from_->addItem(QStringLiteral("my roster"));
    from_->setToolTip(QStringLiteral("Which stallions the plan of one stallion per mare may use"));
    choice->addWidget(new QLabel(QStringLiteral("Stallions:"), this));
    choice->addWidget(from_, 1);
    layout->addLayout(choice);

    model_ = new QStandardItemModel(0, kColumnCount, this);
    model_->setHorizontalHeaderLabels({QStringLiteral("Stallion"), QStringLiteral("Line"), QStringLiteral("Book")});
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("roster"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(false);
    table_->horizontalHeader()->setSectionResizeMode(kLine, QHeaderView::Stretch); // the name and the book stay whole
    table_->setToolTip(QStringLiteral("A stallion's own book: how many mares he may cover this season (empty: the "
                                      "book for all). Delete removes the stallions selected."));
    layout->addWidget(table_, 1);
    auto* remove = new QShortcut(QKeySequence::Delete, table_);
    remove->setContext(Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, &RosterPane::removeSelected);

    auto* add = new QHBoxLayout;
    typed_ = new QLineEdit(this);
    typed_->setObjectName(QStringLiteral("rosterName"));
    typed_->setPlaceholderText(QStringLiteral("a sire's name, or #ID"));
    completer_ = new SireCompleter([this] { return session_->folder().sireList(); }, this);
    completer_->attach(typed_);
    auto* addButton = new QPushButton(QStringLiteral("Add"), this);
    addButton->setObjectName(QStringLiteral("rosterAdd"));
    add->addWidget(typed_, 1);
    add->addWidget(addButton);
    layout->addLayout(add);
    auto* mine = new QPushButton(QStringLiteral("Add the colts and horses of My Horses"), this);
    mine->setObjectName(QStringLiteral("rosterAddMyHorses"));
    layout->addWidget(mine);
    notesLabel_ = new QLabel(this);
    notesLabel_->setObjectName(QStringLiteral("rosterNotes"));
    notesLabel_->setWordWrap(true);
    layout->addWidget(notesLabel_);

    connect(typed_, &QLineEdit::returnPressed, this, &RosterPane::addTyped);
    connect(addButton, &QPushButton::clicked, this, &RosterPane::addTyped);
    connect(mine, &QPushButton::clicked, this, &RosterPane::addMyHorses);
    connect(model_, &QStandardItemModel::itemChanged, this, [this](QStandardItem* item) {
        // Taken once the edit is over: the change rebuilds the rows, the edited item among them.
        if (!filling_ && item->column() == kBook)
            QMetaObject::invokeMethod(
                this, [this, row = item->row(), text = item->text()] { bookEdited(row, text); }, Qt::QueuedConnection);
    });
    connect(from_, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_)
            return;
        emit changed();
    });
    connect(roster_, &RosterStore::changed, this, [this] {
        rebuild();
        emit changed();
    });
    connect(session_, &Session::changed, this, [this] {
        completer_->refresh();
        rebuild(); // the sire list may have changed, and with it each stallion's number
    });
    rebuild();
}

bool RosterPane::usesRoster() const { return from_->currentIndex() == 1; }

void RosterPane::setUsesRoster(bool uses) { from_->setCurrentIndex(uses ? 1 : 0); }

void RosterPane::setZoom(int percent)
{
    constexpr int kWidths[] = {150, 90, 44};
    zoomTable(table_, percent, kWidths);
}

void RosterPane::rebuild()
{
    filling_ = true;
    const Roster& roster = roster_->roster();
    const SireIndex sires(readSireList(session_->folder().sireList()));
    model_->removeRows(0, model_->rowCount());
    keys_.clear();
    for (const RosterRow& row : rosterRows(roster, sires, session_->folder())) {
        auto* stallion = new QStandardItem(
            fromLatin1(row.entry.name) + (row.entry.id != 0 ? QStringLiteral(" (#%1)").arg(row.entry.id) : QString()));
        stallion->setEditable(false);
        QString line = row.usable ? QStringLiteral("%1 / %2").arg(fromLatin1(row.sire), fromLatin1(row.damSire))
                                  : QString::fromStdString(row.note);
        auto* lineItem = new QStandardItem(line);
        lineItem->setEditable(false);
        lineItem->setToolTip(QString::fromStdString(row.note));
        if (!row.usable)
            lineItem->setForeground(Qt::red);
        auto* book = new QStandardItem(row.entry.book ? QString::number(*row.entry.book) : QString());
        model_->appendRow({stallion, lineItem, book});
        keys_.push_back({row.entry.id, row.entry.id != 0 ? std::string() : row.entry.name});
    }
    // The rules as a season takes them, the colts and horses of the breeding file numbered past the sire list.
    AssignRules rules;
    std::vector<std::string> told;
    recordStallions_.clear();
    applyRoster(
        roster.stallions, sires,
        [&](const RosterEntry& entry, std::vector<std::string>& said) -> std::optional<StallionNumber> {
            const StallionLookup found = findStallion(session_->folder(), entry.id);
            if (found.status != Outcome::Done || found.stallion.name != entry.name) {
                // An ID the breeding file now gives another horse is marked, never followed.
                said.push_back("roster: " + rosterName(entry) + " is not used: " +
                               (found.status == Outcome::Done ? "horse " + std::to_string(entry.id) + " is now " +
                                                                    latin1ForMessage(found.stallion.name)
                                                              : found.error));
                return std::nullopt;
            }
            recordStallions_.push_back(found.stallion);
            return static_cast<StallionNumber>(sires.stallions().size() + recordStallions_.size() - 1);
        },
        rules, told);
    rules_ = std::move(rules);
    notes_.clear();
    for (const std::string& line : told)
        notes_ << QString::fromStdString(line);
    notesLabel_->setText(notes_.join(QLatin1Char('\n')));
    filling_ = false;
}

void RosterPane::bookEdited(int row, const QString& text)
{
    if (row < 0 || static_cast<std::size_t>(row) >= keys_.size())
        return;
    const QString trimmed = text.trimmed();
    bool number = true;
    const qlonglong value = trimmed.toLongLong(&number);
    if (!trimmed.isEmpty() && !number) {
        seam().beep();
        rebuild();
        return;
    }
    // A book below 0 is refused by the core, which says so; the row shows the book kept.
    if (!roster_->setBook(keys_[static_cast<std::size_t>(row)],
                          trimmed.isEmpty() ? std::nullopt : std::optional<std::int64_t>(value), this))
        rebuild();
}

void RosterPane::addTyped()
{
    if (typed_->text().trimmed().isEmpty()) {
        seam().beep();
        return;
    }
    if (roster_->addTyped(typed_->text(), this))
        typed_->clear();
}

void RosterPane::changeEvent(QEvent* event)
{
    // Back in the season window: take what another Quindle or a script kept meanwhile.
    if (event->type() == QEvent::ActivationChange && window()->isActiveWindow())
        roster_->catchUp(window());
    QWidget::changeEvent(event);
}

void RosterPane::addMyHorses() { roster_->addStallionsOf(stable_->stable(), this); }

void RosterPane::removeSelected()
{
    std::set<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    if (rows.empty() && table_->currentIndex().isValid())
        rows.insert(table_->currentIndex().row());
    std::vector<RosterKey> keys;
    for (const int row : rows)
        if (row >= 0 && static_cast<std::size_t>(row) < keys_.size())
            keys.push_back(keys_[static_cast<std::size_t>(row)]);
    if (keys.empty()) {
        seam().beep();
        return;
    }
    roster_->remove(keys, this);
}

} // namespace quindle::ui
