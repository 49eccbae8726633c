#pragma once
// SubForm ("Enter Lineage"): three name boxes for a hypothetical foal's Sire,
// Dam-Sire and Dam's Dam-Sire; Submit shows the foal in the main window.
#include <QWidget>
#include <array>

#include <optional>

#include "main_state/chosen_mating.h"
#include "main_state/mating.h"
#include "compare/comparison.h"

class QLineEdit;
class QPushButton;

namespace quindle::ui {

class EditGuard;
class Session;
class SireCompleter;

class SubForm : public QWidget {
    Q_OBJECT
public:
    // The sire names it completes are those of the session's folder.
    SubForm(Session* session, QWidget* parent);

    void submitClick();
    void subClearClick();
    // Adds the typed mating to the comparison.
    void compareClick();
    // Puts names picked elsewhere into the three boxes, each taken whole.
    void setNames(const MatingNames& names);
    // The same for a whole mating: his record and her name go with the names
    // while the boxes hold them.
    void setChosen(const ChosenMating& mating);
    // A colt or horse of the breeding file in the Sire box: his own record
    // gives the Sire's side while the box holds his name.
    void useSireFromFile(const RecordStallion& stallion);
    // The Sire of the breeding file the Sire box holds now, if any.
    const RecordStallion* sireFromFile() const;
    // The names a blank box keeps from the horse shown, as its greyed placeholder.
    void showKept(const MatingNames& kept);
    // The mating the boxes hold, as Submit sends it.
    ChosenMating chosen() const;

    QLineEdit* box(int index) const { return boxes_[static_cast<std::size_t>(index)]; }
    QPushButton* submitButton() const { return submit_; }
    QPushButton* clearButton() const { return clear_; }
    QString lastGoodName(int index) const;
    SireCompleter* sires() const { return sires_; }

signals:
    // The typed mating is to be added to the comparison.
    void comparisonAsked(const ChosenMating& mating);
    // Submit: the foal of this mating is to be shown.
    void submitted(const ChosenMating& mating);
    // Ctrl+M: the mating planner is wanted.
    void plannerRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSireOrigin();

    std::array<QLineEdit*, 3> boxes_{};
    std::optional<RecordStallion> fromFile_;
    std::optional<ChosenMating> picked_; // the mare it was picked for counts while the boxes hold it
    std::array<EditGuard*, 3> guards_{};
    QPushButton* submit_ = nullptr;
    QPushButton* clear_ = nullptr;
    SireCompleter* sires_ = nullptr;
};

} // namespace quindle::ui
