#pragma once
// Wiring between a QLineEdit and one of the window-free edit filters.
#include <QObject>
#include <QString>
#include <functional>
#include <string_view>

#include "input/edit_filter.h"

class QKeyEvent;
class QLineEdit;

namespace quindle::ui {

// The character code a key press stands for (13 Enter, 8 Backspace, 1..26 for
// Ctrl+A..Z, else the typed character), or 0 for keys that type nothing
// (arrows, Delete, Tab, modifiers), which the boxes leave to Qt.
char16_t characterCode(const QKeyEvent* event);

// Runs a filter after every change of a box's text and applies its outcome.
// Qt reports a change only when the text really changes, and reports it at once,
// inside the assignment; the `applying_` flag keeps the filter's own assignment
// from being filtered again. Changes made by the program (setText) pass through
// the filter like typing, so `lastGood` always equals what the box shows.
class EditGuard : public QObject {
public:
    using Filter = std::function<EditOutcome(std::u16string_view raw, int caret, std::u16string_view lastGood)>;
    EditGuard(QLineEdit* box, Filter filter);

    const QString& lastGood() const { return lastGood_; }
    // Puts a name picked rather than typed (a list's, the file's) into the box
    // whole, whatever its characters; typing over it meets the filter again.
    void takeWhole(const QString& text);

private:
    void onChanged();

    QLineEdit* box_;
    Filter filter_;
    QString lastGood_;
    bool applying_ = false;
};

// Home and End put the caret at the start or end and drop any selection (Shift
// included); returns true when the key was one of them and is handled.
bool handleHomeEnd(QLineEdit* box, const QKeyEvent* event);

// The key rules of a name box: Home and End, Ctrl+A, Enter (`onEnter`, then
// nothing is inserted), and letters typed in upper case. Returns true when the
// key is handled and must not reach the box.
bool handleNameKey(QLineEdit* box, const QKeyEvent* event, const std::function<void()>& onEnter);

} // namespace quindle::ui
