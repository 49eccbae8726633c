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
class Session;
class SireCompleter;

class SubForm : public QWidget {
    Q_OBJECT
public:
    // The sire names it completes are those of the session's folder.
    SubForm(Session* session, QWidget* parent);

    void submitClick();
    void subClearClick();
    // Puts names into the three boxes, each through the box's filter.
    void setNames(const MatingNames& names);

    QLineEdit* box(int index) const { return boxes_[static_cast<std::size_t>(index)]; }
    QPushButton* submitButton() const { return submit_; }
    QPushButton* clearButton() const { return clear_; }
    QString lastGoodName(int index) const;
    SireCompleter* sires() const { return sires_; }

signals:
    // Submit: the foal of these names is to be shown.
    void submitted(const MatingNames& names);
    // Ctrl+M: the mating planner is wanted.
    void plannerRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QLineEdit*, 3> boxes_{};
    std::array<EditGuard*, 3> guards_{};
    QPushButton* submit_ = nullptr;
    QPushButton* clear_ = nullptr;
    SireCompleter* sires_ = nullptr;
};

} // namespace quindle::ui
