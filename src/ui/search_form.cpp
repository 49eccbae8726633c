#include "ui/search_form.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <span>

#include "app/find_horses.h"
#include "dosage/format.h"
#include "data/file_error.h"
#include "input/id_list.h"
#include "search/foal_crop.h"
#include "search/foal_profiles.h"
#include "search/name_search.h"
#include "ui/counts.h"
#include "ui/latin1.h"
#include "ui/crop_chart.h"
#include "ui/profile_chart.h"
#include "ui/placement.h"
#include "ui/search_model.h"
#include "ui/session.h"
#include "ui/table_actions.h"
#include "ui/ui_seam.h"
#include "ui/zoom.h"

namespace quindle::ui {

namespace {

// Room for an 18-letter name with a country, and for the numbers, at 100 %.
void setColumnWidths(QTableView* table, bool foals, int zoom)
{
    static constexpr int names[] = {60, 200, 90, 200};
    static constexpr int profiles[] = {60, 200, 90, 36, 36, 36, 36, 36, 46, 50, 50, 60};
    zoomTable(table, zoom, foals ? std::span<const int>(profiles) : std::span<const int>(names));
}

} // namespace

// What a piece of work beside the window found, for the window.
struct SearchForm::Outcome {
    std::shared_ptr<const NameIndex> index;
    FoundNames names;
    std::vector<FoalProfile> foals;
    QString error;
};

SearchForm::SearchForm(Session* session, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), folder_(session->folder())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Find a Horse"));
    resize(760, 480);
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    buildQuestion(layout);
    crop_ = new CropChart(this);
    crop_->setObjectName(QStringLiteral("crop"));
    crop_->hide(); // the foals mode only
    layout->addWidget(crop_);
    layout->addWidget(buildTable(), 1);

    connect(text_, &QLineEdit::textChanged, this, &SearchForm::search);
    connect(bySire_, &QRadioButton::toggled, this, &SearchForm::search);

    connect(session_, &Session::changed, this, &SearchForm::reload);
    connect(session_, &Session::folderReplaced, text_, &QLineEdit::clear); // nothing of the old folder stays
    reload();
    if (parent)
        placeOnScreen(this, parent->pos() + QPoint(parent->width() / 4, parent->height() / 4), parent);
}

void SearchForm::buildQuestion(QVBoxLayout* layout)
{
    auto* top = new QHBoxLayout;
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("findText"));
    text_->setPlaceholderText(QStringLiteral("name, or part of it"));
    text_->setClearButtonEnabled(true);
    text_->installEventFilter(this);
    byName_ = new QRadioButton(QStringLiteral("Horses by name"), this);
    byName_->setObjectName(QStringLiteral("byName"));
    bySire_ = new QRadioButton(QStringLiteral("Foals of the sire"), this);
    bySire_->setObjectName(QStringLiteral("bySire"));
    byName_->setChecked(true);
    top->addWidget(text_, 1);
    top->addWidget(byName_);
    top->addWidget(bySire_);
    layout->addLayout(top);
    auto* countRow = new QHBoxLayout;
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("findCount"));
    countRow->addWidget(count_, 1);
    // A long list is cut for speed; the rest comes on request.
    showAll_ = new QPushButton(this);
    showAll_->setObjectName(QStringLiteral("showAll"));
    showAll_->setAutoDefault(true);
    showAll_->hide();
    connect(showAll_, &QPushButton::clicked, this, [this] { searchUpTo(std::numeric_limits<std::size_t>::max()); });
    countRow->addWidget(showAll_);
    layout->addLayout(countRow);
}

QTableView* SearchForm::buildTable()
{
    model_ = new SearchModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("found"));
    table_->setModel(model_);
    table_->setItemDelegateForColumn(SearchModel::kShapeColumn, new ProfileBarsDelegate(table_));
    table_->horizontalHeader()->setSortIndicatorClearable(true); // a third click: the foals in file order again
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setToolTip(QStringLiteral("Enter or a double click shows the horse in the main window"));
    connect(table_, &QTableView::activated, this, [this](const QModelIndex& index) { pick(index.row()); });
    addRowActions();
    return table_;
}

