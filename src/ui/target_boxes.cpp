#include "ui/target_boxes.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QCryptographicHash>
#include <QLineEdit>
#include <QSettings>
#include <QSignalBlocker>

#include "planner/named_targets.h"
#include "ui/zoom.h"

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

void TargetBoxes::build(QWidget* parent, QBoxLayout* row, const QString& prefix, const std::function<void()>& changed)
{
    const auto name = [&prefix](const char* plain) {
        QString text = QString::fromLatin1(plain);
        if (!prefix.isEmpty())
            text = prefix + text.front().toUpper() + text.mid(1);
        return text;
    };
    const auto bound = [&](const char* plain, const char* hint) {
        QLineEdit* box = boundBox(parent, name(plain).toLatin1().constData(), QString::fromLatin1(hint));
        QObject::connect(box, &QLineEdit::textChanged, parent, [this] { save(); });
        QObject::connect(box, &QLineEdit::textChanged, parent, changed);
        return box;
    };
    diMin_ = bound("diMin", "min");
    diMax_ = bound("diMax", "max");
    cdMin_ = bound("cdMin", "min");
    cdMax_ = bound("cdMax", "max");
    minTotal_ = new QSpinBox(parent);
    minTotal_->setObjectName(name("minTotal"));
    minTotal_->setRange(0, 9999);
    QObject::connect(minTotal_, &QSpinBox::valueChanged, parent, [this] { save(); });
    QObject::connect(minTotal_, &QSpinBox::valueChanged, parent, changed);
    row->addWidget(new QLabel(QStringLiteral("DI"), parent));
    row->addWidget(diMin_);
    row->addWidget(diMax_);
    row->addWidget(new QLabel(QStringLiteral("CD"), parent));
    row->addWidget(cdMin_);
    row->addWidget(cdMax_);
    row->addWidget(new QLabel(QStringLiteral("Total at least"), parent));
    row->addWidget(minTotal_);
    row->addWidget(namedTargetsBox(parent, name("namedTarget")));
}

QComboBox* TargetBoxes::namedTargetsBox(QWidget* parent, const QString& objectName)
{
    // A target known by name fills the boxes with its ranges; the boxes stay the player's to change.
    auto* named = new QComboBox(parent);
    named->setObjectName(objectName);
    named->addItem(QStringLiteral("Named target\u2026"));
    for (const NamedTarget& target : namedTargets())
        named->addItem(QString::fromUtf8(target.name.data(), static_cast<qsizetype>(target.name.size())));
    named->setToolTip(QStringLiteral("Classic distances: DI at most 4.00 and CD at most 1.25, as the published "
                                     "guidance has it"));
    QObject::connect(named, &QComboBox::activated, parent, [this, named](int index) {
        if (index <= 0)
            return;
        const NamedTarget& target = namedTargets()[static_cast<std::size_t>(index - 1)];
        const auto text = [](const std::optional<double>& bound) {
            return bound ? QString::number(*bound, 'f', 2) : QString();
        };
        diMin_->setText(text(target.di.min));
        diMax_->setText(text(target.di.max));
        cdMin_->setText(text(target.cd.min));
        cdMax_->setText(text(target.cd.max));
        named->setCurrentIndex(0);
    });
    return named;
}

void TargetBoxes::keepFor(const QString& name, const std::string& folder)
{
    // The folder's path, which holds the settings' own separators, by its digest.
    const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(folder), QCryptographicHash::Sha1);
    key_.clear(); // nothing is kept while the boxes take what was
    const QStringList kept = QSettings()
                                 .value(QStringLiteral("targets/%1/%2").arg(name, QString::fromLatin1(digest.toHex())))
                                 .toStringList();
    const std::array<QLineEdit*, 4> boxes{diMin_, diMax_, cdMin_, cdMax_};
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const QSignalBlocker quiet(boxes[i]);
        boxes[i]->setText(static_cast<qsizetype>(i) < kept.size() ? kept[static_cast<qsizetype>(i)] : QString());
    }
    {
        const QSignalBlocker quiet(minTotal_);
        minTotal_->setValue(kept.size() > 4 ? kept[4].toInt() : 0);
    }
    key_ = QStringLiteral("targets/%1/%2").arg(name, QString::fromLatin1(digest.toHex()));
}

void TargetBoxes::save() const
{
    if (key_.isEmpty())
        return;
    QSettings().setValue(key_, QStringList{diMin_->text(), diMax_->text(), cdMin_->text(), cdMax_->text(),
                                           QString::number(minTotal_->value())});
}

void TargetBoxes::setZoom(int percent, int least) const
{
    constexpr int kBoundWidth = 70;
    for (QLineEdit* box : {diMin_, diMax_, cdMin_, cdMax_}) {
        box->setMaximumWidth(zoomed(kBoundWidth, percent));
        if (least > 0)
            box->setMinimumWidth(zoomed(least, percent));
    }
}

QString csvPath(const QString& path)
{
    // A name with a dot ("plan.txt", "season.2024", "plan.") is the file the
    // dialog asked about before replacing it, as the dialog adds its type only
    // to a name without one: it is written as it is.
    return QFileInfo(path).fileName().contains(QLatin1Char('.')) ? path : path + QStringLiteral(".csv");
}

} // namespace quindle::ui
