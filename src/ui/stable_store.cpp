#include "ui/stable_store.h"

#include <QToolTip>
#include <QWidget>

#include "ui/latin1.h"
#include "ui/ui_seam.h"

namespace quindle::ui {

namespace {

const QString kTitle = QStringLiteral("My Horses");

} // namespace

void StableStore::tell(const StableOpen& read, QWidget* window)
{
    if (read.status == Outcome::Failed)
        seam().warning(window, kTitle, QString::fromStdString(read.message));
}

bool StableStore::tell(const ListChange& change, QWidget* window)
{
    const QString message = QString::fromStdString(change.message);
    if (change.status == Outcome::Done) {
        if (!message.isEmpty())
            seam().warning(window, kTitle, message);
        emit changed();
        return true;
    }
    if (change.status == Outcome::Absent)
        seam().information(window, kTitle, message);
    else
        seam().warning(window, kTitle, message);
    emit changed(); // the list may have been read again under the lock
    return false;
}

void StableStore::open(const DataFolder& folder, QWidget* window)
{
    tell(book_.open(folder), window);
    emit changed();
}

void StableStore::openFile(const QString& path, const std::string& dataFolder, QWidget* window)
{
    removed_.clear(); // another folder's horses
    tell(book_.openFile(path.toStdString(), DataFolder(dataFolder)), window);
    emit changed();
}

void StableStore::catchUp(QWidget* window)
{
    if (const auto read = book_.catchUp()) {
        tell(*read, window);
        emit changed();
    }
}

bool StableStore::add(std::int32_t id, QWidget* window)
{
    const ListChange added = book_.add(id);
    if (!tell(added, window))
        return false;
    // Said where the key was pressed: the list itself may not be open.
    if (window)
        QToolTip::showText(
            window->mapToGlobal(QPoint(window->width() / 3, window->height() / 2)),
            QStringLiteral("%1 (%2) is kept in My Horses").arg(fromLatin1(added.horse.name), QString::number(id)),
            window, {}, 3000);
    return true;
}

bool StableStore::remove(const std::vector<std::int32_t>& ids, QWidget* window)
{
    const ListChange removed = book_.remove(ids);
    if (removed.status == Outcome::Absent) {
        emit changed(); // a horse gone already is what the player wanted: nothing to say
        return false;
    }
    if (!tell(removed, window))
        return false;
    removed_ = removed.removed;
    return true;
}

bool StableStore::undoRemoval(QWidget* window)
{
    if (removed_.empty())
        return false;
    const ListChange restored = book_.restore(removed_);
    removed_.clear();
    return restored.status == Outcome::Absent ? (emit changed(), false) : tell(restored, window);
}

bool StableStore::confirm(std::int32_t id, const std::string& nameNow, QWidget* window)
{
    const ListChange confirmed = book_.confirm(id, nameNow);
    return confirmed.status == Outcome::Absent ? (emit changed(), false) : tell(confirmed, window);
}

bool StableStore::importFrom(const QString& file, QWidget* window)
{
    const ListChange taken = book_.import(file.toStdString());
    if (!tell(taken, window))
        return false;
    seam().information(window, kTitle, QStringLiteral("%1 horses taken into My Horses.").arg(taken.count));
    return true;
}

} // namespace quindle::ui
