#include "ui/season_form.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardItemModel>
#include <QShortcut>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "app/season_roster.h"
#include "dosage/chart_scale.h"
#include "dosage/repeated_sires.h"
#include "export/assigned_season.h"
#include "app/kept_season_plan.h"
#include "export/season_csv.h"
#include "input/id_list.h"
#include "ui/counts.h"
#include "ui/fit_text.h"
#include "ui/latin1.h"
#include "ui/plan_cells.h"
#include "ui/profile_chart.h"
#include "ui/roster_pane.h"
#include "ui/season_book.h"
#include "ui/season_rules_pane.h"
#include "ui/session.h"
#include "ui/stable_store.h"
#include "ui/table_actions.h"
#include "ui/target_boxes.h"
#include "ui/ui_seam.h"
#include "ui/zoom.h"

namespace quindle::ui {

namespace {

// A row by a colt or horse of the roster (kRowRole), whose number kRecordRole holds.
constexpr int kRecordRow = -2;
constexpr int kRecordRole = Qt::UserRole + 13;

// Rank, the planner's columns, then the foal's repeated sires: the columns of
// text. The miniature bars come after them in the model and are shown beside
// the numbers.
constexpr int kColumns = 1 + kPlanColumns + 1;
constexpr int kShapeColumn = kColumns;
constexpr int kShownShapeAt = 1 + kPlanColumns - 2; // before the Sire's Sire

// The columns' widths at 100 %, in the model's order.
constexpr std::array<int, kColumns + 1> kColumnWidths = [] {
    std::array<int, kColumns + 1> widths{};
    widths[0] = 70;
    for (std::size_t c = 0; c < kPlanColumnWidths.size(); ++c)
        widths[1 + c] = kPlanColumnWidths[c];
    widths[kColumns - 1] = 165;
    widths[kShapeColumn] = kShapeColumnWidth;
    return widths;
}();
constexpr QSize kWindowSize(1240, 600); // the table and, beside it, the roster and the rules

QString damLine(const SeasonDam& dam, std::size_t shown, std::size_t all)
{
    auto name = [](const std::string& n) { return n.empty() ? QStringLiteral("(blank)") : fromLatin1(n); };
    return QStringLiteral("%1 (%2) \u2013 Sire %3, Dam-Sire %4 \u2013 %5 of %6")
        .arg(fromLatin1(dam.name))
        .arg(dam.id)
        .arg(name(dam.lines.damSire), name(dam.lines.damDamSire))
        .arg(shown)
        .arg(countOf(static_cast<qint64>(all), QStringLiteral("stallion")));
}

} // namespace

SeasonForm::SeasonForm(Session* session, StableStore* store, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), store_(store)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Season"));
    resize(kWindowSize);
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);

    buildMares(layout);
    buildTarget(layout);
    buildRules(layout);
    buildTable(layout);
    QHBoxLayout* buttons = exportButtonRow(this, QStringLiteral("export"), [this] { exportClick(); });
    addSeasonBookActions(this, buttons, session_);
    layout->addLayout(buttons);

    connect(store_, &StableStore::changed, this, [this] {
        if (fromStable_->isChecked())
            replan();
    });
    connect(session_, &Session::changed, this, &SeasonForm::replan);
    connect(session_, &Session::folderReplaced, ids_, &QLineEdit::clear); // the old folder's horses
    connect(session_, &Session::folderReplaced, this, [this] {
        bounds_.keepFor(QStringLiteral("season"), session_->folder().dir());
        openKept(); // the new folder's season; replanned on changed
    });
    openKept();
    replan();
}

