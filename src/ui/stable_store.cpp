#include "ui/stable_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QToolTip>
#include <QWidget>

#include "lookup/horse_lookup.h"
#include "stable/stable_check.h"
#include "ui/latin1.h"
#include "ui/ui_seam.h"

namespace quindle::ui {

namespace {

const QString kTitle = QStringLiteral("My Horses");

std::optional<QByteArray> bytesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// The first of FILE.damaged, FILE.damaged-2, ... that is free.
QString asidePath(const QString& path)
{
    QString aside = path + QStringLiteral(".damaged");
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = path + QStringLiteral(".damaged-%1").arg(n);
    return aside;
}

} // namespace

void StableStore::open(const DataFolder& folder, QWidget* window)
{
    openFile(QString::fromStdString(stableFileFor(folder)), folder.dir(), window);
    folder_ = folder;
}

void StableStore::openFile(const QString& path, const std::string& dataFolder, QWidget* window)
{
    folder_ = DataFolder(dataFolder);
    path_ = path;
    removed_.clear(); // another folder's horses
    keptAside_.clear();
    writable_ = !path.isEmpty();
    stable_ = {};
    seen_.reset();
    if (path.isEmpty()) {
        emit changed();
        return;
    }
    seen_ = bytesOf(path);
    StableRead read = readStable(path.toStdString());
    if (read.status == Outcome::Done) {
        stable_ = std::move(read.stable);
    } else if (read.status == Outcome::Failed) {
        // The player's list is never written over: the file goes aside whole,
        // and the list starts again empty beside it.
        const QString aside = asidePath(path);
        seen_.reset();
        const QString reason = QString::fromStdString(read.error);
        // A file that could not be read at all (no access, say) may be whole:
        // it stays where it is, for the next run to read.
        if (!read.unread && QFile::rename(path, aside)) {
            keptAside_ = aside;
            seam().warning(window, kTitle,
                           QStringLiteral("The list of your horses could not be read.\n\n%1\n\nThe file is kept "
                                          "as it was under the name\n%2\nand the list starts empty.")
                               .arg(reason, QDir::toNativeSeparators(aside)));
        } else {
            writable_ = false;
            seam().warning(window, kTitle,
                           QStringLiteral("The list of your horses could not be read.\n\n%1\n\n%2 it is left as "
                                          "it is, and changes to the list are not saved in this run.")
                               .arg(reason, read.unread ? QStringLiteral("So that nothing of it is lost,")
                                                        : QStringLiteral("It could not be moved aside either, so")));
        }
    }
    emit changed();
}

void StableStore::catchUp(QWidget* window)
{
    if (writable_ && !path_.isEmpty() && bytesOf(path_) != seen_)
        openFile(path_, folder_.dir(), window);
}

bool StableStore::save(const Stable& next, QWidget* window)
{
    QString why;
    if (!writable_) {
        why = path_.isEmpty() ? QStringLiteral("There is no folder to keep it in (no home folder).")
                              : QStringLiteral("%1 could not be read, and it is not written over.")
                                    .arg(QDir::toNativeSeparators(path_));
    } else {
        QDir().mkpath(QFileInfo(path_).absolutePath());
        QSaveFile file(path_);
        const std::string text = stableText(next, folder_.dir());
        if (file.open(QIODevice::WriteOnly) &&
            file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size()) &&
            file.commit()) {
            stable_ = next;
            seen_ = QByteArray::fromStdString(text);
            emit changed();
            return true;
        }
        why = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path_), file.errorString());
    }
    seam().warning(window, kTitle, QStringLiteral("The list of your horses could not be saved.\n\n") + why);
    return false;
}

// Each change starts from the file as it is now, so that two windows of Quindle
// on the same folder never write over each other's horses.
bool StableStore::add(std::int32_t id, QWidget* window)
{
    catchUp(window);
    if (stable_.find(id)) {
        seam().information(window, kTitle, QStringLiteral("Horse %1 is in your list already.").arg(id));
        return false;
    }
    const LookupResult found = findHorse(folder_, id);
    if (found.status != Outcome::Done) {
        seam().warning(window, kTitle,
                       found.status == Outcome::Absent
                           ? QStringLiteral("There is no horse %1 in the breeding file.").arg(id)
                           : QString::fromStdString(found.error));
        return false;
    }
    Stable next = stable_;
    next.add(id, found.horse.name);
    if (!save(next, window))
        return false;
    // Said where the key was pressed: the list itself may not be open.
    if (window)
        QToolTip::showText(
            window->mapToGlobal(QPoint(window->width() / 3, window->height() / 2)),
            QStringLiteral("%1 (%2) is kept in My Horses").arg(fromLatin1(found.horse.name), QString::number(id)),
            window, {}, 3000);
    return true;
}

bool StableStore::remove(const std::vector<std::int32_t>& ids, QWidget* window)
{
    catchUp(window);
    Stable next = stable_;
    std::vector<std::pair<std::size_t, StableEntry>> removed;
    for (std::size_t i = 0; i < stable_.horses.size(); ++i)
        if (std::find(ids.begin(), ids.end(), stable_.horses[i].id) != ids.end()) {
            removed.emplace_back(i, stable_.horses[i]);
            next.remove(stable_.horses[i].id);
        }
    if (removed.empty() || !save(next, window))
        return false;
    removed_ = std::move(removed);
    return true;
}

bool StableStore::undoRemoval(QWidget* window)
{
    catchUp(window);
    if (removed_.empty())
        return false;
    Stable next = stable_;
    for (const auto& [place, entry] : removed_) // in order, so each earlier place stands again
        if (!next.find(entry.id))
            next.horses.insert(next.horses.begin() + static_cast<std::ptrdiff_t>(std::min(place, next.horses.size())),
                               entry);
    if (!save(next, window))
        return false;
    removed_.clear();
    return true;
}

bool StableStore::confirm(std::int32_t id, const std::string& nameNow, QWidget* window)
{
    catchUp(window);
    Stable next = stable_;
    return confirmHorse(next, id, nameNow) && save(next, window);
}

} // namespace quindle::ui
