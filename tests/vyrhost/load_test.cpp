// `vyrhost load` and `vyrhost replay`: the JSON of the host's state with
// every value checked against an independent model of the conversion, the
// journal replayed, --stop-at, the summary, and loads that fail.
#include "expected_data_set.h"
#include "program_runner.h"
#include "vyrhost_files.h"

#include "interface/vyr_host_api.h"

#include <gtest/gtest.h>
#include <hdf/mfhdf.h>

#include <cmath>
#include <limits>
#include <optional>

using namespace VyrhostTest;

namespace {

const char* const Title = "Converted HDF data set";

// Values that are exact in every type the tests use.
std::vector<double> Wave(size_t Count, double Scale) {
    std::vector<double> Values;
    for (size_t Index = 0; Index < Count; ++Index) {
        Values.push_back(std::round(100.0 * std::sin(0.37 * Index)) * Scale);
    }
    return Values;
}

struct LoadCase {
    const char* Name;
    std::vector<TestHdf::DataSet> Sets; // every one is selected
    std::array<int32_t, 3> Skips;
    int32_t PlotType;
};

std::vector<LoadCase> LoadCases() {
    TestHdf::DataSet Profile = MakeSet(22, {10}, "profile", Wave(10, 1.0));
    Profile.Scales = {{24, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100}}};

    TestHdf::DataSet Field = MakeSet(5, {5, 7}, "field", Wave(35, 0.125));
    Field.Scales = {{6, {-1.5, -0.5, 0.5, 1.5, 2.5}}, {5, {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7}}};

    TestHdf::DataSet Cube = MakeSet(21, {4, 6, 11}, "cube", Wave(264, 1.0));
    for (double& Value : Cube.Values) {
        Value = std::fabs(Value) + 20; // unsigned bytes
    }
    Cube.Scales = {{20, {-4, -3, -2, -1}}, {}, {25, Wave(11, 1.0)}};
    for (double& Value : Cube.Scales[2].Values) {
        Value = std::fabs(Value) * 1000; // unsigned 32-bit
    }

    TestHdf::DataSet Doubles = MakeSet(6, {3, 4}, "doubles", Wave(12, 1e-3));
    TestHdf::DataSet Words = MakeSet(23, {2, 3}, "words", {0, 1, 65535, 40000, 7, 8});

    return {
        {"rank 1, 16-bit values, 32-bit scale, I-skip 3", {Profile}, {3, 1, 1}, VYR_PLOT_TYPE_1D},
        {"rank 2, float values, double and float scales, skips 2 and 3",
         {Field},
         {2, 3, 1},
         VYR_PLOT_TYPE_2D},
        {"rank 3, bytes, int8 scale, index scale, uint32 scale",
         {Cube},
         {3, 2, 2},
         VYR_PLOT_TYPE_3D},
        {"two rank-2 data sets, no scales", {Doubles, Words}, {1, 1, 1}, VYR_PLOT_TYPE_2D},
    };
}

std::string SdsArgument(size_t Count) {
    std::string Text;
    for (size_t Number = 1; Number <= Count; ++Number) {
        Text += (Number > 1 ? "," : "") + std::to_string(Number);
    }
    return Text;
}

std::string SkipArgument(const std::array<int32_t, 3>& Skips) {
    return std::to_string(Skips[0]) + "," + std::to_string(Skips[1]) + "," +
           std::to_string(Skips[2]);
}

