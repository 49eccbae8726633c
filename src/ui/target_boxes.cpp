#include "ui/target_boxes.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QCryptographicHash>
#include <QLineEdit>
#include <QSettings>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

#include "planner/named_targets.h"
#include "ui/saved_targets_store.h"
#include "ui/ui_seam.h"
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

namespace {

// What an item of the named targets' list does, kept in its data.
enum class NamedItem { Offer, BuiltIn, Saved, Save, Remove };
constexpr int kItemRole = Qt::UserRole;

QString boundText(const std::optional<double>& bound, bool twoDecimals)
{
    if (!bound)
        return {};
    if (std::isinf(*bound))
        return *bound > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    const QString fixed = QString::number(*bound, 'f', 2);
    return twoDecimals || fixed.toDouble() == *bound ? fixed : QString::number(*bound, 'g', 15);
}

} // namespace

QComboBox* TargetBoxes::namedTargetsBox(QWidget* parent, const QString& objectName)
{
    // A target known by name fills the boxes with its ranges; the boxes stay the player's to change.
    parent_ = parent;
    named_ = new QComboBox(parent);
    named_->setObjectName(objectName);
    named_->setToolTip(QStringLiteral("Classic distances: DI at most 4.00 and CD at most 1.25, as the published "
                                      "guidance has it; then the targets you saved, for every planning window"));
    fillNamedTargets();
    QObject::connect(&SavedTargetsStore::instance(), &SavedTargetsStore::changed, named_,
                     [this] { fillNamedTargets(); });
    QObject::connect(named_, &QComboBox::activated, parent, [this](int index) { chooseNamed(index); });
    return named_;
}

void TargetBoxes::fillNamedTargets()
{
    const QSignalBlocker quiet(named_);
    named_->clear();
    const auto add = [this](const QString& text, NamedItem item) { named_->addItem(text, static_cast<int>(item)); };
    add(QStringLiteral("Named target\u2026"), NamedItem::Offer);
    for (const NamedTarget& target : namedTargets())
        add(QString::fromUtf8(target.name.data(), static_cast<qsizetype>(target.name.size())), NamedItem::BuiltIn);
    for (const SavedTarget& target : SavedTargetsStore::instance().saved(parent_).targets)
        add(QString::fromStdString(target.name), NamedItem::Saved);
    named_->insertSeparator(named_->count());
    add(QStringLiteral("Save target as\u2026"), NamedItem::Save);
    named_->setItemData(named_->count() - 1,
                        QStringLiteral("Keeps the DI and CD ranges, the least total and the order under a name"),
                        Qt::ToolTipRole);
    add(QStringLiteral("Remove this target"), NamedItem::Remove);
    named_->setItemData(named_->count() - 1,
                        QStringLiteral("Removes the saved target the boxes hold now (choose it above first)"),
                        Qt::ToolTipRole);
    named_->setCurrentIndex(0);
}

void TargetBoxes::chooseNamed(int index)
{
    const auto item = static_cast<NamedItem>(named_->itemData(index, kItemRole).toInt());
    const std::string name = named_->itemText(index).toStdString();
    named_->setCurrentIndex(0); // offered again, the boxes now the player's to change
    if (item == NamedItem::Save)
        return saveShown();
    if (item == NamedItem::Remove)
        return removeShown();
    if (item != NamedItem::BuiltIn && item != NamedItem::Saved)
        return;
    const auto target = findTarget(name, SavedTargetsStore::instance().saved(parent_));
    if (!target) { // removed meanwhile, by another Quindle
        seam().beep();
        fillNamedTargets();
        return;
    }
    const bool builtIn = item == NamedItem::BuiltIn;
    diMin_->setText(boundText(target->di ? target->di->min : std::nullopt, builtIn));
    diMax_->setText(boundText(target->di ? target->di->max : std::nullopt, builtIn));
    cdMin_->setText(boundText(target->cd ? target->cd->min : std::nullopt, builtIn));
    cdMax_->setText(boundText(target->cd ? target->cd->max : std::nullopt, builtIn));
    if (!target->sort)
        return; // a built-in target names ranges alone
    minTotal_->setValue(target->minTotal ? static_cast<int>(*target->minTotal) : 0);
    if (applySort_)
        applySort_(QString::fromStdString(*target->sort), target->descending);
}

