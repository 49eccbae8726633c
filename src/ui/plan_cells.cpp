#include "ui/plan_cells.h"

#include <array>
#include <vector>

#include "dosage/chart_scale.h"
#include "ui/latin1.h"
#include "ui/profile_chart.h"

namespace quindle::ui {

QString planColumnTitle(PlanColumn column)
{
    static constexpr std::array<const char*, kPlanColumns> kTitles{
        "Sire", "Sire's Sire", "Sire's Dam-Sire", "B", "I", "C", "S", "P", "Total", "Speed", "Stamina", "CD", "DI"};
    return QString::fromLatin1(kTitles[static_cast<std::size_t>(column)]);
}

QString shapeColumnTitle() { return QStringLiteral("Shape"); }

QVariant planCellData(const Plan& plan, const PlanRow& row, PlanColumn column, int role)
{
    const bool number = static_cast<int>(column) >= kPlanNameColumns;
    switch (role) {
    case Qt::DisplayRole:
        return fromLatin1(plan.cell(row, column));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(number ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        if (column != PlanColumn::Sire)
            return {};
        return QStringLiteral("%1\nSire's Sire: %2\nSire's Dam-Sire: %3\nSire's Sire's Sire: %4\nDam-Sire's Sire: %5")
            .arg(fromLatin1(plan.name(row, RowName::Sire)), fromLatin1(plan.name(row, RowName::SireSire)),
                 fromLatin1(plan.name(row, RowName::SireDamSire)), fromLatin1(plan.name(row, RowName::SireSireSire)),
                 fromLatin1(plan.name(row, RowName::DamSireSire)));
    default:
        return {};
    }
}

QVariant recordCellData(const RecordFoal& foal, PlanColumn column, int role)
{
    static constexpr std::array<std::size_t, kPlanNameColumns> kLineageIndex{0, 1, 4}; // Sire, his Sire, his Dam-Sire
    const bool number = static_cast<int>(column) >= kPlanNameColumns;
    switch (role) {
    case Qt::DisplayRole:
        return number ? fromLatin1(planNumberText(foal.numbers, column))
                      : fromLatin1(foal.lineage[kLineageIndex[static_cast<std::size_t>(column)]]);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(number ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        return column == PlanColumn::Sire ? QStringLiteral("A colt or horse of the breeding file: his lines from his "
                                                           "own record")
                                          : QVariant();
    default:
        return {};
    }
}

QVariant planShapeData(const Plan& plan, const PlanRow& row, int scale, int role)
{
    return shapeData(plan.numbersOf(row), scale, role);
}

QVariant shapeData(const PlanNumbers& numbers, int scale, int role)
{
    if (role == kGroupTotalsRole)
        return groupTotalsValue(numbers.totals);
    if (role == kChartScaleRole)
        return scale;
    if (role == Qt::ToolTipRole)
        return profileToolTip(profileOfTotals(numbers.totals));
    return {};
}

int planChartScale(const Plan& plan)
{
    std::vector<GroupTotals> totals;
    totals.reserve(plan.numbers.size());
    for (const PlanNumbers& numbers : plan.numbers)
        totals.push_back(numbers.totals);
    return commonScale(totals);
}

} // namespace quindle::ui
