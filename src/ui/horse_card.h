#pragma once
// The card of the horse or foal the main window shows: one A4 page with its
// name, age and sex, the pedigree chart in the window's colours, the profile
// grid and summary, the chart, and at the foot where the data came from.
#include <QColor>
#include <QIODevice>
#include <QRectF>
#include <QString>
#include <array>
#include <optional>

#include "main_state/main_boxes.h"
#include "data/data_folder.h"
#include "dosage/format.h"
#include "dosage/profile.h"

class QPainter;
class QWidget;

namespace quindle::ui {

struct HorseCard {
    std::array<QString, 18> chart; // Text2 .. Text17 at their own numbers
    QString title;                 // the horse's name, or the mating's
    QString ageSex;
    QString identity; // "horse N" for a horse, "for MARE (horse N)" for a mating made for her
    QColor horseColour, ageSexColour;
    std::array<QString, kProfileBoxes> profileTexts;
    std::optional<DosageProfile> profile;
    QString dataFolder, stamp, date;
};

// The card of a window's chart texts (Text2 .. Text17 at their own numbers),
// its age/sex text and its boxes, read from this data folder's breeding file
// with this stamp (nullopt: it was not there). `title` (Latin-1), when given,
// titles a mating (as "STALLION x MARE (ID)"); `identity` says whose card it is.
HorseCard cardOf(const std::array<QString, 18>& chart, const QString& ageSex, const MainBoxes& boxes,
                 const DataFolder& folder, const std::optional<std::string>& stamp, const std::string& title = {},
                 const QString& identity = {});

// Draws the card on a page of `page` (any size of A4's proportions).
void paintHorseCard(QPainter& painter, const QRectF& page, const HorseCard& card);

// Writes the card as a one-page PDF into `file` (saveWhole's); false when the
// writing failed.
bool writeHorseCardPdf(const HorseCard& card, QIODevice& file);

// Whether this build can print (the Windows build has no print support: it
// writes PDF only).
bool cardPrintingAvailable();
// Asks for a printer and prints the card.
void printHorseCard(QWidget* parent, const HorseCard& card);

} // namespace quindle::ui
