#include "ui/mares_model.h"

#include "dosage/chart_scale.h"
#include "dosage/repeated_sires.h"
#include "ui/latin1.h"
#include "ui/plan_cells.h"
#include "ui/profile_chart.h"

namespace quindle::ui {

namespace {
// The foal's Dam-Sire and Dam's Dam-Sire are her Sire and Dam-Sire.
const char* const kHeaders[] = {
    "ID",    "Name",  "Age",     "Sex", "Dam-Sire", "Dam's Dam-Sire", "B",    "I", "C", "S", "P",
    "Total", "Speed", "Stamina", "CD",  "DI",       "Repeated sires", "Shape"};
} // namespace

QString mareColumnTitle(int column) { return QString::fromLatin1(kHeaders[column]); }

MaresModel::MaresModel(QObject* parent) : QAbstractTableModel(parent) {}

void MaresModel::setMares(std::shared_ptr<const BestMares> mares)
{
    mares_ = std::move(mares);
    takeScale();
    select();
}

void MaresModel::setMares(MaresBatch batch, int version)
{
    if (version != queryVersion_) {
        setMares(std::move(batch.mares));
        return;
    }
    beginResetModel();
    mares_ = std::move(batch.mares);
    takeScale();
    shown_ = std::move(batch.shown);
    endResetModel();
}

void MaresModel::takeScale()
{
    std::vector<GroupTotals> totals;
    if (mares_)
        for (const PlanNumbers& numbers : mares_->numbers)
            totals.push_back(numbers.totals);
    scale_ = commonScale(totals);
}

void MaresModel::setQuery(MaresQuery query)
{
    query_ = std::move(query);
    ++queryVersion_;
    select();
}

void MaresModel::select()
{
    // Rows come and go with the filters: a reset is cheaper than telling each.
    beginResetModel();
    shown_ = mares_ ? selectMares(*mares_, query_) : std::vector<std::uint32_t>{};
    endResetModel();
}

int MaresModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int MaresModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kShapeColumn + 1; }

QVariant MaresModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const MareRow& row = mareRow(index.row());
    const int column = index.column();
    if (column == kShapeColumn)
        return shapeData(mares_->numbersOf(row), scale_, role);
    const bool number = column == static_cast<int>(MareColumn::Id) || column == static_cast<int>(MareColumn::Age) ||
                        (column >= kMareTextColumns && column < kMareColumns);
    switch (role) {
    case Qt::DisplayRole:
        if (column == kRepeatsColumn)
            return fromLatin1(repeatsText(mares_->lineage(row)));
        if (column == static_cast<int>(MareColumn::Id))
            return QString::number(row.id);
        if (column < kMareTextColumns)
            return fromLatin1(mares_->textOf(row, static_cast<MareText>(column - 1)));
        return fromLatin1(mares_->numberText(row, static_cast<MareColumn>(column)));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(number ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (column != static_cast<int>(MareColumn::Name))
            return {};
        return QStringLiteral("%1\nHer Sire (the foal's Dam-Sire): %2\nHer Dam-Sire (the foal's Dam's Dam-Sire): %3")
            .arg(fromLatin1(mares_->textOf(row, MareText::Name)), fromLatin1(mares_->textOf(row, MareText::DamSire)),
                 fromLatin1(mares_->textOf(row, MareText::DamDamSire)));
    default:
        return {};
    }
}

QVariant MaresModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section > kShapeColumn)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return mareColumnTitle(section);
    return {};
}

} // namespace quindle::ui
