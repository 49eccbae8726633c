#include "ui/ordered_rows_model.h"

#include <algorithm>

namespace quindle::ui {

void OrderedRowsModel::showInstead(std::vector<std::uint32_t>& shown, std::vector<std::uint32_t> next)
{
    std::uint32_t items = 0;
    for (const auto* list : {&shown, &next})
        for (const std::uint32_t item : *list)
            items = std::max(items, item + 1);
    std::vector<char> kept(items, 0), there(items, 0);
    for (const std::uint32_t item : next)
        kept[item] = 1;
    // Rows that go, and rows that come, are told as such: the views keep what
    // they know of the others (a whole table selected, say), which a new
    // layout with another number of rows would leave them to guess.
    for (std::size_t end = shown.size(); end > 0;) {
        if (kept[shown[end - 1]]) {
            --end;
            continue;
        }
        std::size_t first = end - 1;
        while (first > 0 && !kept[shown[first - 1]])
            --first;
        beginRemoveRows({}, static_cast<int>(first), static_cast<int>(end - 1));
        shown.erase(shown.begin() + static_cast<std::ptrdiff_t>(first),
                    shown.begin() + static_cast<std::ptrdiff_t>(end));
        endRemoveRows();
        end = first;
    }
    for (const std::uint32_t item : shown)
        there[item] = 1;
    std::vector<std::uint32_t> coming;
    for (const std::uint32_t item : next)
        if (!there[item])
            coming.push_back(item);
    if (!coming.empty()) {
        const int first = static_cast<int>(shown.size());
        beginInsertRows({}, first, first + static_cast<int>(coming.size()) - 1);
        shown.insert(shown.end(), coming.begin(), coming.end());
        endInsertRows();
    }
    if (shown == next)
        return;
    // The same rows in a new order: the selection and the current row follow them.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> rowOf(items, -1);
    for (std::size_t row = 0; row < next.size(); ++row)
        rowOf[next[row]] = static_cast<int>(row);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.push_back(this->index(rowOf[shown[static_cast<std::size_t>(index.row())]], index.column()));
    shown = std::move(next);
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace quindle::ui