// The mares: the player's fillies and mares, or IDs typed.
void SeasonForm::buildMares(QVBoxLayout* layout)
{
    auto* mares = new QHBoxLayout;
    fromStable_ = new QRadioButton(QStringLiteral("The fillies and mares of My Horses"), this);
    fromStable_->setObjectName(QStringLiteral("fromStable"));
    fromIds_ = new QRadioButton(QStringLiteral("These IDs:"), this);
    fromIds_->setObjectName(QStringLiteral("fromIds"));
    fromStable_->setChecked(true);
    ids_ = new QLineEdit(this);
    ids_->setObjectName(QStringLiteral("damIds"));
    ids_->setPlaceholderText(QStringLiteral("e.g. 1204 88731"));
    ids_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9 ,;]*")), ids_));
    mares->addWidget(fromStable_);
    mares->addWidget(fromIds_);
    mares->addWidget(ids_, 1);
    layout->addLayout(mares);
    connect(fromStable_, &QRadioButton::toggled, this, &SeasonForm::replan);
    connect(ids_, &QLineEdit::returnPressed, this, [this] {
        if (fromIds_->isChecked())
            replan();
        else
            fromIds_->setChecked(true); // replans
    });
}

// The target, once for every mare.
void SeasonForm::buildTarget(QVBoxLayout* layout)
{
    auto* target = new QHBoxLayout;
    bounds_.build(this, target, QString(), [this] { applyTarget(); });
    bounds_.keepFor(QStringLiteral("season"), session_->folder().dir());
    sortBy_ = new QComboBox(this);
    sortBy_->setObjectName(QStringLiteral("sortBy"));
    sortBy_->addItem(QStringLiteral("sire list order"));
    for (std::size_t c = 0; c < kPlanTableColumns.size(); ++c)
        sortBy_->addItem(planColumnTitle(kPlanTableColumns[c]), static_cast<int>(kPlanTableColumns[c]));
    sortBy_->setCurrentIndex(sortBy_->findData(static_cast<int>(PlanColumn::Total)));
    descending_ = new QCheckBox(QStringLiteral("highest first"), this);
    descending_->setObjectName(QStringLiteral("descending"));
    descending_->setChecked(true);
    perMare_ = new QSpinBox(this);
    perMare_->setObjectName(QStringLiteral("perMare"));
    perMare_->setRange(1, 999);
    perMare_->setValue(static_cast<int>(kSeasonStallionsPerMare));
    target->addWidget(new QLabel(QStringLiteral("Sort by"), this));
    target->addWidget(sortBy_);
    target->addWidget(descending_);
    target->addWidget(new QLabel(QStringLiteral("Stallions per mare"), this));
    target->addWidget(perMare_);
    target->addStretch(1);
    layout->addLayout(target);
    bounds_.setSortHooks([this] { return sortShown(sortBy_, descending_); },
                         [this](const QString& key, bool down) { showSort(sortBy_, descending_, key, down); });
    connect(perMare_, &QSpinBox::valueChanged, this, &SeasonForm::applyTarget);
    connect(sortBy_, &QComboBox::currentIndexChanged, this, &SeasonForm::applyTarget);
    connect(descending_, &QCheckBox::toggled, this, &SeasonForm::applyTarget);
}

// The status line, the table and, beside it, the roster and what is kept.
void SeasonForm::buildTable(QVBoxLayout* layout)
{
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("seasonStatus"));
    status_->setWordWrap(true);
    layout->addWidget(status_);

    model_ = new QStandardItemModel(0, kColumns + 1, this);
    QStringList headers{QStringLiteral("Rank")};
    for (const PlanColumn column : kPlanTableColumns)
        headers << planColumnTitle(column);
    headers << QStringLiteral("Repeated sires") << shapeColumnTitle();
    model_->setHorizontalHeaderLabels(headers);
    tree_ = new QTreeView(this);
    tree_->setObjectName(QStringLiteral("season"));
    tree_->setModel(model_);
    tree_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setUniformRowHeights(true);
    tree_->setAllColumnsShowFocus(true);
    tree_->setExpandsOnDoubleClick(false); // activated folds a mare's row: once, not twice
    tree_->setToolTip(QStringLiteral("Enter or a double click shows the mating in the main window; Ctrl+C copies"));
    tree_->setItemDelegateForColumn(kShapeColumn, new ProfileBarsDelegate(tree_));
    tree_->header()->moveSection(kShapeColumn, kShownShapeAt);
    tree_->header()->setDefaultAlignment(Qt::AlignCenter); // the titles stand as the planner's do
    zoomColumns(tree_->header(), kZoomMin, kColumnWidths);
    connect(tree_, &QTreeView::activated, this, &SeasonForm::submit);
    auto* tableRow = new QHBoxLayout;
    tableRow->addWidget(tree_, 1);
    buildKeeping(tableRow);
    layout->addLayout(tableRow, 1);
    copyRowsOnCtrlC(tree_, this, [this] { return selectedText(); });
    // The rows into the comparison, as from the planner, each titled with its mare.
    auto* compare = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A), this);
    compare->setContext(Qt::WindowShortcut);
    connect(compare, &QShortcut::activated, this, &SeasonForm::compareSelected);
}

