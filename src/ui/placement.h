#pragma once
// Where a window opens: never partly off its screen's free area (the area
// without panels and task bars), whatever the place asked for.
#include <QPoint>
#include <QRect>
#include <optional>

class QWidget;

namespace quindle::ui {

// Moves `window` to `wanted` (its top-left corner, frame included), shifted
// and, when it is larger than the area, shrunk so it lies inside the free area
// of the screen `near` is on.
void placeOnScreen(QWidget* window, QPoint wanted, const QWidget* near);

// Where a window of outer size `outer` (frame included) stands beside the
// window whose frame is `other`, inside `area`, covering none of it: to its
// right, its left, below or above it, the first that has room. When no side
// has room, `other` is moved aside as little as makes room (`otherAt`, its new
// top-left); only when the two cannot stand side by side at all does the
// window cover part of `other`, at the screen's right edge.
struct BesidePlace {
    QPoint windowAt;
    QPoint otherAt;
};
BesidePlace placeBeside(QRect other, QSize outer, QRect area);

// Where the player moved the mating window, kept between runs; none while it
// stays beside the main window.
std::optional<QPoint> savedMatingWindowPlace();
void saveMatingWindowPlace(const std::optional<QPoint>& place);

} // namespace quindle::ui
