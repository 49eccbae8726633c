#pragma once
// Where the pedigree chart's boxes stand, in twips: the main window builds its
// boxes there and the card draws the same chart.
namespace quindle::ui {

struct ChartBox {
    int number, left, top, height;
    bool male;
};
// The chart after the horse itself: sire-line boxes are male-coloured, dam-line boxes female.
inline constexpr ChartBox kChart[] = {
    {3, 2040, 360, 1935, true}, {11, 2040, 2280, 1935, false}, {4, 3720, 360, 975, true},  {10, 3720, 1320, 975, false},
    {5, 3720, 2280, 975, true}, {17, 3720, 3240, 975, false},  {6, 5400, 360, 495, true},  {12, 5400, 840, 495, false},
    {7, 5400, 1320, 495, true}, {15, 5400, 1800, 495, false},  {8, 5400, 2280, 495, true}, {14, 5400, 2760, 495, false},
    {9, 5400, 3240, 495, true}, {13, 5400, 3720, 495, false},
};
inline constexpr int kChartWidth = 1695;
inline constexpr ChartBox kHorseBox{2, 360, 360, 3855, false};
inline constexpr ChartBox kAgeSexBox{0, 400, 2280, 375, false};
inline constexpr int kAgeSexWidth = 1215;
// The chart's whole extent.
inline constexpr int kChartLeft = 360, kChartTop = 360, kChartRight = 5400 + kChartWidth, kChartBottom = 4215;

} // namespace quindle::ui
