// The season window's kept season: the boxes and rules read back when the
// window opens, each change written to the data folder's season file, and the
// row actions that lock, rule out and decide.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTreeView>
#include <algorithm>

#include "app/kept_season_plan.h"
#include "planner/named_targets.h"
#include "ui/latin1.h"
#include "ui/roster_pane.h"
#include "ui/season_form.h"
#include "ui/season_rules_pane.h"
#include "ui/session.h"
#include "ui/ui_seam.h"

namespace quindle::ui {

namespace {

// The bound boxes the target's row names.
constexpr std::array<const char*, 4> kBoundBoxes{"diMin", "diMax", "cdMin", "cdMax"};

bool sameRange(const std::optional<ValueRange>& a, const ValueRange& b)
{
    return a && a->min == b.min && a->max == b.max;
}

} // namespace

void SeasonForm::buildKeeping(QHBoxLayout* tableRow)
{
    sidePanes_ = new QSplitter(Qt::Vertical, this);
    rulesPane_ = new SeasonRulesPane(sidePanes_);
    rulesPane_->setObjectName(QStringLiteral("seasonRulesPane"));
    sidePanes_->addWidget(rulesPane_);
    tableRow->addWidget(sidePanes_);
    connect(rulesPane_, &SeasonRulesPane::clearAsked, this, &SeasonForm::clearSeason);
    connect(rulesPane_, &SeasonRulesPane::removeAsked, this, [this](const std::vector<SeasonRulesPane::Rule>& rules) {
        changeKept([&rules](KeptSeason& season) {
            bool changed = false;
            for (const SeasonRulesPane::Rule& rule : rules)
                switch (rule.kind) {
                case SeasonRulesPane::Kind::Lock:
                    changed |= season.unlock(rule.dam);
                    break;
                case SeasonRulesPane::Kind::RuledOut:
                    changed |= season.allow(rule.sire);
                    break;
                case SeasonRulesPane::Kind::RuledOutPair:
                    changed |= season.allow(KeptPair{rule.dam, {}, rule.sire});
                    break;
                case SeasonRulesPane::Kind::Decision:
                    changed |= season.clearDecision(rule.dam);
                    break;
                }
            return changed;
        });
    });

    // The row actions, in the menu and on their keys while the table has the focus.
    const auto action = [this](const QString& text, const QKeySequence& keys, void (SeasonForm::*run)()) {
        auto* made = new QAction(text, tree_);
        made->setShortcut(keys);
        made->setShortcutContext(Qt::WidgetShortcut);
        tree_->addAction(made);
        connect(made, &QAction::triggered, this, run);
        return made;
    };
    accept_ = action(QStringLiteral("Accept for this mare"), QKeySequence(Qt::CTRL | Qt::Key_Return),
                     &SeasonForm::acceptCurrent);
    lock_ = action(QStringLiteral("Lock this pair"), QKeySequence(Qt::CTRL | Qt::Key_L), &SeasonForm::lockCurrent);
    lock_->setCheckable(true);
    ruleOutPair_ = action(QStringLiteral("Rule out this pair"), QKeySequence(Qt::CTRL | Qt::Key_R),
                          &SeasonForm::ruleOutPairCurrent);
    ruleOutPair_->setCheckable(true);
    ruleOutStallion_ = action(QStringLiteral("Rule out this stallion for the season"),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R), &SeasonForm::ruleOutStallionCurrent);
    ruleOutStallion_->setCheckable(true);
    clearDecision_ = action(QStringLiteral("Clear her decision"), QKeySequence(Qt::CTRL | Qt::Key_Backspace),
                            &SeasonForm::clearDecisionCurrent);
    clearSeason_ = action(QStringLiteral("Clear the season"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backspace),
                          &SeasonForm::clearSeason);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = tree_->indexAt(at);
        if (index.isValid())
            tree_->setCurrentIndex(index);
        rowMenu(index)->exec(tree_->viewport()->mapToGlobal(at));
    });

    // Every change of a box is kept, once the boxes hold what was kept.
    for (const char* name : kBoundBoxes)
        connect(findChild<QLineEdit*>(QString::fromLatin1(name)), &QLineEdit::textChanged, this,
                &SeasonForm::keepBoxes);
    connect(findChild<QSpinBox*>(QStringLiteral("minTotal")), &QSpinBox::valueChanged, this, &SeasonForm::keepBoxes);
    connect(fromStable_, &QRadioButton::toggled, this, &SeasonForm::keepBoxes);
    connect(ids_, &QLineEdit::textChanged, this, &SeasonForm::keepBoxes);
    connect(sortBy_, &QComboBox::currentIndexChanged, this, &SeasonForm::keepBoxes);
    connect(perMare_, &QSpinBox::valueChanged, this, &SeasonForm::keepBoxes);
    connect(book_, &QSpinBox::valueChanged, this, &SeasonForm::keepBoxes);
    for (QCheckBox* box : {descending_, assign_, noRepeats_})
        connect(box, &QCheckBox::toggled, this, &SeasonForm::keepBoxes);
}

