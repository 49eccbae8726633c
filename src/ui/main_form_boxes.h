#pragma once
// The main window's boxes at their places in twips, named as the original
// design names them (Text2 .. Text17, AgeSex, PT0 .. PT44, Text16_0 ..,
// indicator, searchID, GO, HypoMate), with the frames, captions and buttons
// around them. Made once on the window; what they do is the window's.
#include <array>

#include "main_state/main_boxes.h"

class QLineEdit;
class QPushButton;
class QWidget;

namespace quindle::ui {

struct MainFormBoxes {
    std::array<QLineEdit*, 18> texts{}; // Text2 .. Text17 at their own numbers
    QLineEdit* ageSex = nullptr;
    QLineEdit* indicator = nullptr;
    QLineEdit* searchID = nullptr;
    std::array<QLineEdit*, 45> pt{};
    std::array<QLineEdit*, 15> text16{};
    QPushButton* go = nullptr;
    QPushButton* hypoMate = nullptr;
    QPushButton* plan = nullptr;
    QPushButton* find = nullptr;

    // Makes every box on `form`, in the order the keyboard meets them.
    void build(QWidget* form);
    // Gives each box the name its text goes by, so tests and tools find it.
    void name();

private:
    void buildChart(QWidget* form);
    void buildProfileArea(QWidget* form);
    void buildCommands(QWidget* form);
};

// A box's background colour, with dark text on it whatever the desktop's theme.
void setBoxColour(QLineEdit* box, Rgb colour);

} // namespace quindle::ui
