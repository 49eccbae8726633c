#include "ui/counts.h"
#include "ui/best_mares_pane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/mares_for.h"
#include "data/sire_list.h"
#include "export/mare_csv.h"
#include "input/edit_filter.h"
#include "ui/edit_guard.h"
#include "ui/fit_text.h"
#include "ui/latin1.h"
#include "ui/mares_model.h"
#include "ui/profile_chart.h"
#include "ui/session.h"
#include "ui/sire_completer.h"
#include "ui/stable_store.h"
#include "ui/table_actions.h"
#include "ui/target_boxes.h"
#include "ui/ui_seam.h"
#include "ui/zoom.h"

namespace quindle::ui {

// What one planning found, handed from its thread to the window.
struct BestMaresPane::Outcome {
    MaresBatch mares;    // every row
    QString problem;     // why there are no rows
    QStringList leftOut; // why horses of My Horses were left out
    QString warnings;    // files read only up to a fault
};

namespace {

// The table's columns at 100 %: id, name, age, sex, her two sires, ten numbers,
// the repeated sires, the shape.
constexpr int kColumnWidths[] = {60, 190, 40, 50, 165, 165, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52, 190, 60};
constexpr int kBoundLeastWidth = 48; // room for "min" and "max"
// Typing a name plans once the player pauses: each planning reads the whole breeding file.
constexpr int kTypingPauseMs = 500;

} // namespace

BestMaresPane::BestMaresPane(Session* session, StableStore* stable, QWidget* parent)
    : QWidget(parent), session_(session), stable_(stable)
{
    auto* layout = new QVBoxLayout(this);
    auto* who = new QHBoxLayout;
    stallion_ = new QLineEdit(this);
    stallion_->setObjectName(QStringLiteral("stallion"));
    stallion_->setPlaceholderText(QStringLiteral("Sire, as in the mating window"));
    stallion_->setMaxLength(kLongestName + 1); // an overlong paste reaches the filter and is refused
    stallion_->installEventFilter(this);
    guard_ = new EditGuard(stallion_, filterNameEdit);
    (new SireCompleter([session] { return session->folder().sireList(); }, this))->attach(stallion_, guard_);
    typing_ = new QTimer(this);
    typing_->setSingleShot(true);
    typing_->setInterval(kTypingPauseMs);
    connect(typing_, &QTimer::timeout, this, &BestMaresPane::replan);
    connect(stallion_, &QLineEdit::textChanged, typing_, qOverload<>(&QTimer::start));
    onlyMine_ = new QCheckBox(QStringLiteral("Only My Horses"), this);
    onlyMine_->setObjectName(QStringLiteral("onlyMyHorses"));
    onlyMine_->setEnabled(stable_ != nullptr);
    connect(onlyMine_, &QCheckBox::toggled, this, &BestMaresPane::replan);
    if (stable_)
        connect(stable_, &StableStore::changed, this, [this] {
            if (onlyMine_->isChecked())
                replan();
        });
    who->addWidget(new QLabel(QStringLiteral("Stallion"), this));
    who->addWidget(stallion_, 1);
    who->addWidget(onlyMine_);
    layout->addLayout(who);
    auto* said = new QHBoxLayout;
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("maresStatus"));
    status_->setWordWrap(true);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("maresCount"));
    said->addWidget(status_, 1);
    said->addWidget(count_, 0, Qt::AlignTop);
    layout->addLayout(said);
    layout->addWidget(buildTarget());
    buildTable();
    layout->addWidget(table_, 1);

    layout->addLayout(exportButtonRow(this, QStringLiteral("exportMares"), [this] { exportClick(); }));

    // A new cut is planned again; another folder takes nothing of the old one.
    connect(session_, &Session::changed, this, &BestMaresPane::replan);
    connect(session_, &Session::folderReplaced, stallion_, &QLineEdit::clear);
    applyTarget();
    replan();
}

