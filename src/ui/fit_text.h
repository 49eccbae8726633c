#pragma once
// Texts longer than their box are never cut silently: they are shown in a
// smaller size when that fits, else elided with "…", and the tooltip holds
// the whole text.
#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QStringList>

namespace quindle::ui {

struct FittedText {
    QString text;      // what is shown
    QFont font;        // in which face and size
    bool whole = true; // the text fits as it is, in the font it was given
};
// Fits `text` into `width` pixels: as it is, else in a size 15 % smaller, else
// elided at the right in the font given.
FittedText fitText(const QString& text, const QFont& font, int width);

// The tooltip holds the whole text when `widget` shows less of it, or shows it
// smaller, and then the note when there is one.
void setWholeTextTip(QWidget* widget, const QString& text, const FittedText& fit, const QString& note = {});

// A list of lines for a label: the first few, then how many more there are, so
// that a long list cannot push the rest of a window off the screen. The caller
// puts the whole list in the label's tooltip when it is cut (`cut`).
QStringList firstLines(const QStringList& lines, bool* cut = nullptr);

// A widget that fits its text (Self::shown() says how), keeping its tooltip up
// to date as its size, font or style change.
template <class Base, class Self>
class Fitting : public Base {
public:
    using Base::Base;

protected:
    void updateToolTip()
    {
        const Self* self = static_cast<const Self*>(this);
        setWholeTextTip(this, this->text(), self->shown(), self->tipNote());
    }
    void resizeEvent(QResizeEvent* event) override
    {
        Base::resizeEvent(event);
        updateToolTip();
    }
    void changeEvent(QEvent* event) override
    {
        Base::changeEvent(event);
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            updateToolTip();
    }
};

// A read-only display box of the main window. A box may carry a note: a mark in
// its corner says so, and the tooltip holds it; the box keeps its place and size.
class NameBox : public Fitting<QLineEdit, NameBox> {
public:
    explicit NameBox(QWidget* parent);
    FittedText shown() const;
    const QString& note() const { return note_; }
    void setNote(const QString& note);
    // A line for the tooltip that marks nothing: what a click on the box does.
    void setHint(const QString& hint);
    QString tipNote() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    int textWidth() const;
    void paintText(QPaintEvent* event);

    QString note_;
    QString hint_;
};

class FitLabel : public Fitting<QLabel, FitLabel> {
public:
    FitLabel(const QString& text, QWidget* parent);
    FittedText shown() const;
    QString tipNote() const { return {}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

class FitButton : public Fitting<QPushButton, FitButton> {
public:
    FitButton(const QString& text, QWidget* parent);
    FittedText shown() const;
    QString tipNote() const { return {}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Enter presses the button that has the focus, as Space does. These buttons
    // keep Qt's autoDefault off, which in some styles would draw their frame
    // inside the box they are given, so Qt alone would ignore Enter.
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace quindle::ui
