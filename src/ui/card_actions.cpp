#include "ui/card_actions.h"

#include <QMenu>
#include <QShortcut>
#include <QWidget>

#include "ui/table_actions.h"
#include "ui/ui_seam.h"

namespace quindle::ui {

CardActions::CardActions(QWidget* main, std::function<bool()> shows, std::function<HorseCard()> card)
    : QObject(main), main_(main), shows_(std::move(shows)), card_(std::move(card))
{
    auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), main);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, &CardActions::print);
}

void CardActions::print()
{
    if (!cardPrintingAvailable()) {
        saveAsPdf(); // a build without print support writes the card as PDF instead
        return;
    }
    if (!shows_()) {
        seam().beep();
        return;
    }
    printHorseCard(main_, card_());
}

void CardActions::saveAsPdf()
{
    if (!shows_()) {
        seam().beep();
        return;
    }
    const QString path =
        seam().saveFileName(main_, QStringLiteral("Save the card as PDF"), QStringLiteral("PDF files (*.pdf)"));
    if (!path.isEmpty())
        writePdf(path);
}

bool CardActions::writePdf(const QString& path)
{
    const HorseCard card = card_();
    return saveWhole(main_, path, QStringLiteral("card"),
                     [&card](QIODevice& file) { return writeHorseCardPdf(card, file); });
}

void CardActions::addTo(QMenu* menu)
{
    const bool shows = shows_();
    if (cardPrintingAvailable()) {
        QAction* print = menu->addAction(QStringLiteral("Print Card\u2026"), this, &CardActions::print);
        print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
        print->setEnabled(shows);
    }
    menu->addAction(QStringLiteral("Save Card as PDF\u2026"), this, &CardActions::saveAsPdf)->setEnabled(shows);
}

} // namespace quindle::ui