QWidget* BestMaresPane::buildTarget()
{
    auto* target = new QWidget(this);
    auto* row = new QHBoxLayout(target);
    row->setContentsMargins(0, 0, 0, 0);
    bounds_.build(target, row, QStringLiteral("mares"), [this] { applyTarget(); });
    sortBy_ = new QComboBox(target);
    sortBy_->setObjectName(QStringLiteral("maresSortBy"));
    sortBy_->addItem(QStringLiteral("file order"));
    for (int c = 0; c < kMareColumns; ++c)
        sortBy_->addItem(mareColumnTitle(c), c);
    sortBy_->setCurrentIndex(sortBy_->findData(static_cast<int>(MareColumn::Total)));
    descending_ = new QCheckBox(QStringLiteral("highest first"), target);
    descending_->setObjectName(QStringLiteral("maresDescending"));
    descending_->setChecked(true);
    top_ = new QSpinBox(target);
    top_->setObjectName(QStringLiteral("maresTop"));
    top_->setRange(0, 999999);
    top_->setSpecialValueText(QStringLiteral("all"));
    top_->setToolTip(QStringLiteral("Show only this many rows (all: every row)"));
    const auto label = [target](const char* text) { return new QLabel(QString::fromLatin1(text), target); };
    row->addWidget(label("Sort by"));
    row->addWidget(sortBy_);
    row->addWidget(descending_);
    row->addWidget(label("Top"));
    row->addWidget(top_);
    row->addStretch(1);
    // A saved target's order, when the mares have that column.
    bounds_.setSortHooks(
        [this] {
            const QVariant column = sortBy_->currentData();
            return std::pair{column.isValid()
                                 ? QString::fromLatin1(kMareColumnKeys[static_cast<std::size_t>(column.toInt())])
                                 : QString(),
                             descending_->isChecked()};
        },
        [this](const QString& key, bool descending) {
            const auto column = parseMareColumn(key.toStdString());
            if (!key.isEmpty() && !column)
                return;
            descending_->setChecked(descending);
            sortBy_->setCurrentIndex(column ? sortBy_->findData(static_cast<int>(*column)) : 0);
        });
    connect(top_, &QSpinBox::valueChanged, this, &BestMaresPane::applyTarget);
    connect(sortBy_, &QComboBox::currentIndexChanged, this, &BestMaresPane::applyTarget);
    connect(descending_, &QCheckBox::toggled, this, &BestMaresPane::applyTarget);
    return target;
}

