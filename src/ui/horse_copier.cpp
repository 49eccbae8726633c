#include "ui/horse_copier.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QWidget>

#include "export/boxes_text.h"

namespace quindle::ui {

HorseCopier::HorseCopier(QWidget* main, std::function<MainBoxes()> boxes)
    : QObject(main), main_(main), boxes_(std::move(boxes))
{
    // Line edits take Ctrl+C for themselves; with nothing selected it copies the horse.
    for (QLineEdit* box : main->findChildren<QLineEdit*>()) {
        box->installEventFilter(this);
        if (box->isReadOnly())
            box->setContextMenuPolicy(Qt::NoContextMenu); // the window's menu instead
    }
    main->installEventFilter(this);
    // Elsewhere (GO, Hypo Mate) the window's shortcut does it.
    auto* copy = new QShortcut(QKeySequence::Copy, main);
    connect(copy, &QShortcut::activated, this, &HorseCopier::copyHorse);
}

QString HorseCopier::horseText() const
{
    return QString::fromStdString((heading_ ? heading_() : std::string()) + boxesPlain(boxes_()));
}

void HorseCopier::copyHorse() const { QApplication::clipboard()->setText(horseText()); }

std::unique_ptr<QMenu> HorseCopier::menuAt(const QPoint& pos) const
{
    auto menu = std::make_unique<QMenu>(main_);
    menu->setFont(main_->font()); // the window's face at its zoom
    const bool foal = boxes_().ageSex == " New Foal";
    QAction* horse = menu->addAction(foal ? QStringLiteral("Copy Foal") : QStringLiteral("Copy Horse"), this,
                                     &HorseCopier::copyHorse);
    horse->setShortcut(QKeySequence::Copy);
    auto* box = qobject_cast<QLineEdit*>(main_->childAt(pos));
    const QString text = box ? box->text().trimmed() : QString();
    if (!text.isEmpty()) {
        const QString shown = menu->fontMetrics().elidedText(text, Qt::ElideRight, 300);
        menu->addAction(QStringLiteral("Copy \u201C%1\u201D").arg(shown),
                        [text] { QApplication::clipboard()->setText(text); });
    }
    if (forBox_)
        forBox_(*menu, box);
    if (more_) {
        menu->addSeparator();
        more_(*menu);
    }
    return menu;
}

bool HorseCopier::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* box = qobject_cast<QLineEdit*>(watched);
        if (box && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy) && !box->hasSelectedText()) {
            copyHorse();
            return true;
        }
    } else if (event->type() == QEvent::ContextMenu && watched == main_) {
        auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        const auto menu = menuAt(menuEvent->pos());
        if (moreActions_)
            moreActions_(menu.get());
        menu->exec(menuEvent->globalPos());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quindle::ui