TEST(VyrhostLoad, JsonHoldsTheConvertedDataSetWithEveryValue) {
    int FileNumber = 0;
    for (const LoadCase& Case : LoadCases()) {
        SCOPED_TRACE(Case.Name);
        const std::string Data =
            WriteHdf("load-" + std::to_string(++FileNumber) + ".hdf", Case.Sets);
        const std::string Json = TestHdf::TempPath("load.json");

        const ProgramRun Run = RunVyrhost({"load", Data, "--sds", SdsArgument(Case.Sets.size()),
                                           "--skip", SkipArgument(Case.Skips), "--json", Json});

        EXPECT_EQ(Run.ExitStatus, 0);
        EXPECT_EQ(Run.Err, "");
        EXPECT_EQ(Run.Out, ""); // --json: no summary
        const nlohmann::json State = ReadJson(Json);
        EXPECT_EQ(State.at("result"), true);
        EXPECT_EQ(State.at("messages"), nlohmann::json::array());
        EXPECT_EQ(State.at("questions"), nlohmann::json::array());
        const nlohmann::json& DataSet = State.at("data_set");
        ASSERT_TRUE(DataSet.is_object()) << State.dump();
        EXPECT_EQ(DataSet.at("title"), Title);
        const int32_t Rank = static_cast<int32_t>(Case.Sets[0].Dims.size());
        EXPECT_EQ(DataSet.at("variables").get<std::vector<std::string>>(), ExpectedVariables(Rank));
        ASSERT_EQ(DataSet.at("zones").size(), Case.Sets.size());
        for (size_t Zone = 0; Zone < Case.Sets.size(); ++Zone) {
            ExpectZoneJson(DataSet.at("zones")[Zone], ExpectZone(Case.Sets[Zone], Case.Skips),
                           "Zone " + std::to_string(Zone + 1));
        }
        EXPECT_EQ(State.at("frame"), (nlohmann::json{{"plot_type", Case.PlotType},
                                                     {"new_frames", 0},
                                                     {"mouse_mode", nullptr},
                                                     {"redraws", 1}}));
        std::vector<std::string> Instructions = {"M" + Data, "I" + std::to_string(Case.Skips[0]),
                                                 "J" + std::to_string(Case.Skips[1]),
                                                 "K" + std::to_string(Case.Skips[2])};
        for (size_t Number = 1; Number <= Case.Sets.size(); ++Number) {
            Instructions.push_back("S" + std::to_string(Number));
        }
        EXPECT_EQ(State.at("loader_instructions").get<std::vector<std::string>>(), Instructions);
        ExpectHostLeftClean(State);
    }
}

// ReadJson also holds the text to nlohmann::json's own dump of it, which
// formats 147.27615356445312f as 147.27615356445313 where std::to_chars,
// shortest and nearest, would not.
TEST(VyrhostLoad, NonFiniteValuesAreWrittenAsStrings) {
    const double Inf = std::numeric_limits<double>::infinity();
    const std::string Data =
        WriteHdf("non-finite.hdf", {MakeSet(5, {9}, "",
                                            {std::numeric_limits<double>::quiet_NaN(), Inf, -Inf,
                                             1.5, -0.1, -0.0, 1e-5, 147.27615356445312, 3e38})});
    const std::string Json = TestHdf::TempPath("non-finite.json");

    const ProgramRun Run = RunVyrhost({"load", Data, "--json", Json});

    EXPECT_EQ(Run.ExitStatus, 0) << Run.Err;
    const nlohmann::json State = ReadJson(Json);
    const nlohmann::json& V = State.at("data_set").at("zones")[0].at("values")[1];
    EXPECT_EQ(V, nlohmann::json::parse(R"(["nan", "inf", "-inf", 1.5, -0.10000000149011612, -0.0,
        9.999999747378752e-06, 147.27615356445313, 3.0000000054977558e+38])"));
    EXPECT_NE(ReadText(Json).find("\n            147.27615356445313,\n"), std::string::npos);
}

TEST(VyrhostLoad, JournalReplayedReproducesTheSameDataSet) {
    TestHdf::DataSet Field = MakeSet(24, {6, 9}, "field", Wave(54, 1.0));
    Field.Scales = {{5, {0.5, 1, 1.5, 2, 2.5, 3}}};
    // Names with blanks: on Windows full paths with a drive letter,
    // backslashes and blanks, through the command line, the file dialog, HDF4
    // and the instruction list.
    const std::string Data = WriteHdf("journal of a load.hdf", {MakeSet(5, {3}), Field, Field});
    const std::string Journal = TestHdf::TempPath("journal list.txt");
    const std::string Loaded = TestHdf::TempPath("loaded state.json");
    const std::string Replayed = TestHdf::TempPath("replayed state.json");

    const ProgramRun Load = RunVyrhost(
        {"load", Data, "--sds", "2,3", "--skip", "2,4,1", "--journal", Journal, "--json", Loaded});
    const ProgramRun Replay = RunVyrhost({"replay", Journal, "--json", Replayed});

    EXPECT_EQ(Load.ExitStatus, 0) << Load.Err;
    EXPECT_EQ(Replay.ExitStatus, 0) << Replay.Err;
    EXPECT_EQ(Replay.Err, "");
    EXPECT_EQ(ReadText(Journal), "M" + Data + "\nI2\nJ4\nK1\nS2\nS3\n");
    const nlohmann::json First = ReadJson(Loaded), Second = ReadJson(Replayed);
    EXPECT_EQ(Second.at("result"), true);
    EXPECT_EQ(Second.at("data_set"), First.at("data_set"));
    EXPECT_EQ(Second.at("loader_instructions"), First.at("loader_instructions"));
    ExpectZoneJson(Second.at("data_set").at("zones")[1], ExpectZone(Field, {2, 4, 1}), "Zone 2");
    ExpectHostLeftClean(Second);
}