void SeasonForm::openKept()
{
    const KeptOpen opened = kept_.open(session_->folder());
    if (opened.status == Outcome::Failed)
        seam().warning(this, QStringLiteral("Season"), QString::fromStdString(opened.message));
    if (kept_.kept())
        restoreBoxes();
}

void SeasonForm::restoreBoxes()
{
    restoring_ = true;
    const KeptSeason& season = kept_.season();
    (season.fromStable ? static_cast<QRadioButton*>(fromStable_) : fromIds_)->setChecked(true);
    ids_->setText(QString::fromStdString(season.ids));
    const std::array<const std::string*, 4> bounds{&season.diMin, &season.diMax, &season.cdMin, &season.cdMax};
    for (std::size_t i = 0; i < kBoundBoxes.size(); ++i)
        findChild<QLineEdit*>(QString::fromLatin1(kBoundBoxes[i]))->setText(QString::fromStdString(*bounds[i]));
    findChild<QSpinBox*>(QStringLiteral("minTotal"))->setValue(season.minTotal);
    const auto column = parseColumn(season.sortBy);
    sortBy_->setCurrentIndex(column ? std::max(0, sortBy_->findData(static_cast<int>(*column))) : 0);
    descending_->setChecked(season.descending);
    perMare_->setValue(season.perMare);
    assign_->setChecked(season.onePerMare);
    book_->setValue(season.bookForAll ? static_cast<int>(*season.bookForAll) : 0);
    noRepeats_->setChecked(season.noRepeats);
    if (rosterPane_)
        rosterPane_->setUsesRoster(season.useRoster);
    restoring_ = false;
}

void SeasonForm::keepBoxes()
{
    if (restoring_)
        return;
    KeptSeason boxes;
    boxes.fromStable = fromStable_->isChecked();
    boxes.ids = ids_->text().toStdString();
    const std::array<std::string*, 4> bounds{&boxes.diMin, &boxes.diMax, &boxes.cdMin, &boxes.cdMax};
    for (std::size_t i = 0; i < kBoundBoxes.size(); ++i)
        *bounds[i] = findChild<QLineEdit*>(QString::fromLatin1(kBoundBoxes[i]))->text().trimmed().toStdString();
    boxes.minTotal = findChild<QSpinBox*>(QStringLiteral("minTotal"))->value();
    const QVariant column = sortBy_->currentData();
    boxes.sortBy = column.isValid() ? std::string(kPlanColumnKeys[static_cast<std::size_t>(column.toInt())]) : "";
    boxes.descending = descending_->isChecked();
    boxes.perMare = perMare_->value();
    boxes.onePerMare = assign_->isChecked();
    if (book_->value() > 0)
        boxes.bookForAll = static_cast<std::uint32_t>(book_->value());
    boxes.noRepeats = noRepeats_->isChecked();
    const PlanQuery target = query();
    for (const NamedTarget& named : namedTargets())
        if (sameRange(target.di, named.di) && sameRange(target.cd, named.cd))
            boxes.namedTarget = std::string(named.name);
    const SeasonChange written = kept_.change([&boxes](KeptSeason& season) {
        KeptSeason next = season;
        next.fromStable = boxes.fromStable;
        next.ids = boxes.ids;
        next.diMin = boxes.diMin;
        next.diMax = boxes.diMax;
        next.cdMin = boxes.cdMin;
        next.cdMax = boxes.cdMax;
        next.minTotal = boxes.minTotal;
        next.sortBy = boxes.sortBy;
        next.descending = boxes.descending;
        next.namedTarget = boxes.namedTarget;
        next.perMare = boxes.perMare;
        next.onePerMare = boxes.onePerMare;
        next.bookForAll = boxes.bookForAll;
        next.noRepeats = boxes.noRepeats;
        if (next == season)
            return false;
        season = std::move(next);
        return true;
    });
    // A file that cannot be written is told once, not at every key.
    if (written.status == Outcome::Failed && !unsavedTold_) {
        unsavedTold_ = true;
        seam().warning(this, QStringLiteral("Season"), QString::fromStdString(written.message));
    }
}

