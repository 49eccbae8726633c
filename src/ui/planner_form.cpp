#include "ui/counts.h"
#include "ui/planner_form.h"

#include "app/mare_plan.h"
#include "planner/repeated_stallions.h"

#include <QCloseEvent>
#include <algorithm>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>

#include "export/plan_csv.h"
#include "input/edit_filter.h"
#include "ui/best_mares_pane.h"
#include "ui/edit_guard.h"
#include "ui/latin1.h"
#include "compare/comparison.h"
#include "ui/placement.h"
#include "ui/planner_model.h"
#include "ui/profile_chart.h"
#include "ui/session.h"
#include "ui/sire_completer.h"
#include "ui/table_actions.h"
#include "ui/target_boxes.h"
#include "ui/ui_seam.h"
#include "ui/zoom.h"

namespace quindle::ui {

namespace {

// The table's columns at 100 %: the stallion, ten numbers, his two sires.
constexpr int kColumnWidths[] = {190, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52, 165, 165, 60}; // the last: the shape
constexpr QSize kWindowSize(1040, 560);

QString lines(const MareLines& mare)
{
    auto shown = [](const std::string& name) { return name.empty() ? QStringLiteral("(blank)") : fromLatin1(name); };
    return QStringLiteral("foal's Dam-Sire %1, Dam's Dam-Sire %2").arg(shown(mare.damSire), shown(mare.damDamSire));
}

} // namespace

PlannerForm::PlannerForm(Session* session, std::int32_t shownHorse, QWidget* parent, StableStore* stable)
    : QWidget(parent, Qt::Window), session_(session), mareId_(shownHorse)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Mating Planner"));
    resize(kWindowSize);
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &QWidget::close);

    // Two directions: the stallions for a mare, and the mares for a stallion.
    directions_ = new QTabWidget(this);
    directions_->setObjectName(QStringLiteral("directions"));
    directions_->addTab(buildMarePage(), QStringLiteral("Stallions for a Mare"));
    mares_ = new BestMaresPane(session_, stable, directions_);
    directions_->addTab(mares_, QStringLiteral("Mares for a Stallion"));
    connect(mares_, &BestMaresPane::matingChosen, this, &PlannerForm::matingChosen);
    connect(mares_, &BestMaresPane::comparisonAsked, this, &PlannerForm::comparisonAsked);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(directions_);

    (mareId_ != 0 ? shownMare_ : typedMare_)->setChecked(true);
    connect(shownMare_, &QRadioButton::toggled, this, [this] { replan(); });
    connect(session_, &Session::changed, this, [this] { replan(); }); // a breeding file cut again
    replan();
    // Another data folder: no mare of the old one stays, and the plan is made again on the new list.
    connect(session_, &Session::folderReplaced, this, [this] {
        mareId_ = 0;
        for (QLineEdit* box : mareNames_)
            box->clear();
        bounds_.keepFor(QStringLiteral("planner"), session_->folder().dir()); // that folder's own
        replan();
    });
    if (parent)
        placeOnScreen(this, parent->pos() + QPoint(parent->width() / 3, parent->height() / 3), parent);
    // Keys go to the plan of the mare shown, or to her lines to be typed.
    if (mareId_ != 0)
        table_->setFocus();
    else
        mareNames_[0]->setFocus();
}

QWidget* PlannerForm::buildMarePage()
{
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(buildMare());
    layout->addLayout(buildFilters());
    layout->addWidget(buildTable(), 1);
    layout->addLayout(buildButtons());
    return page;
}

bool PlannerForm::busy() const { return work_.busy() || mares_->busy(); }

void PlannerForm::showMaresFor(const std::string& stallion)
{
    directions_->setCurrentWidget(mares_);
    mares_->planFor(stallion);
    mares_->table()->setFocus();
}

void PlannerForm::showMaresFor(const RecordStallion& stallion)
{
    directions_->setCurrentWidget(mares_);
    mares_->planFor(stallion);
    mares_->table()->setFocus();
}

