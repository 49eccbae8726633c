#include "ui/fonts.h"

#include <QApplication>
#include <QFontDatabase>

namespace quindle::ui {

namespace {
struct BuiltIn {
    QStringList families;
    // The family the condensed face registered under: "DejaVu Sans Condensed"
    // where fontconfig names it, "DejaVu Sans" (a condensed width of it) where
    // its typographic family is read, as on Windows.
    QString condensed = QStringLiteral("DejaVu Sans Condensed");
};

const BuiltIn& builtIn()
{
    static const BuiltIn fonts = [] {
        BuiltIn out;
        for (const char* file : {":/fonts/DejaVuSansCondensed.ttf", ":/fonts/DejaVuSansCondensed-Bold.ttf",
                                 ":/fonts/DejaVuSansMono.ttf"}) {
            const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
            const QStringList names = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
            if (out.families.isEmpty() && !names.isEmpty())
                out.condensed = names.first();
            out.families += names;
        }
        out.families.removeDuplicates();
        return out;
    }();
    return fonts;
}
} // namespace

QStringList loadBuiltInFonts() { return builtIn().families; }

namespace {
QFont face(const char* family, int pixels)
{
    loadBuiltInFonts();
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    return font;
}

QFont condensed(QFont font)
{
    const QString& family = builtIn().condensed;
    font.setFamilies({family});
    if (!family.contains(QLatin1String("Condensed")))
        font.setStretch(QFont::SemiCondensed);
    return font;
}
} // namespace

void useBuiltInFaceEverywhere()
{
    loadBuiltInFonts();
    QApplication::setFont(condensed(QApplication::font()));
}

QFont windowFont(int pixels)
{
    QFont font;
    font.setPixelSize(pixels);
    return condensed(font);
}

QFont headerFont(int pixels) { return face("DejaVu Sans Mono", pixels); }

} // namespace quindle::ui
