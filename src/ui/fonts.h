#pragma once
// The faces both windows use. They are built into the program as a Qt resource
// (with their licence), so the windows never depend on what the system has.
#include <QFont>
#include <QStringList>

namespace quindle::ui {

// Registers the built-in faces; only the first call does anything. Returns
// the families registered.
QStringList loadBuiltInFonts();

// Tooltips, menus and message boxes in the built-in face as well, at the
// desktop's own size.
void useBuiltInFaceEverywhere();

// DejaVu Sans Condensed: an 18-letter name fits a pedigree box at 10 pixels.
QFont windowFont(int pixels = 10);
// DejaVu Sans Mono: the profile grid's column header spaces its letters over
// the grid columns, which a fixed-pitch face of that advance puts in place.
QFont headerFont(int pixels = 8);

} // namespace quindle::ui
