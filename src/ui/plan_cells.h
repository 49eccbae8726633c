#pragma once
// What a table of a plan's rows shows, cell by cell: the titles, texts and
// alignments of the planner's columns, the sire's line in the Sire's tooltip,
// and the miniature bars' numbers. The planner's table and the season's table
// both show their rows through these, so the two read alike.
#include <QString>
#include <QVariant>
#include <array>

#include "planner/season.h"
#include "planner/sire_plan.h"

namespace quindle::ui {

// The window's order of a plan's columns: the profile first, the sire line last.
inline constexpr std::array<PlanColumn, kPlanColumns> kPlanTableColumns{
    PlanColumn::Sire, PlanColumn::B,        PlanColumn::I,          PlanColumn::C,       PlanColumn::S,
    PlanColumn::P,    PlanColumn::Total,    PlanColumn::Speed,      PlanColumn::Stamina, PlanColumn::Cd,
    PlanColumn::Di,   PlanColumn::SireSire, PlanColumn::SireDamSire};

// The widths at 100 % of those columns, and of the miniature bars' column.
inline constexpr std::array<int, kPlanColumns> kPlanColumnWidths{190, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52, 165, 165};
inline constexpr int kShapeColumnWidth = 60;

// The title of a plan column, and of the miniature bars' column.
QString planColumnTitle(PlanColumn column);
QString shapeColumnTitle();

// A cell of a plan column under `role`: its text, its alignment (numbers to
// the right) and, for the Sire, his line as a tooltip; nothing for other roles.
QVariant planCellData(const Plan& plan, const PlanRow& row, PlanColumn column, int role);

// The same for the foal of a colt or horse of the breeding file (in no sire list).
QVariant recordCellData(const RecordFoal& foal, PlanColumn column, int role);

// The miniature bars' cell under `role`: the foal's group totals, the table's
// `scale` and the profile's numbers as a tooltip.
QVariant shapeData(const PlanNumbers& numbers, int scale, int role);
// The same for a row of a plan.
QVariant planShapeData(const Plan& plan, const PlanRow& row, int scale, int role);

// The miniature bars' scale for every foal of a plan, so filtering and sorting
// never change a bar's height.
int planChartScale(const Plan& plan);

} // namespace quindle::ui
