#pragma once
// A count with its noun, as a player reads it: "1 horse", "2 horses".
#include <QString>

namespace quindle::ui {

inline QString countOf(qint64 count, const QString& noun)
{
    return QString::number(count) + QLatin1Char(' ') + noun + (count == 1 ? QString() : QStringLiteral("s"));
}

} // namespace quindle::ui