TEST(VyrhostReplay, ReadsTheInstructionListFromStandardInput) {
    const TestHdf::DataSet Set = MakeSet(24, {4}, "", {4, 3, 2, 1});
    const std::string Data = WriteHdf("stdin-replay.hdf", {Set});

    const ProgramRun Run = RunVyrhost({"replay", "-", "--json", "-"}, "M" + Data + "\nS1\n");

    EXPECT_EQ(Run.ExitStatus, 0) << Run.Err;
    const nlohmann::json State = nlohmann::json::parse(Run.Out);
    ExpectZoneJson(State.at("data_set").at("zones")[0], ExpectZone(Set, {1, 1, 1}), "Zone 1");
    ExpectHostLeftClean(State);
}

TEST(VyrhostLoad, StopAtGivesAnInterruptedLoad) {
    // Five rows of seven: one percent-done check per row.
    const TestHdf::DataSet Set = MakeSet(24, {5, 7}, "", Wave(35, 1.0));
    const std::string Data = WriteHdf("stop-at.hdf", {Set});
    const std::string Json = TestHdf::TempPath("stop-at.json");
    const std::string Journal = TestHdf::TempPath("stop-at.txt");

    const ProgramRun Run =
        RunVyrhost({"load", Data, "--stop-at", "3", "--json", Json, "--journal", Journal});

    EXPECT_EQ(Run.ExitStatus, 0); // an interrupted load returns true
    EXPECT_EQ(Run.Err, "");
    const nlohmann::json State = ReadJson(Json);
    EXPECT_EQ(State.at("result"), true);
    EXPECT_TRUE(State.at("loader_instructions").is_null());
    EXPECT_EQ(ReadText(Journal), "");
    EXPECT_EQ(State.at("frame"),
              (nlohmann::json{
                  {"plot_type", nullptr}, {"new_frames", 1}, {"mouse_mode", 1}, {"redraws", 0}}));
    // Stop at the third check: rows 1 and 2 stored, rows 3 to 5 left at 0.
    ExpectedZone Expected = ExpectZone(Set, {1, 1, 1});
    for (std::vector<double>& Column : Expected.Values) {
        std::fill(Column.begin() + 14, Column.end(), 0.0);
    }
    ExpectZoneJson(State.at("data_set").at("zones")[0], Expected, "Zone 1");
    ExpectHostLeftClean(State);
}

