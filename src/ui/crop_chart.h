#pragma once
// The crop of a stallion drawn: how his foals' DI spreads (bins, then INF and
// "--" in bars of their own) and how their CD spreads, with the foal the main
// window shows marked when it is one of them.
#include <QWidget>
#include <optional>
#include <vector>

#include "search/foal_crop.h"

namespace quindle::ui {

class CropChart : public QWidget {
    Q_OBJECT
public:
    explicit CropChart(QWidget* parent = nullptr);

    void setCrop(const FoalCrop& crop, std::optional<CropPlace> shown);
    const FoalCrop& crop() const { return crop_; }
    const std::optional<CropPlace>& shown() const { return shown_; }
    QSize sizeHint() const override { return {600, minimumHeight() + 20}; }
    // Its height at 100 %: the main window's zoom scales it, as it scales the text
    // above and below the bars.
    static constexpr int kHeight = 110;

    // The bars as drawn, left to right: the DI bins, INF, "--", then the CD
    // bins and "--"; each slot at the full height of the largest count.
    struct Bar {
        QRectF slot;
        int count = 0;
        bool shown = false; // the shown foal's bar
    };
    std::vector<Bar> bars() const;
    int scale() const; // the largest count, at least 1

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FoalCrop crop_;
    std::optional<CropPlace> shown_;
};

} // namespace quindle::ui
