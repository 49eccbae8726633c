#pragma once
// Candidates' profiles as grouped bars: for each of B, I, C, S and P one bar
// per candidate, in the candidate's colour, all on one scale.
#include <QWidget>
#include <optional>
#include <vector>

#include "dosage/profile.h"

namespace quindle::ui {

// The colour of the n-th candidate (up to six, distinct on light and dark).
QColor candidateColour(std::size_t n);

class CompareChart : public QWidget {
    Q_OBJECT
public:
    explicit CompareChart(QWidget* parent = nullptr);
    // Nothing for a candidate draws no bars (a horse that is gone).
    void setProfiles(std::vector<std::optional<DosageProfile>> profiles);
    int scale() const { return scale_; }
    QSize sizeHint() const override { return {480, 180}; }

    struct Bar {
        int group = 0;
        std::size_t candidate = 0;
        QRectF slot; // the bar's full height on the scale
    };
    std::vector<Bar> bars() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<std::optional<DosageProfile>> profiles_;
    int scale_ = 4;
};

} // namespace quindle::ui