void SearchForm::keepCurrent()
{
    const QModelIndex current = table_->currentIndex();
    const std::int32_t id = current.isValid() ? model_->idAt(current.row()) : 0;
    if (id >= 1 && id <= kLargestId)
        emit addToMyHorses(id);
    else
        seam().beep();
}

void SearchForm::addRowActions()
{
    // Ctrl+D and the context menu keep the horse of the row in My Horses.
    auto* keep = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), table_);
    keep->setContext(Qt::WidgetShortcut);
    connect(keep, &QShortcut::activated, this, &SearchForm::keepCurrent);
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (!table_->indexAt(at).isValid())
            return;
        table_->setCurrentIndex(table_->indexAt(at));
        QMenu menu(this);
        menu.addAction(QStringLiteral("Show in the main window"), this, [this] { pick(table_->currentIndex().row()); });
        menu.addAction(QStringLiteral("Add to My Horses"), this, &SearchForm::keepCurrent)
            ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
        menu.addAction(QStringLiteral("Add to the Roster"), this, [this] {
            const std::int32_t id = model_->idAt(table_->currentIndex().row());
            if (id >= 1 && id <= kLargestId)
                emit addToRoster(id);
            else
                seam().beep();
        });
        menu.exec(table_->viewport()->mapToGlobal(at));
    });
}

void SearchForm::setZoom(int percent)
{
    zoom_ = percent;
    applyFontZoom(this, percent);
    setColumnWidths(table_, bySire_->isChecked(), zoom_);
    crop_->setMinimumHeight(zoomed(CropChart::kHeight, percent));
    zoomWindowSize(this, QSize(760, 480), percent);
}

void SearchForm::showFoalsOf(const QString& sire)
{
    {
        const QSignalBlocker quiet(text_); // one search, for the name and the mode together
        text_->setText(sire);
    }
    if (bySire_->isChecked())
        search();
    else
        bySire_->setChecked(true); // searches
}

void SearchForm::reload()
{
    // The index is read (or made again) beside the window, once for each
    // breeding file the windows answer from.
    folder_ = session_->folder();
    chefs_ = session_->sharedChefs();
    index_.reset();
    count_->setText(QStringLiteral("Reading the name index\u2026"));
    start(
        [folder = folder_](Outcome& outcome) {
            NameIndexRead read = readNameIndexCuttingAgain(folder);
            outcome.index = std::move(read.index);
            outcome.error = QString::fromStdString(read.error);
        },
        [this](Outcome& outcome) {
            if (!outcome.error.isEmpty()) {
                count_->setText(QStringLiteral("No search: %1").arg(outcome.error));
                return;
            }
            index_ = outcome.index;
            search();
        });
}

void SearchForm::start(const std::function<void(Outcome&)>& work, const std::function<void(Outcome&)>& done)
{
    auto outcome = std::make_shared<Outcome>();
    work_.run([work, outcome] { work(*outcome); }, [done, outcome] { done(*outcome); });
}

void SearchForm::search() { searchUpTo(kShownRows); }

