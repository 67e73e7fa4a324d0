// A step is chosen first and the labels follow from it: a step's power of
// ten says how many decimals every label needs, so that all the labels of
// an axis read alike.
#include "round_values.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace VyrHostProgram {
namespace {

// A tick at the range's very end stays one despite the rounding of
// Low / Step; one a millionth of a step beyond it does not.
constexpr double Slack = 1e-6;

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

// The ticks' step, Multiple x 10^Exponent, and the first and last
// multiples of it within the range.
struct TickStep {
    int Exponent = 0;
    double Multiple = 1, First = 0, Last = 0;
};

// Low below High, both finite; Most at least 1.
TickStep ChooseStep(double Low, double High, int Most, bool Whole) {
    // Halves first, so that a range as wide as the doubles go still has a
    // finite width.
    const double Width = (High / 2 - Low / 2) * 2;
    const double Rough = Width / Most;
    TickStep Step;
    Step.Exponent = static_cast<int>(std::floor(std::log10(Rough))) - 1;
    if (Whole) {
        Step.Exponent = std::max(0, Step.Exponent);
    }
    for (int Tries = 0; Tries < 12; ++Tries, ++Step.Exponent) {
        for (double M : {1.0, 2.0, 5.0}) {
            const double Size = M * PowerOfTen(Step.Exponent);
            Step.First = std::ceil(Low / Size - Slack);
            Step.Last = std::floor(High / Size + Slack);
            if (Step.Last - Step.First + 1 <= Most) {
                Step.Multiple = M;
                return Step;
            }
        }
    }
    return Step;
}

// Tick N's value, N x Multiple x 10^Exponent, divided rather than
// multiplied by a power of ten below 1, so that 3 x 0.1 is 0.3 and reads
// so.
double ValueOf(const TickStep& Step, double N) {
    return Step.Exponent >= 0 ? N * Step.Multiple * PowerOfTen(Step.Exponent)
                              : N * Step.Multiple / PowerOfTen(-Step.Exponent);
}

// A tick's label: with the step's decimals, or, for a step below a
// millionth or ticks from 10^9 on, with the significant digits from the
// largest tick's down to the step's.
std::string TickLabel(double Value, int Exponent, double Largest, int LargestExponent) {
    char Text[48];
    if (Exponent >= -6 && Largest < 1e9) {
        std::snprintf(Text, sizeof Text, "%.*f", std::max(0, -Exponent), Value);
    } else {
        const int Digits = std::max(1, std::min(17, LargestExponent - Exponent + 1));
        std::snprintf(Text, sizeof Text, "%.*g", Digits, Value);
    }
    return WithoutTrailingZeros(Text);
}

} // namespace

std::vector<RoundTick> RoundTicks(double Low, double High, int Most, bool Whole) {
    if (!std::isfinite(Low) || !std::isfinite(High) || Low > High) {
        return {};
    }
    if (Low == High) {
        return {{Low, ValueLabel(Low)}};
    }
    // A step below the smallest normal double has no power of ten to be
    // written with (the logarithm of a width that halves to 0 is not
    // finite): such a range, of subnormal values, shows its two ends.
    if (!((High / 2 - Low / 2) * 2 / std::max(1, Most) >= std::numeric_limits<double>::min())) {
        return {{Low, ValueLabel(Low)}, {High, ValueLabel(High)}};
    }
    const TickStep Step = ChooseStep(Low, High, std::max(1, Most), Whole);
    const double Largest =
        std::max(std::fabs(ValueOf(Step, Step.First)), std::fabs(ValueOf(Step, Step.Last)));
    const int LargestExponent =
        Largest > 0 ? static_cast<int>(std::floor(std::log10(Largest))) : Step.Exponent;
    std::vector<RoundTick> Ticks;
    for (double N = Step.First; N <= Step.Last; ++N) {
        const double Value = N == 0 ? 0.0 : ValueOf(Step, N); // never "-0"
        Ticks.push_back({Value, TickLabel(Value, Step.Exponent, Largest, LargestExponent)});
    }
    return Ticks;
}

std::string ValueLabel(double Value) {
    char Text[32];
    std::snprintf(Text, sizeof Text, "%.6g", Value == 0 ? 0.0 : Value);
    return Text;
}

} // namespace VyrHostProgram