// A stopped load's summary says so; --checksums prints checksum lines instead.
TEST(VyrhostLoad, WithoutJsonPrintsASummaryOfTheDataSet) {
    TestHdf::DataSet Set = MakeSet(24, {2, 4}, "", {5, -2, 7, 1, 0, 3, -9, 4});
    Set.Scales = {{5, {0.25, 0.75}}};
    const std::string Data = WriteHdf("summary.hdf", {Set});
    const std::string Stopped = WriteHdf("stopped-summary.hdf", {MakeSet(24, {3, 2})});
    // NaNs left out and counted; of the equal zeros the first one read,
    // though a later one comes first in a pass four values at a time.
    const double NaN = std::nan("");
    const std::string Floats = WriteHdf(
        "nan-summary.hdf", {MakeSet(5, {2, 5}, "", {NaN, 4, 1, -0.0, NaN, 2, 0.0, 3, 0.5, 6})});
    const std::pair<std::vector<std::string>, std::string> Cases[] = {
        {{"load", Data},
         "data set \"Converted HDF data set\"\n"
         "  variables: Dimension 1, Dimension 2, V\n"
         "  zone \"Zone 1\": 4 x 2 x 1, ordered\n"
         "    Dimension 1  int32   min 1  max 4\n"
         "    Dimension 2  float   min 0.25  max 0.75\n"
         "    V            int32   min -9  max 7\n"},
        {{"load", Stopped, "--stop-at", "1"},
         "data set \"Converted HDF data set\"\n"
         "  variables: Dimension 1, Dimension 2, V\n"
         "  zone \"Zone 1\": 2 x 3 x 1, ordered\n"
         "    Dimension 1  int32   min 0  max 0\n"
         "    Dimension 2  int32   min 0  max 0\n"
         "    V            int32   min 0  max 0\n"
         "  (the load was stopped: only the points read before Stop are set)\n"},
        {{"load", Floats},
         "data set \"Converted HDF data set\"\n"
         "  variables: Dimension 1, Dimension 2, V\n"
         "  zone \"Zone 1\": 5 x 2 x 1, ordered\n"
         "    Dimension 1  int32   min 1  max 5\n"
         "    Dimension 2  int32   min 1  max 2\n"
         "    V            float   min -0  max 6  (2 nan)\n"},
        // CRC-32s of {1,2,3,4,1,2,3,4} as int32, {.25 x4, .75 x4} as float and
        // the values as int32, little-endian, as Python's zlib.crc32 gives them.
        {{"load", Data, "--checksums"},
         "zone 1 var 1 int32 8 bef677f6\n"
         "zone 1 var 2 float 8 48372c7e\n"
         "zone 1 var 3 int32 8 02db4d93\n"},
    };
    for (const auto& [Args, Summary] : Cases) {
        SCOPED_TRACE(Args[1]);
        const ProgramRun Run = RunVyrhost(Args);

        EXPECT_EQ(Run.ExitStatus, 0);
        EXPECT_EQ(Run.Err, "");
        EXPECT_EQ(Run.Out, Summary);
    }
}

struct FailedLoad {
    const char* Name;
    std::vector<std::string> Args; // after "load FILE"
    std::vector<std::string> Messages;
    std::string HostComplaint; // vyrhost's own line on standard error, if any
};

TEST(VyrhostLoad, ALoadThatCannotRunExitsOneAndLeavesTheHostClean) {
    const std::string Data =
        WriteHdf("failures.hdf", {MakeSet(5, {2, 3}), MakeSet(5, {4}), MakeSet(5, {3, 3})});
    const FailedLoad Cases[] = {
        {"data sets of different ranks",
         {"--sds", "1,2"},
         {"Invalid Selection: Data sets must have the same rank.",
          "Please select at least one DataSet"},
         ""},
        {"item outside the list", {"--sds", "4"}, {}, "vyrhost: select 4: item 4 outside 1..3\n"},
    };
    for (const FailedLoad& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        const std::string Json = TestHdf::TempPath("failed.json");
        std::vector<std::string> Args = {"load", Data, "--json", Json};
        Args.insert(Args.end(), Case.Args.begin(), Case.Args.end());

        const ProgramRun Run = RunVyrhost(Args);

        EXPECT_EQ(Run.ExitStatus, 1);
        std::string Err;
        for (const std::string& Message : Case.Messages) {
            Err += "error: " + Message + "\n";
        }
        EXPECT_EQ(Run.Err, Err + Case.HostComplaint);
        const nlohmann::json State = ReadJson(Json);
        EXPECT_TRUE(State.at("result").is_null());
        EXPECT_TRUE(State.at("data_set").is_null());
        EXPECT_EQ(State.at("messages").get<std::vector<std::string>>(), Case.Messages);
        ExpectHostLeftClean(State);
    }
}

TEST(VyrhostLoad, ASkipRefusedByTheDialogKeepsItsValueAndTheLoadGoesOn) {
    const TestHdf::DataSet Set = MakeSet(24, {3, 5});
    const std::string Data = WriteHdf("refused-skip.hdf", {Set});
    const std::string Json = TestHdf::TempPath("refused-skip.json");

    const ProgramRun Run = RunVyrhost({"load", Data, "--skip", "0,2,x", "--json", Json});

    EXPECT_EQ(Run.ExitStatus, 0);
    EXPECT_EQ(Run.Err, "error: Please enter an i-skip value of 1 or greater\n"
                       "error: Please enter a k-skip value of 1 or greater\n");
    const nlohmann::json State = ReadJson(Json);
    ExpectZoneJson(State.at("data_set").at("zones")[0], ExpectZone(Set, {1, 2, 1}), "Zone 1");
    ExpectHostLeftClean(State);
}

