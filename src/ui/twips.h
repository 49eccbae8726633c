#pragma once
// The windows are laid out in twips, 15 to a logical pixel; Qt's own scaling
// then fits them to high-DPI screens.
#include <QColor>
#include <QRect>

#include "lookup/horse_lookup.h"

namespace quindle::ui {

constexpr int px(int twips) { return (twips + 7) / 15; }
inline QRect twipsRect(int left, int top, int width, int height) { return {px(left), px(top), px(width), px(height)}; }
inline QColor toQColor(Rgb c) { return QColor(c.red, c.green, c.blue); }

} // namespace quindle::ui
