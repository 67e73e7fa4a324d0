// Files for the host program's tests: HDF4 files written at run time, the
// real sample files, and the JSON that vyrhost writes.
#ifndef LOADHDF_TESTS_VYRHOST_VYRHOST_FILES_H
#define LOADHDF_TESTS_VYRHOST_VYRHOST_FILES_H

#include "support/hdf_writer.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace VyrhostTest {

// A data set description: number type, extents in HDF order, label,
// values (empty: 0, 1, 2, ...).
TestHdf::DataSet MakeSet(int32_t NumberType, std::vector<int32_t> Dims, std::string Label = "",
                         std::vector<double> Values = {});

// Writes the data sets to a new file in the test's temporary directory.
inline std::string WriteHdf(const std::string& FileName,
                            const std::vector<TestHdf::DataSet>& Sets) {
    return TestHdf::WriteTemp(FileName, Sets);
}

// Reads a JSON file that vyrhost wrote; an unreadable one fails the test.
nlohmann::json ReadJson(const std::string& Path);

// Reads a text file whole.
std::string ReadText(const std::string& Path);

// Every JSON vyrhost writes after its shutdown notice must show a host with
// no lock held and nothing handed out that was not given back.
void ExpectHostLeftClean(const nlohmann::json& State);

} // namespace VyrhostTest

#endif
