#include "ui/season_rules_pane.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/latin1.h"

namespace quindle::ui {

namespace {

constexpr int kKindRole = Qt::UserRole + 1;
constexpr int kDamRole = Qt::UserRole + 2;
constexpr int kSireRole = Qt::UserRole + 3;

QString mare(const KeptPair& pair) { return QStringLiteral("%1 (%2)").arg(fromLatin1(pair.damName)).arg(pair.dam); }

} // namespace

SeasonRulesPane::SeasonRulesPane(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Kept for this season"), this));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("seasonRules"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setToolTip(QStringLiteral("Delete takes the selected rules away"));
    layout->addWidget(list_, 1);
    clear_ = new QPushButton(QStringLiteral("Clear the season"), this);
    clear_->setObjectName(QStringLiteral("clearSeason"));
    clear_->setToolTip(QStringLiteral("Takes away every lock, every stallion and pair ruled out and every decision; "
                                      "the target stays"));
    layout->addWidget(clear_);
    connect(clear_, &QPushButton::clicked, this, &SeasonRulesPane::clearAsked);

    auto* remove = new QAction(QStringLiteral("Take this rule away"), list_);
    remove->setShortcut(QKeySequence::Delete);
    remove->setShortcutContext(Qt::WidgetShortcut);
    list_->addAction(remove);
    list_->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(remove, &QAction::triggered, this, [this] {
        if (const auto rules = selected(); !rules.empty())
            emit removeAsked(rules);
    });
}

void SeasonRulesPane::show(const KeptSeason& season, const std::vector<MarkedEntry>& marked)
{
    list_->clear();
    const auto add = [this](const QString& text, Kind kind, std::int32_t dam, const std::string& sire,
                            const QString& tip) {
        auto* item = new QListWidgetItem(text, list_);
        item->setData(kKindRole, static_cast<int>(kind));
        item->setData(kDamRole, dam);
        item->setData(kSireRole, QByteArray::fromStdString(sire));
        item->setToolTip(tip);
    };
    const auto markOf = [&marked](MarkedEntry::Kind kind, const KeptPair& pair) -> const MarkedEntry* {
        const auto found = std::find_if(marked.begin(), marked.end(),
                                        [&](const MarkedEntry& m) { return m.kind == kind && m.pair == pair; });
        return found == marked.end() ? nullptr : &*found;
    };
    const auto marking = [&](MarkedEntry::Kind kind, const KeptPair& pair, QString& text, QString& tip) {
        if (const MarkedEntry* mark = markOf(kind, pair)) {
            text = QStringLiteral("\u26A0 ") + text;
            tip = QString::fromStdString(mark->message);
        }
    };
    for (const KeptDecision& decision : season.decisions) {
        QString text = QStringLiteral("Decided: %1 to %2").arg(mare(decision.pair), fromLatin1(decision.pair.sire));
        QString tip = decision.fromPlan ? QStringLiteral("Accepted from the plan") : QStringLiteral("Picked by hand");
        marking(MarkedEntry::Kind::Decision, decision.pair, text, tip);
        add(text, Kind::Decision, decision.pair.dam, decision.pair.sire, tip);
    }
    for (const KeptPair& lock : season.locks) {
        QString text = QStringLiteral("Locked: %1 to %2").arg(mare(lock), fromLatin1(lock.sire));
        QString tip = QStringLiteral("She goes to him whatever the target, and counts against his book");
        marking(MarkedEntry::Kind::Lock, lock, text, tip);
        add(text, Kind::Lock, lock.dam, lock.sire, tip);
    }
    for (const std::string& sire : season.ruledOut)
        add(QStringLiteral("Ruled out for the season: %1").arg(fromLatin1(sire)), Kind::RuledOut, 0, sire,
            QStringLiteral("No mare goes to him this season"));
    for (const KeptPair& pair : season.ruledOutPairs) {
        QString text = QStringLiteral("Ruled out: %1 with %2").arg(mare(pair), fromLatin1(pair.sire));
        QString tip = QStringLiteral("She does not go to him");
        marking(MarkedEntry::Kind::RuledOutPair, pair, text, tip);
        add(text, Kind::RuledOutPair, pair.dam, pair.sire, tip);
    }
    if (list_->count() == 0) {
        auto* none =
            new QListWidgetItem(QStringLiteral("No lock, rule or decision yet: right-click a stallion's row"), list_);
        none->setFlags(Qt::NoItemFlags);
    }
    clear_->setEnabled(!season.locks.empty() || !season.ruledOut.empty() || !season.ruledOutPairs.empty() ||
                       !season.decisions.empty());
}

std::vector<SeasonRulesPane::Rule> SeasonRulesPane::selected() const
{
    std::vector<Rule> rules;
    for (const QListWidgetItem* item : list_->selectedItems())
        if (item->data(kKindRole).isValid())
            rules.push_back({static_cast<Kind>(item->data(kKindRole).toInt()), item->data(kDamRole).toInt(),
                             item->data(kSireRole).toByteArray().toStdString()});
    return rules;
}

} // namespace quindle::ui
