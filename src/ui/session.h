#pragma once
// The open data as the windows share it: the core DataSession, started up with
// the progress window and the messages, and a signal when it changes, so that
// every window hears of a breeding file cut again or another data folder
// without asking the main window.
#include <QObject>
#include <memory>

#include "session/data_session.h"

class QWidget;

namespace quindle::ui {

class Session : public QObject {
    Q_OBJECT
public:
    // Takes over `data`, whose later start-ups show the progress window and their messages.
    explicit Session(DataSession data, QObject* parent = nullptr);

    DataSession& data() { return data_; }
    const DataSession& data() const { return data_; }
    const DataFolder& folder() const { return data_.folder(); }
    const ChefTable& chefs() const { return data_.chefs(); }
    std::shared_ptr<const ChefTable> sharedChefs() const { return data_.sharedChefs(); }

    // Cuts a breeding file the game wrote since the last cut; changed() follows a new cut.
    DataSession::Refresh refreshIfChanged();
    // Before a window reads the data: true when it is the breeding file there
    // now. False when a new one has just been cut (changed() has told every
    // window, which reads anew) or could not be (start-up has said why): either
    // way the old file's buckets must not answer.
    bool current() { return refreshIfChanged() == DataSession::Refresh::Unchanged; }
    // Asks the player for another data folder and starts up on it; when it is
    // taken (and remembered), folderReplaced() and then changed(), and true.
    bool chooseFolder(QWidget* parent);

signals:
    // The data read from now on is new: a breeding file cut again, or another folder.
    void changed();
    // Another data folder was taken: what the windows show of the old one is stale.
    void folderReplaced();

private:
    DataSession data_;
};

} // namespace quindle::ui
