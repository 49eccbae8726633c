#include "ui/edit_guard.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "input/key_rules.h"

namespace quindle::ui {

char16_t characterCode(const QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return 13;
    if (key == Qt::Key_Backspace)
        return 8;
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Delete)
        return 0;
    if (event->modifiers() & Qt::ControlModifier)
        return key >= Qt::Key_A && key <= Qt::Key_Z ? static_cast<char16_t>(key - Qt::Key_A + 1) : 0;
    const QString text = event->text();
    return text.isEmpty() ? 0 : text.at(0).unicode();
}

EditGuard::EditGuard(QLineEdit* box, Filter filter) : QObject(box), box_(box), filter_(std::move(filter))
{
    lastGood_ = box->text();
    connect(box, &QLineEdit::textChanged, this, &EditGuard::onChanged);
}

void EditGuard::onChanged()
{
    if (applying_)
        return;
    const QString raw = box_->text();
    const EditOutcome out = filter_(raw.toStdU16String(), box_->cursorPosition(), lastGood_.toStdU16String());
    const QString text = QString::fromStdU16String(out.text);
    applying_ = true;
    if (text != raw)
        box_->setText(text);
    box_->setCursorPosition(out.caret);
    applying_ = false;
    lastGood_ = box_->text();
}

void EditGuard::takeWhole(const QString& text)
{
    applying_ = true;
    box_->setText(text);
    applying_ = false;
    lastGood_ = text;
}

bool handleHomeEnd(QLineEdit* box, const QKeyEvent* event)
{
    if (event->key() == Qt::Key_Home) {
        box->setCursorPosition(0);
        box->deselect();
        return true;
    }
    if (event->key() == Qt::Key_End) {
        box->setCursorPosition(static_cast<int>(box->text().size()));
        box->deselect();
        return true;
    }
    return false;
}

bool handleNameKey(QLineEdit* box, const QKeyEvent* event, const std::function<void()>& onEnter)
{
    if (handleHomeEnd(box, event))
        return true;
    const char16_t code = characterCode(event);
    if (code == 0)
        return false;
    switch (nameKeyAction(code)) {
    case NameKeyAction::SelectAll:
        box->selectAll();
        return true;
    case NameKeyAction::SubmitThenPass:
        onEnter();
        return true; // a single-line box inserts nothing for Enter
    case NameKeyAction::Pass:
        break;
    }
    const char16_t upper = toUpperAscii(code);
    if (upper != code) {
        box->insert(QString(QChar(upper)));
        return true;
    }
    return false;
}

} // namespace quindle::ui
