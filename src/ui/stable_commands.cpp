#include "ui/stable_commands.h"

#include <QMenu>
#include <QShortcut>
#include <QWidget>

#include "ui/child_windows.h"
#include "ui/roster_store.h"
#include "ui/stable_store.h"
#include "ui/ui_seam.h"

namespace quindle::ui {

StableCommands::StableCommands(QWidget* main, StableStore* store, RosterStore* roster, ChildWindows* windows,
                               std::function<std::int32_t()> shownHorse)
    : QObject(main), main_(main), store_(store), roster_(roster), windows_(windows), shownHorse_(std::move(shownHorse))
{
    const auto shortcut = [this](QKeySequence keys, auto slot) {
        auto* s = new QShortcut(keys, main_);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_D), [this] { addShownHorseWithBeep(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H), [this] { windows_->openMyHorses(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M), [this] { windows_->openSeason(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R), [this] {
        if (!addShownToRoster())
            seam().beep(); // a foal or nothing: no stallion to add
    });
}

bool StableCommands::addShownToRoster()
{
    const std::int32_t shown = shownHorse_();
    if (shown == 0)
        return false;
    return roster_->add({RosterKey{shown, {}}}, main_); // a filly or mare is refused, and said
}

bool StableCommands::addShownHorse()
{
    const std::int32_t shown = shownHorse_();
    if (shown == 0)
        return false;
    return store_->add(shown, main_);
}

void StableCommands::addShownHorseWithBeep()
{
    if (shownHorse_() == 0)
        seam().beep(); // a foal or nothing: no horse to keep
    else
        addShownHorse();
}

void StableCommands::addTo(QMenu& menu)
{
    QAction* keep = menu.addAction(QStringLiteral("Add to My Horses"), this, &StableCommands::addShownHorse);
    keep->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    keep->setEnabled(shownHorse_() != 0);
    QAction* toRoster = menu.addAction(QStringLiteral("Add to the Roster"), this, &StableCommands::addShownToRoster);
    toRoster->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    toRoster->setEnabled(shownHorse_() != 0);
    menu.addAction(QStringLiteral("My Horses\u2026"), windows_, &ChildWindows::openMyHorses)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H));
    menu.addAction(QStringLiteral("Season\u2026"), windows_, &ChildWindows::openSeason)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
}

} // namespace quindle::ui
