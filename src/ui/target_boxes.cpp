#include "ui/target_boxes.h"

#include <QLineEdit>

namespace quindle::ui {

QLineEdit* boundBox(QWidget* parent, const char* name, const QString& hint)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setPlaceholderText(hint);
    box->setMaximumWidth(70);
    return box;
}

std::optional<ValueRange> rangeOfBoxes(QLineEdit* low, QLineEdit* high)
{
    const auto parsed = parseRange((low->text().trimmed() + QLatin1Char(':') + high->text().trimmed()).toStdString());
    for (QLineEdit* box : {low, high})
        box->setStyleSheet(parsed || box->text().trimmed().isEmpty() ? QString() : QStringLiteral("color: #b00000"));
    if (!parsed || (!parsed->min && !parsed->max))
        return std::nullopt;
    return parsed;
}

QString csvPath(const QString& path)
{
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".csv");
}

} // namespace quindle::ui
