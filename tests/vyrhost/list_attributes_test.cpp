// `vyrhost list` and `vyrhost attributes`: the load dialog's list lines and
// the attributes dialog's text, exactly, and the add-on's messages when the
// file cannot be scanned.
#include "program_runner.h"
#include "support/ranks_file.h"
#include "vyrhost_files.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

using namespace VyrhostTest;

namespace {

// The list lines exactly as the load dialog lists them (a coordinate
// variable left out), the attributes dialog's text exactly, and nothing
// loaded by either. A scalar is listed in its place, with no extents and no
// dimension lines.
TEST(VyrhostListAndAttributes, PrintTheDialogsTextsExactly) {
    const std::string Data = WriteHdf("three-ranks.hdf", TestHdf::RanksThreeTwoOne());
    const std::string Scalars =
        WriteHdf("scalars.hdf", {MakeSet(24, {2}), MakeSet(22, {}, "count"), MakeSet(5, {})});
    const std::tuple<const char*, std::string, std::string> Cases[] = {
        {"list", Data, "(3) t (6x5x4)\n(2) p (8x7)\n(1)  (9)\n"},
        {"attributes", Data, TestHdf::RanksThreeTwoOneAttributes()},
        {"list", Scalars, "(1)  (2)\n(0) count ()\n(0)  ()\n"},
        {"attributes", Scalars,
         "Scientific Data Set #1\n  Dimension Size 1:2\nLabel: \nUnit: \nFormat: \n"
         "Coordinate System: \nRank: 1\n\n"
         "Scientific Data Set #2\nLabel: count\nUnit: \nFormat: \nCoordinate System: \nRank: 0\n\n"
         "Scientific Data Set #3\nLabel: \nUnit: \nFormat: \nCoordinate System: \nRank: 0\n\n"},
    };
    for (const auto& [Command, File, Expected] : Cases) {
        SCOPED_TRACE(std::string(Command) + " " + File);
        const std::string Json = TestHdf::TempPath("texts.json");

        const ProgramRun Run = RunVyrhost({Command, File, "--json", Json});

        EXPECT_EQ(Run.ExitStatus, 0);
        EXPECT_EQ(Run.Err, "");
        EXPECT_EQ(Run.Out, Expected);
        const nlohmann::json State = ReadJson(Json);
        EXPECT_TRUE(State.at("result").is_null());
        EXPECT_TRUE(State.at("data_set").is_null());
        EXPECT_TRUE(State.at("loader_instructions").is_null());
        EXPECT_EQ(State.at("messages"), nlohmann::json::array());
        ExpectHostLeftClean(State);
    }
}

struct ScanFailure {
    const char* Name;
    std::optional<std::string> Path; // none: a real file, and the folder is absent
    const char* Message;
};

TEST(VyrhostListAndAttributes, AFileThatCannotBeScannedShowsTheAddOnsMessageAndExitsOne) {
    const std::string Text = TestHdf::TempPath("not-hdf.txt");
    TestHdf::WriteText(Text, "this is not an HDF file\n");
    const std::string OnlyScales = WriteHdf("rank-4-only.hdf", [] {
        TestHdf::DataSet Rank4 = MakeSet(5, {2, 2, 2, 2});
        return std::vector<TestHdf::DataSet>{Rank4};
    }());
    const ScanFailure Cases[] = {
        {"missing file", TestHdf::TempPath("missing.hdf"), "File does not exist"},
        {"text file", Text, "Not a valid HDF File"},
        {"no data sets", TestHdf::RealFile("vdatas-only.hdf"),
         "No Scientific Datasets were found in this HDF file"},
        {"nothing convertible", OnlyScales, "No Scientific Data Sets found."},
    };
    bool RealFileSkipped = false;
    for (const ScanFailure& Case : Cases) {
        if (!Case.Path) {
            RealFileSkipped = true;
            continue;
        }
        for (const char* Command : {"list", "attributes"}) {
            SCOPED_TRACE(std::string(Case.Name) + ", " + Command);
            const std::string Json = TestHdf::TempPath("failure.json");

            const ProgramRun Run = RunVyrhost({Command, *Case.Path, "--json", Json});

            EXPECT_EQ(Run.ExitStatus, 1);
            EXPECT_EQ(Run.Out, "");
            EXPECT_EQ(Run.Err, std::string("error: ") + Case.Message + "\n");
            const nlohmann::json State = ReadJson(Json);
            EXPECT_EQ(State.at("messages"), nlohmann::json::array({Case.Message}));
            ExpectHostLeftClean(State);
        }
    }
    if (RealFileSkipped)
        GTEST_SKIP() << "the written files' cases ran; " << TestHdf::RealFilesMissing();
}

} // namespace