void SearchForm::searchUpTo(std::size_t limit)
{
    showAll_->hide();
    if (!index_)
        return; // searched when the index is there
    const std::string text = toLatin1(text_->text());
    const bool foals = bySire_->isChecked();
    // Every list opens in file order, as `quindle-cli foals` prints it: no
    // column sorted, before sorting is allowed (which sorts by the arrow).
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setSortingEnabled(foals);
    if (!foals)
        crop_->hide();
    if (text.empty()) {
        work_.drop();
        model_->setNames(index_, {});
        crop_->hide();
        count_->setText(foals ? QStringLiteral("Type a sire's whole name")
                              : QStringLiteral("Type a name or part of it"));
        return;
    }
    if (!foals) {
        start(
            [index = index_, text, limit](Outcome& outcome) { outcome.names = findHorses(*index, text, limit).names; },
            [this](Outcome& outcome) {
                model_->setNames(index_, std::move(outcome.names.horses));
                setColumnWidths(table_, false, zoom_);
                const auto total = static_cast<qulonglong>(outcome.names.total);
                const bool cut = model_->rowCount() < static_cast<int>(total);
                count_->setText(cut ? QStringLiteral("%1 of %2 horses").arg(model_->rowCount()).arg(total)
                                    : countOf(static_cast<qint64>(total), QStringLiteral("horse")));
                showAll_->setText(QStringLiteral("Show all %1").arg(total));
                showAll_->setVisible(cut);
            });
        return;
    }
    // The index says at once whether the name is a sire; only then are the
    // foals' profiles read from the breeding file, shown as they are found.
    auto outcome = std::make_shared<Outcome>();
    const auto read = [this, index = index_, chefs = chefs_, breeding = folder_.breedingFile(), text,
                       outcome](const LatestWork::SoFar& soFar) {
        if (foalsOf(*index, text).empty())
            return;
        const auto grown = [this, &soFar](const std::vector<FoalProfile>& foals) {
            soFar([this, foals = std::make_shared<std::vector<FoalProfile>>(foals)] {
                showFoals(std::move(*foals), false);
            });
        };
        try {
            outcome->foals = foalProfiles(breeding, *chefs, text, grown);
        } catch (const FileError& e) {
            outcome->error = QString::fromStdString(e.what());
        }
    };
    work_.run(std::function<void(const LatestWork::SoFar&)>(read), [this, outcome] {
        showFoals(std::move(outcome->foals), true);
        if (!outcome->error.isEmpty())
            count_->setText(outcome->error);
    });
}

void SearchForm::showFoals(std::vector<FoalProfile> foals, bool all)
{
    QString summary = QString::fromStdString(foalsSummary(foals.size(), averagesOf(foals)));
    if (!all)
        summary += QStringLiteral(" so far, reading on\u2026");
    count_->setText(summary);
    // Foals coming in keep the ones the player has chosen (the ID is the first column).
    keepSelectionAcross(table_, 0, [&] {
        model_->setFoals(std::move(foals));
        const QHeaderView* header = table_->horizontalHeader();
        model_->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
    });
    setColumnWidths(table_, true, zoom_);
    crop_->setVisible(!model_->foals().empty());
    markShownFoal(shownFoal_);
}

void SearchForm::markShownFoal(std::int32_t id)
{
    shownFoal_ = id;
    if (model_->mode() != SearchModel::Mode::Foals)
        return;
    std::optional<CropPlace> shown;
    for (const FoalProfile& foal : model_->foals())
        if (id != 0 && foal.id == id)
            shown = placeOf(foal.profile);
    crop_->setCrop(cropOf(model_->foals()), shown);
}

void SearchForm::pick(int row)
{
    // Rows of the text before the last key, or of a breeding file the game has
    // since replaced (the list is made again from the new one): not picked.
    if (work_.busy() || session_->refreshIfChanged() != DataSession::Refresh::Unchanged) {
        seam().beep();
        return;
    }
    const std::int32_t id = model_->idAt(row);
    if (id < 1 || id > kLargestId) {
        seam().beep(); // the ID box takes one to six digits
        return;
    }
    emit horseChosen(id);
}

bool SearchForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == text_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const QModelIndex current = table_->currentIndex();
            pick(current.isValid() ? current.row() : 0);
            return true;
        }
        if (key == Qt::Key_Down && model_->rowCount() > 0) {
            table_->setFocus();
            table_->selectRow(0);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SearchForm::closeEvent(QCloseEvent* event)
{
    work_.drop(); // results still on their way are dropped
    QWidget::closeEvent(event);
}

} // namespace quindle::ui
