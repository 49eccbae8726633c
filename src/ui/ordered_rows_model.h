#pragma once
// A flat table that shows the items of a list of its own, by number, in an
// order of its own (a sort, a filter). A new order is told to the views as a
// new layout rather than a reset, so the selection and the current row stay
// with their items; an item filtered out leaves them.
#include <QAbstractTableModel>
#include <cstdint>
#include <vector>

namespace quindle::ui {

class OrderedRowsModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

protected:
    // Shows `next` in place of `shown`: the items' numbers, row by row, each at
    // most once. Rows that leave or come are told as removed or inserted (each in
    // one piece), the new order as a new layout.
    void showInstead(std::vector<std::uint32_t>& shown, std::vector<std::uint32_t> next);

private:
    // `next` holds the items of `shown` in another order.
    void reorder(std::vector<std::uint32_t>& shown, std::vector<std::uint32_t> next);
};

} // namespace quindle::ui
