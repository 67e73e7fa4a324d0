// A zone's values as a panel reads them: by 1-based I, J and K, the
// variable drawn (V, the last), the coordinates, which values are no data
// (NaN, infinite, or a value the user names as blank), and the panel's
// range of V that the valid values and --range make.
#ifndef LOADHDF_HOST_VYRHOST_PICTURE_ZONE_VIEW_H
#define LOADHDF_HOST_VYRHOST_PICTURE_ZONE_VIEW_H

#include "picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace VyrHostProgram {

class ZoneView {
  public:
    enum class Kind { Valid, NotFinite, Blank };

    // Z and Blanks must outlive the view.
    ZoneView(const VyrHost::Zone& Z, const std::vector<double>& Blanks);

    // The variable drawn, V: the last; 0 when the zone has none.
    int32_t ValueVar() const { return Vars; }
    // Whether V holds whole numbers only: an integer field data type.
    bool WholeValues() const;
    double Value(int32_t Var, int32_t I, int32_t J, int32_t K) const;
    // The coordinate variable Dim (1: I, 2: J, 3: K) at that point; the
    // index itself when the zone has no such variable.
    double Coordinate(int32_t Dim, int32_t I, int32_t J, int32_t K) const;
    Kind KindOf(double Value) const;

    const VyrHost::Zone& Z;
    const int32_t Vars;

  private:
    const std::vector<double>& Blanks;
    std::vector<float> FloatBlanks;
};

// The data set's name of variable Var (1-based), or Otherwise when it has
// none.
std::string VarName(const VyrHost::DataSet& Data, int32_t Var, const char* Otherwise);

// Counts a value into the panel: no data of either kind, or within the
// running range Low..High.
void CountValue(const ZoneView& View, double Value, double* Low, double* High, PanelDrawn* Panel);

// The panel's range of V: the user's when fixed, else the valid values'
// Low..High (0 to 0 when there are none, Low above High). False when there
// is nothing to scale.
bool SetRange(double Low, double High, const PictureOptions& Options, PanelDrawn* Panel);

} // namespace VyrHostProgram

#endif
