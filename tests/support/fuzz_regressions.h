// The inputs that our own fuzzing of the HDF scan turned up (tools/fuzz.sh),
// kept in tests/fuzz_regressions/ so that every build replays them: damaged
// HDF files on which HDF4 4.2.15 crashes, hangs or runs out of memory when
// the add-on hands them over unchecked.
#ifndef LOADHDF_TESTS_SUPPORT_FUZZ_REGRESSIONS_H
#define LOADHDF_TESTS_SUPPORT_FUZZ_REGRESSIONS_H

#ifdef LOADHDF_SOURCE_DIR // defined for the test programs, not the support library

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace TestHdf {

// Paths of the folder's .hdf files, in name order.
inline std::vector<std::string> FuzzRegressionFiles() {
    std::vector<std::string> Paths;
    for (const auto& Entry :
         std::filesystem::directory_iterator(LOADHDF_SOURCE_DIR "/tests/fuzz_regressions"))
        if (Entry.path().extension() == ".hdf")
            Paths.push_back(Entry.path().string());
    std::sort(Paths.begin(), Paths.end());
    return Paths;
}

} // namespace TestHdf

#endif
#endif
