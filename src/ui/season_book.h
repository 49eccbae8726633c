#pragma once
// The season book on paper: the heading and the table of every mare on as many
// pages as they take, then one card per mating, written as a PDF or printed.
// The season window's "Save as PDF…" button and Ctrl+P come from here.
#include <QIODevice>
#include <QString>
#include <functional>
#include <vector>

#include "export/season_book.h"
#include "ui/horse_card.h"

class QBoxLayout;
class QPainter;
class QWidget;

namespace quindle::ui {

class Session;
class SeasonForm;

struct SeasonBookPages {
    SeasonBook book;
    std::vector<HorseCard> cards; // one per mare with a stallion, in the table's order
    QString dataFolder, stamp, date;
};

// The book of what the season window shows now, with the card of each mating.
SeasonBookPages seasonBookPages(const SeasonForm& form, const Session& session);

// Draws the book on `device`'s pages (a QPdfWriter or a QPrinter), each page `page` in its units.
bool paintSeasonBook(QPainter& painter, const QRectF& page, const SeasonBookPages& pages,
                     const std::function<bool()>& newPage);
bool writeSeasonBookPdf(const SeasonBookPages& pages, QIODevice& file);

// Adds "Save as PDF…" to the window's row of buttons and Ctrl+P to the window:
// Ctrl+P prints where the build can print, else offers the PDF.
void addSeasonBookActions(SeasonForm* form, QBoxLayout* buttons, const Session* session);
// Writes the book the window shows to `path`; false after telling why not.
bool saveSeasonBook(SeasonForm* form, const Session& session, const QString& path);

} // namespace quindle::ui
