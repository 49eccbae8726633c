#include "ui/ordered_rows_model.h"

#include <algorithm>

namespace quindle::ui {

namespace {
std::uint32_t itemCount(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
{
    std::uint32_t items = 0;
    for (const auto* list : {&a, &b})
        for (const std::uint32_t item : *list)
            items = std::max(items, item + 1);
    return items;
}
} // namespace

void OrderedRowsModel::showInstead(std::vector<std::uint32_t>& shown, std::vector<std::uint32_t> next)
{
    // Rows that go, and rows that come, are told as such, in one piece each:
    // the views keep what they know of the others (a whole table selected, say),
    // which a new layout with another number of rows would leave them to guess.
    const std::uint32_t items = itemCount(shown, next);
    std::vector<char> inNext(items, 0), inShown(items, 0);
    for (const std::uint32_t item : next)
        inNext[item] = 1;
    std::vector<std::uint32_t> staying, going;
    for (const std::uint32_t item : shown)
        (inNext[item] ? staying : going).push_back(item);
    if (!going.empty()) {
        // Those that go move to the end first, so that they go in one piece.
        const auto first = static_cast<int>(staying.size());
        staying.insert(staying.end(), going.begin(), going.end());
        if (staying != shown)
            reorder(shown, std::move(staying));
        beginRemoveRows({}, first, static_cast<int>(shown.size()) - 1);
        shown.resize(static_cast<std::size_t>(first));
        endRemoveRows();
    }
    for (const std::uint32_t item : shown)
        inShown[item] = 1;
    std::vector<std::uint32_t> coming;
    for (const std::uint32_t item : next)
        if (!inShown[item])
            coming.push_back(item);
    if (!coming.empty()) {
        const auto first = static_cast<int>(shown.size());
        beginInsertRows({}, first, first + static_cast<int>(coming.size()) - 1);
        shown.insert(shown.end(), coming.begin(), coming.end());
        endInsertRows();
    }
    if (shown != next)
        reorder(shown, std::move(next));
}

void OrderedRowsModel::reorder(std::vector<std::uint32_t>& shown, std::vector<std::uint32_t> next)
{
    // The same rows in a new order: the selection and the current row follow them.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> rowOf(itemCount(shown, next), -1);
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