void SeasonForm::changeKept(const std::function<bool(KeptSeason&)>& edit)
{
    const SeasonChange written = kept_.change(edit);
    if (written.status == Outcome::Failed)
        seam().warning(this, QStringLiteral("Season"), QString::fromStdString(written.message));
    else if (!written.message.empty())
        seam().warning(this, QStringLiteral("Season"), QString::fromStdString(written.message));
    applyTarget(); // a rule changed: the plan is made again
}

std::optional<KeptPair> SeasonForm::pairAt(const QModelIndex& index) const
{
    if (!season_ || !index.isValid())
        return std::nullopt;
    const QModelIndex first = index.sibling(index.row(), 0);
    const int d = first.data(kDamRole).toInt();
    const int r = first.data(kRowRole).toInt();
    if (r < 0 || d < 0 || static_cast<std::size_t>(d) >= season_->dams.size())
        return std::nullopt;
    const SeasonDam& dam = season_->dams[static_cast<std::size_t>(d)];
    return KeptPair{dam.id, dam.name,
                    std::string(dam.plan.name(dam.plan.rows[static_cast<std::size_t>(r)], RowName::Sire))};
}

std::optional<std::int32_t> SeasonForm::mareAt(const QModelIndex& index) const
{
    if (!season_ || !index.isValid())
        return std::nullopt;
    const int d = index.sibling(index.row(), 0).data(kDamRole).toInt();
    if (d < 0 || static_cast<std::size_t>(d) >= season_->dams.size())
        return std::nullopt;
    return season_->dams[static_cast<std::size_t>(d)].id;
}

std::unique_ptr<QMenu> SeasonForm::rowMenu(const QModelIndex& index)
{
    auto menu = std::make_unique<QMenu>(this);
    const auto pair = pairAt(index);
    const auto mare = mareAt(index);
    const KeptSeason& kept = kept_.season();
    if (pair) {
        const KeptPair* lock = kept.lockOf(pair->dam);
        lock_->setChecked(lock && lock->sire == pair->sire);
        ruleOutPair_->setChecked(kept.isRuledOut(pair->dam, pair->sire));
        ruleOutStallion_->setChecked(kept.isRuledOut(pair->sire));
        for (QAction* one : {accept_, lock_, ruleOutPair_, ruleOutStallion_})
            menu->addAction(one);
        menu->addSeparator();
    }
    if (mare) {
        clearDecision_->setEnabled(kept.decisionOf(*mare) != nullptr);
        menu->addAction(clearDecision_);
    }
    clearSeason_->setEnabled(!kept.locks.empty() || !kept.ruledOut.empty() || !kept.ruledOutPairs.empty() ||
                             !kept.decisions.empty());
    menu->addAction(clearSeason_);
    return menu;
}

void SeasonForm::acceptCurrent()
{
    const auto pair = pairAt(tree_->currentIndex());
    if (!pair) {
        seam().beep(); // a mare's line: no stallion to accept
        return;
    }
    const bool fromPlan = plan_.has_value(); // the row the plan gave her, or one of her list picked by hand
    changeKept([&](KeptSeason& season) {
        const KeptDecision decision{*pair, fromPlan};
        if (const KeptDecision* now = season.decisionOf(pair->dam); now && *now == decision)
            return false;
        season.decide(decision);
        return true;
    });
}

void SeasonForm::lockCurrent()
{
    const auto pair = pairAt(tree_->currentIndex());
    if (!pair) {
        seam().beep();
        return;
    }
    changeKept([&](KeptSeason& season) {
        if (const KeptPair* lock = season.lockOf(pair->dam); lock && lock->sire == pair->sire)
            return season.unlock(pair->dam); // locked already: the lock is taken away
        season.lock(*pair);
        return true;
    });
}

void SeasonForm::ruleOutPairCurrent()
{
    const auto pair = pairAt(tree_->currentIndex());
    if (!pair) {
        seam().beep();
        return;
    }
    changeKept([&](KeptSeason& season) {
        if (season.isRuledOut(pair->dam, pair->sire))
            return season.allow(*pair);
        season.ruleOut(*pair);
        return true;
    });
}

void SeasonForm::ruleOutStallionCurrent()
{
    const auto pair = pairAt(tree_->currentIndex());
    if (!pair) {
        seam().beep();
        return;
    }
    changeKept([&](KeptSeason& season) {
        if (season.isRuledOut(pair->sire))
            return season.allow(pair->sire);
        season.ruleOut(pair->sire);
        return true;
    });
}

