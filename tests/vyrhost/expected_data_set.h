// What the host should hold after loading data sets that a test wrote with
// TestHdf: the zone's extents, field data types and every value, worked out
// here from the data sets' description, independently of the add-on.
#ifndef LOADHDF_TESTS_VYRHOST_EXPECTED_DATA_SET_H
#define LOADHDF_TESTS_VYRHOST_EXPECTED_DATA_SET_H

#include "support/hdf_writer.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace VyrhostTest {

struct ExpectedZone {
    int32_t IMax = 1, JMax = 1, KMax = 1;
    std::vector<int32_t> FieldTypes;         // one per variable
    std::vector<std::vector<double>> Values; // one column per variable, in point order
};

// The host field data type that holds an HDF number type's values.
int32_t FieldTypeOf(int32_t NumberType);

// The zone made from one data set under skips {I, J, K}: variables
// "Dimension 1".. then "V", I fastest, coordinates from the scales or 1..n.
ExpectedZone ExpectZone(const TestHdf::DataSet& Set, std::array<int32_t, 3> Skips);

// "Dimension 1", ... for a rank, then "V".
std::vector<std::string> ExpectedVariables(int32_t Rank);

// Checks a zone of the JSON data set against the expectation: extents, zone
// type 0, field types and every value, typed as the schema says.
void ExpectZoneJson(const nlohmann::json& Zone, const ExpectedZone& Expected,
                    const std::string& Name);

} // namespace VyrhostTest

#endif
