// V's field data type decides how a blank value is matched and whether its
// ticks may fall between integers.
#include "zone_view.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace VyrHostProgram {

ZoneView::ZoneView(const VyrHost::Zone& Z, const std::vector<double>& Blanks)
    : Z(Z), Vars(static_cast<int32_t>(Z.FieldTypes.size())), Blanks(Blanks) {
    // A float variable holds a blank value as its nearest float: -0.1
    // typed by the user is the float that the file's -0.1 became.
    if (Vars >= 1 && Z.FieldTypes.back() == VYR_FIELD_TYPE_FLOAT) {
        for (double Blank : Blanks) {
            if (std::fabs(Blank) <= FLT_MAX) {
                FloatBlanks.push_back(static_cast<float>(Blank));
            }
        }
    }
}

bool ZoneView::WholeValues() const {
    const VyrFieldType_t Type = Vars >= 1 ? Z.FieldTypes.back() : 0;
    return Type == VYR_FIELD_TYPE_INT32 || Type == VYR_FIELD_TYPE_INT16 ||
           Type == VYR_FIELD_TYPE_BYTE;
}

double ZoneView::Value(int32_t Var, int32_t I, int32_t J, int32_t K) const {
    const int64_t Point = (int64_t(K) - 1) * Z.IMax * Z.JMax + (int64_t(J) - 1) * Z.IMax + I;
    return Z.Value(Var, Point);
}

double ZoneView::Coordinate(int32_t Dim, int32_t I, int32_t J, int32_t K) const {
    if (Dim >= Vars) {
        return Dim == 1 ? I : (Dim == 2 ? J : K);
    }
    return Value(Dim, I, J, K);
}

ZoneView::Kind ZoneView::KindOf(double Value) const {
    if (!std::isfinite(Value)) {
        return Kind::NotFinite;
    }
    for (double Blank : Blanks) {
        if (Value == Blank) {
            return Kind::Blank;
        }
    }
    for (float Blank : FloatBlanks) {
        if (static_cast<float>(Value) == Blank) {
            return Kind::Blank;
        }
    }
    return Kind::Valid;
}

std::string VarName(const VyrHost::DataSet& Data, int32_t Var, const char* Otherwise) {
    return Var >= 1 && size_t(Var) <= Data.VarNames.size() ? Data.VarNames[size_t(Var) - 1]
                                                           : Otherwise;
}

void CountValue(const ZoneView& View, double Value, double* Low, double* High, PanelDrawn* Panel) {
    switch (View.KindOf(Value)) {
    case ZoneView::Kind::NotFinite:
        ++Panel->NotFinite;
        return;
    case ZoneView::Kind::Blank:
        ++Panel->Blanked;
        return;
    case ZoneView::Kind::Valid:
        *Low = std::min(*Low, Value);
        *High = std::max(*High, Value);
        return;
    }
}

bool SetRange(double Low, double High, const PictureOptions& Options, PanelDrawn* Panel) {
    Panel->FixedRange = Options.Range.has_value();
    if (Panel->FixedRange) {
        Panel->Low = Options.Range->Low;
        Panel->High = Options.Range->High;
        return true;
    }
    const bool Any = Low <= High;
    Panel->Low = Any ? Low : 0;
    Panel->High = Any ? High : 0;
    return Any;
}

} // namespace VyrHostProgram
