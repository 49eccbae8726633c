#pragma once
// The main window's keys and menu entries for My Horses: Ctrl+D keeps the
// horse shown, Ctrl+Shift+R puts the colt or horse shown in the season's
// roster, Ctrl+Shift+H opens My Horses, Ctrl+Shift+M the season.
#include <QObject>
#include <cstdint>
#include <functional>

class QMenu;
class QWidget;

namespace quindle::ui {

class ChildWindows;
class RosterStore;
class StableStore;

class StableCommands : public QObject {
    Q_OBJECT
public:
    // `shownHorse`: the horse the main window's last GO found while it is shown, else 0.
    StableCommands(QWidget* main, StableStore* store, RosterStore* roster, ChildWindows* windows,
                   std::function<std::int32_t()> shownHorse);

    // Adds the horse shown to My Horses; false when none is shown.
    bool addShownHorse();
    // Adds the colt or horse shown to the season's roster (Ctrl+Shift+R); false when none is shown.
    bool addShownToRoster();
    void addTo(QMenu& menu);

private:
    void addShownHorseWithBeep();

    QWidget* main_;
    StableStore* store_;
    RosterStore* roster_;
    ChildWindows* windows_;
    std::function<std::int32_t()> shownHorse_;
};

} // namespace quindle::ui