SavedTarget TargetBoxes::shownTarget() const
{
    SavedTarget shown;
    shown.di = rangeOfBoxes(diMin_, diMax_);
    shown.cd = rangeOfBoxes(cdMin_, cdMax_);
    if (minTotal_->value() > 0)
        shown.minTotal = minTotal_->value();
    shown.sort = std::string();
    if (readSort_) {
        const auto [key, descending] = readSort_();
        shown.sort = key.toStdString();
        shown.descending = descending;
    }
    return shown;
}

void TargetBoxes::saveShown()
{
    const QString name =
        seam().askText(parent_->window(), QStringLiteral("Save target as"),
                       QStringLiteral("The name this target is offered under in every planning window:"), QString());
    if (name.trimmed().isEmpty())
        return;
    SavedTarget target = shownTarget();
    // A range typed wrong (marked red) is not saved as no range at all.
    const auto typed = [](QLineEdit* low, QLineEdit* high) {
        return !low->text().trimmed().isEmpty() || !high->text().trimmed().isEmpty();
    };
    if ((!target.di && typed(diMin_, diMax_)) || (!target.cd && typed(cdMin_, cdMax_))) {
        seam().warning(parent_->window(), QStringLiteral("Save target as"),
                       QStringLiteral("A bound in red is not a number: mend it, then save the target."));
        return;
    }
    target.name = name.toStdString();
    SavedTargetsStore::instance().save(parent_->window(), std::move(target));
}

void TargetBoxes::removeShown()
{
    const SavedTarget shown = shownTarget();
    for (const SavedTarget& target : SavedTargetsStore::instance().saved(parent_).targets) {
        SavedTarget same = shown;
        same.name = target.name;
        if (same.sort && same.sort->empty())
            same.descending = target.descending; // in the list's order, either way is the same
        if (!readSort_) {
            same.sort = target.sort;
            same.descending = target.descending;
        }
        if (same == target) {
            SavedTargetsStore::instance().remove(parent_->window(), QString::fromStdString(target.name));
            return;
        }
    }
    seam().information(parent_->window(), QStringLiteral("Remove this target"),
                       QStringLiteral("The boxes hold none of the targets you saved. Choose the one to remove in "
                                      "the list first, then Remove this target."));
}

void TargetBoxes::setSortHooks(std::function<std::pair<QString, bool>()> read,
                               std::function<void(const QString&, bool)> apply)
{
    readSort_ = std::move(read);
    applySort_ = std::move(apply);
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

std::pair<QString, bool> sortShown(const QComboBox* sortBy, const QCheckBox* descending)
{
    const QVariant column = sortBy->currentData();
    return {column.isValid() ? QString::fromLatin1(kPlanColumnKeys[static_cast<std::size_t>(column.toInt())])
                             : QString(),
            descending->isChecked()};
}

void showSort(QComboBox* sortBy, QCheckBox* descending, const QString& key, bool down)
{
    const auto column = parseColumn(key.toStdString());
    if (!key.isEmpty() && !column)
        return; // an order of the best mares' own
    descending->setChecked(down);
    sortBy->setCurrentIndex(column ? std::max(0, sortBy->findData(static_cast<int>(*column))) : 0);
}

QString csvPath(const QString& path)
{
    // A name with a dot ("plan.txt", "season.2024", "plan.") is the file the
    // dialog asked about before replacing it, as the dialog adds its type only
    // to a name without one: it is written as it is.
    return QFileInfo(path).fileName().contains(QLatin1Char('.')) ? path : path + QStringLiteral(".csv");
}

} // namespace quindle::ui
