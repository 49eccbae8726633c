#pragma once
// The rules a season keeps, listed beside its table: each lock, each stallion
// and pair ruled out and each decision, an entry whose mare's ID now holds
// another horse marked. Delete (or the menu) takes the selected rules away;
// "Clear the season" takes them all.
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "app/kept_season.h"

class QListWidget;
class QPushButton;

namespace quindle::ui {

class SeasonRulesPane : public QWidget {
    Q_OBJECT
public:
    explicit SeasonRulesPane(QWidget* parent);

    enum class Kind { Lock, RuledOut, RuledOutPair, Decision };
    struct Rule {
        Kind kind = Kind::Lock;
        std::int32_t dam = 0;
        std::string sire; // Latin-1
    };
    // Lists what the season keeps, with the marked entries.
    void show(const KeptSeason& season, const std::vector<MarkedEntry>& marked);
    QListWidget* list() const { return list_; }
    // The rules selected in the list.
    std::vector<Rule> selected() const;

signals:
    void removeAsked(const std::vector<quindle::ui::SeasonRulesPane::Rule>& rules);
    void clearAsked();

private:
    QListWidget* list_ = nullptr;
    QPushButton* clear_ = nullptr;
};

} // namespace quindle::ui
