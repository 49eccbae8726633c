#pragma once
// The mark of a note on a name (a repeated sire): a small dark triangle in the
// top right corner, drawn alike on the main window's boxes and in tables.
#include <QRect>
#include <QStyledItemDelegate>

class QPainter;

namespace quindle::ui {

QColor noteMarkColour();

// Draws the mark inside the top right corner of `area`.
void paintNoteMark(QPainter& painter, const QRect& area);

// A table's cell whose model gives text under this role wears the mark.
inline constexpr int kNoteRole = Qt::UserRole + 20;

// Draws a cell as usual, then the mark when it has a note.
class NoteMarkDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace quindle::ui
