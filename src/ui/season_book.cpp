#include "ui/season_book.h"

#include <QBoxLayout>
#include <QDate>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>
#include <array>

#include "ui/fonts.h"
#include "ui/latin1.h"
#include "ui/season_form.h"
#include "ui/session.h"
#include "ui/table_actions.h"
#include "ui/ui_seam.h"

#if QUINDLE_HAVE_PRINTING
#include <QPrintDialog>
#include <QPrinter>
#endif

namespace quindle::ui {

namespace {

// Every page is drawn 1000 units wide, as the card is.
constexpr double kUnits = 1000;
constexpr double kMargin = 60;
constexpr double kRowHeight = 21;
constexpr double kFootRoom = 40;
// The table's columns at their widths, which fill the width between the margins.
constexpr std::array<double, kSeasonBookColumns.size()> kWidths{48, 150, 150, 34, 34, 34, 34, 34,
                                                                34, 38,  44,  50, 38, 38, 120};
constexpr double kLargestType = 11, kSmallestType = 7;

QFont bookFont(double pixels, bool bold = false)
{
    QFont font = windowFont();
    font.setPixelSize(static_cast<int>(pixels));
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferNoShaping); // the PDF's text reads back letter for letter
    return font;
}

// A cell's text in its room: in smaller type when it is too wide, then on two
// lines, cut with an ellipsis only when even that is not enough, so no cell
// runs into the next.
void drawCell(QPainter& painter, const QRectF& cell, const QString& text, Qt::Alignment align, bool bold)
{
    const QRectF room = cell.adjusted(3, 0, -3, 0);
    for (double size = kLargestType; size >= kSmallestType; size -= 1) {
        painter.setFont(bookFont(size, bold));
        if (painter.fontMetrics().horizontalAdvance(text) <= room.width()) {
            painter.drawText(room, align | Qt::AlignVCenter, text);
            return;
        }
    }
    const int twoLines = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWrapAnywhere;
    if (painter.boundingRect(room, twoLines, text).height() <= room.height()) {
        painter.drawText(room, twoLines, text);
        return;
    }
    painter.drawText(room, align | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(text, Qt::ElideRight, static_cast<int>(room.width())));
}

class TablePainter {
public:
    TablePainter(QPainter& painter, double height, const SeasonBookPages& pages, const std::function<bool()>& newPage)
        : painter_(painter), height_(height), pages_(pages), newPage_(newPage)
    {
    }

    bool paint()
    {
        double y = heading();
        y = header(y);
        for (const SeasonBookRow& row : pages_.book.rows) {
            if (y + kRowHeight > height_ - kMargin - kFootRoom) { // on to the next page, under the titles again
                foot();
                if (!newPage_())
                    return false;
                y = header(kMargin);
            }
            this->row(y, row);
            y += kRowHeight;
        }
        foot();
        return true;
    }

private:
    double heading()
    {
        const double width = kUnits - 2 * kMargin;
        painter_.setPen(Qt::black);
        painter_.setFont(bookFont(30, true));
        painter_.drawText(QRectF(kMargin, kMargin, width, 44), Qt::AlignLeft | Qt::AlignVCenter,
                          QString::fromStdString(pages_.book.title));
        double y = kMargin + 56;
        painter_.setFont(bookFont(14));
        QStringList lines;
        for (const std::string& line : pages_.book.heading)
            lines << QString::fromStdString(line);
        lines << QStringLiteral("Data folder: %1").arg(pages_.dataFolder)
              << QStringLiteral("Breeding file: %1").arg(pages_.stamp);
        for (const QString& line : lines) {
            const QRectF needed =
                painter_.boundingRect(QRectF(kMargin, y, width, 1000), Qt::AlignLeft | Qt::TextWordWrap, line);
            painter_.drawText(QRectF(kMargin, y, width, needed.height()), Qt::AlignLeft | Qt::TextWordWrap, line);
            y += needed.height() + 4;
        }
        return y + 16;
    }

    double header(double y)
    {
        double x = kMargin;
        painter_.setPen(Qt::black);
        for (std::size_t c = 0; c < kWidths.size(); ++c) {
            drawCell(painter_, QRectF(x, y, kWidths[c], kRowHeight), QString::fromLatin1(kSeasonBookColumns[c]),
                     c < 3 || c + 1 == kWidths.size() ? Qt::AlignLeft : Qt::AlignRight, true);
            x += kWidths[c];
        }
        painter_.drawLine(QPointF(kMargin, y + kRowHeight), QPointF(kUnits - kMargin, y + kRowHeight));
        return y + kRowHeight + 2;
    }

    void row(double y, const SeasonBookRow& row)
    {
        const std::vector<std::string> cells = row.cells();
        double x = kMargin;
        painter_.setPen(row.mated() ? Qt::black : QColor(0x80, 0x00, 0x00));
        for (std::size_t c = 0; c < kWidths.size(); ++c) {
            if (!row.mated() && c == 2) { // why she has none, across the stallion's and the foal's columns
                drawCell(painter_, QRectF(x, y, kUnits - kMargin - x, kRowHeight), fromLatin1(cells[c]), Qt::AlignLeft,
                         false);
                break;
            }
            drawCell(painter_, QRectF(x, y, kWidths[c], kRowHeight), fromLatin1(cells[c]),
                     c == 1 || c == 2 || c + 1 == kWidths.size() ? Qt::AlignLeft : Qt::AlignRight, false);
            x += kWidths[c];
        }
        painter_.setPen(QPen(QColor(0xd0, 0xd0, 0xd0), 1));
        painter_.drawLine(QPointF(kMargin, y + kRowHeight), QPointF(kUnits - kMargin, y + kRowHeight));
    }

