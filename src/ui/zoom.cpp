#include "ui/zoom.h"

#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>
#include <QRect>
#include <QKeySequence>
#include <QLayout>
#include <QSettings>
#include <QShortcut>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "ui/placement.h"

namespace quindle::ui {

namespace {
constexpr const char* kBaseRect = "quindleDesignedRect";
constexpr const char* kBaseFont = "quindleDesignedFont";
constexpr const char* kBaseSize = "quindleDesignedSize";
constexpr const char* kZoomKey = "window/zoom";
constexpr const char* kSizedAt = "quindleSizedAtZoom";

QFont zoomedFont(QFont font, int percent)
{
    if (font.pixelSize() > 0)
        font.setPixelSize(zoomed(font.pixelSize(), percent));
    else
        font.setPointSizeF(font.pointSizeF() * percent / 100.0);
    return font;
}

// Edges are scaled, not sizes, so boxes that touch at 100 % still touch.
QRect zoomedRect(const QRect& r, int percent)
{
    const int left = zoomed(r.left(), percent), top = zoomed(r.top(), percent);
    return {left, top, zoomed(r.left() + r.width(), percent) - left, zoomed(r.top() + r.height(), percent) - top};
}

void zoomFont(QWidget* widget, int percent)
{
    if (!widget->testAttribute(Qt::WA_SetFont) && !widget->property(kBaseFont).isValid())
        return; // it follows its parent
    if (!widget->property(kBaseFont).isValid())
        widget->setProperty(kBaseFont, widget->font());
    widget->setFont(zoomedFont(widget->property(kBaseFont).value<QFont>(), percent));
}
} // namespace

int zoomed(int pixels, int percent) { return static_cast<int>(std::lround(pixels * percent / 100.0)); }

void applyZoom(QWidget* window, int percent)
{
    percent = std::clamp(percent, kZoomMin, kZoomMax);
    auto children = window->findChildren<QWidget*>();
    // Other windows (the mating window, popups) are zoomed on their own.
    children.removeIf([window](QWidget* child) { return child->window() != window; });
    for (QWidget* child : children)
        if (!child->property(kBaseRect).isValid())
            child->setProperty(kBaseRect, child->geometry());
    if (!window->property(kBaseSize).isValid())
        window->setProperty(kBaseSize, window->size());

    zoomFont(window, percent);
    const QSize size = window->property(kBaseSize).toSize();
    window->setFixedSize(zoomed(size.width(), percent), zoomed(size.height(), percent));
    for (QWidget* child : children) {
        zoomFont(child, percent);
        child->setGeometry(zoomedRect(child->property(kBaseRect).toRect(), percent));
    }
}

void setDesignedSize(QWidget* window, const QSize& size) { window->setProperty(kBaseSize, size); }

void applyFontZoom(QWidget* window, int percent)
{
    if (!window->property(kBaseFont).isValid())
        window->setProperty(kBaseFont, window->font());
    zoomFont(window, std::clamp(percent, kZoomMin, kZoomMax));
}

void zoomWindowSize(QWidget* window, QSize designed, int percent)
{
    const QVariant before = window->property(kSizedAt);
    window->setProperty(kSizedAt, percent);
    if (!window->isVisible()) {
        window->resize(zoomed(designed.width(), percent), zoomed(designed.height(), percent));
        return;
    }
    if (QLayout* layout = window->layout())
        layout->activate(); // the least size of the new face
    const int from = before.isValid() ? before.toInt() : kZoomMin;
    const QPoint corner = window->frameGeometry().topLeft();
    window->resize(window->width() * percent / from, window->height() * percent / from);
    placeOnScreen(window, corner, window);
}

int fittingZoom(int percent, QSize designed, QSize available)
{
    // Room for a title bar and borders, which the window manager adds outside the window.
    const QSize frame(16, 40);
    int zoom = std::clamp(percent, kZoomMin, kZoomMax);
    while (zoom > kZoomMin && (zoomed(designed.width(), zoom) + frame.width() > available.width() ||
                               zoomed(designed.height(), zoom) + frame.height() > available.height()))
        zoom = std::max(kZoomMin, zoom - kZoomStep);
    return zoom;
}

void zoomTable(QTableView* table, int percent, std::span<const int> designedWidths)
{
    const QFontMetrics cells(table->font());
    table->verticalHeader()->setMinimumSectionSize(1);
    table->verticalHeader()->setDefaultSectionSize(cells.height() + zoomed(4, percent));
    zoomColumns(table->horizontalHeader(), percent, designedWidths);
}

void zoomColumns(QHeaderView* header, int percent, std::span<const int> designedWidths)
{
    // The titles in the face of their table, which a header does not always follow by itself.
    if (const QWidget* view = header->parentWidget())
        header->setFont(view->font());
    const QFontMetrics titles(header->font());
    const QAbstractItemModel* model = header->model();
    for (int column = 0; column < static_cast<int>(designedWidths.size()); ++column) {
        const QString title = model ? model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString() : QString();
        // The title, its margins and the sort arrow.
        const int needed = titles.horizontalAdvance(title) + zoomed(18, percent);
        header->resizeSection(column,
                              std::max(zoomed(designedWidths[static_cast<std::size_t>(column)], percent), needed));
    }
}

void addZoomKeys(QWidget* window, std::function<int()> current, std::function<void(int)> set)
{
    const auto key = [&](const QKeySequence& keys, int step) {
        QObject::connect(new QShortcut(keys, window), &QShortcut::activated, window,
                         [current, set, step] { set(step ? current() + step : kZoomMin); });
    };
    key(QKeySequence::ZoomIn, kZoomStep);
    key(QKeySequence(Qt::CTRL | Qt::Key_Equal), kZoomStep);
    key(QKeySequence::ZoomOut, -kZoomStep);
    key(QKeySequence(Qt::CTRL | Qt::Key_0), 0);
}

int savedZoom() { return std::clamp(QSettings().value(QLatin1String(kZoomKey), kZoomMin).toInt(), kZoomMin, kZoomMax); }

void saveZoom(int percent) { QSettings().setValue(QLatin1String(kZoomKey), percent); }

} // namespace quindle::ui
