#include "ui/roster_store.h"

#include <QToolTip>
#include <QWidget>

#include "ui/latin1.h"
#include "ui/ui_seam.h"

namespace quindle::ui {

namespace {

const QString kTitle = QStringLiteral("Roster");

} // namespace

void RosterStore::open(const DataFolder& folder, QWidget* window)
{
    const KeptOpen read = book_.open(folder);
    if (read.status == Outcome::Failed)
        seam().warning(window, kTitle, QString::fromStdString(read.message));
    emit changed();
}

void RosterStore::catchUp(QWidget* window)
{
    if (const auto read = book_.catchUp()) {
        if (read->status == Outcome::Failed)
            seam().warning(window, kTitle, QString::fromStdString(read->message));
        emit changed();
    }
}

bool RosterStore::tell(const RosterChange& change, QWidget* window)
{
    const QString message = QString::fromStdString(change.message);
    emit changed(); // the roster may have been read again under the lock
    if (change.status == Outcome::Done) {
        // Said where it was asked: the season window may not be open.
        if (window)
            QToolTip::showText(
                window->mapToGlobal(QPoint(window->width() / 3, window->height() / 2)),
                message.isEmpty()
                    ? QStringLiteral("The roster now holds %1 stallions").arg(book_.roster().stallions.size())
                    : message,
                window, {}, 3000);
        return true;
    }
    if (change.status == Outcome::Absent)
        seam().information(window, kTitle, message);
    else
        seam().warning(window, kTitle, message);
    return false;
}

bool RosterStore::add(const std::vector<RosterKey>& keys, QWidget* window) { return tell(book_.add(keys), window); }

bool RosterStore::addTyped(const QString& text, QWidget* window)
{
    const auto key = parseRosterKey(toLatin1(text.trimmed()));
    if (!key) {
        seam().beep();
        return false;
    }
    return add({*key}, window);
}

bool RosterStore::addStallionsOf(const Stable& stable, QWidget* window)
{
    return tell(book_.addStallionsOf(stable), window);
}

bool RosterStore::remove(const std::vector<RosterKey>& keys, QWidget* window)
{
    return tell(book_.remove(keys), window);
}

bool RosterStore::setBook(const RosterKey& key, std::optional<std::int64_t> book, QWidget* window)
{
    return tell(book_.setBook(key, book), window);
}

} // namespace quindle::ui