void SeasonForm::buildRules(QVBoxLayout* layout)
{
    auto* rules = new QHBoxLayout;
    assign_ = new QCheckBox(QStringLiteral("One stallion per mare: the best plan for the whole band"), this);
    assign_->setObjectName(QStringLiteral("assign"));
    assign_->setToolTip(QStringLiteral("Each mare gets at most one stallion of her target and no stallion more "
                                       "mares than his book; of all such plans, the one that plans the most "
                                       "mares and, among those, ranks them best"));
    book_ = new QSpinBox(this);
    book_->setObjectName(QStringLiteral("book"));
    book_->setRange(0, 999);
    book_->setSpecialValueText(QStringLiteral("no limit")); // 0
    book_->setToolTip(QStringLiteral("How many mares each stallion may cover this season"));
    noRepeats_ = new QCheckBox(QStringLiteral("No repeated sires"), this);
    noRepeats_->setObjectName(QStringLiteral("noRepeats"));
    noRepeats_->setToolTip(QStringLiteral("Leave out every pair whose foal has a sire repeated in its pedigree"));
    rules->addWidget(assign_);
    rules->addWidget(new QLabel(QStringLiteral("Book"), this));
    rules->addWidget(book_);
    rules->addWidget(noRepeats_);
    rules->addStretch(1);
    layout->addLayout(rules);
    for (QCheckBox* box : {assign_, noRepeats_})
        connect(box, &QCheckBox::toggled, this, &SeasonForm::applyTarget);
    connect(book_, &QSpinBox::valueChanged, this, &SeasonForm::applyTarget);
}

std::vector<std::pair<std::size_t, std::uint32_t>> SeasonForm::shownRows(std::size_t d) const
{
    const SeasonDam& dam = season_->dams[d];
    std::vector<std::pair<std::size_t, std::uint32_t>> rows;
    if (!plan_) {
        for (const std::uint32_t r : dam.rows)
            rows.emplace_back(rows.size() + 1, r);
        return rows;
    }
    const MareAssignment& given = plan_->mares[d];
    for (const std::uint32_t r : dam.rows)
        if (given.stallion && dam.stallion(r) == *given.stallion) {
            rows.emplace_back(given.rank, r);
            break;
        }
    // Her locked stallion may stand outside her target: his row kept beside it.
    if (rows.empty() && given.stallion)
        for (std::uint32_t r = 0; r < dam.plan.rows.size(); ++r)
            if (dam.stallion(r) == *given.stallion) {
                rows.emplace_back(given.rank, r);
                break;
            }
    return rows;
}

void SeasonForm::setZoom(int percent)
{
    applyFontZoom(this, percent);
    bounds_.setZoom(percent);
    // A mare's line is bold in the table's face, which the zoom has just changed.
    for (int r = 0; r < model_->rowCount(); ++r)
        model_->item(r)->setFont(damLineFont());
    zoomColumns(tree_->header(), percent, kColumnWidths);
    sidePanes_->setMaximumWidth(300 * percent / 100);
    if (rosterPane_)
        rosterPane_->setZoom(percent);
    zoomWindowSize(this, kWindowSize, percent);
}

QFont SeasonForm::damLineFont() const
{
    QFont bold = tree_->font();
    bold.setBold(true);
    return bold;
}

