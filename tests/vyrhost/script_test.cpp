// `vyrhost script` and standard input off a terminal: the session language
// acting on the add-on's dialogs, `show`, refused commands, questions,
// `replay`, `stop-at` and `json` inside a session.
#include "expected_data_set.h"
#include "program_runner.h"
#include "vyrhost_files.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace VyrhostTest;

namespace {

std::string TwoRankTwoFile() {
    return WriteHdf("script.hdf", {MakeSet(24, {3, 4}, "alpha"), MakeSet(5, {2}, "beta"),
                                   MakeSet(22, {5, 2}, "gamma")});
}

// The load dialog as `show` prints it after a successful scan of Path, with
// list items Selected (1-based) marked.
std::string ScannedLoadDialog(const std::string& Path, const std::vector<int>& Selected,
                              const std::string& Skips = "1,1,1") {
    auto Mark = [&](int Item) {
        return std::find(Selected.begin(), Selected.end(), Item) != Selected.end() ? "[x]" : "[ ]";
    };
    const std::string I = Skips.substr(0, 1), J = Skips.substr(2, 1), K = Skips.substr(4, 1);
    return std::string("dialog \"HDF Loader\"\n"
                       "  label \"I-Skip:\"\n"
                       "  label \"J-Skip:\"\n"
                       "  label \"K-Skip:\"\n"
                       "  label \"Scientific Data Sets to load:\"\n"
                       "  label \"File:\"\n"
                       "  label \"") +
           Path + "\"\n" + "  list (multiple selection)\n" + "    " + Mark(1) +
           " 1: (2) alpha (4x3)\n" + "    " + Mark(2) + " 2: (1) beta (2)\n" + "    " + Mark(3) +
           " 3: (2) gamma (2x5)\n" + "  button [Attributes...]\n" + "  field \"I-Skip:\" [" + I +
           "]\n" + "  field \"J-Skip:\" [" + J + "]\n" + "  field \"K-Skip:\" [" + K + "]\n" +
           "  button [Select File...]\n" + "  buttons: [OK] [Cancel] [Help]\n";
}

const char* const FreshLoadDialog = "dialog \"HDF Loader\"\n"
                                    "  label \"I-Skip:\"  (insensitive)\n"
                                    "  label \"J-Skip:\"  (insensitive)\n"
                                    "  label \"K-Skip:\"  (insensitive)\n"
                                    "  label \"Scientific Data Sets to load:\"  (insensitive)\n"
                                    "  label \"File:\"\n"
                                    "  label \"<<No File Selected>>\"\n"
                                    "  list (multiple selection)  (insensitive): no items\n"
                                    "  button [Attributes...]  (insensitive)\n"
                                    "  field \"I-Skip:\" [1]  (insensitive)\n"
                                    "  field \"J-Skip:\" [1]  (insensitive)\n"
                                    "  field \"K-Skip:\" [1]  (insensitive)\n"
                                    "  button [Select File...]\n"
                                    "  buttons: [OK] [Cancel] [Help]\n";

TEST(VyrhostScript, ASessionDrivesTheDialogsAndShowPrintsThem) {
    const std::string Data = TwoRankTwoFile();
    const std::string Script = TestHdf::TempPath("session.txt");
    const std::string Json = TestHdf::TempPath("session.json");
    TestHdf::WriteText(Script,
                       TextOf({"# a whole interactive load, as a person would do it", "show",
                               "launch", "show", "file " + Data, "press Select File...", "",
                               "select 1 3   # two data sets of rank 2", "type J-Skip: 2", "show",
                               "ok", "show", "json " + Json}));

    const ProgramRun Run = RunVyrhost({"script", Script, "--json", "-"});

    EXPECT_EQ(Run.ExitStatus, 0);
    EXPECT_EQ(Run.Err, "");
    const std::string Shown = "no dialog is up\n" + std::string(FreshLoadDialog) +
                              ScannedLoadDialog(Data, {1, 3}, "1,2,1") + "no dialog is up\n";
    ASSERT_EQ(Run.Out.substr(0, Shown.size()), Shown);
    // With --json no summary is printed: the JSON of the end follows.
    const nlohmann::json AtEnd = nlohmann::json::parse(Run.Out.substr(Shown.size()));
    const nlohmann::json Mid = ReadJson(Json);
    EXPECT_EQ(Mid.at("result"), true);
    EXPECT_EQ(Mid.at("data_set").at("zones").size(), 2u);
    EXPECT_EQ(Mid.at("loader_instructions"),
              nlohmann::json::array({"M" + Data, "I1", "J2", "K1", "S1", "S3"}));
    EXPECT_EQ(AtEnd.at("data_set"), Mid.at("data_set"));
    ExpectHostLeftClean(AtEnd);
}

TEST(VyrhostScript, RefusedCommandsAreReportedWithTheirLineAndTheScriptGoesOn) {
    const std::string Data = TwoRankTwoFile();
    const std::string Json = TestHdf::TempPath("refused.json");
    const std::string Script = "ok\n"                  // 1: no dialog up
                               "launch\n"              // 2
                               "press Attributes...\n" // 3: insensitive
                               "press Frobnicate\n"    // 4: no such button
                               "select 1\n"            // 5: list insensitive
                               "type L-Skip: 3\n"      // 6: no such label
                               "frobnicate\n"          // 7: unknown command
                               "answer maybe\n"        // 8: malformed
                               "file " +
                               Data +
                               "\n"                       // 9
                               "press Select File...  \n" // 10: trailing blanks are fine
                               "select 9\n"               // 11: outside the list
                               "select 1 2\n"             // 12: the add-on refuses ranks
                               "cancel\n"                 // 13
                               "json " +
                               Json + "\n"; // 14
    const ProgramRun Run = RunVyrhost({"script", "-"}, Script);

    EXPECT_EQ(Run.ExitStatus, 1);
    EXPECT_EQ(Run.Out, "");
    EXPECT_EQ(Lines(Run.Err),
              (std::vector<std::string>{
                  "vyrhost: line 1: ok: no dialog is up",
                  "vyrhost: line 3: press Attributes...: button \"Attributes...\" is insensitive",
                  "vyrhost: line 4: press Frobnicate: no button \"Frobnicate\" in dialog \"HDF "
                  "Loader\"",
                  "vyrhost: line 5: select 1: the list is insensitive",
                  "vyrhost: line 6: type L-Skip: 3: no label \"L-Skip:\" in dialog \"HDF Loader\"",
                  "vyrhost: line 7: frobnicate: unknown command 'frobnicate' (? lists the "
                  "commands)",
                  "vyrhost: line 8: answer maybe: answer takes yes or no",
                  "vyrhost: line 11: select 9: item 9 outside 1..3",
                  "error: Invalid Selection: Data sets must have the same rank.",
              }));
    const nlohmann::json State = ReadJson(Json);
    EXPECT_TRUE(State.at("result").is_null());
    EXPECT_EQ(State.at("lock_depth"), 0);
}

TEST(VyrhostScript, ASecondLaunchAsksBeforeReplacingTheDataSet) {
    const std::string Data = TwoRankTwoFile();
    // The first show finds no dialog (declined), the second launch has no
    // queued answer: yes.
    const std::string Script =
        TextOf({"launch", "file " + Data, "press Select File...", "select 2", "ok", "answer no",
                "launch", "show", "launch", "show", "cancel"});

    const ProgramRun Run = RunVyrhost({"script", "-", "--json", "-"}, Script);

    EXPECT_EQ(Run.ExitStatus, 0) << Run.Err;
    EXPECT_EQ(Run.Out.substr(0, Run.Out.find("{")),
              "no dialog is up\n" + std::string(FreshLoadDialog));
    const nlohmann::json State = nlohmann::json::parse(Run.Out.substr(Run.Out.find("{")));
    const std::string Question = "The current data set will be replaced.  Continue?";
    EXPECT_EQ(State.at("questions"), nlohmann::json::array({Question, Question}));
    EXPECT_EQ(State.at("result"), true);
    EXPECT_EQ(State.at("data_set").at("zones")[0].at("imax"), 2);
    ExpectHostLeftClean(State);
}

TEST(VyrhostScript, ReplayAndStopAtInsideASession) {
    const TestHdf::DataSet Set = MakeSet(24, {4, 3});
    const std::string Data = WriteHdf("session-replay.hdf", {Set});
    const std::string List = TestHdf::TempPath("session-replay.txt");
    TestHdf::WriteText(List, "M" + Data + "\r\nI1\r\nJ1\r\nK1\r\nS1\r\n"); // CRLF lines
    const std::string Stopped = TestHdf::TempPath("session-stopped.json");
    const std::string Script =
        TextOf({"stop-at 2", "replay " + List, "json " + Stopped, "replay " + List});

    const ProgramRun Run = RunVyrhost({"--json", "-"}, Script); // no command, not a terminal

    EXPECT_EQ(Run.ExitStatus, 0) << Run.Err;
    const nlohmann::json First = ReadJson(Stopped);
    EXPECT_EQ(First.at("result"), true);
    EXPECT_TRUE(First.at("loader_instructions").is_null());
    ExpectedZone Partial = ExpectZone(Set, {1, 1, 1});
    for (std::vector<double>& Column : Partial.Values) {
        std::fill(Column.begin() + 3, Column.end(), 0.0); // one row of three stored
    }
    ExpectZoneJson(First.at("data_set").at("zones")[0], Partial, "Zone 1");
    // stop-at holds for one load only: the second replay runs to the end.
    const nlohmann::json Last = nlohmann::json::parse(Run.Out);
    ExpectZoneJson(Last.at("data_set").at("zones")[0], ExpectZone(Set, {1, 1, 1}), "Zone 1");
    EXPECT_EQ(Last.at("loader_instructions"),
              nlohmann::json::array({"M" + Data, "I1", "J1", "K1", "S1"}));
    ExpectHostLeftClean(Last);
}

TEST(VyrhostScript, QuestionMarkListsTheSessionCommands) {
    const ProgramRun Run = RunVyrhost({"script", "-"}, "?\n");

    EXPECT_EQ(Run.ExitStatus, 0);
    for (const char* Command :
         {"launch", "answer yes|no", "file PATH", "press TEXT", "select N", "type LABEL TEXT",
          "ok | cancel | help", "stop-at N", "replay LISTFILE", "show", "json OUT"}) {
        EXPECT_NE(Run.Out.find(std::string("  ") + Command), std::string::npos) << Command;
    }
}

TEST(VyrhostScript, LastLoadDecidesTheExitStatus) {
    const std::string Data = WriteHdf("last-load.hdf", {MakeSet(24, {3})});
    const std::string Good = TestHdf::TempPath("good.txt");
    TestHdf::WriteText(Good, "M" + Data + "\nS1\n");
    const std::string Bad = TestHdf::TempPath("bad.txt");
    TestHdf::WriteText(Bad, "M" + Data + "\n"); // no data set named

    const ProgramRun GoodThenBad =
        RunVyrhost({"script", "-"}, "replay " + Good + "\nreplay " + Bad + "\n");
    const ProgramRun BadThenGood =
        RunVyrhost({"script", "-", "--json", "-"}, "replay " + Bad + "\nreplay " + Good + "\n");

    EXPECT_EQ(GoodThenBad.ExitStatus, 1);
    EXPECT_EQ(GoodThenBad.Err, "error: No Scientific Data Sets to load\n");
    EXPECT_EQ(BadThenGood.ExitStatus, 0);
    EXPECT_EQ(nlohmann::json::parse(BadThenGood.Out).at("result"), true);
}

// A script on standard input is read byte for byte as a file is: Windows'
// text mode would end it at a 0x1A byte (a DOS end-of-file mark).
TEST(VyrhostScript, StandardInputIsReadAsWrittenEvenPastA0x1AByte) {
    const std::string Data = WriteHdf("after-1a.hdf", {MakeSet(24, {3})});
    const std::string List = TestHdf::TempPath("after-1a.txt");
    TestHdf::WriteText(List, "M" + Data + "\nS1\n");

    const ProgramRun Run =
        RunVyrhost({"--json", "-"}, "# an old end-of-file mark: \x1a\r\nreplay " + List + "\r\n");

    EXPECT_EQ(Run.ExitStatus, 0) << Run.Err;
    EXPECT_EQ(nlohmann::json::parse(Run.Out).at("loader_instructions"),
              nlohmann::json::array({"M" + Data, "S1"}));
}

// Standard input from the null device is an empty script, not a person at a
// terminal: Windows' isatty says yes for NUL, so the program would prompt.
TEST(VyrhostScript, TheNullDeviceOnStandardInputIsAnEmptyScript) {
    const ProgramRun Run = RunVyrhostOnNullDevice({});

    EXPECT_EQ(Run.ExitStatus, 0) << Run.Err;
    EXPECT_EQ(Run.Out, "");
    EXPECT_EQ(Run.Err, "");
}

} // namespace
