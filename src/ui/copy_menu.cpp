#include "ui/copy_menu.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>

#include "boxes/boxes_text.h"
#include "ui/main_form.h"

namespace quindle::ui {

HorseCopier::HorseCopier(MainForm* main) : QObject(main), main_(main)
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

QString HorseCopier::horseText() const { return QString::fromStdString(boxesPlain(main_->readBoxes())); }

void HorseCopier::copyHorse() const { QApplication::clipboard()->setText(horseText()); }

std::unique_ptr<QMenu> HorseCopier::menuAt(const QPoint& pos) const
{
    auto menu = std::make_unique<QMenu>(main_);
    const bool foal = main_->ageSex()->text() == QLatin1String(" New Foal");
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
    menu->addSeparator();
    QAction* keep = menu->addAction(QStringLiteral("Add to My Horses"), main_, &MainForm::addShownHorse);
    keep->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    keep->setEnabled(main_->shownHorse() != 0);
    menu->addAction(QStringLiteral("My Horses\u2026"), main_, &MainForm::openMyHorses)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H));
    menu->addAction(QStringLiteral("Season\u2026"), main_, &MainForm::openSeason)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
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
        menuAt(menuEvent->pos())->exec(menuEvent->globalPos());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quindle::ui
