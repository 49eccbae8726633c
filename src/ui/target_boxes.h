#pragma once
// Pieces the planning windows share: the boxes of a range bound, reading two of
// them as a range, and the name an exported table is written under.
#include <QString>
#include <optional>

#include "planner/plan_query.h"

class QLineEdit;
class QWidget;

namespace quindle::ui {

// A narrow box for one bound of a range, named for tests.
QLineEdit* boundBox(QWidget* parent, const char* name, const QString& hint);
// The range two bound boxes give (the core's "MIN:MAX"); a bound that is not a
// number is marked red and the range left out, as are two empty boxes.
std::optional<ValueRange> rangeOfBoxes(QLineEdit* low, QLineEdit* high);
// The path with ".csv" added when it does not end so.
QString csvPath(const QString& path);

} // namespace quindle::ui
