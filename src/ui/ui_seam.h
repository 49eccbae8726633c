#pragma once
// The beep and the message boxes go through here, so tests can count beeps and
// answer messages without a modal loop.
#include <QString>

class QWidget;

namespace quindle::ui {

class UiSeam {
public:
    virtual ~UiSeam() = default;
    virtual void beep();
    // A modal warning with one OK button.
    virtual void warning(QWidget* parent, const QString& title, const QString& text);
    // A message with one OK button that warns of nothing.
    virtual void information(QWidget* parent, const QString& title, const QString& text);
    // A folder dialog; empty when cancelled.
    virtual QString chooseFolder(QWidget* parent, const QString& title);
    // A file dialog asking where to save; empty when cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& filter);
    // A line of text asked for, starting as `text`; empty when cancelled.
    virtual QString askText(QWidget* parent, const QString& title, const QString& label, const QString& text);
    // A file dialog asking which file to open, starting in `folder`; empty when cancelled.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& folder, const QString& filter);
};

UiSeam& seam();
// Replaces the seam (null restores the real one); the caller keeps ownership.
void setSeam(UiSeam* replacement);

} // namespace quindle::ui