void BestMaresPane::buildTable()
{
    model_ = new MaresModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("mares"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    table_->setToolTip(QStringLiteral("Enter or a double click shows the mating in the main window; Ctrl+C copies"));
    table_->setItemDelegateForColumn(MaresModel::kShapeColumn, new ProfileBarsDelegate(table_));
    QHeaderView* header = table_->horizontalHeader();
    // On screen the foal's numbers and their shape come before her sires, so
    // they are seen without scrolling; the model keeps the command line's order.
    const int mareSires[] = {static_cast<int>(MareColumn::DamSire), static_cast<int>(MareColumn::DamDamSire)};
    for (const int column : mareSires)
        header->moveSection(header->visualIndex(column), MaresModel::kShapeColumn);
    header->moveSection(header->visualIndex(MaresModel::kShapeColumn), kMareColumns - 2);
    header->moveSection(header->visualIndex(MaresModel::kRepeatsColumn), MaresModel::kShapeColumn);
    // The header sorts through the "Sort by" boxes, which hold the order.
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    connect(header, &QHeaderView::sectionClicked, this, &BestMaresPane::sortFromHeader);
    connect(table_, &QTableView::activated, this, [this](const QModelIndex& index) { submitRow(index.row()); });
    addMatingRowActions(
        table_, this,
        {[this](int row) { submitRow(row); }, [this] { compareSelected(); }, [this] { return selectedText(); }});
}

MaresQuery BestMaresPane::query() const
{
    MaresQuery query;
    bounds_.readInto(query);
    if (const QVariant column = sortBy_->currentData(); column.isValid())
        query.sortBy = static_cast<MareColumn>(column.toInt());
    query.descending = descending_->isChecked();
    if (top_->value() > 0)
        query.top = static_cast<std::size_t>(top_->value());
    return query;
}

void BestMaresPane::applyTarget()
{
    const MaresQuery target = query();
    QHeaderView* header = table_->horizontalHeader();
    header->setSortIndicator(target.sortBy ? static_cast<int>(*target.sortBy) : -1,
                             target.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    keepSelection([&] { model_->setQuery(target); });
    showCount();
}

void BestMaresPane::keepSelection(const std::function<void()>& change)
{
    keepSelectionAcross(table_, static_cast<int>(MareColumn::Id), change);
}

void BestMaresPane::sortFromHeader(int section)
{
    if (section >= kMareColumns) {
        applyTarget(); // the repeated sires and the shape do not sort: the indicator stays where it was
        return;
    }
    // A second click on the sorted column turns its order; a new column starts highest first.
    const bool same = sortBy_->currentData().isValid() && sortBy_->currentData().toInt() == section;
    const bool descending = same ? !descending_->isChecked() : true;
    const QSignalBlocker quiet(descending_);
    descending_->setChecked(descending);
    if (same)
        applyTarget();
    else
        sortBy_->setCurrentIndex(sortBy_->findData(section)); // applies
}

void BestMaresPane::showCount()
{
    count_->setText(
        QStringLiteral("%1 of %2").arg(model_->rowCount()).arg(countOf(model_->allRows(), QStringLiteral("mare"))));
}

void BestMaresPane::planFor(const std::string& stallion)
{
    fromFile_.reset();
    guard_->takeWhole(fromLatin1(stallion)); // picked, not typed: whatever its characters
    replan();
}

void BestMaresPane::planFor(const RecordStallion& stallion)
{
    fromFile_ = stallion;
    guard_->takeWhole(fromLatin1(stallion.name));
    replan();
}

const RecordStallion* BestMaresPane::fromFile() const
{
    return fromFile_ && stallion_->text().trimmed() == fromLatin1(fromFile_->name) ? &*fromFile_ : nullptr;
}

void BestMaresPane::showNoStallion()
{
    work_.drop();
    model_->setMares(nullptr);
    plannedFor_.clear();
    status_->setToolTip({});
    status_->setText(QStringLiteral("Type a stallion's name, or pick \u201CBest mares for\u201D on a name "
                                    "in the main window's pedigree chart."));
    showCount();
}

namespace {

// The line above the rows. A stallion of the breeding file says which line counts: his own record's.
QString plannedLine(const std::string& stallion, const RecordStallion* fromFile, bool onlyMine)
{
    return QStringLiteral("Best mares for %1%2%3")
        .arg(fromLatin1(stallion),
             fromFile ? QStringLiteral(" (%1)").arg(QString::fromStdString(stallionOrigin(*fromFile))) : QString(),
             onlyMine ? QStringLiteral(" among My Horses") : QString());
}

} // namespace

void BestMaresPane::replan()
{
    typing_->stop();
    const std::string stallion = toLatin1(stallion_->text().trimmed());
    if (stallion.empty()) {
        showNoStallion();
        return;
    }
    if (!session_->current())
        return;
    const bool onlyMine = onlyMine_->isChecked() && stable_;
    auto outcome = std::make_shared<Outcome>();
    // The sire list and the whole breeding file are read off the window's thread.
    std::shared_ptr<const RecordStallion> fromFile;
    if (const RecordStallion* him = this->fromFile())
        fromFile = std::make_shared<const RecordStallion>(*him);
    // The rows are ranked for the target shown now; a target changed meanwhile
    // orders them again in the window.
    const int version = model_->queryVersion();
    const auto plan = [this, folder = session_->folder(), chefs = session_->sharedChefs(),
                       horses = onlyMine ? stable_->stable() : Stable{}, onlyMine, stallion, fromFile, outcome,
                       target = model_->query(), version](const LatestWork::SoFar& soFar) {
        MaresAsked asked;
        asked.stallion = stallion;
        asked.fromFile = fromFile;
        if (onlyMine)
            asked.onlyOf = [&horses] { return std::optional<Stable>(horses); };
        asked.chosen = [&outcome](const MaresChosen& chosen) {
            for (const std::string& message : chosen.leftOut)
                outcome->leftOut << QString::fromStdString(message);
        };
        // The rows come into the table as they are ranked, the count growing.
        asked.batchQuery = target;
        asked.grown = [this, &soFar, version](MaresBatch batch) {
            soFar([this, version, batch = std::make_shared<MaresBatch>(std::move(batch))] {
                keepSelection([&] { model_->setMares(std::move(*batch), version); });
                showCount();
            });
        };
        const auto sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
        MaresRanked ranked = bestMaresFor(folder, *chefs, sires, asked);
        if (ranked.status != quindle::Outcome::Done) {
            outcome->problem = QString::fromStdString(ranked.error);
            if (!sires->error().empty())
                outcome->warnings += QString::fromStdString(sires->error());
            return;
        }
        for (const std::string& warning : ranked.warnings)
            outcome->warnings += QString::fromStdString(warning) + QLatin1Char('\n');
        outcome->mares = {std::move(ranked.mares), std::move(ranked.shown)};
    };
    const QString line = plannedLine(stallion, fromFile.get(), onlyMine);
    const auto show = [this, outcome, line, version] {
        keepSelection([&] {
            if (outcome->mares.mares)
                model_->setMares(std::move(outcome->mares), version);
            else
                model_->setMares(nullptr);
        });
        plannedFor_ = model_->mares() ? line : QString();
        bool cut = false;
        const QStringList lines = QStringList{line} << firstLines(outcome->leftOut, &cut);
        status_->setText(outcome->problem.isEmpty() ? lines.join(QLatin1Char('\n')) : outcome->problem);
        status_->setToolTip(outcome->problem.isEmpty() && cut ? outcome->leftOut.join(QLatin1Char('\n')) : QString());
        showCount();
        if (!outcome->warnings.isEmpty())
            seam().warning(this, QStringLiteral("Quindle"),
                           QStringLiteral("A file could not be read to the end; what was read before the fault is "
                                          "shown.\n\n") +
                               outcome->warnings.trimmed());
    };
    status_->setText(QStringLiteral("Planning\u2026"));
    status_->setToolTip({});
    work_.run(std::function<void(const LatestWork::SoFar&)>(plan), show);
}

void BestMaresPane::setZoom(int percent)
{
    bounds_.setZoom(percent, kBoundLeastWidth);
    zoomTable(table_, percent, kColumnWidths);
}

ChosenMating BestMaresPane::matingOf(int row) const
{
    const MareRow& mare = model_->mareRow(row);
    const BestMares& mares = *model_->mares();
    ChosenMating mating;
    mating.names = {mares.stallion, std::string(mares.textOf(mare, MareText::DamSire)),
                    std::string(mares.textOf(mare, MareText::DamDamSire))};
    if (mares.fromFile)
        mating.stallion = *mares.fromFile;
    mating.mare = {mare.id, std::string(mares.textOf(mare, MareText::Name))};
    return mating;
}

void BestMaresPane::submitRow(int row)
{
    if (row < 0 || row >= model_->rowCount())
        return;
    emit matingChosen(matingOf(row));
}

void BestMaresPane::compareSelected()
{
    const QModelIndexList rows = selectedRowsInOrder(table_);
    if (rows.isEmpty() || !model_->mares()) {
        seam().beep();
        return;
    }
    std::vector<Candidate> candidates;
    for (const QModelIndex& index : rows)
        candidates.push_back(candidateOf(matingOf(index.row())));
    emit comparisonAsked(candidates);
}

QString BestMaresPane::selectedText() const { return selectedRowsText(table_, plannedFor_, MaresModel::kShapeColumn); }

bool BestMaresPane::exportTo(const QString& chosen)
{
    return saveWhole(this, csvPath(chosen), QStringLiteral("table"), [this](QIODevice& file) {
        if (!model_->mares())
            return true;
        // Which stallion the rows are for, as one quoted field above the table.
        bool ok = writeTitleLine(file, plannedFor_) && file.write(kMareCsvHeader) >= 0;
        MareCsvWriter csv(*model_->mares());
        for (int row = 0; ok && row < model_->rowCount(); ++row)
            ok = writeAll(file, csv.row(model_->mareRow(row)));
        return ok;
    });
}

void BestMaresPane::exportClick()
{
    exportOnClick(this, QStringLiteral("Export the best mares"), !busy() && model_->rowCount() > 0,
                  [this](const QString& path) { return exportTo(path); });
}

bool BestMaresPane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != stallion_ || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    return handleNameKey(stallion_, static_cast<QKeyEvent*>(event), [this] { replan(); });
}

bool BestMaresPane::event(QEvent* event)
{
    // Its window back in front (a window passes this on to the panes it shows):
    // rank what another Quindle may have kept meanwhile.
    if (event->type() == QEvent::WindowActivate && stable_ && onlyMine_->isChecked())
        stable_->catchUp(window());
    return QWidget::event(event);
}

} // namespace quindle::ui
