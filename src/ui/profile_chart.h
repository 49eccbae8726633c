#pragma once
// A profile drawn: five bars B, I, C, S, P in points on a scale shared by the
// window's charts, the total, the CD as a mark on a scale from -2 to +2, and
// the DI written beside it. The same numbers stand in the tooltip as text.
#include <QRectF>
#include <QStyledItemDelegate>
#include <QWidget>
#include <array>
#include <optional>

#include "dosage/profile.h"

class QPainter;

namespace quindle::ui {

// Colours that read on a light and on a dark background alike.
QColor barColour();
QColor cdMarkColour();

// Where the parts of a chart drawn in `area` go, for text of height `textHeight`.
struct ProfileChartLayout {
    std::array<QRectF, kGroups> bars; // each bar's whole height: its full scale
    QRectF totalRow;
    QRectF cdScale; // the line from -2 (left) to +2 (right), and the mark's height
    QRectF diText;
    double barWidth = 0;
};
ProfileChartLayout profileChartLayout(const QRectF& area, double textHeight);

// Draws the chart; for nothing or a profile without points, no bar and no CD mark.
void paintProfileChart(QPainter& painter, const QRectF& area, const std::optional<DosageProfile>& profile, int scale,
                       const QPalette& palette);
// The numbers of the chart as text, as the boxes write them.
QString profileToolTip(const std::optional<DosageProfile>& profile);

class ProfileChart : public QWidget {
    Q_OBJECT
public:
    explicit ProfileChart(QWidget* parent = nullptr);
    void setProfile(const std::optional<DosageProfile>& profile, int scale);
    const std::optional<DosageProfile>& profile() const { return profile_; }
    int scale() const { return scale_; }
    QSize sizeHint() const override { return {180, 220}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<DosageProfile> profile_;
    int scale_ = 4;
};

// A table's model gives a row's five group totals under this role (a list of
// five numbers) and the scale of the whole table under the next.
inline constexpr int kGroupTotalsRole = Qt::UserRole + 1;
inline constexpr int kChartScaleRole = Qt::UserRole + 2;

// The five bars in miniature.
void paintMiniBars(QPainter& painter, const QRectF& area, const GroupTotals& totals, int scale, const QColor& colour);

// Draws the miniature bars in a narrow column of a table.
class ProfileBarsDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The value a model gives under kGroupTotalsRole.
QVariant groupTotalsValue(const GroupTotals& totals);

} // namespace quindle::ui
