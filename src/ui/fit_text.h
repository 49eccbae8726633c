#pragma once
// Texts longer than their box are never cut silently: they are shown in a
// smaller size when that fits, else elided with "…", and the tooltip holds
// the whole text.
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

namespace quindle::ui {

struct FittedText {
    QString text;      // what is shown
    QFont font;        // in which face and size
    bool whole = true; // the text fits as it is, in the font it was given
};
// Fits `text` into `width` pixels: as it is, else in a size 15 % smaller, else
// elided at the right in the font given.
FittedText fitText(const QString& text, const QFont& font, int width);

// A read-only display box of the main window.
class NameBox : public QLineEdit {
public:
    explicit NameBox(QWidget* parent);
    FittedText shown() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int textWidth() const;
    void updateToolTip();
};

class FitLabel : public QLabel {
public:
    FitLabel(const QString& text, QWidget* parent);
    FittedText shown() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateToolTip();
};

class FitButton : public QPushButton {
public:
    FitButton(const QString& text, QWidget* parent);
    FittedText shown() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateToolTip();
};

} // namespace quindle::ui
