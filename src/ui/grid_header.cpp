#include "ui/grid_header.h"

#include <QPainter>
#include <QStyleOptionFrame>

namespace quindle::ui {

void GridHeader::setColumns(std::vector<QWidget*> columns)
{
    columns_.assign(columns.begin(), columns.end());
    update();
}

void GridHeader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));
    std::size_t column = 0;
    for (const QChar letter : text()) {
        if (letter.isSpace())
            continue;
        if (column >= columns_.size() || !columns_[column])
            break;
        const QWidget* under = columns_[column++];
        // The column's centre in this box, to the half pixel the number is centred on.
        const qreal centre = under->x() - x() + under->width() / 2.0;
        const QRectF cell(centre - height(), 0, 2.0 * height(), height());
        painter.drawText(cell, Qt::AlignCenter, QString(letter));
    }
}

} // namespace quindle::ui
