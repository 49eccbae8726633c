#pragma once
// Completion of sire names from QN_SireList in the mating window's name boxes,
// and a mark on a name that is not in the list, so that a typo is not taken
// for a sire without chefs-de-race.
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QCompleter;
class QLineEdit;
class QStringListModel;

namespace quindle::ui {

class EditGuard;

class SireCompleter : public QObject {
public:
    // `sireListPath` gives the list of the data folder in use, which the player
    // may change while the mating window is open.
    SireCompleter(std::function<std::string()> sireListPath, QObject* parent);

    // Completes names in `box` and marks it while its name is not in the list.
    // With the box's guard, a name picked from the list is taken whole,
    // whatever its characters; typing still meets the filter.
    void attach(QLineEdit* box, EditGuard* guard = nullptr);
    // Reads the list again when it is another file, or the file has changed,
    // since it was last read.
    void refresh();
    // Whether the box is marked as holding a name that is not in the list.
    static bool isMarked(const QLineEdit* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void mark(QLineEdit* box);
    bool couldBecomeKnown(const QString& name) const;

    std::function<std::string()> sireListPath_;
    std::string path_; // the file last read
    QDateTime readTime_;
    qint64 readSize_ = -1;
    std::vector<std::string> names_; // sorted
    bool listWhole_ = true;          // read to its end
    QStringListModel* model_;
    std::vector<QLineEdit*> boxes_;
    // Each box's completion list. Guarded: a box being destroyed still sends
    // events after Qt has deleted its list.
    std::vector<std::pair<QPointer<QWidget>, QLineEdit*>> popups_;
};

} // namespace quindle::ui