QLayout* PlannerForm::buildMare()
{
    // The mare: the horse shown in the main window, or her lines typed.
    auto* mare = new QGridLayout;
    shownMare_ = new QRadioButton(QStringLiteral("The mare shown in the main window"), this);
    shownMare_->setObjectName(QStringLiteral("shownMare"));
    typedMare_ = new QRadioButton(QStringLiteral("Her sire and dam-sire:"), this);
    typedMare_->setObjectName(QStringLiteral("typedMare"));
    mare->addWidget(shownMare_, 0, 0);
    mare->addWidget(typedMare_, 1, 0);
    const char* names[] = {"damSire", "damDamSire"};
    const char* hints[] = {"Foal's Dam-Sire", "Dam's Dam-Sire"};
    // Completed from the sire list, and marked while not in it, as in the mating window.
    auto* sires = new SireCompleter([session = session_] { return session->folder().sireList(); }, this);
    for (std::size_t i = 0; i < mareNames_.size(); ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(names[i]));
        box->setPlaceholderText(QString::fromLatin1(hints[i]));
        box->setMaxLength(kLongestName + 1); // an overlong paste reaches the filter and is refused
        box->installEventFilter(this);
        sires->attach(box, new EditGuard(box, filterNameEdit));
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (typedMare_->isChecked())
                replan();
        });
        mare->addWidget(box, 1, 1 + static_cast<int>(i));
        mareNames_[i] = box;
    }
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("mareStatus"));
    status_->setWordWrap(true);
    mare->addWidget(status_, 0, 1, 1, 2);
    return mare;
}

QLayout* PlannerForm::buildFilters()
{
    // Filters, and how many rows they let through.
    auto* filters = new QHBoxLayout;
    bounds_.build(this, filters, QString(), [this] { applyFilters(); });
    bounds_.keepFor(QStringLiteral("planner"), session_->folder().dir());
    sireFilter_ = new QLineEdit(this);
    sireFilter_->setObjectName(QStringLiteral("sireFilter"));
    sireFilter_->setPlaceholderText(QStringLiteral("part of the name"));
    sireFilter_->setClearButtonEnabled(true);
    filters->addWidget(new QLabel(QStringLiteral("Sire"), this));
    filters->addWidget(sireFilter_, 1);
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("rowCount"));
    filters->addWidget(count_);
    connect(sireFilter_, &QLineEdit::textChanged, this, &PlannerForm::applyFilters);
    return filters;
}

QTableView* PlannerForm::buildTable()
{
    model_ = new PlannerModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("plan"));
    table_->setModel(model_);
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder); // the sire list's order first
    table_->horizontalHeader()->setSortIndicatorClearable(true);          // a third click goes back to it
    table_->setSortingEnabled(true);
    // The shape does not sort: a click on its title leaves the arrow where it was.
    connect(table_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            [this](int section, Qt::SortOrder order) {
                QHeaderView* header = table_->horizontalHeader();
                if (section != PlannerModel::kShapeColumn) {
                    sortedBy_ = {section, order};
                    return;
                }
                const QSignalBlocker quiet(header);
                header->setSortIndicator(sortedBy_.first, sortedBy_.second);
            });
    // A saved target keeps the table's order, and sets it again.
    bounds_.setSortHooks(
        [this] {
            const PlanQuery& shown = model_->query();
            return std::pair{shown.sortBy
                                 ? QString::fromLatin1(kPlanColumnKeys[static_cast<std::size_t>(*shown.sortBy)])
                                 : QString(),
                             shown.descending};
        },
        [this](const QString& key, bool descending) {
            const auto column = parseColumn(key.toStdString());
            if (!key.isEmpty() && !column)
                return; // an order of the best mares' own
            const auto at = column ? std::find(PlannerModel::kColumns.begin(), PlannerModel::kColumns.end(), *column)
                                   : PlannerModel::kColumns.end();
            table_->horizontalHeader()->setSortIndicator(
                at == PlannerModel::kColumns.end() ? -1 : static_cast<int>(at - PlannerModel::kColumns.begin()),
                descending ? Qt::DescendingOrder : Qt::AscendingOrder);
        });
    table_->setTabKeyNavigation(false); // Tab leaves the table for the buttons, as in a form
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    table_->setToolTip(QStringLiteral("Enter or a double click shows the mating in the main window; Ctrl+C copies"));
    table_->setItemDelegateForColumn(PlannerModel::kShapeColumn, new ProfileBarsDelegate(table_));
    // Shown beside the numbers it draws; its place in the model stays last.
    table_->horizontalHeader()->moveSection(PlannerModel::kShapeColumn, PlannerModel::kShapeColumn - 2);
    connect(table_, &QTableView::activated, this, [this](const QModelIndex& index) { submitRow(index.row()); });
    addMatingRowActions(table_, this,
                        {[this](int row) { submitRow(row); }, [this] { compareSelected(); },
                         [this] { return selectedText(); },
                         [this](int row) {
                             if (row >= 0 && row < model_->rowCount())
                                 emit addToRoster(matingOf(row).names[0]);
                         }});
    return table_;
}

