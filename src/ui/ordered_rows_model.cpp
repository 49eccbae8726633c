#include "ui/ordered_rows_model.h"

#include <algorithm>

namespace quindle::ui {

void OrderedRowsModel::showInstead(std::vector<std::uint32_t>& shown, std::vector<std::uint32_t> next)
{
    emit layoutAboutToBeChanged();
    std::uint32_t items = 0;
    for (const std::uint32_t item : shown)
        items = std::max(items, item + 1);
    std::vector<int> rowOf(items, -1);
    for (std::size_t row = 0; row < next.size(); ++row)
        if (next[row] < items)
            rowOf[next[row]] = static_cast<int>(row);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        const int row = rowOf[shown[static_cast<std::size_t>(index.row())]];
        after.push_back(row < 0 ? QModelIndex() : this->index(row, index.column()));
    }
    shown = std::move(next);
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

} // namespace quindle::ui
