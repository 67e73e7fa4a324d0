#include "picture_layout.h"

#include <algorithm>

namespace VyrHostProgram {
namespace {

constexpr int ScreenWidth = 1920, ScreenHeight = 1080;
constexpr int LargestPanelWidth = 480, SmallestPanelWidth = 240;
constexpr int HeadingLine = 18, Heading = 28, Footer = 22;
constexpr int TitleLine = 15;

} // namespace

PictureLayout LayOutPicture(size_t Zones, int HeadingLines) {
    PictureLayout Layout;
    Layout.HeadingHeight = Heading + HeadingLine * (std::max(1, std::min(3, HeadingLines)) - 1);
    const int Top = Layout.HeadingHeight;
    const int Count = static_cast<int>(std::min<size_t>(Zones, 1 << 20));
    int Columns = 1, PanelWidth = LargestPanelWidth, Shown = Count;
    // From a square grid on, the fewest columns, and so the largest
    // panels, that fit every zone.
    int Square = 1;
    while (Square * Square < Count) {
        ++Square;
    }
    for (Columns = std::min(Square, ScreenWidth / LargestPanelWidth);; ++Columns) {
        PanelWidth = std::min(LargestPanelWidth, ScreenWidth / Columns);
        const int Rows = (Count + Columns - 1) / Columns;
        if (Rows * (PanelWidth * 3 / 4) + Top <= ScreenHeight) {
            break;
        }
        if (PanelWidth <= SmallestPanelWidth) { // the smallest: as many as fit
            const int RowsFit = (ScreenHeight - Top - Footer) / (PanelWidth * 3 / 4);
            Shown = std::min(Count, RowsFit * Columns);
            Layout.FooterHeight = Shown < Count ? Footer : 0;
            break;
        }
    }
    const int PanelHeight = PanelWidth * 3 / 4;
    const int UsedColumns = std::max(1, std::min(Columns, Shown));
    const int Rows = Shown == 0 ? 0 : (Shown + UsedColumns - 1) / UsedColumns;
    Layout.Width = std::max(UsedColumns * PanelWidth, LargestPanelWidth);
    Layout.Height = Top + Rows * PanelHeight + Layout.FooterHeight;
    for (int Index = 0; Index < Shown; ++Index) {
        Layout.Panels.push_back({(Index % UsedColumns) * PanelWidth,
                                 Top + (Index / UsedColumns) * PanelHeight, PanelWidth,
                                 PanelHeight});
    }
    return Layout;
}

PanelLayout LayOutPanel(const PixelBox& Panel, bool WithColourBar, int TitleLines) {
    // Margins: the title above, J's tick labels and name to the left, I's
    // below, the colour bar and its labels to the right.
    constexpr int Left = 62, Bottom = 36, BarGap = 10, BarWidth = 14, BarLabels = 66;
    const int Top = 7 + TitleLine * std::max(1, std::min(2, TitleLines));
    const int Right = WithColourBar ? BarGap + BarWidth + BarLabels : 14;
    PanelLayout Layout;
    Layout.Title = {Panel.X + 4, Panel.Y, Panel.Width - 8, Top};
    Layout.Plot = {Panel.X + Left, Panel.Y + Top, std::max(1, Panel.Width - Left - Right),
                   std::max(1, Panel.Height - Top - Bottom)};
    if (WithColourBar) {
        // The bar leaves room below it for the legend of values without
        // data.
        Layout.Bar = {Layout.Plot.X + Layout.Plot.Width + BarGap, Layout.Plot.Y, BarWidth,
                      std::max(1, Layout.Plot.Height - 18)};
    }
    return Layout;
}

} // namespace VyrHostProgram
