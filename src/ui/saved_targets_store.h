#pragma once
// The player's saved targets for every window at once: one book of the file,
// read again whenever a window looks, and a signal when a window changes it, so
// the planner, the best mares and the season offer the same names.
#include <QObject>
#include <QString>

#include "app/saved_targets.h"

class QWidget;

namespace quindle::ui {

class SavedTargetsStore : public QObject {
    Q_OBJECT
public:
    static SavedTargetsStore& instance();

    // The targets as the file holds them now; a damaged file is told of over `window` once.
    const SavedTargets& saved(QWidget* window);
    // False after telling the player why not.
    bool save(QWidget* window, SavedTarget target);
    bool remove(QWidget* window, const QString& name);

signals:
    void changed();

private:
    SavedTargetsStore() = default;
    void open(QWidget* window);
    bool told(QWidget* window, const TargetChange& change);

    TargetBook book_;
    bool opened_ = false;
};

} // namespace quindle::ui