PlanQuery SeasonForm::query() const
{
    PlanQuery query;
    bounds_.readInto(query);
    const QVariant column = sortBy_->currentData();
    if (column.isValid())
        query.sortBy = static_cast<PlanColumn>(column.toInt());
    query.descending = descending_->isChecked();
    query.top = static_cast<std::size_t>(perMare_->value());
    return query;
}

void SeasonForm::replan()
{
    if (!session_->current())
        return;
    const bool stable = fromStable_->isChecked();
    const IdList typed = stable ? IdList{} : parseIdList(ids_->text().toStdString());
    const std::vector<std::int32_t>& ids = typed.ids;
    auto outcome = std::make_shared<SeasonPlan>();
    auto listError = std::make_shared<QString>();
    auto sires = std::make_shared<std::shared_ptr<const SireIndex>>();
    auto marked = std::make_shared<std::vector<MarkedEntry>>();
    // The whole planning, sire list and lookups included, runs off the window's thread.
    work_.run(
        [folder = session_->folder(), chefs = session_->sharedChefs(), horses = store_->stable(), stable, ids,
         query = query(), outcome, listError, sires, kept = kept_.season(), marked] {
            *sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
            *listError = QString::fromStdString((*sires)->error());
            *outcome = stable ? planStableSeason(checkStable(horses, folder), *sires, *chefs, query)
                              : planSeason(ids, folder, *sires, *chefs, query);
            *marked = markKept(kept, folder);
            (*outcome).chefs = chefs; // a new target plans from the season's sums
        },
        [this, outcome, listError, sires, marked, refused = typed.refused] {
            season_ = outcome;
            sires_ = *sires;
            marked_ = std::move(*marked);
            listError_ = *listError;
            refusedIds_.clear();
            for (const std::string& part : refused)
                refusedIds_ << QString::fromStdString(part);
            applyTarget(); // the target may have changed meanwhile
        });
    status_->setText(QStringLiteral("Planning\u2026"));
    status_->setToolTip({});
}

void SeasonForm::applyTarget()
{
    if (!season_)
        return;
    // The season decided looks at each mare's whole target, not its first rows:
    // the same stallion heading every list is the reason to decide at all.
    PlanQuery target = query();
    const bool decided = assign_->isChecked();
    if (decided)
        target.top.reset();
    perMare_->setEnabled(!decided);
    book_->setEnabled(decided);
    noRepeats_->setEnabled(decided);
    plan_.reset();
    rules_ = {};
    keptTold_.clear();
    if (!decided || !sires_) {
        selectSeason(*season_, target, keepTargetRows);
    } else {
        // The rules kept, with the boxes as they stand now (kept too, unless the file cannot be written).
        KeptSeason rules = kept_.season();
        rules.noRepeats = noRepeats_->isChecked();
        rules.bookForAll.reset();
        if (book_->value() > 0)
            rules.bookForAll = static_cast<std::uint32_t>(book_->value());
        const auto roster = rosterPane_ ? rosterPane_->rules() : std::nullopt;
        // Each mare's list is found again from her sums, and only its head that
        // the plan can use under these rules is made.
        KeptRules head = keptRulesOf(*season_, *sires_, rules, marked_);
        if (roster) {
            head.rules.roster = roster->roster;
            head.rules.books = roster->books;
        }
        selectSeason(*season_, target, keepHeadUnderRules(head.rules, std::move(head.lockAt), season_->dams.size()));
        const auto withRoster = [&](AssignRules& assign, std::vector<AssignMare>& mares) {
            for (SeasonDam& dam : season_->dams)
                dam.recordFoals.clear();
            if (!roster)
                return;
            assign.roster = roster->roster;
            assign.books = roster->books;
            if (!season_->dams.empty() && !rosterPane_->recordStallions().empty())
                placeRecordStallions(*season_, mares, rosterPane_->recordStallions(), *assign.roster, *sires_,
                                     *session_->sharedChefs(), target);
        };
        KeptPlan planned = planKeptSeason(*season_, *sires_, rules, marked_, withRoster);
        plan_ = std::move(planned.plan);
        keptTold_ = std::move(planned.told);
        rules_ = std::move(planned.rules);
    }
    rebuild();
}

