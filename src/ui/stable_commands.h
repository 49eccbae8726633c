#pragma once
// The main window's keys and menu entries for My Horses: Ctrl+D keeps the
// horse shown, Ctrl+Shift+H opens My Horses, Ctrl+Shift+M the season.
#include <QObject>
#include <cstdint>
#include <functional>

class QMenu;
class QWidget;

namespace quindle::ui {

class ChildWindows;
class StableStore;

class StableCommands : public QObject {
    Q_OBJECT
public:
    // `shownHorse`: the horse the main window's last GO found while it is shown, else 0.
    StableCommands(QWidget* main, StableStore* store, ChildWindows* windows, std::function<std::int32_t()> shownHorse);

    // Adds the horse shown to My Horses; false when none is shown.
    bool addShownHorse();
    void addTo(QMenu& menu);

private:
    void addShownHorseWithBeep();

    QWidget* main_;
    StableStore* store_;
    ChildWindows* windows_;
    std::function<std::int32_t()> shownHorse_;
};

} // namespace quindle::ui
