#pragma once
// The table of the best mares for a stallion: the rows the core's selectMares
// picks and orders, shown as they are, with the foal's repeated sires and its
// five group totals in miniature after the number columns.
#include <QAbstractTableModel>
#include <memory>
#include <vector>

#include "planner/best_mares.h"
#include "planner/mares_in_batches.h"

namespace quindle::ui {

class MaresModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // After the mares' own columns (id .. di): the repeated sires, then the shape.
    static constexpr int kRepeatsColumn = kMareColumns;
    static constexpr int kShapeColumn = kMareColumns + 1;

    explicit MaresModel(QObject* parent = nullptr);

    void setMares(std::shared_ptr<const BestMares> mares);
    // Rows already picked and ordered off the window's thread for the query
    // of `version`: taken as they are while the query is still that one.
    void setMares(MaresBatch batch, int version);
    // Filters, order and cut, as the command line's options give them.
    void setQuery(MaresQuery query);
    // Counts the queries set.
    int queryVersion() const { return queryVersion_; }
    const std::shared_ptr<const BestMares>& mares() const { return mares_; }
    const MaresQuery& query() const { return query_; }
    // The mare shown at a table row.
    const MareRow& mareRow(int row) const { return mares_->rows[shown_[static_cast<std::size_t>(row)]]; }
    int allRows() const { return mares_ ? static_cast<int>(mares_->rows.size()) : 0; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void select();
    void takeScale();

    std::shared_ptr<const BestMares> mares_;
    MaresQuery query_;
    std::vector<std::uint32_t> shown_;
    int queryVersion_ = 0;
    int scale_ = 4; // of the miniature bars: one for every mare
};

// The header of a mares column, as the table and the sort list name it.
QString mareColumnTitle(int column);

} // namespace quindle::ui
