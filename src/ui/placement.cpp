#include "ui/placement.h"

#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>

namespace quindle::ui {

namespace {
constexpr const char* kMatingPlaceKey = "window/matingWindow";
} // namespace

void placeOnScreen(QWidget* window, QPoint wanted, const QWidget* near)
{
    const QScreen* screen = near ? near->screen() : window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // A window not shown yet has no frame: allow for the usual title bar and borders.
    QSize frame = window->frameGeometry().size() - window->size();
    if (!window->isVisible())
        frame = frame.expandedTo(QSize(16, 40));
    if (window->minimumSize() != window->maximumSize())
        window->resize(window->size().boundedTo(area.size() - frame));
    const QSize outer = window->size() + frame;
    const int x = std::clamp(wanted.x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width()));
    const int y = std::clamp(wanted.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height()));
    window->move(x, y);
}

std::optional<QPoint> savedMatingWindowPlace()
{
    const QVariant place = QSettings().value(QLatin1String(kMatingPlaceKey));
    return place.isValid() ? std::optional<QPoint>(place.toPoint()) : std::nullopt;
}

void saveMatingWindowPlace(const std::optional<QPoint>& place)
{
    if (place)
        QSettings().setValue(QLatin1String(kMatingPlaceKey), *place);
    else
        QSettings().remove(QLatin1String(kMatingPlaceKey));
}

} // namespace quindle::ui
