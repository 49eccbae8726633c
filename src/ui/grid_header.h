#pragma once
// The profile grid's column letters: each letter of the caption is drawn
// centred over its column of number boxes, wherever the face puts its
// advance, so the letters stay over their numbers at every zoom and font.
#include <QPointer>
#include <vector>

#include "ui/fit_text.h"

namespace quindle::ui {

class GridHeader : public NameBox {
public:
    using NameBox::NameBox;
    // The boxes under the caption's letters, in the order the letters come
    // (blanks between the letters only space them).
    void setColumns(std::vector<QWidget*> columns);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<QPointer<QWidget>> columns_;
};

} // namespace quindle::ui
