#include "ui/compare_form.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "dosage/repeated_sires.h"

#include "ui/busy_cursor.h"
#include "ui/compare_chart.h"
#include "ui/latin1.h"
#include "ui/note_mark.h"
#include "ui/session.h"
#include "ui/table_actions.h"
#include "ui/ui_seam.h"
#include "ui/placement.h"
#include "ui/zoom.h"

namespace quindle::ui {

namespace {

// The table's rows: the labels' row is the header, then seven names, five group totals, five numbers.
constexpr int kNameRows = kPositions;
constexpr int kFirstNumberRow = kNameRows + kGroups;
// Sizes at 100 %.
constexpr QSize kWindowSize(900, 800);
constexpr int kListHeight = 110;
constexpr int kBoundWidth = 60;
constexpr int kChartHeight = 140;
constexpr int kSwatchSize = 12;

QLineEdit* boundBox(QWidget* parent, const char* name, const QString& hint)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setPlaceholderText(hint);
    box->setMaximumWidth(kBoundWidth);
    return box;
}

// An icon is drawn smaller, never larger, than its picture.
QIcon swatch(const QColor& colour, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

} // namespace

CompareForm::CompareForm(Session* session, std::vector<Candidate>& candidates, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), candidates_(candidates)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Comparison"));
    resize(kWindowSize);
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &QWidget::close);
    // A breeding file cut again or another folder: each horse is looked up anew, so
    // no candidate stands with numbers of a file that is gone.
    connect(session_, &Session::changed, this, &CompareForm::reload);
    auto* outer = new QVBoxLayout(this);
    buildCandidates(outer);
    buildTarget(outer);
    buildContent(outer);
    addKeys();
    reload();
    fitTable();
}

void CompareForm::buildCandidates(QVBoxLayout* outer)
{
    // The candidates and what can be done with them.
    auto* top = new QHBoxLayout;
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("candidates"));
    list_->setMaximumHeight(kListHeight);
    list_->setIconSize(QSize(kSwatchSize, kSwatchSize));
    top->addWidget(list_, 1);
    auto* buttons = new QVBoxLayout;
    const auto button = [&](const QString& caption, const char* name, auto slot) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(true); // Enter presses it when it has the focus
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    button(QStringLiteral("Add Shown"), "addShown", &CompareForm::addShownRequested)
        ->setToolTip(QStringLiteral("Add the horse or foal the main window shows (Ctrl+Shift+A there)"));
    button(QStringLiteral("Up"), "up", [this] { move(list_->currentRow(), -1); });
    button(QStringLiteral("Down"), "down", [this] { move(list_->currentRow(), +1); });
    button(QStringLiteral("Remove"), "remove", [this] { remove(list_->currentRow()); });
    top->addLayout(buttons);
    outer->addLayout(top);
}

void CompareForm::buildTarget(QVBoxLayout* outer)
{
    auto* targetRow = new QHBoxLayout;
    diMin_ = boundBox(this, "diMin", QStringLiteral("min"));
    diMax_ = boundBox(this, "diMax", QStringLiteral("max"));
    cdMin_ = boundBox(this, "cdMin", QStringLiteral("min"));
    cdMax_ = boundBox(this, "cdMax", QStringLiteral("max"));
    targetRow->addWidget(new QLabel(QStringLiteral("Target DI"), this));
    targetRow->addWidget(diMin_);
    targetRow->addWidget(diMax_);
    targetRow->addWidget(new QLabel(QStringLiteral("CD"), this));
    targetRow->addWidget(cdMin_);
    targetRow->addWidget(cdMax_);
    targetRow->addStretch(1);
    auto* exportButton = new QPushButton(QStringLiteral("Export\u2026"), this);
    exportButton->setObjectName(QStringLiteral("export"));
    exportButton->setToolTip(QStringLiteral("Write the comparison as CSV, or a PNG of it"));
    exportButton->setAutoDefault(true);
    connect(exportButton, &QPushButton::clicked, this, &CompareForm::exportClick);
    targetRow->addWidget(exportButton);
    outer->addLayout(targetRow);
    for (QLineEdit* box : {diMin_, diMax_, cdMin_, cdMax_})
        connect(box, &QLineEdit::textChanged, this, &CompareForm::refresh);
}