QLayout* PlannerForm::buildButtons()
{
    return exportButtonRow(this, QStringLiteral("export"), [this] { exportClick(); });
}

void PlannerForm::setZoom(int percent)
{
    applyFontZoom(this, percent);
    bounds_.setZoom(percent);
    zoomTable(table_, percent, kColumnWidths);
    mares_->setZoom(percent);
    zoomWindowSize(this, kWindowSize, percent);
}

void PlannerForm::planForShownHorse(std::int32_t id)
{
    if (id == 0)
        return; // a foal or nothing: the mare planned for stays
    directions_->setCurrentIndex(0);
    mareId_ = id;
    if (shownMare_->isChecked())
        replan();
    else
        shownMare_->setChecked(true); // replans
}

void PlannerForm::planForLines(const QString& damSire, const QString& damDamSire)
{
    directions_->setCurrentIndex(0);
    {
        const QSignalBlocker quiet0(mareNames_[0]), quiet1(mareNames_[1]); // one plan for both
        mareNames_[0]->setText(damSire);
        mareNames_[1]->setText(damDamSire);
    }
    if (typedMare_->isChecked())
        replan();
    else
        typedMare_->setChecked(true); // replans
}

void PlannerForm::setMainWindowShows(const QString& what)
{
    shownMare_->setText(what.isEmpty()
                            ? QStringLiteral("The mare shown in the main window")
                            : QStringLiteral("The mare last shown in the main window (it now shows %1)").arg(what));
}

void PlannerForm::replan()
{
    const bool byId = shownMare_->isChecked();
    if (byId && mareId_ == 0) {
        work_.drop();
        model_->setPlan(nullptr);
        status_->setText(QStringLiteral("No horse is shown in the main window: look up a filly or mare there, "
                                        "or type her sire and dam-sire."));
        showCount();
        return;
    }
    if (!session_->current())
        return;
    const MareAsked asked{byId ? mareId_ : 0,
                          {toLatin1(mareNames_[0]->text().trimmed()), toLatin1(mareNames_[1]->text().trimmed())}};
    auto outcome = std::make_shared<MarePlan>();
    // The whole planning, sire list included, runs off the window's thread,
    // on the data the windows read now (another folder may have been chosen).
    const auto plan = [folder = session_->folder(), chefs = session_->sharedChefs(), asked, outcome] {
        *outcome = planForMare(folder, *chefs, asked);
    };
    const auto show = [this, outcome] { showPlan(*outcome); };
    status_->setText(QStringLiteral("Planning\u2026"));
    work_.run(plan, show);
}

