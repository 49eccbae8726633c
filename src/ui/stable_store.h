#pragma once
// The player's horses for the data folder the windows read, held once for every
// window: read through the core, written whole and atomically after each change
// the player makes. A damaged file is moved aside and said so, never written over.
#include <QObject>
#include <QString>
#include <QByteArray>
#include <cstdint>
#include <optional>
#include <string>

#include "data/data_folder.h"
#include "stable/stable_file.h"

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

    const Stable& stable() const { return stable_; }
    const QString& path() const { return path_; }
    // Where a damaged file was moved at the last open; empty when it was not.
    const QString& keptAside() const { return keptAside_; }

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

signals:
    void changed();

private:
    // Writes the file whole: a temporary file renamed over the old one.
    bool save(const Stable& next, QWidget* window);

    DataFolder folder_{""};
    QString path_;
    QString keptAside_;
    bool writable_ = true; // false when a damaged file could not be moved aside
    Stable stable_;
    std::vector<std::pair<std::size_t, StableEntry>> removed_; // the last removal: place and horse, in order
    std::optional<QByteArray> seen_; // the file as last read or written; none when there was none
};

} // namespace quindle::ui