void SeasonForm::clearDecisionCurrent()
{
    const auto mare = mareAt(tree_->currentIndex());
    if (!mare || !kept_.season().decisionOf(*mare)) {
        seam().beep();
        return;
    }
    changeKept([&](KeptSeason& season) { return season.clearDecision(*mare); });
}

void SeasonForm::clearSeason()
{
    changeKept([](KeptSeason& season) {
        const bool any = !season.locks.empty() || !season.ruledOut.empty() || !season.ruledOutPairs.empty() ||
                         !season.decisions.empty();
        season.clearRules();
        return any;
    });
}

void SeasonForm::keepUseRoster(bool useRoster)
{
    if (restoring_)
        return;
    changeKept([useRoster](KeptSeason& season) {
        if (season.useRoster == useRoster)
            return false;
        season.useRoster = useRoster;
        return true;
    });
}

namespace {

bool marks(const std::vector<MarkedEntry>& marked, MarkedEntry::Kind kind, const KeptPair& pair)
{
    return std::any_of(marked.begin(), marked.end(),
                       [&](const MarkedEntry& m) { return m.kind == kind && m.pair == pair; });
}

} // namespace

QString SeasonForm::keptLine(std::size_t d) const
{
    const SeasonDam& dam = season_->dams[d];
    const KeptSeason& kept = kept_.season();
    QString line;
    if (const KeptDecision* decision = kept.decisionOf(dam.id)) {
        if (marks(marked_, MarkedEntry::Kind::Decision, decision->pair))
            line += QStringLiteral(" \u2013 \u26A0 a decision kept for %1, not this horse")
                        .arg(fromLatin1(decision->pair.damName));
        else
            line += QStringLiteral(" \u2013 decided: %1").arg(fromLatin1(decision->pair.sire));
    }
    if (const KeptPair* lock = kept.lockOf(dam.id); lock && !marks(marked_, MarkedEntry::Kind::Lock, *lock))
        line += QStringLiteral(" \u2013 locked to %1").arg(fromLatin1(lock->sire));
    return line;
}

void SeasonForm::markKeptRow(std::size_t d, std::uint32_t r, QStandardItem* rank) const
{
    const SeasonDam& dam = season_->dams[d];
    const KeptPair pair{dam.id, dam.name, std::string(dam.plan.name(dam.plan.rows[r], RowName::Sire))};
    const KeptSeason& kept = kept_.season();
    const KeptDecision* decision = kept.decisionOf(dam.id);
    const bool decided = decision && decision->pair == pair && !marks(marked_, MarkedEntry::Kind::Decision, pair);
    const KeptPair* lock = kept.lockOf(dam.id);
    const bool locked = lock && *lock == pair && !marks(marked_, MarkedEntry::Kind::Lock, pair);
    if (!decided && !locked)
        return;
    QStringList tip;
    if (decided)
        tip << (decision->fromPlan ? QStringLiteral("Decided: accepted from the plan")
                                   : QStringLiteral("Decided: picked by hand"));
    if (locked)
        tip << QStringLiteral("Locked pair: she goes to him whatever the target, and counts against his book");
    rank->setText(rank->text() + (decided ? QStringLiteral(" decided") : QStringLiteral(" locked")));
    rank->setToolTip(tip.join(QLatin1Char('\n')) + QStringLiteral("\nCtrl+Backspace clears her decision; Ctrl+L "
                                                                  "takes a lock away"));
    QFont bold = rank->font();
    bold.setBold(true);
    rank->setFont(bold);
}

QStringList SeasonForm::keptMessages() const
{
    QStringList messages;
    for (const std::string& told : keptTold_)
        messages << QString::fromStdString(told);
    const KeptSeason& kept = kept_.season();
    for (const MarkedEntry& mark : marked_) {
        const bool still =
            (mark.kind == MarkedEntry::Kind::Lock && kept.lockOf(mark.pair.dam) &&
             *kept.lockOf(mark.pair.dam) == mark.pair) ||
            (mark.kind == MarkedEntry::Kind::Decision && kept.decisionOf(mark.pair.dam) &&
             kept.decisionOf(mark.pair.dam)->pair == mark.pair) ||
            (mark.kind == MarkedEntry::Kind::RuledOutPair && kept.isRuledOut(mark.pair.dam, mark.pair.sire));
        if (still)
            messages << QString::fromStdString(mark.message);
    }
    return messages;
}

} // namespace quindle::ui
