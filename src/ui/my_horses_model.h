#pragma once
// The "My Horses" table: each kept horse as the breeding file has it now, with
// its profile's total, DI and CD. A horse whose ID now holds another name (or
// none) shows both names and stands out until the player confirms or removes it.
#include <cstdint>
#include <string>
#include <vector>

#include "data/chef_table.h"
#include "data/data_folder.h"
#include "app/stable_rows.h"
#include "stable/stable_check.h"
#include "ui/ordered_rows_model.h"

namespace quindle::ui {

using MyHorseRow = StableRow;

class MyHorsesModel : public OrderedRowsModel {
    Q_OBJECT
public:
    enum Column { Id, Name, AgeSex, Sire, DamSire, Total, Di, Cd, Columns };

    explicit MyHorsesModel(QObject* parent = nullptr) : OrderedRowsModel(parent) {}

    void setRows(std::vector<MyHorseRow> rows);
    const MyHorseRow& row(int at) const { return rows_[shown_[static_cast<std::size_t>(at)]]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    // `shown` sorted (stably) by the header's column.
    std::vector<std::uint32_t> sortedRows(std::vector<std::uint32_t> shown) const;

    std::vector<MyHorseRow> rows_;     // in the order they were added
    std::vector<std::uint32_t> shown_; // rows_ in the table's order
    int sortColumn_ = -1;              // none: the order they were added in
    Qt::SortOrder order_ = Qt::AscendingOrder;
};

} // namespace quindle::ui
