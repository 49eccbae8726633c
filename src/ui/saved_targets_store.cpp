#include "ui/saved_targets_store.h"

#include "ui/ui_seam.h"

namespace quindle::ui {

namespace {
const QString kTitle = QStringLiteral("Saved targets");
}

SavedTargetsStore& SavedTargetsStore::instance()
{
    static auto* store = new SavedTargetsStore; // lives as long as the program
    return *store;
}

void SavedTargetsStore::open(QWidget* window)
{
    if (opened_)
        return;
    opened_ = true;
    told(window, book_.open(savedTargetsFile()));
}

bool SavedTargetsStore::told(QWidget* window, const TargetChange& change)
{
    if (change.status == Outcome::Failed)
        seam().warning(window, kTitle, QString::fromStdString(change.message));
    return change.status == Outcome::Done;
}

const SavedTargets& SavedTargetsStore::saved(QWidget* window)
{
    open(window);
    if (book_.catchUp() && !book_.keptAside().empty())
        seam().warning(window, kTitle,
                       QStringLiteral("Your saved targets could not be read. The file is kept as it was under the "
                                      "name\n%1\nand the list starts empty.")
                           .arg(QString::fromStdString(book_.keptAside())));
    return book_.saved();
}

bool SavedTargetsStore::save(QWidget* window, SavedTarget target)
{
    open(window);
    const bool done = told(window, book_.save(std::move(target)));
    emit changed(); // what was read under the lock is shown even when nothing was saved
    return done;
}

bool SavedTargetsStore::remove(QWidget* window, const QString& name)
{
    open(window);
    const TargetChange change = book_.remove(name.toStdString());
    if (change.status == Outcome::Absent)
        seam().beep(); // removed meanwhile, in another window
    emit changed();
    return told(window, change);
}

} // namespace quindle::ui
