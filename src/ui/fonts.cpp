#include "ui/fonts.h"

#include <QApplication>
#include <QFontDatabase>

namespace quindle::ui {

QStringList loadBuiltInFonts()
{
    static const QStringList families = [] {
        QStringList out;
        for (const char* file : {":/fonts/DejaVuSansCondensed.ttf", ":/fonts/DejaVuSansCondensed-Bold.ttf",
                                 ":/fonts/DejaVuSansMono.ttf"}) {
            const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
            if (id >= 0)
                out += QFontDatabase::applicationFontFamilies(id);
        }
        out.removeDuplicates();
        return out;
    }();
    return families;
}

namespace {
QFont face(const char* family, int pixels)
{
    loadBuiltInFonts();
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    return font;
}
} // namespace

void useBuiltInFaceEverywhere()
{
    loadBuiltInFonts();
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed")});
    QApplication::setFont(font);
}

QFont windowFont(int pixels) { return face("DejaVu Sans Condensed", pixels); }

QFont headerFont(int pixels) { return face("DejaVu Sans Mono", pixels); }

} // namespace quindle::ui
