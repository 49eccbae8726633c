#pragma once
// The card of the horse or foal the main window shows: Ctrl+P prints it (where
// Qt can print; elsewhere it is saved as PDF instead), "Save Card as PDF…"
// writes it, and the two in the window's context menu.
#include <QObject>
#include <QString>
#include <functional>

#include "ui/horse_card.h"

class QMenu;
class QWidget;

namespace quindle::ui {

class CardActions : public QObject {
    Q_OBJECT
public:
    // `shows`: whether the main window shows a horse or a foal; `card`: its card.
    CardActions(QWidget* main, std::function<bool()> shows, std::function<HorseCard()> card);

    void print();
    void saveAsPdf();
    // False after telling why not.
    bool writePdf(const QString& path);
    void addTo(QMenu* menu);

private:
    QWidget* main_;
    std::function<bool()> shows_;
    std::function<HorseCard()> card_;
};

} // namespace quindle::ui
