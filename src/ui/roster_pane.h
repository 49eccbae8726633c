#pragma once
// The roster pane of the season window: which stallions the season decided may
// use (the whole sire list, or the player's roster: the season window keeps the
// choice with the season of its data folder), the roster's stallions with their lines and books, and what adds to
// it: a typed name (completed from the sire list) or #ID, and the colts and
// horses of My Horses in one step. Each change is one call of the core's
// RosterBook through the shared RosterStore.
#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "main_state/record_stallion.h"
#include "planner/season_assign.h"
#include "stable/roster_file.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QStandardItemModel;
class QTableView;

namespace quindle::ui {

class RosterStore;
class Session;
class SireCompleter;
class StableStore;

class RosterPane : public QWidget {
    Q_OBJECT
public:
    RosterPane(Session* session, RosterStore* roster, StableStore* stable, QWidget* parent);

    // Whether the season keeps to the roster; kept per data folder.
    bool usesRoster() const;
    void setUsesRoster(bool uses);
    // The table's rows and columns at the season window's zoom.
    void setZoom(int percent);
    // The season's rules for the roster when it is used: `roster` and the
    // stallions' own books, numbered by the sire list read now; none otherwise.
    std::optional<AssignRules> rules() const { return usesRoster() ? rules_ : std::nullopt; }
    // The roster's colts and horses of the breeding file as the rules number
    // them: past the sire list's stallions, in this order.
    const std::vector<RecordStallion>& recordStallions() const { return recordStallions_; }
    // What the roster's use says: names the sire list does not hold, a book of 0...
    QStringList notes() const { return notes_; }

    QTableView* table() const { return table_; }
    QLineEdit* typed() const { return typed_; }

    // The typed stallion into the roster (Enter in the box, or Add).
    void addTyped();
    void addMyHorses();
    // Removes the selected stallions (Delete).
    void removeSelected();

signals:
    // The roster or the choice changed: the plan is made again.
    void changed();

protected:
    void changeEvent(QEvent* event) override;

private:
    void rebuild();
    void bookEdited(int row, const QString& text);

    Session* session_;
    RosterStore* roster_;
    StableStore* stable_;
    QComboBox* from_ = nullptr;
    QTableView* table_ = nullptr;
    QStandardItemModel* model_ = nullptr;
    QLineEdit* typed_ = nullptr;
    QLabel* notesLabel_ = nullptr;
    SireCompleter* completer_ = nullptr;
    std::optional<AssignRules> rules_;
    std::vector<RecordStallion> recordStallions_;
    QStringList notes_;
    std::vector<RosterKey> keys_; // the key of each row shown
    bool filling_ = false;        // the model is being filled: its changes are not edits
};

} // namespace quindle::ui
