// vyrhost on a terminal: the interactive session with the open dialog drawn
// after each command, and Ctrl-C pressing Stop in the percent-done dialog
// (the progress bar) instead of killing the program.
#include "expected_data_set.h"
#include "program_runner.h"
#include "vyrhost_files.h"

#include <gtest/gtest.h>

#include <csignal>

using namespace VyrhostTest;

namespace {

// Each of these tests puts vyrhost on a terminal of its own, which a child
// process cannot have everywhere (under Wine it gets no console): there the
// tests skip, saying why.
class VyrhostTerminal : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string Why = Platform::WhyNoTerminalForChild();
        if (!Why.empty()) {
            GTEST_SKIP() << Why;
        }
    }
};

// The text between the Nth prompt (from 1) and the next one.
std::string AfterPrompt(const std::string& Out, int Number) {
    const std::string Prompt = "vyrhost> ";
    std::string::size_type At = 0;
    for (int Seen = 0; Seen < Number; ++Seen) {
        At = Out.find(Prompt, At);
        if (At == std::string::npos) {
            return "";
        }
        At += Prompt.size();
    }
    const std::string::size_type Next = Out.find(Prompt, At);
    return Out.substr(At, Next == std::string::npos ? std::string::npos : Next - At);
}

TEST_F(VyrhostTerminal, InteractiveSessionDrawsTheOpenDialogAfterEachCommand) {
    const std::string Data =
        WriteHdf("interactive.hdf", {MakeSet(24, {2, 3}, "first"), MakeSet(24, {4, 2}, "second")});
    const std::string Json = TestHdf::TempPath("interactive.json");
    const std::string Typed = TextOf({"launch", "file " + Data, "press Select File...", "select 2",
                                      "press Nothing", "ok", "quit"});

    const ProgramRun Run = RunVyrhostOnTerminal({"--json", Json}, Typed);

    EXPECT_EQ(Run.ExitStatus, 1); // one refused command
    EXPECT_NE(Run.Out.find("Type ? for the commands"), std::string::npos) << Run.Out;
    EXPECT_EQ(AfterPrompt(Run.Out, 1)
                  .rfind("dialog \"HDF Loader\"\n  label \"I-Skip:\"  (insensitive)\n", 0),
              0u)
        << AfterPrompt(Run.Out, 1);
    EXPECT_EQ(AfterPrompt(Run.Out, 2).rfind("dialog \"HDF Loader\"", 0),
              0u); // file: nothing changed
    EXPECT_NE(AfterPrompt(Run.Out, 3).find("  label \"" + Data + "\"\n"), std::string::npos);
    EXPECT_NE(AfterPrompt(Run.Out, 3)
                  .find("    [ ] 1: (2) first (3x2)\n"
                        "    [ ] 2: (2) second (2x4)\n"),
              std::string::npos)
        << AfterPrompt(Run.Out, 3);
    EXPECT_NE(AfterPrompt(Run.Out, 4)
                  .find("    [ ] 1: (2) first (3x2)\n"
                        "    [x] 2: (2) second (2x4)\n"),
              std::string::npos)
        << AfterPrompt(Run.Out, 4);
    EXPECT_EQ(AfterPrompt(Run.Out, 5)
                  .rfind("vyrhost: press: no button \"Nothing\" in dialog \"HDF Loader\"\n", 0),
              0u)
        << AfterPrompt(Run.Out, 5);
    // After OK: the progress bar on the same terminal, taken off its line
    // ("erase line") before the dialog is drawn again (--json: no summary).
    const std::string AfterOk = AfterPrompt(Run.Out, 6);
    EXPECT_NE(AfterOk.find("Reading HDF Information..."), std::string::npos) << AfterOk;
    const std::string Erased = "\033[Kno dialog is up\n";
    ASSERT_GE(AfterOk.size(), Erased.size());
    EXPECT_EQ(AfterOk.substr(AfterOk.size() - Erased.size()), Erased);
    const nlohmann::json State = ReadJson(Json);
    EXPECT_EQ(State.at("result"), true);
    EXPECT_EQ(State.at("loader_instructions"),
              nlohmann::json::array({"M" + Data, "I1", "J1", "K1", "S2"}));
    ExpectHostLeftClean(State);
}

