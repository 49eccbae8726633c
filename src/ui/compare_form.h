#pragma once
// Matings side by side: up to six candidates (horses by identifier, matings by
// their three names) with their names, grouped bars and number rows, the best
// of each row marked for the player's DI and CD target. The candidates belong
// to the main window and last for the run; this window shows and orders them.
#include <QFont>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <vector>

#include "compare/comparison.h"

class QLineEdit;
class QListWidget;
class QTableWidget;
class QTableWidgetItem;
class QVBoxLayout;

namespace quindle::ui {

class CompareChart;
class Session;

class CompareForm : public QWidget {
    Q_OBJECT
public:
    // `candidates` outlives the window: closing it keeps them for the next opening.
    CompareForm(Session* session, std::vector<Candidate>& candidates, QWidget* parent);

    // False (after saying why) when six are there already or it is there.
    bool add(const Candidate& candidate);
    // Each in turn, as far as there is room: a full comparison is said once.
    void add(const std::vector<Candidate>& candidates);
    void remove(int index);
    // Moves a candidate one place up (-1) or down (+1).
    void move(int index, int step);
    // Scales the window to the main window's zoom (its size too while it is
    // not shown).
    void setZoom(int percent);
    // Shows every candidate again: another data folder or breeding file.
    void reload();

    const std::vector<CandidateShown>& shown() const { return shown_; }
    QTableWidget* table() const { return table_; }
    QListWidget* list() const { return list_; }
    CompareChart* chart() const { return chart_; }
    QWidget* content() const { return content_; }
    QString tabText() const;
    // Writes a PNG of the window's content for a path ending in .png, else CSV;
    // false after telling why not.
    bool exportTo(const QString& path);

signals:
    // "Add Shown": the horse or foal the main window shows is to be added.
    void addShownRequested();

protected:
    void changeEvent(QEvent* event) override;

private:
    // What marks a cell: the names shared with another candidate and the
    // repeated sires of its candidate, and the best of each number row.
    struct CellMarks {
        const std::array<bool, kPositions>& shared;
        const std::array<QString, kPositions>& repeats;
        const std::array<std::vector<bool>, kCompareRows>& best;
    };
    void buildCandidates(QVBoxLayout* outer);
    void buildTarget(QVBoxLayout* outer);
    void buildContent(QVBoxLayout* outer);
    void addKeys();
    void refresh();
    void refreshList();
    QFont fillTable();
    QTableWidgetItem* makeCell(const QString& text, int row, std::size_t c, const CellMarks& marks,
                               const QFont& bold) const;
    void sizeColumns(const QFont& bold);
    QStringList columnLabels() const;
    void exportClick();
    CompareTarget target() const;
    // Large enough for every candidate's column and every row, up to the
    // screen, while the player has not sized the window by hand.
    void fitTable();
    bool sizedByPlayer() const;

    Session* session_;
    std::vector<Candidate>& candidates_;
    int zoom_ = 100;
    QSize fitted_;                      // the size fitTable gave the window last
    std::vector<CandidateShown> shown_; // of the main window's candidates, in order
    QWidget* content_ = nullptr;
    QListWidget* list_ = nullptr;
    QTableWidget* table_ = nullptr;
    CompareChart* chart_ = nullptr;
    QLineEdit* diMin_ = nullptr;
    QLineEdit* diMax_ = nullptr;
    QLineEdit* cdMin_ = nullptr;
    QLineEdit* cdMax_ = nullptr;
};

} // namespace quindle::ui
