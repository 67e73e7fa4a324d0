// make_sample_hdf and the README's main command: the sample file it writes
// lists and loads end to end through vyrhost.
#include "program_runner.h"
#include "vyrhost_files.h"

#include <gtest/gtest.h>

using namespace VyrhostTest;

namespace {

TEST(SampleFile, ListsFiveDataSetsAndTheFirstTwoLoadTogether) {
    const std::string Sample = TestHdf::TempPath("sample.hdf");
    const ProgramRun Made = RunProgram(MakeSampleHdfPath(), {Sample});
    ASSERT_EQ(Made.ExitStatus, 0) << Made.Err;

    const ProgramRun List = RunVyrhost({"list", Sample});
    EXPECT_EQ(List.ExitStatus, 0);
    EXPECT_EQ(List.Out, "(2) Surface pressure (8x6)\n"
                        "(2) Terrain elevation (7x5)\n"
                        "(3) Air temperature (5x4x3)\n"
                        "(1) Daily rainfall (10)\n"
                        "(1) Station code (6)\n");

    const ProgramRun Load = RunVyrhost({"load", Sample, "--sds", "1,2", "--json", "-"});
    EXPECT_EQ(Load.ExitStatus, 0);
    EXPECT_EQ(Load.Err, "");
    const nlohmann::json State = nlohmann::json::parse(Load.Out);
    const nlohmann::json& Zones = State.at("data_set").at("zones");
    ASSERT_EQ(Zones.size(), 2u);
    // Pressure: doubles, with an int32 scale along I and a double one along J.
    EXPECT_EQ(Zones[0].at("field_types"), nlohmann::json::array({3, 2, 2}));
    EXPECT_EQ(Zones[0].at("values")[0][1], 20);
    EXPECT_EQ(Zones[0].at("values")[1][8], -1.5);
    // Elevation: 16-bit values, no scale along I (numbered 1..7).
    EXPECT_EQ(Zones[1].at("field_types"), nlohmann::json::array({3, 4, 4}));
    EXPECT_EQ(Zones[1].at("values")[0][6], 7);
    ExpectHostLeftClean(State);
}

TEST(SampleFile, TheToolWantsExactlyOneOutputFile) {
    const ProgramRun Run = RunProgram(MakeSampleHdfPath(), {});

    EXPECT_EQ(Run.ExitStatus, 2);
    EXPECT_EQ(Run.Err.rfind("usage: make_sample_hdf OUT.hdf\n", 0), 0u) << Run.Err;
}

} // namespace
