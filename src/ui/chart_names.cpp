#include "ui/chart_names.h"

#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <algorithm>

#include "ui/fit_text.h"
#include "ui/latin1.h"

namespace quindle::ui {

ChartNames::ChartNames(std::vector<NameBox*> boxes, std::function<bool(const QLineEdit*)> offers, Commands commands,
                       QObject* parent)
    : QObject(parent), boxes_(std::move(boxes)), offers_(std::move(offers)), commands_(std::move(commands))
{
    for (NameBox* box : boxes_)
        box->installEventFilter(this);
}

std::string ChartNames::nameIn(const QLineEdit* box) const
{
    if (!box || std::find(boxes_.begin(), boxes_.end(), box) == boxes_.end() || !offers_(box))
        return {};
    return toLatin1(box->text().trimmed());
}

void ChartNames::addTo(QMenu& menu, const QLineEdit* box) const
{
    const std::string name = nameIn(box);
    if (name.empty())
        return;
    const QString shown = menu.fontMetrics().elidedText(fromLatin1(name), Qt::ElideRight, 300);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Foals of %1").arg(shown), this, [this, name] { commands_.foals(name); });
    // Picked, not typed: the name is taken whole, whatever its characters.
    menu.addAction(QStringLiteral("Best mares for %1").arg(shown), this,
                   [this, name, box] { commands_.bestMares(name, box); });
    menu.addAction(QStringLiteral("Use as Sire in Hypo Mate"), this,
                   [this, name, box] { commands_.useAsSire(name, box); });
}

void ChartNames::refresh()
{
    for (NameBox* box : boxes_) {
        const std::string name = nameIn(box);
        box->setHint(
            name.empty()
                ? QString()
                : QStringLiteral("Double click: Foals of %1 (more on the right button)").arg(fromLatin1(name)));
    }
}

bool ChartNames::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        const std::string name = nameIn(qobject_cast<QLineEdit*>(watched));
        if (!name.empty()) {
            commands_.foals(name);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace quindle::ui
