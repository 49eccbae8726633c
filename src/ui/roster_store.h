#pragma once
// The player's roster of stallions for the data folder the windows read, held
// once for every window: the core's RosterBook does the reading, the lock and
// the writing; this says what came of it over the window that asked and tells
// the windows.
#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/roster_book.h"
#include "data/data_folder.h"

class QWidget;

namespace quindle::ui {

class RosterStore : public QObject {
    Q_OBJECT
public:
    explicit RosterStore(QObject* parent = nullptr) : QObject(parent) {}

    // Reads the roster of a data folder (rosterFileFor); messages go over `window`.
    void open(const DataFolder& folder, QWidget* window);
    // Reads the file again if another Quindle or a script changed it since.
    void catchUp(QWidget* window);

    const Roster& roster() const { return book_.roster(); }
    QString path() const { return QString::fromStdString(book_.path()); }
    QString keptAside() const { return QString::fromStdString(book_.keptAside()); }

    // Each is one call of the core; false (after telling why) when nothing changed.
    bool add(const std::vector<RosterKey>& keys, QWidget* window);
    // A stallion typed: a name of the sire list or #ID.
    bool addTyped(const QString& text, QWidget* window);
    bool addStallionsOf(const Stable& stable, QWidget* window);
    bool remove(const std::vector<RosterKey>& keys, QWidget* window);
    bool setBook(const RosterKey& key, std::optional<std::int64_t> book, QWidget* window);

signals:
    void changed();

private:
    bool tell(const RosterChange& change, QWidget* window);

    RosterBook book_;
};

} // namespace quindle::ui
