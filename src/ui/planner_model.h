#pragma once
// The planner's table: the rows of a plan that the filters let through, in the
// order asked for. Filtering and sorting are the window-free core's; the model
// only shows their result.
#include <array>
#include <memory>
#include <vector>

#include "planner/plan_query.h"
#include "planner/sire_plan.h"
#include "ui/ordered_rows_model.h"
#include "ui/plan_cells.h"

namespace quindle::ui {

class PlannerModel : public OrderedRowsModel {
    Q_OBJECT
public:
    // The window's columns: the profile first, the sire line last.
    static constexpr const std::array<PlanColumn, kPlanColumns>& kColumns = kPlanTableColumns;

    // After the plan's own columns: the foal's five group totals in miniature.
    static constexpr int kShapeColumn = kPlanColumns;

    explicit PlannerModel(QObject* parent = nullptr);

    void setPlan(std::shared_ptr<const Plan> plan);
    // Filters and order (the query's sort is replaced by the header's).
    void setFilters(PlanQuery query);
    const std::shared_ptr<const Plan>& plan() const { return plan_; }
    const PlanQuery& query() const { return query_; }
    // The plan row shown at a table row.
    const PlanRow& planRow(int row) const { return plan_->rows[shown_[static_cast<std::size_t>(row)]]; }
    int allRows() const { return plan_ ? static_cast<int>(plan_->rows.size()) : 0; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    void select();

    std::shared_ptr<const Plan> plan_;
    PlanQuery query_;
    std::vector<std::uint32_t> shown_;
    int scale_ = 4; // of the miniature bars: one for the whole plan
};

} // namespace quindle::ui
