// A short, human-readable summary of the host's data set, printed after a
// load when no JSON is asked for.
#ifndef LOADHDF_HOST_VYRHOST_DATA_SET_SUMMARY_H
#define LOADHDF_HOST_VYRHOST_DATA_SET_SUMMARY_H

#include "vyr_host_control.h"

#include <string>

namespace VyrHostProgram {

// Title and variables, then per zone its name, extents and zone type, and
// per variable its field data type and the minimum and maximum of its
// values in that zone.
std::string DescribeDataSet(const VyrHost::DataSet& Data);

// One line per zone and variable, "zone Z var V TYPE COUNT CRC", CRC being
// the CRC-32 of the variable's stored bytes in 8 hex digits: what the
// benchmark compares with its tight loop and pyhdf peer.
std::string DataSetChecksums(const VyrHost::DataSet& Data);

// The name of a host field data type ("float", "double", "int32", "int16",
// "byte"), or its number when the host knows no such type.
std::string FieldTypeName(VyrFieldType_t Type);

} // namespace VyrHostProgram

#endif