QList<QStandardItem*> SeasonForm::stallionRow(std::size_t d, std::size_t rank, std::uint32_t r, int scale)
{
    const SeasonDam& dam = season_->dams[d];
    const PlanRow& row = dam.plan.rows[r];
    QList<QStandardItem*> cells;
    auto* first = new QStandardItem(rank > 0 ? QString::number(rank) : QStringLiteral("\u2013"));
    first->setData(static_cast<int>(d), kDamRole);
    first->setData(static_cast<int>(r), kRowRole);
    first->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    markKeptRow(d, r, first);
    cells << first;
    for (const PlanColumn column : kPlanTableColumns) {
        auto* cell = new QStandardItem;
        for (const int role : {Qt::DisplayRole, Qt::TextAlignmentRole, Qt::ToolTipRole})
            cell->setData(planCellData(dam.plan, row, column, role), role);
        cells << cell;
    }
    cells << new QStandardItem(fromLatin1(repeatsText(dam.plan.lineage(row))));
    auto* shape = new QStandardItem;
    for (const int role : {kGroupTotalsRole, kChartScaleRole, static_cast<int>(Qt::ToolTipRole)})
        shape->setData(planShapeData(dam.plan, row, scale, role), role);
    cells << shape;
    return cells;
}

// What was planned, what was left out and why, under the table's boxes.
void SeasonForm::showStatus()
{
    QStringList lines;
    if (season_->dams.empty() && season_->leftOut.empty() && refusedIds_.isEmpty())
        lines << (fromStable_->isChecked()
                      ? QStringLiteral("No filly or mare in My Horses: add some there, or type IDs.")
                      : QStringLiteral("Type the IDs of fillies and mares, then Enter."));
    else
        lines << (plan_ ? QStringLiteral("%1 of %2 given a stallion, ranks adding up to %3")
                              .arg(plan_->planned())
                              .arg(countOf(static_cast<qint64>(season_->dams.size()), QStringLiteral("mare")))
                              .arg(plan_->rankSum())
                        : countOf(static_cast<qint64>(season_->dams.size()), QStringLiteral("mare")) +
                              QStringLiteral(" planned"));
    QStringList leftOut;
    if (!refusedIds_.isEmpty())
        leftOut << QStringLiteral("Not a horse ID (1 to %1): %2")
                       .arg(kLargestId)
                       .arg(refusedIds_.join(QStringLiteral(", ")));
    for (const std::string& why : season_->leftOut)
        leftOut << QString::fromStdString(why);
    leftOut << keptMessages();
    bool cut = false;
    lines << firstLines(leftOut, &cut);
    if (!listError_.isEmpty())
        lines << QStringLiteral("The sire list could not be read to the end: ") + listError_;
    if (plan_ && rosterPane_ && rosterPane_->usesRoster())
        lines << rosterPane_->notes();
    status_->setText(lines.join(QLatin1Char('\n')));
    status_->setToolTip(cut ? leftOut.join(QLatin1Char('\n')) : QString());
}

void SeasonForm::rebuild()
{
    model_->removeRows(0, model_->rowCount());
    // One scale for every mare's bars, so shapes compare down the whole table.
    int scale = 0;
    for (const SeasonDam& dam : season_->dams)
        scale = std::max(scale, commonScale(dam.largest));
    for (std::size_t d = 0; d < season_->dams.size(); ++d) {
        const SeasonDam& dam = season_->dams[d];
        const auto rows = shownRows(d);
        const RecordFoal* byRecord =
            plan_ && plan_->mares[d].stallion ? dam.recordFoalOf(*plan_->mares[d].stallion) : nullptr;
        QString line =
            damLine(dam, plan_ ? rows.size() + (byRecord ? 1 : 0) : dam.rows.size(), season_->stallionCount()) +
            keptLine(d);
        if (plan_ && rows.empty() && !byRecord)
            line += QStringLiteral(" \u2013 ") +
                    (plan_->mares[d].outcome == MareAssignment::Outcome::AllBookedFull
                         ? QStringLiteral("no stallion: every stallion of her target is booked full")
                         : QStringLiteral("no stallion: none in her target"));
        auto* group = new QStandardItem(line);
        group->setFont(damLineFont());
        group->setData(static_cast<int>(d), kDamRole);
        group->setData(-1, kRowRole);
        QList<QStandardItem*> groupRow{group};
        for (int c = 1; c <= kColumns; ++c)
            groupRow << new QStandardItem;
        model_->appendRow(groupRow);
        for (const auto& [rank, r] : rows)
            group->appendRow(stallionRow(d, rank, r, scale));
        if (byRecord)
            group->appendRow(recordRow(d, *byRecord, scale));
        tree_->setFirstColumnSpanned(static_cast<int>(d), {}, true);
    }
    tree_->expandAll();
    showStatus();
    rulesPane_->show(kept_.season(), marked_);
}

