#pragma once
// Where a window opens: never partly off its screen's free area (the area
// without panels and task bars), whatever the place asked for.
#include <QPoint>
#include <optional>

class QWidget;

namespace quindle::ui {

// Moves `window` to `wanted` (its top-left corner, frame included), shifted
// and, when it is larger than the area, shrunk so it lies inside the free area
// of the screen `near` is on.
void placeOnScreen(QWidget* window, QPoint wanted, const QWidget* near);

// Where the player moved the mating window, kept between runs; none while it
// stays beside the main window.
std::optional<QPoint> savedMatingWindowPlace();
void saveMatingWindowPlace(const std::optional<QPoint>& place);

} // namespace quindle::ui
