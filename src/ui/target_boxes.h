#pragma once
// Pieces the planning windows share: the boxes of a range bound, reading two of
// them as a range, the boxes a target starts with, and the name an exported
// table is written under.
#include <QSpinBox>
#include <QString>
#include <functional>
#include <utility>
#include <optional>
#include <string>

#include "app/saved_targets.h"
#include "planner/plan_query.h"

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QWidget;

namespace quindle::ui {

// A narrow box for one bound of a range, named for tests.
QLineEdit* boundBox(QWidget* parent, const char* name, const QString& hint);
// The range two bound boxes give (the core's "MIN:MAX"); a bound that is not a
// number is marked red and the range left out, as are two empty boxes.
std::optional<ValueRange> rangeOfBoxes(QLineEdit* low, QLineEdit* high);
// The boxes a planning window's target starts with: DI and CD, each a range of
// two bound boxes, and the least total.
class TargetBoxes {
public:
    // Builds them in `parent` and adds them with their labels to `row`, named
    // diMin, diMax, cdMin, cdMax and minTotal (after `prefix` when one is given:
    // maresDiMin). `changed` runs whenever one of them changes.
    void build(QWidget* parent, QBoxLayout* row, const QString& prefix, const std::function<void()>& changed);
    // Puts the ranges and the least total they give into a query.
    template <class Query>
    void readInto(Query& query) const
    {
        query.di = rangeOfBoxes(diMin_, diMax_);
        query.cd = rangeOfBoxes(cdMin_, cdMax_);
        if (minTotal_->value() > 0)
            query.minTotal = minTotal_->value();
    }
    // Keeps what the boxes hold between runs, for each data folder apart, under
    // the window's `name`: the boxes take what was kept for `folder` (without
    // `changed`), and each change from now on is kept.
    void keepFor(const QString& name, const std::string& folder);
    // How the window reads and sets its order, so a saved target keeps it: the
    // column's key ("total"; empty for the list's order) and whether highest first.
    void setSortHooks(std::function<std::pair<QString, bool>()> read, std::function<void(const QString&, bool)> apply);
    // Scales the bound boxes' widths to the zoom; `least` (at 100 %) keeps
    // them from shrinking below it when given.
    void setZoom(int percent, int least = 0) const;

private:
    // The targets known by name, offered in a list that fills the boxes, with
    // the player's own after them and the items that save and remove those.
    QComboBox* namedTargetsBox(QWidget* parent, const QString& objectName);
    void fillNamedTargets();
    void chooseNamed(int index);
    // The target the window shows now, without a name.
    SavedTarget shownTarget() const;
    void saveShown();
    void removeShown();

    QLineEdit* diMin_ = nullptr;
    QLineEdit* diMax_ = nullptr;
    QLineEdit* cdMin_ = nullptr;
    QLineEdit* cdMax_ = nullptr;
    QSpinBox* minTotal_ = nullptr;
    QComboBox* named_ = nullptr;
    QWidget* parent_ = nullptr;
    std::function<std::pair<QString, bool>()> readSort_;
    std::function<void(const QString&, bool)> applySort_;
    QString key_; // where the boxes are kept; empty while they are not
    void save() const;
};

// The order a window shows in a list of the planner's columns (their numbers
// as item data, none for the list's own order) and a "highest first" box, as
// the column's key; and that order set from a key.
std::pair<QString, bool> sortShown(const QComboBox* sortBy, const QCheckBox* descending);
void showSort(QComboBox* sortBy, QCheckBox* descending, const QString& key, bool down);

// The path with ".csv" added when its name has no dot, as the save dialog does.
QString csvPath(const QString& path);

} // namespace quindle::ui