TEST_F(VyrhostTerminal, EndOfInputEndsTheSession) {
    const ProgramRun Run = RunVyrhostOnTerminal({}, "show\n\x04");

    EXPECT_EQ(Run.ExitStatus, 0);
    EXPECT_EQ(AfterPrompt(Run.Out, 1), "no dialog is up\n");
}

TEST_F(VyrhostTerminal, CtrlCDuringALoadPressesStopAndTheProgramEndsNormally) {
    // Ten rows: ten percent-done checks; Ctrl-C lands while the progress bar
    // is first drawn, at the first check, before any row is stored.
    const TestHdf::DataSet Set = MakeSet(24, {10, 6}, "rows");
    const std::string Data = WriteHdf("ctrl-c.hdf", {Set});
    const std::string Json = TestHdf::TempPath("ctrl-c.json");
    const std::string Journal = TestHdf::TempPath("ctrl-c.txt");
    bool Stopped = false;

    const ProgramRun Run = RunVyrhostWithCtrlCAtFirstOutput(
        {"load", Data, "--json", Json, "--journal", Journal}, &Stopped);

    ASSERT_TRUE(Stopped) << "the program never wrote to the terminal: " << Run.Out;
    EXPECT_EQ(Run.Signal, 0);
    EXPECT_EQ(Run.ExitStatus, 0) << Run.Out;
    // The progress bar: percentage and the percent-done dialog's label.
    EXPECT_NE(Run.Out.find("  0%  Reading HDF Information...  zone 1"), std::string::npos)
        << Run.Out;
    const nlohmann::json State = ReadJson(Json);
    EXPECT_EQ(State.at("result"), true);
    EXPECT_TRUE(State.at("loader_instructions").is_null());
    EXPECT_EQ(ReadText(Journal), "");
    EXPECT_EQ(State.at("frame").at("new_frames"), 1);
    ExpectedZone Untouched = ExpectZone(Set, {1, 1, 1});
    for (std::vector<double>& Column : Untouched.Values) {
        std::fill(Column.begin(), Column.end(), 0.0);
    }
    ExpectZoneJson(State.at("data_set").at("zones")[0], Untouched, "Zone 1");
    ExpectHostLeftClean(State);
}

TEST_F(VyrhostTerminal, ProgressBarIsRedrawnOnPercentageChangesNotOncePerRow) {
    // A thousand rows of two points: the percentage moves every twenty rows.
    const std::string Data = WriteHdf("many-rows.hdf", {MakeSet(24, {1000, 2})});

    const ProgramRun Run = RunVyrhostOnTerminal({"load", Data, "--json", "-"}, "");

    EXPECT_EQ(Run.ExitStatus, 0);
    size_t Drawings = 0;
    for (std::string::size_type At = Run.Out.find("Reading HDF Information...");
         At != std::string::npos; At = Run.Out.find("Reading HDF Information...", At + 1)) {
        ++Drawings;
    }
    // At least one drawing per percentage reached (0 to 49), and far fewer
    // than one per row; the 100 ms redraws of the elapsed time come on top
    // only for a load that takes seconds.
    EXPECT_GE(Drawings, 50u);
    EXPECT_LT(Drawings, 500u);
    EXPECT_NE(Run.Out.find(" 49%  Reading HDF Information...  zone 1"), std::string::npos);
}

TEST(VyrhostOffTerminal, TheProgressBarStaysSilent) {
    const std::string Data = WriteHdf("silent.hdf", {MakeSet(24, {40, 3})});

    const ProgramRun Run = RunVyrhost({"load", Data, "--json", TestHdf::TempPath("silent.json")});

    EXPECT_EQ(Run.ExitStatus, 0);
    EXPECT_EQ(Run.Err, "");
    EXPECT_EQ(Run.Out, "");
}

} // namespace
