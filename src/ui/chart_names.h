#pragma once
// The names of the main window's pedigree chart answer clicks: the context
// menu offers a stallion's foals, the best mares for him, and his name as the
// Sire of a hypothetical mating; a double click does the first of these.
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QMenu;

namespace quindle::ui {

class NameBox;

class ChartNames : public QObject {
    Q_OBJECT
public:
    struct Commands {
        std::function<void(const std::string&)> foals; // the search window's foals mode
        // The planner's mares for a stallion, and the mating window's Sire box;
        // each is told the box, since the horse shown is a stallion of his own record.
        std::function<void(const std::string&, const QLineEdit*)> bestMares;
        std::function<void(const std::string&, const QLineEdit*)> useAsSire;
    };
    // `offers` says whether a box holds a stallion's name now (an empty box never does).
    ChartNames(std::vector<NameBox*> boxes, std::function<bool(const QLineEdit*)> offers, Commands commands,
               QObject* parent);

    // The entries for `box` (none when it offers nothing), in the order the
    // double click takes the first.
    void addTo(QMenu& menu, const QLineEdit* box) const;
    // Says in each box's tooltip what a double click does: call after the boxes change.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The name a box offers, as the files hold it; empty for none.
    std::string nameIn(const QLineEdit* box) const;

    std::vector<NameBox*> boxes_;
    std::function<bool(const QLineEdit*)> offers_;
    Commands commands_;
};

} // namespace quindle::ui
