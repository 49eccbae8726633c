#include "ui/my_horses_model.h"

#include <QBrush>
#include <QColor>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "dosage/number_order.h"
#include "dosage/profile.h"
#include "dosage/profile_summary.h"
#include "lookup/horse_lookup.h"
#include "ui/latin1.h"

namespace quindle::ui {

namespace {

const char* const kHeaders[] = {"ID", "Name", "Age/Sex", "Sire", "Dam-Sire", "Total", "DI", "CD"};

} // namespace

void MyHorsesModel::setRows(std::vector<MyHorseRow> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    shown_.resize(rows_.size());
    std::iota(shown_.begin(), shown_.end(), 0u);
    shown_ = sortedRows(shown_);
    endResetModel();
}

void MyHorsesModel::sort(int column, Qt::SortOrder order)
{
    sortColumn_ = column;
    order_ = order;
    // From the order shown: rows alike keep the order an earlier sort gave them.
    std::vector<std::uint32_t> shown = shown_;
    if (column < 0)
        std::sort(shown.begin(), shown.end());
    showInstead(shown_, sortedRows(std::move(shown)));
}

std::vector<std::uint32_t> MyHorsesModel::sortedRows(std::vector<std::uint32_t> shown) const
{
    if (sortColumn_ < 0 || sortColumn_ >= Columns)
        return shown;
    const int column = sortColumn_;
    auto key = [column](const MyHorseRow& row) -> double {
        switch (column) {
        case Id:
            return row.checked.entry.id;
        case Total:
            return row.totalValue;
        case Di:
            return row.diValue;
        case Cd:
            return row.cdValue;
        default:
            return 0;
        }
    };
    auto text = [column](const MyHorseRow& row) -> const std::string& {
        const HorseRecord& horse = row.checked.horse;
        switch (column) {
        case Sire:
            return horse.sire;
        case DamSire:
            return horse.damSire;
        default: // the name shown first: the breeding file's, when it holds the horse
            return holdsHorse(row.checked) ? horse.name : row.checked.entry.name;
        }
    };
    const bool numeric = column == Id || column == Total || column == Di || column == Cd;
    const bool down = order_ == Qt::DescendingOrder;
    std::stable_sort(shown.begin(), shown.end(), [&](std::uint32_t i, std::uint32_t j) {
        const MyHorseRow &a = rows_[i], &b = rows_[j];
        if (numeric)
            return down ? key(b) < key(a) : key(a) < key(b);
        if (column == AgeSex) {
            const HorseRecord &x = a.checked.horse, &y = b.checked.horse;
            return down ? ageSexBefore(y.age, y.sex, x.age, x.sex) : ageSexBefore(x.age, x.sex, y.age, y.sex);
        }
        return down ? text(b) < text(a) : text(a) < text(b);
    });
    return shown;
}

int MyHorsesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int MyHorsesModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Columns; }

QVariant MyHorsesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const MyHorseRow& r = row(index.row());
    const CheckedHorse& checked = r.checked;
    const HorseRecord& horse = checked.horse;
    const bool marked = !checked.usable();
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case Id:
            return QString::number(checked.entry.id);
        case Name:
            return fromLatin1(shownName(checked));
        case AgeSex:
            return holdsHorse(checked) ? fromLatin1(ageSexText(horse.age, horse.sex)).trimmed() : QString();
        case Sire:
            return fromLatin1(horse.sire);
        case DamSire:
            return fromLatin1(horse.damSire);
        case Total:
            return fromLatin1(r.total);
        case Di:
            return fromLatin1(r.di);
        case Cd:
            return fromLatin1(r.cd);
        default:
            return {};
        }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(index.column() == Id || index.column() >= Total ? Qt::AlignRight | Qt::AlignVCenter
                                                                                   : Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        return marked ? QVariant(QBrush(QColor(0xb0, 0, 0))) : QVariant();
    case Qt::ToolTipRole:
        return marked ? QString::fromStdString(checked.message) + QStringLiteral(".\nConfirm takes the horse at the ID "
                                                                                 "as it is now; Remove drops it.")
                      : QVariant();
    default:
        return {};
    }
}

QVariant MyHorsesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < Columns)
        return QString::fromLatin1(kHeaders[section]);
    return OrderedRowsModel::headerData(section, orientation, role);
}

} // namespace quindle::ui
