#pragma once
// SubForm ("Enter Lineage"): three name boxes for a hypothetical foal's Sire,
// Dam-Sire and Dam's Dam-Sire; Submit shows the foal in the main window.
#include <QWidget>
#include <array>

#include "boxes/mating.h"

class QLineEdit;
class QPushButton;

namespace quindle::ui {

class EditGuard;
class MainForm;
class SireCompleter;

class SubForm : public QWidget {
    Q_OBJECT
public:
    explicit SubForm(MainForm* main);

    void submitClick();
    void subClearClick();
    // Adds the typed mating to the comparison.
    void compareClick();
    // Puts names into the three boxes, each through the box's filter.
    void setNames(const MatingNames& names);

    QLineEdit* box(int index) const { return boxes_[static_cast<std::size_t>(index)]; }
    QPushButton* submitButton() const { return submit_; }
    QPushButton* clearButton() const { return clear_; }
    QString lastGoodName(int index) const;
    SireCompleter* sires() const { return sires_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainForm* main_;
    std::array<QLineEdit*, 3> boxes_{};
    std::array<EditGuard*, 3> guards_{};
    QPushButton* submit_ = nullptr;
    QPushButton* clear_ = nullptr;
    SireCompleter* sires_ = nullptr;
};

} // namespace quindle::ui