void CompareForm::buildContent(QVBoxLayout* outer)
{
    // What an export as PNG shows: the table and the bars.
    content_ = new QWidget(this);
    content_->setObjectName(QStringLiteral("content"));
    content_->setAutoFillBackground(true);
    auto* inner = new QVBoxLayout(content_);
    inner->setContentsMargins(0, 0, 0, 0);
    table_ = new QTableWidget(content_);
    table_->setObjectName(QStringLiteral("comparison"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setToolTip(QStringLiteral("Bold: a name in more than one candidate, or the best of a row (\u2605: the "
                                      "highest, or for DI and CD the nearest the target)\n"
                                      "Dark corner: a sire repeated within the candidate"));
    table_->setItemDelegate(new NoteMarkDelegate(table_));
    // The table first: it takes the room it needs, the chart what is left.
    inner->addWidget(table_, 1);
    chart_ = new CompareChart(content_);
    chart_->setObjectName(QStringLiteral("compareChart"));
    chart_->setMinimumHeight(kChartHeight);
    chart_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    inner->addWidget(chart_, 0);
    outer->addWidget(content_, 1);
}

void CompareForm::addKeys()
{
    auto* copy = new QShortcut(QKeySequence::Copy, this);
    copy->setContext(Qt::WidgetWithChildrenShortcut);
    connect(copy, &QShortcut::activated, this, [this] { QApplication::clipboard()->setText(tabText()); });
    auto* removeKey = new QShortcut(QKeySequence::Delete, list_);
    removeKey->setContext(Qt::WidgetShortcut);
    connect(removeKey, &QShortcut::activated, this, [this] { remove(list_->currentRow()); });
}

void CompareForm::setZoom(int percent)
{
    zoom_ = percent;
    list_->setIconSize(QSize(zoomed(kSwatchSize, percent), zoomed(kSwatchSize, percent)));
    list_->setMaximumHeight(zoomed(kListHeight, percent));
    applyFontZoom(this, percent); // the table's rows and columns, and the swatches, follow the face
    for (QLineEdit* box : {diMin_, diMax_, cdMin_, cdMax_})
        box->setMaximumWidth(zoomed(kBoundWidth, percent));
    chart_->setMinimumHeight(zoomed(kChartHeight, percent));
    const bool byHand = sizedByPlayer();
    zoomWindowSize(this, kWindowSize, percent);
    if (!byHand)
        fitTable();
}

bool CompareForm::sizedByPlayer() const { return isVisible() && fitted_.isValid() && size() != fitted_; }

void CompareForm::fitTable()
{
    if (QLayout* whole = layout())
        whole->activate();
    const int frame = 2 * table_->frameWidth();
    const QSize wholeTable(table_->verticalHeader()->sizeHint().width() + table_->horizontalHeader()->length() + frame,
                           table_->horizontalHeader()->sizeHint().height() + table_->verticalHeader()->length() +
                               frame);
    QSize wanted =
        (size() + wholeTable - table_->size())
            .expandedTo(QSize(zoomed(kWindowSize.width(), zoom_), zoomed(kListHeight + kChartHeight, zoom_)));
    if (const QScreen* where = screen())
        wanted = wanted.boundedTo(where->availableGeometry().size() - QSize(16, 40)); // its title bar and borders
    resize(wanted);
    if (isVisible())
        placeOnScreen(this, frameGeometry().topLeft(), this);
    fitted_ = size();
}

void CompareForm::add(const std::vector<Candidate>& candidates)
{
    for (const Candidate& candidate : candidates)
        if (!add(candidate) && candidates_.size() >= kMostCandidates)
            return;
}

bool CompareForm::add(const Candidate& candidate)
{
    if (std::find(candidates_.begin(), candidates_.end(), candidate) != candidates_.end()) {
        seam().beep(); // already compared
        return false;
    }
    if (candidates_.size() >= kMostCandidates) {
        seam().warning(this, QStringLiteral("Quindle"),
                       QStringLiteral("At most %1 candidates are compared: remove one first.").arg(kMostCandidates));
        return false;
    }
    const bool byHand = sizedByPlayer();
    candidates_.push_back(candidate);
    {
        BusyCursor busy;
        shown_.push_back(showCandidate(candidate, session_->folder(), session_->chefs()));
    }
    // This horse, not whichever holds its ID in another data folder.
    candidates_.back().folder = session_->folder().dir();
    candidates_.back().name = shown_.back().name;
    if (!shown_.back().error.empty())
        seam().warning(this, QStringLiteral("Quindle"), QString::fromStdString(shown_.back().error));
    refresh();
    if (!byHand)
        fitTable();
    list_->setCurrentRow(static_cast<int>(shown_.size()) - 1);
    return true;
}

void CompareForm::remove(int index)
{
    if (index < 0 || index >= static_cast<int>(candidates_.size()))
        return;
    candidates_.erase(candidates_.begin() + index);
    shown_.erase(shown_.begin() + index);
    refresh();
    list_->setCurrentRow(std::min(index, static_cast<int>(shown_.size()) - 1));
}

void CompareForm::move(int index, int step)
{
    const int to = index + step;
    if (index < 0 || to < 0 || index >= static_cast<int>(candidates_.size()) ||
        to >= static_cast<int>(candidates_.size()))
        return;
    std::swap(candidates_[static_cast<std::size_t>(index)], candidates_[static_cast<std::size_t>(to)]);
    std::swap(shown_[static_cast<std::size_t>(index)], shown_[static_cast<std::size_t>(to)]);
    refresh();
    list_->setCurrentRow(to);
}

void CompareForm::reload()
{
    BusyCursor busy;
    shown_.clear();
    for (const Candidate& candidate : candidates_)
        shown_.push_back(showCandidate(candidate, session_->folder(), session_->chefs()));
    refresh();
}

CompareTarget CompareForm::target() const
{
    auto range = [](QLineEdit* low, QLineEdit* high) -> std::optional<ValueRange> {
        const auto parsed =
            parseRange((low->text().trimmed() + QLatin1Char(':') + high->text().trimmed()).toStdString());
        for (QLineEdit* box : {low, high})
            box->setStyleSheet(parsed || box->text().trimmed().isEmpty() ? QString()
                                                                         : QStringLiteral("color: #b00000"));
        return parsed;
    };
    return {range(diMin_, diMax_), range(cdMin_, cdMax_)};
}

void CompareForm::refresh()
{
    refreshList();
    const QFont bold = fillTable();
    sizeColumns(bold);
    std::vector<std::optional<DosageProfile>> profiles;
    for (const CandidateShown& c : shown_)
        profiles.push_back(c.profile);
    chart_->setProfiles(std::move(profiles));
}

void CompareForm::refreshList()
{
    const int current = list_->currentRow(); // kept while a bound is typed or the zoom changes
    list_->clear();
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        auto* item = new QListWidgetItem(swatch(candidateColour(i), list_->iconSize().width()),
                                         fromLatin1(shown_[i].label), list_);
        if (shown_[i].gone)
            item->setToolTip(QStringLiteral("No longer in the breeding file"));
    }
    list_->setCurrentRow(std::min(current, list_->count() - 1));
}

QFont CompareForm::fillTable()
{
    const auto cells = comparisonCells(shown_);
    const auto shared = sharedNames(shown_);
    // Each candidate's repeated sires, by lineage position, written as the main window's boxes write them.
    std::vector<std::array<QString, kPositions>> repeats(shown_.size());
    for (std::size_t c = 0; c < shown_.size(); ++c)
        for (const RepeatedSire& repeated : repeatedSires(shown_[c].lineage))
            for (const int position : repeated.positions)
                repeats[c][static_cast<std::size_t>(position)] =
                    QStringLiteral("Repeated sire: ") + fromLatin1(repeated.notation);
    const auto best = bestOfRows(shown_, target());
    table_->clear();
    table_->setRowCount(static_cast<int>(cells.size()) - 1);
    table_->setColumnCount(static_cast<int>(shown_.size()));
    table_->setHorizontalHeaderLabels(columnLabels());
    for (std::size_t c = 0; c < shown_.size(); ++c) {
        auto* header = table_->horizontalHeaderItem(static_cast<int>(c));
        header->setIcon(swatch(candidateColour(c), zoomed(kSwatchSize, zoom_)));
        header->setToolTip(fromLatin1(shown_[c].label));
    }
    QStringList captions;
    for (std::size_t r = 1; r < cells.size(); ++r)
        captions << fromLatin1(cells[r][0]);
    table_->setVerticalHeaderLabels(captions);
    QFont bold = table_->font();
    bold.setBold(true);
    for (std::size_t r = 1; r < cells.size(); ++r)
        for (std::size_t c = 0; c < shown_.size(); ++c) {
            const int row = static_cast<int>(r) - 1;
            table_->setItem(row, static_cast<int>(c),
                            makeCell(fromLatin1(cells[r][c + 1]), row, c, {shared[c], repeats[c], best}, bold));
        }
    return bold;
}

QTableWidgetItem* CompareForm::makeCell(const QString& text, int row, std::size_t c, const CellMarks& marks,
                                        const QFont& bold) const
{
    // Bold on yellow: a name in another candidate too, or the best of its row.
    auto* item = new QTableWidgetItem(text);
    bool marked = false;
    QStringList why;
    if (row < kNameRows) {
        const auto position = static_cast<std::size_t>(kChartOrder[static_cast<std::size_t>(row)]);
        if (marks.shared[position]) {
            marked = true;
            why << QStringLiteral("Also in another candidate");
        }
        if (!marks.repeats[position].isEmpty()) {
            item->setData(kNoteRole, marks.repeats[position]);
            why << marks.repeats[position];
        }
    }
    if (row >= kFirstNumberRow && marks.best[static_cast<std::size_t>(row - kFirstNumberRow)][c]) {
        marked = true;
        const auto which = static_cast<CompareRow>(row - kFirstNumberRow);
        why << (which == CompareRow::Di || which == CompareRow::Cd ? QStringLiteral("Nearest the target")
                                                                   : QStringLiteral("Highest of the row"));
        item->setText(item->text() + QStringLiteral(" \u2605"));
    }
    if (marked) {
        item->setFont(bold);
        item->setBackground(QColor(0xff, 0xe8, 0x99));
        item->setForeground(Qt::black);
    }
    if (!why.isEmpty())
        item->setToolTip(why.join(QLatin1Char('\n')));
    item->setTextAlignment(row < kNameRows ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

void CompareForm::sizeColumns(const QFont& bold)
{
    const QStringList labels = columnLabels();
    // Sized by the face, which the zoom changes: every name and number whole,
    // a long label cut (it stands whole in its tooltip).
    const QFontMetrics metrics(table_->font());
    const QFontMetrics boldMetrics(bold);
    const QFontMetrics titles(table_->horizontalHeader()->font());
    table_->verticalHeader()->setDefaultSectionSize(metrics.height() + 4);
    for (int c = 0; c < table_->columnCount(); ++c) {
        int cells = 0;
        for (int r = 0; r < table_->rowCount(); ++r)
            cells = std::max(cells, boldMetrics.horizontalAdvance(table_->item(r, c)->text()));
        // The swatch and the label, with room the style's hint leaves out.
        const int label = table_->horizontalHeader()->sectionSizeHint(c) + metrics.height();
        table_->setColumnWidth(c, std::max({std::min(label, metrics.averageCharWidth() * 40),
                                            cells + 2 * metrics.averageCharWidth(), metrics.averageCharWidth() * 20}));
        if (label > table_->columnWidth(c)) {
            const int room = table_->columnWidth(c) - (label - titles.horizontalAdvance(labels[c]));
            table_->horizontalHeaderItem(c)->setText(titles.elidedText(labels[c], Qt::ElideRight, room));
        }
    }
}

QStringList CompareForm::columnLabels() const
{
    QStringList labels;
    for (std::size_t c = 0; c < shown_.size(); ++c)
        labels << QStringLiteral("%1. %2").arg(c + 1).arg(fromLatin1(shown_[c].label));
    return labels;
}

QString CompareForm::tabText() const { return fromLatin1(comparisonTabText(shown_)); }

bool CompareForm::exportTo(const QString& path)
{
    return saveWhole(this, path, QStringLiteral("comparison"), [&](QIODevice& file) {
        if (path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
            return content_->grab().save(&file, "PNG");
        const QByteArray csv = tabText().isEmpty() ? QByteArray() : fromLatin1(comparisonCsv(shown_)).toUtf8();
        return file.write(csv) == csv.size();
    });
}

void CompareForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange && table_)
        refresh(); // the zoom changed the face: rows and columns follow
}

void CompareForm::exportClick()
{
    const QString path = seam().saveFileName(this, QStringLiteral("Export the comparison"),
                                             QStringLiteral("CSV files (*.csv);;PNG pictures (*.png)"));
    if (!path.isEmpty())
        exportTo(path);
}

} // namespace quindle::ui
