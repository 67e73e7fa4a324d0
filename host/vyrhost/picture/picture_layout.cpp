#include "picture_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace VyrHostProgram {
namespace {

constexpr int ScreenWidth = 1920, ScreenHeight = 1080;
constexpr int LargestPanelWidth = 480, SmallestPanelWidth = 240;
constexpr int HeadingLine = 18, Heading = 28, Footer = 22;
constexpr int TitleLine = 15;

// 10 to the power Exponent, exact for the powers a double holds exactly.
double PowerOfTen(int Exponent) {
    return std::pow(10.0, Exponent);
}

// The text of a number, without the zeros that end its decimals.
std::string WithoutTrailingZeros(std::string Text) {
    const std::string::size_type Point = Text.find('.');
    if (Point == std::string::npos || Text.find_first_of("eE") != std::string::npos) {
        return Text;
    }
    while (Text.back() == '0') {
        Text.pop_back();
    }
    if (Text.back() == '.') {
        Text.pop_back();
    }
    return Text;
}

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

std::vector<RoundTick> RoundTicks(double Low, double High, int Most, bool Whole) {
    if (!std::isfinite(Low) || !std::isfinite(High) || Low > High) {
        return {};
    }
    if (Low == High) {
        return {{Low, ValueLabel(Low)}};
    }
    Most = std::max(1, Most);
    // Halves first, so that a range as wide as the doubles go still has a
    // finite width.
    const double Width = (High / 2 - Low / 2) * 2;
    const double Rough = Width / Most;
    // A tick at the range's very end stays one despite the rounding of
    // Low / Step; one a millionth of a step beyond it does not.
    constexpr double Slack = 1e-6;
    int Exponent = static_cast<int>(std::floor(std::log10(Rough))) - 1;
    if (Whole) {
        Exponent = std::max(0, Exponent);
    }
    double First = 0, Last = 0, Multiple = 1;
    for (int Tries = 0; Tries < 12; ++Tries, ++Exponent) {
        bool Found = false;
        for (double M : {1.0, 2.0, 5.0}) {
            const double Step = M * PowerOfTen(Exponent);
            First = std::ceil(Low / Step - Slack);
            Last = std::floor(High / Step + Slack);
            if (Last - First + 1 <= Most) {
                Multiple = M;
                Found = true;
                break;
            }
        }
        if (Found) {
            break;
        }
    }
    // Each value is n x M x 10^Exponent, divided rather than multiplied by
    // a power of ten below 1, so that 3 x 0.1 is 0.3 and reads so.
    auto ValueOf = [&](double N) {
        return Exponent >= 0 ? N * Multiple * PowerOfTen(Exponent)
                             : N * Multiple / PowerOfTen(-Exponent);
    };
    const double Largest = std::max(std::fabs(ValueOf(First)), std::fabs(ValueOf(Last)));
    const int LargestExponent =
        Largest > 0 ? static_cast<int>(std::floor(std::log10(Largest))) : Exponent;
    std::vector<RoundTick> Ticks;
    for (double N = First; N <= Last; ++N) {
        const double Value = N == 0 ? 0.0 : ValueOf(N); // never "-0"
        char Text[48];
        if (Exponent >= -6 && Largest < 1e9) {
            std::snprintf(Text, sizeof Text, "%.*f", std::max(0, -Exponent), Value);
        } else {
            const int Digits = std::max(1, std::min(17, LargestExponent - Exponent + 1));
            std::snprintf(Text, sizeof Text, "%.*g", Digits, Value);
        }
        Ticks.push_back({Value, WithoutTrailingZeros(Text)});
    }
    return Ticks;
}

std::string ValueLabel(double Value) {
    char Text[32];
    std::snprintf(Text, sizeof Text, "%.6g", Value == 0 ? 0.0 : Value);
    return Text;
}

} // namespace VyrHostProgram
