// The data sets of ranks 3, 2 and 1 that the dialog and host program tests
// scan, list and describe, and the attributes text the add-on shows for
// them: so that both folders check the same file against the same text.
#ifndef LOADHDF_TESTS_SUPPORT_RANKS_FILE_H
#define LOADHDF_TESTS_SUPPORT_RANKS_FILE_H

#include "support/hdf_writer.h"

#include <vector>

namespace TestHdf {

// Ranks 3, 2 and 1 with extents 4x5x6, 7x8 and 9 in HDF order, labelled t,
// p and not at all; t has every text, p a unit and a scale on its first
// dimension (a coordinate variable that the list leaves out).
inline std::vector<DataSet> RanksThreeTwoOne() {
    DataSet T, P, Plain;
    T.Name = "temperature";
    T.Label = "t";
    T.Unit = "K";
    T.Format = "F6.2";
    T.CoordSys = "cartesian";
    T.Dims = {4, 5, 6};
    P.Name = "pressure";
    P.NumberType = 24;
    P.Label = "p";
    P.Unit = "Pa";
    P.Dims = {7, 8};
    P.Scales = {{6, {1, 2, 3, 4, 5, 6, 7}}};
    Plain.Name = "plain";
    Plain.NumberType = 22;
    Plain.Dims = {9};
    return {T, P, Plain};
}

// The attributes dialog's text for RanksThreeTwoOne.
inline const char* RanksThreeTwoOneAttributes() {
    return "Scientific Data Set #1\n"
           "  Dimension Size 1:6\n"
           "  Dimension Size 2:5\n"
           "  Dimension Size 3:4\n"
           "Label: t\n"
           "Unit: K\n"
           "Format: F6.2\n"
           "Coordinate System: cartesian\n"
           "Rank: 3\n"
           "\n"
           "Scientific Data Set #2\n"
           "  Dimension Size 1:8\n"
           "  Dimension Size 2:7\n"
           "Label: p\n"
           "Unit: Pa\n"
           "Format: \n"
           "Coordinate System: \n"
           "Rank: 2\n"
           "\n"
           "Scientific Data Set #3\n"
           "  Dimension Size 1:9\n"
           "Label: \n"
           "Unit: \n"
           "Format: \n"
           "Coordinate System: \n"
           "Rank: 1\n"
           "\n";
}

} // namespace TestHdf

#endif