void PlannerForm::showPlan(const MarePlan& planned)
{
    QString mare;
    if (planned.plan) {
        if (planned.mare.id != 0)
            mare = QStringLiteral("%1 (horse %2): ").arg(fromLatin1(planned.mare.name)).arg(planned.mare.id);
        mare += lines(*planned.plan->mare);
    }
    // One row a name: the player is told which names stand more than once, and which line counts.
    QStringList repeated;
    for (const RepeatedStallion& name : planned.counts.repeated)
        repeated << QString::fromStdString(repeatedText(name));
    model_->setPlan(planned.plan);
    plannedFor_ = mare;
    plannedMare_ = planned.mare;
    listCount_ = repeated.isEmpty() ? QString() : QString::fromStdString(countsText(planned.counts));
    QString said = planned.status == Outcome::Done ? mare : QString::fromStdString(planned.error);
    if (planned.status == Outcome::Done && !repeated.isEmpty())
        said += QStringLiteral("\nIn the sire list more than once (one row each): ") + repeated.first() +
                (repeated.size() > 1 ? QStringLiteral(" and %1 more").arg(repeated.size() - 1) : QString());
    status_->setText(said);
    status_->setToolTip(repeated.join(QLatin1Char('\n')));
    showCount();
    if (!planned.listError.empty())
        seam().warning(this, QStringLiteral("Quindle"),
                       QStringLiteral("The sire list could not be read to the end; the stallions read "
                                      "before the fault are shown.\n\n") +
                           QString::fromStdString(planned.listError));
}

void PlannerForm::applyFilters()
{
    PlanQuery query;
    bounds_.readInto(query);
    query.nameContains = toLatin1(sireFilter_->text().trimmed());
    model_->setFilters(std::move(query));
    showCount();
}

void PlannerForm::showCount()
{
    // Stallions and lines counted apart: a name listed twice is one row.
    count_->setText(QStringLiteral("%1 of %2%3")
                        .arg(model_->rowCount())
                        .arg(countOf(model_->allRows(), QStringLiteral("stallion")),
                             listCount_.isEmpty() ? QString() : QStringLiteral(" (list: %1)").arg(listCount_)));
}

void PlannerForm::submitRow(int row)
{
    if (row < 0 || row >= model_->rowCount())
        return;
    emit matingChosen(matingOf(row));
}

ChosenMating PlannerForm::matingOf(int row) const
{
    const PlanRow& planRow = model_->planRow(row);
    const MareLines& mare = *model_->plan()->mare;
    return {{std::string(model_->plan()->name(planRow, RowName::Sire)), mare.damSire, mare.damDamSire},
            std::nullopt,
            plannedMare_};
}

void PlannerForm::compareSelected()
{
    const QModelIndexList rows = selectedRowsInOrder(table_);
    if (rows.isEmpty() || !model_->plan()) {
        seam().beep();
        return;
    }
    std::vector<Candidate> candidates;
    for (const QModelIndex& index : rows)
        candidates.push_back(candidateOf(matingOf(index.row())));
    emit comparisonAsked(candidates);
}

QString PlannerForm::selectedText() const { return selectedRowsText(table_, plannedForLine(), kPlanColumns); }

QString PlannerForm::plannedForLine() const { return QStringLiteral("Planned for ") + plannedFor_; }

bool PlannerForm::exportTo(const QString& chosen)
{
    // A name typed without the file type gets it, as the dialog's filter says.
    return saveWhole(this, csvPath(chosen), QStringLiteral("table"), [this](QIODevice& file) {
        if (!model_->plan())
            return true;
        // Which mare the rows are for, as one quoted field above the table.
        bool ok = writeTitleLine(file, plannedForLine()) && file.write(kPlanCsvHeader) >= 0;
        PlanCsvWriter csv(*model_->plan());
        for (int row = 0; ok && row < model_->rowCount(); ++row)
            ok = writeAll(file, csv.row(model_->planRow(row)));
        return ok;
    });
}

void PlannerForm::exportClick()
{
    exportOnClick(this, QStringLiteral("Export the plan"), !work_.busy() && model_->rowCount() > 0,
                  [this](const QString& path) { return exportTo(path); });
}

void PlannerForm::closeEvent(QCloseEvent* event)
{
    work_.drop(); // results still on their way are dropped
    QWidget::closeEvent(event);
}

bool PlannerForm::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (!box || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    return handleNameKey(box, static_cast<QKeyEvent*>(event), [this] {
        typedMare_->setChecked(true);
        replan();
    });
}

} // namespace quindle::ui
