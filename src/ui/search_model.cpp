#include "ui/search_model.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "lookup/horse_lookup.h"
#include "ui/latin1.h"

namespace quindle::ui {

namespace {

const char* const kNameHeaders[] = {"ID", "Name", "Age/Sex", "Sire", "Dam-Sire"};
const char* const kFoalHeaders[] = {"ID", "Name", "Age/Sex", "B", "I", "C", "S", "P", "Total", "DI", "CD"};
constexpr int kFirstNumber = 3;
// The summary box of each number column (B .. CD).
constexpr int kBoxes[] = {35, 36, 37, 38, 39, kTotalBox, kDiBox, kCdBox};

// A number column's value for sorting: INF above every number, none ("--") below all.
double valueOf(const FoalProfile& foal, int column)
{
    const DosageProfile& p = foal.profile;
    constexpr double kNone = -std::numeric_limits<double>::infinity();
    switch (column - kFirstNumber) {
    case 5:
        return p.total;
    case 6:
        return p.di.kind == DosageIndex::Kind::Finite     ? p.di.value
               : p.di.kind == DosageIndex::Kind::Infinite ? std::numeric_limits<double>::infinity()
                                                          : kNone;
    case 7:
        return p.cd ? *p.cd : kNone;
    default:
        return p.groupTotal[static_cast<std::size_t>(column - kFirstNumber)];
    }
}

} // namespace

SearchModel::SearchModel(QObject* parent) : QAbstractTableModel(parent) {}

void SearchModel::setNames(std::shared_ptr<const NameIndex> index, std::vector<std::uint32_t> horses)
{
    beginResetModel();
    mode_ = Mode::Names;
    index_ = std::move(index);
    horses_ = std::move(horses);
    foals_.clear();
    order_.clear();
    endResetModel();
}

void SearchModel::setFoals(std::vector<FoalProfile> foals)
{
    beginResetModel();
    mode_ = Mode::Foals;
    horses_.clear();
    foals_ = std::move(foals);
    order_.resize(foals_.size());
    std::iota(order_.begin(), order_.end(), 0u);
    endResetModel();
}

std::int32_t SearchModel::idAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return 0;
    return mode_ == Mode::Names ? index_->horse(horses_[static_cast<std::size_t>(row)]).id : foalAt(row).id;
}

int SearchModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>(mode_ == Mode::Names ? horses_.size() : foals_.size());
}

int SearchModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return mode_ == Mode::Names ? static_cast<int>(std::size(kNameHeaders)) : static_cast<int>(std::size(kFoalHeaders));
}

QVariant SearchModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const int column = index.column();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((column == 0 || (mode_ == Mode::Foals && column >= kFirstNumber))
                                       ? Qt::AlignRight | Qt::AlignVCenter
                                       : Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    if (mode_ == Mode::Names) {
        const IndexedHorse h = index_->horse(horses_[static_cast<std::size_t>(index.row())]);
        switch (column) {
        case 0:
            return QString::number(h.id);
        case 1:
            return fromLatin1(h.name);
        case 2:
            return fromLatin1(ageSexText(std::string(h.age), std::string(h.sex))).trimmed();
        case 3:
            return fromLatin1(h.sire);
        default:
            return fromLatin1(h.damSire);
        }
    }
    const FoalProfile& foal = foalAt(index.row());
    switch (column) {
    case 0:
        return QString::number(foal.id);
    case 1:
        return fromLatin1(foal.name);
    case 2:
        return fromLatin1(ageSexText(foal.age, foal.sex)).trimmed();
    default:
        return fromLatin1(foal.texts[static_cast<std::size_t>(kBoxes[column - kFirstNumber] - kGroupTotalBox)])
            .trimmed();
    }
}

QVariant SearchModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromLatin1(mode_ == Mode::Names ? kNameHeaders[section] : kFoalHeaders[section]);
}

void SearchModel::sort(int column, Qt::SortOrder order)
{
    if (mode_ != Mode::Foals)
        return; // names stay best first
    beginResetModel();
    std::iota(order_.begin(), order_.end(), 0u);
    const bool down = order == Qt::DescendingOrder;
    const auto less = [&](std::uint32_t a, std::uint32_t b) {
        const FoalProfile &x = foals_[a], &y = foals_[b];
        switch (column) {
        case 0:
            return x.id < y.id;
        case 1:
            return x.name < y.name;
        case 2:
            return ageSexText(x.age, x.sex) < ageSexText(y.age, y.sex);
        default:
            return valueOf(x, column) < valueOf(y, column);
        }
    };
    if (column >= 0)
        std::stable_sort(order_.begin(), order_.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return down ? less(b, a) : less(a, b); });
    endResetModel();
}

} // namespace quindle::ui
