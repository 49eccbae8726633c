#pragma once
// Zoom: a window and everything in it drawn at 100 % to 250 % of its designed
// size, layout and fonts together, so the twips layout keeps its proportions.
#include <QSize>
#include <functional>
#include <span>

class QHeaderView;
class QTableView;
class QWidget;

namespace quindle::ui {

inline constexpr int kZoomMin = 100;
inline constexpr int kZoomMax = 250;
inline constexpr int kZoomStep = 25;

// `pixels` of the designed size at `percent`.
int zoomed(int pixels, int percent);

// Scales `window`'s fixed size, its widgets' geometry and their fonts to
// `percent`. The designed size is taken from the first call, so build the
// window at 100 % first; widgets added later are taken as designed when met.
void applyZoom(QWidget* window, int percent);

// Changes the size `window` is designed at (a pane shown or hidden); the next
// applyZoom scales the new size.
void setDesignedSize(QWidget* window, const QSize& size);

// For a window laid out by layouts: only its face is scaled, and the layouts
// follow. Its designed face is taken from the first call.
void applyFontZoom(QWidget* window, int percent);

// The size of a window laid out by layouts after its face took `percent`
// (call it last in the window's zoom): a hidden window takes `designed` at
// `percent`; an open one scales the size it has, as the player left it, from
// the zoom it had, and is kept inside its screen.
void zoomWindowSize(QWidget* window, QSize designed, int percent);

// The largest zoom up to `percent`, in whole steps, at which a window designed
// at `designed` (100 %) fits `available` with its title bar and borders; never
// below 100 %.
int fittingZoom(int percent, QSize designed, QSize available);

// A table at `percent`: rows as tall as its face needs, columns `designedWidths`
// (at 100 %) scaled, and never narrower than their header's title.
void zoomTable(QTableView* table, int percent, std::span<const int> designedWidths);

// The sections of `header` (a table's or a tree's columns) at `percent`:
// `designedWidths` (at 100 %) scaled, and never narrower than their title.
void zoomColumns(QHeaderView* header, int percent, std::span<const int> designedWidths);

// Ctrl+plus (and Ctrl+= , plus without Shift), Ctrl+minus and Ctrl+0 in
// `window`: `set` is called with the zoom after the step from `current`.
void addZoomKeys(QWidget* window, std::function<int()> current, std::function<void(int)> set);

// The zoom the player chose last, kept between runs.
int savedZoom();
void saveZoom(int percent);

} // namespace quindle::ui