QList<QStandardItem*> SeasonForm::recordRow(std::size_t d, const RecordFoal& foal, int scale) const
{
    QList<QStandardItem*> cells;
    auto* first = new QStandardItem(QString::number(plan_->mares[d].rank));
    first->setData(static_cast<int>(d), kDamRole);
    first->setData(kRecordRow, kRowRole);
    first->setData(foal.stallion, kRecordRole);
    first->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cells << first;
    for (const PlanColumn column : kPlanTableColumns) {
        auto* cell = new QStandardItem;
        for (const int role : {Qt::DisplayRole, Qt::TextAlignmentRole, Qt::ToolTipRole})
            cell->setData(recordCellData(foal, column, role), role);
        cells << cell;
    }
    cells << new QStandardItem(fromLatin1(repeatsText(foal.lineageViews())));
    auto* shape = new QStandardItem;
    for (const int role : {kGroupTotalsRole, kChartScaleRole, static_cast<int>(Qt::ToolTipRole)})
        shape->setData(shapeData(foal.numbers, scale, role), role);
    cells << shape;
    return cells;
}

std::optional<ChosenMating> SeasonForm::recordMating(const SeasonDam& dam, StallionNumber stallion) const
{
    const std::size_t listed = dam.plan.sires ? dam.plan.sires->stallions().size() : 0;
    if (!rosterPane_ || stallion < listed || stallion - listed >= rosterPane_->recordStallions().size())
        return std::nullopt;
    const RecordStallion& his = rosterPane_->recordStallions()[stallion - listed];
    return ChosenMating{{his.name, dam.lines.damSire, dam.lines.damDamSire}, his, {dam.id, dam.name}};
}

void SeasonForm::attachRoster(RosterStore* roster)
{
    if (rosterPane_)
        return;
    // Above the rules, in the column beside the table, which keeps its width.
    rosterPane_ = new RosterPane(session_, roster, store_, sidePanes_);
    sidePanes_->insertWidget(0, rosterPane_);
    sidePanes_->setStretchFactor(0, 3);
    sidePanes_->setStretchFactor(1, 2);
    rosterPane_->setUsesRoster(kept().useRoster);
    connect(rosterPane_, &RosterPane::changed, this, [this] {
        keepUseRoster(rosterPane_->usesRoster());
        applyTarget();
    });
    applyTarget();
}

bool SeasonForm::usesRoster() const { return rosterPane_ && rosterPane_->usesRoster(); }

void SeasonForm::setUsesRoster(bool uses)
{
    if (rosterPane_)
        rosterPane_->setUsesRoster(uses);
}

void SeasonForm::submit(const QModelIndex& index)
{
    if (!index.isValid() || !season_)
        return;
    const QModelIndex first = index.sibling(index.row(), 0);
    const int d = first.data(kDamRole).toInt();
    const int r = first.data(kRowRole).toInt();
    if (r == -1 || d < 0 || static_cast<std::size_t>(d) >= season_->dams.size()) {
        tree_->setExpanded(first, !tree_->isExpanded(first)); // a mare's row folds
        return;
    }
    if (const auto mating = matingAt(first))
        emit showMating(*mating);
}

