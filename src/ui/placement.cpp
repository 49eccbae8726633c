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

BesidePlace placeBeside(QRect other, QSize outer, QRect area)
{
    const auto clampX = [&](int x) {
        return std::clamp(x, area.left(), std::max(area.left(), area.right() + 1 - outer.width()));
    };
    const auto clampY = [&](int y) {
        return std::clamp(y, area.top(), std::max(area.top(), area.bottom() + 1 - outer.height()));
    };
    const int roomRight = area.right() - other.right();
    const int roomLeft = other.left() - area.left();
    const int roomBelow = area.bottom() - other.bottom();
    const int roomAbove = other.top() - area.top();
    const QPoint stays = other.topLeft();
    if (roomRight >= outer.width())
        return {{other.right() + 1, clampY(other.top())}, stays};
    if (roomLeft >= outer.width())
        return {{other.left() - outer.width(), clampY(other.top())}, stays};
    if (roomBelow >= outer.height())
        return {{clampX(other.left()), other.bottom() + 1}, stays};
    if (roomAbove >= outer.height())
        return {{clampX(other.left()), other.top() - outer.height()}, stays};
    // Room only when the other window moves: side by side across the screen, the
    // window on the side with more room so the other moves least.
    if (other.width() + outer.width() <= area.width()) {
        if (roomRight >= roomLeft) {
            const int otherLeft = area.right() + 1 - outer.width() - other.width();
            return {{otherLeft + other.width(), clampY(other.top())}, {otherLeft, other.top()}};
        }
        const int otherLeft = area.left() + outer.width();
        return {{area.left(), clampY(other.top())}, {otherLeft, other.top()}};
    }
    if (other.height() + outer.height() <= area.height()) {
        const int otherTop = area.bottom() + 1 - outer.height() - other.height();
        return {{clampX(other.left()), otherTop + other.height()}, {other.left(), otherTop}};
    }
    return {{clampX(area.right()), clampY(other.top())}, stays};
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
