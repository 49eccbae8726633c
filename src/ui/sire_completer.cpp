#include "ui/sire_completer.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringListModel>
#include <QTimer>
#include <algorithm>

#include "input/sire_names.h"
#include "ui/edit_guard.h"
#include "ui/latin1.h"

namespace quindle::ui {

namespace {
constexpr const char* kMarked = "quindleUnknownName";

std::string nameOf(const QLineEdit* box)
{
    std::string name = toLatin1(box->text());
    while (!name.empty() && name.back() == ' ')
        name.pop_back(); // Submit removes trailing spaces
    return name;
}

QColor markColour(const QColor& base)
{
    // A faint amber over whatever the theme's box colour is.
    const QColor amber(255, 190, 60);
    return QColor::fromRgbF(base.redF() * 0.7f + amber.redF() * 0.3f, base.greenF() * 0.7f + amber.greenF() * 0.3f,
                            base.blueF() * 0.7f + amber.blueF() * 0.3f);
}
} // namespace

SireCompleter::SireCompleter(std::function<std::string()> sireListPath, QObject* parent)
    : QObject(parent), sireListPath_(std::move(sireListPath)), model_(new QStringListModel(this))
{
    refresh();
}

void SireCompleter::refresh()
{
    const std::string path = sireListPath_();
    const QFileInfo info(QString::fromStdString(path));
    if (path == path_ && info.lastModified() == readTime_ && info.size() == readSize_)
        return;
    path_ = path;
    readTime_ = info.lastModified();
    readSize_ = info.size();
    SireNames read = readSireNames(path_); // a list that cannot be read completes nothing
    names_ = std::move(read.names);
    listWhole_ = read.error.empty();
    QStringList list;
    list.reserve(static_cast<qsizetype>(names_.size()));
    for (const std::string& name : names_)
        list += fromLatin1(name);
    model_->setStringList(list);
    for (QLineEdit* box : boxes_)
        mark(box);
}

void SireCompleter::attach(QLineEdit* box, EditGuard* guard)
{
    auto* completer = new QCompleter(model_, box);
    if (guard) // after the completer's own setText, which the filter may have refused
        connect(completer, qOverload<const QString&>(&QCompleter::activated), guard, [guard](const QString& name) {
            QTimer::singleShot(0, guard, [guard, name] { guard->takeWhole(name); });
        });
    completer->setCaseSensitivity(Qt::CaseSensitive);
    completer->setModelSorting(QCompleter::CaseSensitivelySortedModel); // names are sorted byte for byte
    completer->setCompletionMode(QCompleter::PopupCompletion);
    box->setCompleter(completer);
    completer->popup()->setFont(box->font()); // the window's face, zoomed with it (below)
    box->installEventFilter(this);
    completer->popup()->installEventFilter(this); // ahead of the completer's own filter
    popups_.emplace_back(completer->popup(), box);
    connect(box, &QLineEdit::textChanged, this, [this, box] {
        refresh();
        mark(box);
    });
    boxes_.push_back(box);
}

bool SireCompleter::couldBecomeKnown(const QString& name) const
{
    const std::string prefix = toLatin1(name);
    const auto at = std::lower_bound(names_.begin(), names_.end(), prefix);
    return at != names_.end() && at->starts_with(prefix);
}

bool SireCompleter::isMarked(const QLineEdit* box) { return box->property(kMarked).toBool(); }

void SireCompleter::mark(QLineEdit* box)
{
    const std::string name = nameOf(box);
    // While the player types, a name is marked only once no sire name starts so.
    const bool marked =
        !name.empty() && !containsName(names_, name) && !(box->hasFocus() && couldBecomeKnown(fromLatin1(name)));
    // Past a damaged entry nothing is read, so the name may be there all the same.
    box->setToolTip(!marked      ? QString()
                    : listWhole_ ? QStringLiteral("Not in QN_SireList: this name's sire line stays empty")
                                 : QStringLiteral("Not in what could be read of QN_SireList: this name's sire line "
                                                  "stays empty"));
    if (marked == isMarked(box))
        return;
    box->setProperty(kMarked, marked);
    QPalette palette = box->palette();
    const QColor base = box->parentWidget()->palette().color(QPalette::Base);
    palette.setColor(QPalette::Base, marked ? markColour(base) : base);
    box->setPalette(palette);
}

bool SireCompleter::eventFilter(QObject* watched, QEvent* event)
{
    // While the list is open it has the keys. The completer hands typed keys to
    // the box past its key rules; send them through those rules instead, and
    // let Enter submit unless the player has picked a name in the list.
    const auto popup = std::find_if(popups_.begin(), popups_.end(),
                                    [watched](auto& p) { return p.first.data() == watched || p.second == watched; });
    const bool listOpen = popup != popups_.end() && popup->first && popup->first->isVisible();
    // Esc with the list open closes the list only: the window's own Esc waits.
    if (listOpen && event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    if (listOpen && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        popup->first->hide();
        return true;
    }
    if (popup != popups_.end() && popup->first && watched == popup->first.data() && event->type() == QEvent::KeyPress) {
        auto* view = static_cast<QAbstractItemView*>(popup->first.data());
        QLineEdit* box = popup->second;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return false;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            // Takes the name picked in the list, or keeps the typed text, and
            // moves on with the list closed, so the next keys go to the next box.
            if (view->currentIndex().isValid())
                box->setText(view->currentIndex().data().toString());
            view->hide();
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (view->currentIndex().isValid())
                return false; // takes the picked name
            view->hide();
            break;
        default:
            break;
        }
        QCoreApplication::sendEvent(popup->second, event);
        return true;
    }
    if (event->type() == QEvent::FontChange)
        if (auto* box = qobject_cast<QLineEdit*>(watched); box && box->completer())
            box->completer()->popup()->setFont(box->font());
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        if (auto* box = qobject_cast<QLineEdit*>(watched)) {
            if (event->type() == QEvent::FocusIn)
                refresh();
            mark(box);
        }
    return QObject::eventFilter(watched, event);
}

} // namespace quindle::ui
