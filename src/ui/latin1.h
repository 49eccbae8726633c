#pragma once
// Names in the data files are 8-bit text shown as Latin-1; every byte maps to one
// character and back, so nothing is lost between a file and a box.
#include <QString>
#include <string>
#include <string_view>

namespace quindle::ui {

inline QString fromLatin1(std::string_view bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
inline std::string toLatin1(const QString& text) { return text.toLatin1().toStdString(); }

} // namespace quindle::ui
