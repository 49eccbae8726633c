#pragma once
// Copying what the main window shows. Ctrl+C copies the horse (or the foal) as
// plain text, as `quindle-cli show` prints it; a box with a selection copies the
// selection as usual. The context menu offers the same and one box's text.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "main_state/main_boxes.h"

class QLineEdit;
class QMenu;
class QPoint;
class QWidget;

namespace quindle::ui {

class HorseCopier : public QObject {
    Q_OBJECT

public:
    // Call when the window's boxes are built; `boxes` reads them.
    HorseCopier(QWidget* window, std::function<MainBoxes()> boxes);

    QString horseText() const;
    void copyHorse() const;
    // The context menu for a right-click at `pos` in the window.
    std::unique_ptr<QMenu> menuAt(const QPoint& pos) const;
    // The window's own actions, added after Copy when the menu opens.
    void setMoreActions(std::function<void(QMenu*)> add) { moreActions_ = std::move(add); }
    // The window's own commands, added to the menu after the copies.
    void addToMenu(std::function<void(QMenu&)> add) { more_ = std::move(add); }
    // Commands for the box under the pointer (null when none), added right after the copies.
    void addForBox(std::function<void(QMenu&, const QLineEdit*)> add) { forBox_ = std::move(add); }
    // The line the copy starts with (the identifier looked up), empty for none.
    void setHeading(std::function<std::string()> heading) { heading_ = std::move(heading); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* main_;
    std::function<MainBoxes()> boxes_;
    std::function<void(QMenu*)> moreActions_;
    std::function<void(QMenu&)> more_;
    std::function<void(QMenu&, const QLineEdit*)> forBox_;
    std::function<std::string()> heading_;
};

} // namespace quindle::ui