// A file of one unsigned-byte data set of Extent^3 values, none written:
// a few hundred bytes on disk, read back as HDF4's fill values, and a zone
// of 13 bytes a point in the host (three 32-bit index coordinates and the
// byte values).
std::string WriteUnwrittenCube(const std::string& FileName, int32_t Extent) {
    const std::string Path = TestHdf::TempPath(FileName);
    const int32 File = SDstart(Path.c_str(), DFACC_CREATE);
    int32 Dims[3] = {Extent, Extent, Extent};
    const int32 Set = File == FAIL ? FAIL : SDcreate(File, "cube", DFNT_UINT8, 3, Dims);
    const bool Written = Set != FAIL && SDendaccess(Set) != FAIL;
    EXPECT_TRUE(File != FAIL && SDend(File) != FAIL && Written) << Path;
    return Path;
}

// A load that fails after the dialog's OK: the failure's own messages, then
// the loader's "Error reading file", and the result false.
TEST(VyrhostLoad, AReadFailureIsALoadThatReturnedFalse) {
    struct Case {
        const char* Name;
        std::optional<std::string> File; // none: a real file, and the folder is absent
        const char* Sds;
        std::vector<std::string> Messages;
    };
    // 440^3 points of 13 bytes: more than the host's 1 GiB for one zone.
    const int64_t CubeBytes = int64_t(440) * 440 * 440 * 13;
    const Case Cases[] = {
        // The third data set is szip-compressed, which this HDF4 cannot decode.
        {"a data set HDF4 cannot decode",
         TestHdf::RealFile("compressed-gzip-skiphuff-szip.hdf"),
         "3",
         {"Error reading HDF Dataset", "Error reading file"}},
        // The host says why first: a sound file is not a damaged one.
        {"a zone larger than the host holds",
         WriteUnwrittenCube("unwritten-cube.hdf", 440),
         "1",
         {"The host cannot hold zone \"Zone 1\" (440x440x440): its arrays need " +
              std::to_string(CubeBytes) +
              " bytes (1.03 GiB), more than the 1073741824 bytes (1 GiB) that the host grants "
              "one zone",
          "Error reading file"}},
    };
    bool RealFileSkipped = false;
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        if (!C.File) {
            RealFileSkipped = true;
            continue;
        }
        const std::string Json = TestHdf::TempPath("read-failure.json");

        const ProgramRun Run = RunVyrhost({"load", *C.File, "--sds", C.Sds, "--json", Json});

        EXPECT_EQ(Run.ExitStatus, 1);
        std::string Err;
        for (const std::string& Message : C.Messages)
            Err += "error: " + Message + "\n";
        EXPECT_EQ(Run.Err, Err);
        const nlohmann::json State = ReadJson(Json);
        EXPECT_EQ(State.at("result"), false);
        EXPECT_EQ(State.at("messages").get<std::vector<std::string>>(), C.Messages);
        EXPECT_TRUE(State.at("loader_instructions").is_null());
        ExpectHostLeftClean(State);
    }
    if (RealFileSkipped)
        GTEST_SKIP() << "the written file's case ran; " << TestHdf::RealFilesMissing();
}

TEST(VyrhostReplay, AListNamingAMissingFileFailsWithTheScansMessage) {
    const std::string List = TestHdf::TempPath("missing-file.txt");
    TestHdf::WriteText(List, "M" + TestHdf::TempPath("gone.hdf") + "\nI1\nJ1\nK1\nS1\n");
    const std::string Json = TestHdf::TempPath("missing-file.json");

    const ProgramRun Run = RunVyrhost({"replay", List, "--json", Json});

    EXPECT_EQ(Run.ExitStatus, 1);
    EXPECT_EQ(Run.Err, "error: File does not exist\n");
    const nlohmann::json State = ReadJson(Json);
    EXPECT_EQ(State.at("result"), false);
    EXPECT_TRUE(State.at("data_set").is_null());
    ExpectHostLeftClean(State);
}

TEST(VyrhostReplay, AListFileThatCannotBeReadFailsTheCommand) {
    const std::string Missing = TestHdf::TempPath("no-such-list.txt");

    const ProgramRun Run = RunVyrhost({"replay", Missing});

    EXPECT_EQ(Run.ExitStatus, 1);
    EXPECT_EQ(Run.Err, "vyrhost: cannot read " + Missing + "\n");
}

} // namespace
