#include "ui/search_model.h"

#include <algorithm>
#include <numeric>

#include "dosage/chart_scale.h"
#include "dosage/number_order.h"
#include "lookup/horse_lookup.h"
#include "ui/latin1.h"
#include "ui/profile_chart.h"

namespace quindle::ui {

namespace {

const char* const kNameHeaders[] = {"ID", "Name", "Age/Sex", "Sire", "Dam-Sire"};
const char* const kFoalHeaders[] = {"ID", "Name", "Age/Sex", "B", "I", "C", "S", "P", "Total", "DI", "CD", "Shape"};
constexpr int kFirstNumber = 3;
// The summary column of each number column (B .. CD).
constexpr SummaryColumn kColumns[] = {SummaryColumn::B, SummaryColumn::I,     SummaryColumn::C,  SummaryColumn::S,
                                      SummaryColumn::P, SummaryColumn::Total, SummaryColumn::Di, SummaryColumn::Cd};

const SummaryNumber& numberAt(const FoalProfile& foal, int column)
{
    return summaryNumber(foal.summary, kColumns[column - kFirstNumber]);
}

} // namespace

SearchModel::SearchModel(QObject* parent) : OrderedRowsModel(parent) {}

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
    std::vector<GroupTotals> totals;
    totals.reserve(foals_.size());
    for (const FoalProfile& foal : foals_)
        totals.push_back(foal.profile.groupTotal);
    scale_ = commonScale(totals);
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
    if (mode_ == Mode::Foals && column == kShapeColumn) {
        const DosageProfile& profile = foalAt(index.row()).profile;
        if (role == kGroupTotalsRole)
            return groupTotalsValue(profile.groupTotal);
        if (role == kChartScaleRole)
            return scale_;
        if (role == Qt::ToolTipRole)
            return profileToolTip(profile);
        return {};
    }
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
        return fromLatin1(numberAt(foal, column).text).trimmed();
    }
}

QVariant SearchModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount())
        return OrderedRowsModel::headerData(section, orientation, role);
    return QString::fromLatin1(mode_ == Mode::Names ? kNameHeaders[section] : kFoalHeaders[section]);
}

void SearchModel::sort(int column, Qt::SortOrder order)
{
    if (mode_ != Mode::Foals)
        return; // names stay best first
    std::vector<std::uint32_t> sorted(foals_.size());
    std::iota(sorted.begin(), sorted.end(), 0u);
    const bool down = order == Qt::DescendingOrder;
    const auto less = [&](std::uint32_t a, std::uint32_t b) {
        const FoalProfile &x = foals_[a], &y = foals_[b];
        switch (column) {
        case 0:
            return x.id < y.id;
        case 1:
            return x.name < y.name;
        case 2:
            return ageSexBefore(x.age, x.sex, y.age, y.sex);
        default:
            return x.profile.total < y.profile.total; // the shape
        }
    };
    if (column >= kFirstNumber && column < kShapeColumn)
        sortRowsByNumber(
            sorted, [&](std::uint32_t i) { return numberAt(foals_[i], column).value; }, down);
    else if (column >= 0)
        std::stable_sort(sorted.begin(), sorted.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return down ? less(b, a) : less(a, b); });
    showInstead(order_, std::move(sorted));
}

} // namespace quindle::ui
