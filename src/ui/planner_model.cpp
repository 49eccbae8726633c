#include "ui/planner_model.h"

#include "ui/latin1.h"

namespace quindle::ui {

namespace {
const char* const kHeaders[] = {
    "Sire", "B", "I", "C", "S", "P", "Total", "Speed", "Stamina", "CD", "DI", "Sire's Sire", "Sire's Dam-Sire"};

} // namespace

PlannerModel::PlannerModel(QObject* parent) : QAbstractTableModel(parent) {}

void PlannerModel::setPlan(std::shared_ptr<const Plan> plan)
{
    beginResetModel();
    plan_ = std::move(plan);
    shown_ = plan_ ? selectRows(*plan_, query_) : std::vector<std::uint32_t>{};
    endResetModel();
}

void PlannerModel::setFilters(PlanQuery query)
{
    query.sortBy = query_.sortBy;
    query.descending = query_.descending;
    query_ = std::move(query);
    select();
}

void PlannerModel::sort(int column, Qt::SortOrder order)
{
    if (column >= kPlanColumns)
        return;
    // No column: the order of the sire list.
    query_.sortBy = column < 0 ? std::nullopt : std::optional(kColumns[static_cast<std::size_t>(column)]);
    query_.descending = order == Qt::DescendingOrder;
    select();
}

void PlannerModel::select()
{
    // Rows come and go with the filters: a reset is cheaper than telling each.
    beginResetModel();
    shown_ = plan_ ? selectRows(*plan_, query_) : std::vector<std::uint32_t>{};
    endResetModel();
}

int PlannerModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int PlannerModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kPlanColumns; }

QVariant PlannerModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const PlanRow& row = planRow(index.row());
    const PlanColumn column = kColumns[static_cast<std::size_t>(index.column())];
    const bool number = static_cast<int>(column) >= kPlanNameColumns;
    switch (role) {
    case Qt::DisplayRole:
        return fromLatin1(plan_->cell(row, column));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(number ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (column != PlanColumn::Sire)
            return {};
        return QStringLiteral("%1\nSire's Sire: %2\nSire's Dam-Sire: %3\nSire's Sire's Sire: %4\nDam-Sire's Sire: %5")
            .arg(fromLatin1(plan_->name(row, RowName::Sire)), fromLatin1(plan_->name(row, RowName::SireSire)),
                 fromLatin1(plan_->name(row, RowName::SireDamSire)),
                 fromLatin1(plan_->name(row, RowName::SireSireSire)),
                 fromLatin1(plan_->name(row, RowName::DamSireSire)));
    default:
        return {};
    }
}

QVariant PlannerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kPlanColumns)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(kHeaders[section]);
    return {};
}

} // namespace quindle::ui
