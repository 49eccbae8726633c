#include "ui/fit_text.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <algorithm>
#include <cmath>

#include "ui/note_mark.h"

namespace quindle::ui {

namespace {
// QLineEdit starts its text this far inside its contents; a text longer than
// the rest is clipped at the right edge of the contents.
constexpr int kLineEditHorizontalMargin = 2;
constexpr int kLineEditVerticalMargin = 1;

QFont smaller(const QFont& font)
{
    QFont out = font;
    if (font.pixelSize() > 0)
        out.setPixelSize(
            std::max(1, std::min(font.pixelSize() - 1, static_cast<int>(std::lround(font.pixelSize() * 0.85)))));
    else
        out.setPointSizeF(font.pointSizeF() * 0.85);
    return out;
}

} // namespace

QStringList firstLines(const QStringList& lines, bool* cut)
{
    constexpr qsizetype kShown = 3;
    const bool long_ = lines.size() > kShown + 1; // one more line is as short as saying so
    if (cut)
        *cut = long_;
    if (!long_)
        return lines;
    return lines.first(kShown)
           << QStringLiteral("\u2026 and %1 more (the tooltip lists them all)").arg(lines.size() - kShown);
}

void setWholeTextTip(QWidget* widget, const QString& text, const FittedText& fit, const QString& note)
{
    QString tip = fit.whole ? QString() : text;
    if (!note.isEmpty())
        tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + note;
    if (widget->toolTip() != tip)
        widget->setToolTip(tip);
}

FittedText fitText(const QString& text, const QFont& font, int width)
{
    if (QFontMetrics(font).horizontalAdvance(text) <= width)
        return {text, font, true};
    const QFont small = smaller(font);
    if (QFontMetrics(small).horizontalAdvance(text) <= width)
        return {text, small, false};
    return {QFontMetrics(font).elidedText(text, Qt::ElideRight, width), font, false};
}

NameBox::NameBox(QWidget* parent) : Fitting(parent)
{
    connect(this, &QLineEdit::textChanged, this, &NameBox::updateToolTip);
}

int NameBox::textWidth() const
{
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).marginsRemoved(textMargins());
    return r.width() - kLineEditHorizontalMargin;
}

FittedText NameBox::shown() const { return fitText(text(), font(), textWidth()); }

void NameBox::setNote(const QString& note)
{
    if (note == note_)
        return;
    note_ = note;
    updateToolTip();
    update();
}

void NameBox::setHint(const QString& hint)
{
    if (hint == hint_)
        return;
    hint_ = hint;
    updateToolTip();
}

QString NameBox::tipNote() const
{
    if (note_.isEmpty() || hint_.isEmpty())
        return note_ + hint_;
    return note_ + QLatin1Char('\n') + hint_;
}

void NameBox::paintEvent(QPaintEvent* event)
{
    paintText(event);
    if (hasFocus()) {
        // The style's own focus frame is faint on the pastel boxes and absent in
        // some: a dark frame inside the edge shows where Tab has gone.
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Text), 2));
        painter.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
    }
    if (!note_.isEmpty()) {
        // Inside the frame.
        QPainter painter(this);
        paintNoteMark(painter, rect());
    }
}

void NameBox::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // Tab selects the whole name and scrolls to its end; with the caret at its
    // start instead, the box still shows how the name begins.
    if (hasSelectedText() && selectedText() == text())
        setSelection(static_cast<int>(text().size()), -static_cast<int>(text().size()));
}

void NameBox::paintText(QPaintEvent* event)
{
    const FittedText fit = shown();
    // A selection is the player's own: the box then scrolls as usual.
    if (fit.whole || hasSelectedText()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    const QRect r = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this).marginsRemoved(textMargins());
    const int height = QFontMetrics(fit.font).height();
    int top = r.y() + (r.height() - height + 1) / 2;
    if (alignment() & Qt::AlignTop)
        top = r.y() + kLineEditVerticalMargin;
    else if (alignment() & Qt::AlignBottom)
        top = r.bottom() + 1 - height - kLineEditVerticalMargin;
    const QRect line(r.x() + kLineEditHorizontalMargin, top, r.width() - kLineEditHorizontalMargin, height);
    painter.setClipRect(r);
    painter.setFont(fit.font);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(line, static_cast<int>(alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter, fit.text);
}

FitLabel::FitLabel(const QString& text, QWidget* parent) : Fitting(text, parent) { updateToolTip(); }

FittedText FitLabel::shown() const { return fitText(text(), font(), contentsRect().width() - 2 * margin()); }

void FitLabel::paintEvent(QPaintEvent* event)
{
    const FittedText fit = shown();
    if (fit.whole) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setFont(fit.font);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect().adjusted(margin(), margin(), -margin(), -margin()), static_cast<int>(alignment()),
                     fit.text);
}

FitButton::FitButton(const QString& text, QWidget* parent) : Fitting(text, parent) { updateToolTip(); }

FittedText FitButton::shown() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    // The style keeps a few pixels of padding inside the contents.
    const int padding = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this) / 2;
    return fitText(text(), font(), contents.width() - padding);
}

void FitButton::paintEvent(QPaintEvent* event)
{
    const FittedText fit = shown();
    if (fit.whole) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text = fit.text;
    option.fontMetrics = QFontMetrics(fit.font);
    painter.setFont(fit.font);
    painter.drawControl(QStyle::CE_PushButton, option);
}

void FitButton::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) { // the keypad's Enter too
        animateClick();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace quindle::ui
