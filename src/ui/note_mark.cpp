#include "ui/note_mark.h"

#include <QPainter>
#include <algorithm>

namespace quindle::ui {

QColor noteMarkColour() { return QColor(0x80, 0x10, 0x40); }

void paintNoteMark(QPainter& painter, const QRect& area)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const int size = std::max(5, area.height() / 5);
    const QPoint corner = area.topRight() + QPoint(-2, 2);
    const QPoint points[] = {corner, corner - QPoint(size, 0), corner + QPoint(0, size)};
    painter.setPen(Qt::NoPen);
    painter.setBrush(noteMarkColour());
    painter.drawPolygon(points, 3);
    painter.restore();
}

void NoteMarkDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (!index.data(kNoteRole).toString().isEmpty())
        paintNoteMark(*painter, option.rect);
}

} // namespace quindle::ui
