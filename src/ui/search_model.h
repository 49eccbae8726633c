#pragma once
// The search window's list: horses found by name (best first, as the core
// ranks them), or a stallion's foals with their profile columns, sortable.
#include <cstdint>
#include <memory>
#include <vector>

#include "search/foal_profiles.h"
#include "search/name_index.h"
#include "ui/ordered_rows_model.h"

namespace quindle::ui {

class SearchModel : public OrderedRowsModel {
    Q_OBJECT
public:
    enum class Mode { Names, Foals };
    explicit SearchModel(QObject* parent = nullptr);

    void setNames(std::shared_ptr<const NameIndex> index, std::vector<std::uint32_t> horses);
    void setFoals(std::vector<FoalProfile> foals);
    Mode mode() const { return mode_; }
    // The foals in file order, whatever the table's order.
    const std::vector<FoalProfile>& foals() const { return foals_; }
    // The column of the miniature bars in the foals mode.
    static constexpr int kShapeColumn = 11;
    std::int32_t idAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    const FoalProfile& foalAt(int row) const { return foals_[order_[static_cast<std::size_t>(row)]]; }

    Mode mode_ = Mode::Names;
    std::shared_ptr<const NameIndex> index_;
    std::vector<std::uint32_t> horses_;
    std::vector<FoalProfile> foals_;
    std::vector<std::uint32_t> order_; // the foals as sorted
    int scale_ = 4;                    // of the miniature bars: one for the whole list
};

} // namespace quindle::ui