std::optional<ChosenMating> SeasonForm::matingAt(const QModelIndex& index) const
{
    const QModelIndex first = index.sibling(index.row(), 0);
    const int d = first.data(kDamRole).toInt();
    const int r = first.data(kRowRole).toInt();
    if (!season_ || d < 0 || static_cast<std::size_t>(d) >= season_->dams.size())
        return std::nullopt;
    const SeasonDam& dam = season_->dams[static_cast<std::size_t>(d)];
    if (r == kRecordRow)
        return recordMating(dam, static_cast<StallionNumber>(first.data(kRecordRole).toUInt()));
    if (r < 0)
        return std::nullopt;
    const PlanRow& row = dam.plan.rows[static_cast<std::size_t>(r)];
    return ChosenMating{{std::string(dam.plan.name(row, RowName::Sire)), dam.lines.damSire, dam.lines.damDamSire},
                        std::nullopt,
                        {dam.id, dam.name}};
}

void SeasonForm::compareSelected()
{
    QModelIndexList rows = tree_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) {
        return a.parent().row() != b.parent().row() ? a.parent().row() < b.parent().row() : a.row() < b.row();
    });
    std::vector<Candidate> candidates;
    for (const QModelIndex& index : rows)
        if (const auto mating = matingAt(index))
            candidates.push_back(candidateOf(*mating));
    if (candidates.empty()) {
        seam().beep(); // no stallion's row selected
        return;
    }
    emit comparisonAsked(candidates);
}

QString SeasonForm::selectedText() const
{
    QModelIndexList rows = tree_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) {
        const int pa = a.parent().isValid() ? a.parent().row() : a.row();
        const int pb = b.parent().isValid() ? b.parent().row() : b.row();
        return pa != pb ? pa < pb : (a.parent().isValid() ? a.row() + 1 : 0) < (b.parent().isValid() ? b.row() + 1 : 0);
    });
    QString out;
    if (!rows.isEmpty()) { // the titles, so a pasted table says what its numbers are
        out += QStringLiteral("ID\tMare");
        for (int c = 0; c < kColumns; ++c)
            out += QLatin1Char('\t') + model_->headerData(c, Qt::Horizontal).toString();
        out += QLatin1Char('\n');
    }
    for (const QModelIndex& index : rows) {
        if (!index.parent().isValid()) {
            out += index.data().toString() + QLatin1Char('\n');
            continue;
        }
        const SeasonDam& dam = season_->dams[static_cast<std::size_t>(index.data(kDamRole).toInt())];
        out += QStringLiteral("%1\t%2").arg(dam.id).arg(fromLatin1(dam.name));
        for (int c = 0; c < kColumns; ++c)
            out += QLatin1Char('\t') + index.sibling(index.row(), c).data().toString();
        out += QLatin1Char('\n');
    }
    return out;
}

bool SeasonForm::exportTo(const QString& path)
{
    // With the columns `quindle-cli season` writes, or `season --assign` for the season decided.
    return saveWhole(this, path, QStringLiteral("season"), [this](QIODevice& file) {
        const auto write = [&file](std::string_view text) { return writeAll(file, text); };
        if (season_ && plan_)
            return writeAssignedSeasonCsv(*season_, *plan_, query().sortBy, write);
        return !season_ || writeSeasonCsv(*season_, write);
    });
}

void SeasonForm::exportClick()
{
    exportOnClick(this, QStringLiteral("Export the season"), !busy() && season_ && !season_->dams.empty(),
                  [this](const QString& path) { return exportTo(path); });
}

void SeasonForm::closeEvent(QCloseEvent* event)
{
    work_.drop();
    QWidget::closeEvent(event);
}

void SeasonForm::changeEvent(QEvent* event)
{
    // Back in this window: plan what another Quindle may have kept meanwhile.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && fromStable_ && fromStable_->isChecked())
        store_->catchUp(this);
    // And the rules another Quindle kept for this season meanwhile.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && rulesPane_)
        if (const auto again = kept_.catchUp()) {
            if (again->status == Outcome::Failed)
                seam().warning(this, QStringLiteral("Season"), QString::fromStdString(again->message));
            applyTarget();
        }
    QWidget::changeEvent(event);
}

} // namespace quindle::ui
