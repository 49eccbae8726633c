#include "ui/planner_model.h"

#include "dosage/chart_scale.h"
#include "ui/plan_cells.h"

namespace quindle::ui {

PlannerModel::PlannerModel(QObject* parent) : OrderedRowsModel(parent) {}

void PlannerModel::setPlan(std::shared_ptr<const Plan> plan)
{
    beginResetModel();
    plan_ = std::move(plan);
    shown_ = plan_ ? selectRows(*plan_, query_) : std::vector<std::uint32_t>{};
    scale_ = plan_ ? planChartScale(*plan_) : commonScale(std::span<const GroupTotals>{});
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

void PlannerModel::select() { showInstead(shown_, plan_ ? selectRows(*plan_, query_) : std::vector<std::uint32_t>{}); }

int PlannerModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int PlannerModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kPlanColumns + 1; }

QVariant PlannerModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const PlanRow& row = planRow(index.row());
    if (index.column() == kShapeColumn)
        return planShapeData(*plan_, row, scale_, role);
    return planCellData(*plan_, row, kColumns[static_cast<std::size_t>(index.column())], role);
}

QVariant PlannerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == kShapeColumn && role == Qt::DisplayRole)
        return shapeColumnTitle();
    if (orientation != Qt::Horizontal || section < 0 || section >= kPlanColumns)
        return OrderedRowsModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return planColumnTitle(kColumns[static_cast<std::size_t>(section)]);
    return {};
}

} // namespace quindle::ui