    void foot()
    {
        ++page_;
        painter_.setPen(QColor(0x40, 0x40, 0x40));
        painter_.setFont(bookFont(12));
        const QRectF line(kMargin, height_ - kMargin - 20, kUnits - 2 * kMargin, 20);
        painter_.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                          QStringLiteral("Made by Quindle %1 on %2").arg(QStringLiteral(QUINDLE_VERSION), pages_.date));
        painter_.drawText(line, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Table, page %1").arg(page_));
    }

    QPainter& painter_;
    double height_;
    const SeasonBookPages& pages_;
    const std::function<bool()>& newPage_;
    int page_ = 0;
};

void printBook([[maybe_unused]] QWidget* parent, [[maybe_unused]] const SeasonBookPages& pages)
{
#if QUINDLE_HAVE_PRINTING
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(QString::fromStdString(pages.book.title));
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter(&printer);
    const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    // Each page keeps A4's proportions inside the printable area.
    const double width = std::min(area.width(), area.height() * 210.0 / 297.0);
    paintSeasonBook(painter, QRectF(0, 0, width, width * 297.0 / 210.0), pages,
                    [&printer] { return printer.newPage(); });
#endif
}

bool bookReady(const SeasonForm& form) { return !form.busy() && form.season() && !form.season()->dams.empty(); }

void saveClick(SeasonForm* form, const Session* session)
{
    if (!bookReady(*form)) {
        seam().beep();
        return;
    }
    const QString path =
        seam().saveFileName(form, QStringLiteral("Save the season book as PDF"), QStringLiteral("PDF files (*.pdf)"));
    if (!path.isEmpty())
        saveSeasonBook(form, *session, path);
}

} // namespace

SeasonBookPages seasonBookPages(const SeasonForm& form, const Session& session)
{
    SeasonBookPages pages;
    pages.book = seasonBookOf(*form.season(), form.query(), form.assignment(), form.rules());
    const auto stamp = session.data().sourceStamp();
    pages.dataFolder = QString::fromStdString(session.folder().dir());
    pages.stamp = stamp ? QString::fromStdString(*stamp) : QStringLiteral("(not readable now)");
    pages.date = QDate::currentDate().toString(Qt::ISODate);
    for (const SeasonBookRow& row : pages.book.rows) {
        if (!row.mated())
            continue;
        const MainBoxes boxes = bookMatingBoxes(row, session.chefs());
        std::array<QString, 18> chart;
        chart[2] = fromLatin1(boxes.horseName);
        for (std::size_t p = 0; p < boxes.lineage.size(); ++p)
            chart[3 + p] = fromLatin1(boxes.lineage[p]);
        pages.cards.push_back(cardOf(chart, fromLatin1(boxes.ageSex), boxes, session.folder(), stamp, row.title,
                                     QStringLiteral("for %1 (horse %2)").arg(fromLatin1(row.damName)).arg(row.damId)));
    }
    return pages;
}

bool paintSeasonBook(QPainter& painter, const QRectF& page, const SeasonBookPages& pages,
                     const std::function<bool()>& newPage)
{
    painter.save();
    painter.translate(page.topLeft());
    painter.scale(page.width() / kUnits, page.width() / kUnits);
    const double height = page.height() * kUnits / page.width();
    painter.fillRect(QRectF(0, 0, kUnits, height), Qt::white);
    const bool table = TablePainter(painter, height, pages, newPage).paint();
    painter.restore();
    if (!table)
        return false;
    for (const HorseCard& card : pages.cards) {
        if (!newPage())
            return false;
        paintHorseCard(painter, page, card);
    }
    return true;
}

bool writeSeasonBookPdf(const SeasonBookPages& pages, QIODevice& file)
{
    QPdfWriter pdf(&file);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(300);
    pdf.setTitle(QString::fromStdString(pages.book.title));
    pdf.setCreator(QStringLiteral("Quindle"));
    QPainter painter;
    if (!painter.begin(&pdf))
        return false;
    const bool painted =
        paintSeasonBook(painter, QRectF(0, 0, pdf.width(), pdf.height()), pages, [&pdf] { return pdf.newPage(); });
    return painter.end() && painted; // the PDF is written out at the end
}

bool saveSeasonBook(SeasonForm* form, const Session& session, const QString& path)
{
    if (!bookReady(*form)) {
        seam().beep();
        return false;
    }
    const SeasonBookPages pages = seasonBookPages(*form, session);
    return saveWhole(form, path, QStringLiteral("season book"),
                     [&pages](QIODevice& file) { return writeSeasonBookPdf(pages, file); });
}

void addSeasonBookActions(SeasonForm* form, QBoxLayout* buttons, const Session* session)
{
    auto* save = new QPushButton(QStringLiteral("Save as PDF\u2026"), form);
    save->setObjectName(QStringLiteral("saveBook"));
    save->setToolTip(QStringLiteral("The season book: the target, the rules and every mare with her stallion, then "
                                    "the card of each mating (Ctrl+P prints it)"));
    QObject::connect(save, &QPushButton::clicked, form, [form, session] { saveClick(form, session); });
    buttons->addWidget(save);
    auto* print = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), form);
    print->setContext(Qt::WindowShortcut);
    QObject::connect(print, &QShortcut::activated, form, [form, session] {
        if (!cardPrintingAvailable()) // a build without print support writes the book as PDF instead
            return saveClick(form, session);
        if (!bookReady(*form)) {
            seam().beep();
            return;
        }
        printBook(form, seasonBookPages(*form, *session));
    });
}

} // namespace quindle::ui
