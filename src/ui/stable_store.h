#pragma once
// The player's horses for the data folder the windows read, held once for every
// window: the core's StableBook does the reading, the lock and the writing; this
// says what came of it over the window that asked and tells the windows.
#include <QObject>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/stable_book.h"
#include "data/data_folder.h"

class QWidget;

namespace quindle::ui {

class StableStore : public QObject {
    Q_OBJECT
public:
    explicit StableStore(QObject* parent = nullptr) : QObject(parent) {}

    // Reads the stable file of a data folder (stableFileFor); messages go over `window`.
    void open(const DataFolder& folder, QWidget* window);
    // The same for a file named outright.
    void openFile(const QString& path, const std::string& dataFolder, QWidget* window);
    // Reads the file again if it is no longer as this window last read or
    // wrote it: another Quindle on the same folder has changed the list.
    void catchUp(QWidget* window);

    const Stable& stable() const { return book_.stable(); }
    QString path() const { return QString::fromStdString(book_.path()); }
    // Where a damaged file was moved at the last open; empty when it was not.
    QString keptAside() const { return QString::fromStdString(book_.keptAside()); }

    // Adds the horse at the ID under its name now; false (after telling why)
    // when there is none, it is kept already, or the file cannot be written.
    bool add(std::int32_t id, QWidget* window);
    // Removes the horses in one write; undoRemoval brings the last removal back.
    bool remove(const std::vector<std::int32_t>& ids, QWidget* window);
    // Puts the horses last removed back where they stood, but for any kept
    // again since; false when there is nothing to bring back.
    bool undoRemoval(QWidget* window);
    // The player takes the horse now at the ID under its new name.
    bool confirm(std::int32_t id, const std::string& nameNow, QWidget* window);
    // Takes the horses of another folder's list that this one does not keep.
    bool importFrom(const QString& file, QWidget* window);

signals:
    void changed();

private:
    void tell(const StableOpen& read, QWidget* window);
    // Says what went wrong, or what a read under the lock found; true when it changed the list.
    bool tell(const ListChange& change, QWidget* window);

    StableBook book_;
    std::vector<std::pair<std::size_t, StableEntry>> removed_; // the last removal: place and horse, in order
};

} // namespace quindle::ui
