// LoaderTest: AddOnTest for the loading road, with the host's replay of an
// instruction list, a check that a load left nothing behind, and readers of
// the zones the host now holds.
#ifndef LOADHDF_TESTS_LOADER_LOADER_FIXTURE_H
#define LOADHDF_TESTS_LOADER_LOADER_FIXTURE_H

#include "support/addon_fixture.h"
#include "support/hdf_writer.h"
#include "vyr_host_control.h"

#include <cstdint>
#include <string>
#include <vector>

// A data set for TestHdf::Write; empty Values: 0, 1, 2, ...
TestHdf::DataSet MakeSet(const std::string& Name, int32_t NumberType,
                         const std::vector<int32_t>& Dims, const std::vector<double>& Values = {});

// The items of a list for this load: "M" path, the skips, one "S" each.
std::vector<std::string> Items(const std::string& Path, int32_t I, int32_t J, int32_t K,
                               const std::vector<int32_t>& Sds);

class LoaderTest : public AddOnTest {
  protected:
    void SetUp() override;

    // The host replays Items with "HDF Loader"; returns the loader's result.
    // The HDF call counts start from zero for each replay.
    static bool Replay(const std::vector<std::string>& Items);

    // After a load, whatever its ending: the lock back at depth 0, nothing
    // the host handed out still held but SelectedSds, every HDF file the
    // load opened closed and every access ended, and the catalogue empty.
    static void ExpectLoadLeftNothingHeld();

    // The host's zone number Zone (1-based); fails the test when absent.
    static const VyrHost::Zone& ZoneAt(int32_t Zone);
    // Every value of one variable (1-based) of a zone, in point order.
    static std::vector<double> VarValues(const VyrHost::Zone& Zone, int32_t Var);
    static std::vector<std::string> Messages() { return VyrHost::ErrorMessages(); }
};

#endif
