#pragma once
// The search window: horses found by name as the player types, or the foals of
// a stallion with their profiles; a row is shown in the main window by putting
// its identifier into the ID box and pressing GO. The index is read, and every
// search runs, beside the window, so typing never waits for them.
#include <QWidget>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "data/chef_table.h"
#include "data/data_folder.h"
#include "search/foal_profiles.h"
#include "search/name_index.h"
#include "ui/latest_work.h"

class QLabel;
class QPushButton;
class QLineEdit;
class QRadioButton;
class QTableView;
class QVBoxLayout;

namespace quindle::ui {

class CropChart;
class SearchModel;
class Session;

class SearchForm : public QWidget {
    Q_OBJECT
public:
    // The most rows the list shows; the count says how many matched.
    static constexpr std::size_t kShownRows = 500;

    // Searches the session's data, and reads it again whenever it changes.
    SearchForm(Session* session, QWidget* parent);

    QLineEdit* textBox() const { return text_; }
    QRadioButton* bySire() const { return bySire_; }
    QTableView* table() const { return table_; }
    SearchModel* model() const { return model_; }
    QLabel* count() const { return count_; }
    // Shown while the list is cut: lists every horse found.
    QPushButton* showAllButton() const { return showAll_; }
    // True while the index is read or a search runs.
    bool busy() const { return work_.busy(); }
    // Scales the face, the rows and the columns to the main window's zoom (the
    // window's size too while it is not shown).
    void setZoom(int percent);
    // Asks for the horse of a row to be shown in the main window, as typing its ID and GO would.
    void pick(int row);
    // The crop of the stallion whose foals are listed.
    CropChart* cropChart() const { return crop_; }
    // Marks in the crop the foal with this identifier (the horse the main
    // window shows, 0 for none) when it is one of the list.
    void markShownFoal(std::int32_t id);
    // The foals mode for this sire's name, as typed into the box.
    void showFoalsOf(const QString& sire);
    // Reads the index again: a new breeding file was cut or another data folder taken.
    void reload();

signals:
    // The player asks to keep a row's horse in My Horses (Ctrl+D or the context menu).
    void addToMyHorses(std::int32_t id);
    // The horse of a row is to be added to the season's roster (a colt or horse, by his ID).
    void addToRoster(std::int32_t id);
    // The horse with this identifier is to be shown.
    void horseChosen(std::int32_t id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Outcome;
    void buildQuestion(QVBoxLayout* layout);
    QTableView* buildTable();
    void addRowActions();
    void keepCurrent(); // the horse of the current row to My Horses
    void search();
    void searchUpTo(std::size_t limit);
    void start(const std::function<void(Outcome&)>& work, const std::function<void(Outcome&)>& done);
    // The foals found so far (`all`: every one) into the list, in the order its header asks for.
    void showFoals(std::vector<FoalProfile> foals, bool all);

    Session* session_;
    DataFolder folder_;
    std::shared_ptr<const ChefTable> chefs_;
    std::shared_ptr<const NameIndex> index_;
    LatestWork work_{this};
    int zoom_ = 100;

    QLineEdit* text_ = nullptr;
    QRadioButton* byName_ = nullptr;
    QRadioButton* bySire_ = nullptr;
    QLabel* count_ = nullptr;
    QPushButton* showAll_ = nullptr;
    QTableView* table_ = nullptr;
    SearchModel* model_ = nullptr;
    CropChart* crop_ = nullptr;
    std::int32_t shownFoal_ = 0; // what the main window shows
};

} // namespace quindle::ui
