// vyrhost's command line: usage errors, --help, --version, option placement
// and the add-on module it loads.
#include "program_runner.h"
#include "vyrhost_files.h"

#include "interface/addon_version.h"

#include <gtest/gtest.h>

using namespace VyrhostTest;

namespace {

struct UsageCase {
    const char* Name;
    std::vector<std::string> Args;
    const char* Complaint; // part of the line that says what is wrong
    const char* Usage;     // the start of the usage line
};

TEST(VyrhostCommandLine, UsageErrorsSayWhatIsWrongAndExitTwo) {
    const UsageCase Cases[] = {
        {"unknown option", {"list", "x.hdf", "--frob"}, "--frob", "usage: vyrhost list FILE"},
        {"missing file", {"load"}, "FILE", "usage: vyrhost load FILE"},
        {"missing list file", {"replay"}, "LISTFILE", "usage: vyrhost replay LISTFILE"},
        {"missing script", {"script"}, "FILE", "usage: vyrhost script FILE"},
        {"unknown command", {"unload", "x.hdf"}, "unload", "usage: vyrhost "},
        {"second file", {"list", "a.hdf", "b.hdf"}, "b.hdf", "usage: vyrhost list FILE"},
        {"item 0", {"load", "x.hdf", "--sds", "0"}, "--sds", "usage: vyrhost load FILE"},
        {"item not a number", {"load", "x.hdf", "--sds", "1,a"}, "--sds", "usage: vyrhost load"},
        {"two skips", {"load", "x.hdf", "--skip", "1,2"}, "--skip", "usage: vyrhost load"},
        {"empty skip", {"load", "x.hdf", "--skip", "1,,2"}, "--skip", "usage: vyrhost load"},
        {"load's flag on list",
         {"list", "x.hdf", "--checksums"},
         "--checksums",
         "usage: vyrhost list FILE"},
        {"stop-at word", {"replay", "l.txt", "--stop-at", "soon"}, "--stop-at", "usage: vyrhost"},
        {"stop-at negative", {"--stop-at", "-3", "replay", "l.txt"}, "--stop-at", "usage: vyrhost"},
        {"json without file", {"replay", "l.txt", "--json"}, "--json", "usage: vyrhost"},
        {"plane word", {"replay", "l.txt", "--plane", "top"}, "--plane", "usage: vyrhost replay"},
        {"blank word",
         {"load", "x.hdf", "--picture", "p.png", "--blank", "fill"},
         "--blank takes a number",
         "usage: vyrhost load"},
        {"blank not finite", {"--blank", "nan", "replay", "l.txt"}, "--blank", "usage: vyrhost"},
        {"range upside down",
         {"replay", "l.txt", "--range", "5:1"},
         "LO below HI",
         "usage: vyrhost"},
        {"range of one number", {"replay", "l.txt", "--range=-3"}, "--range", "usage: vyrhost"},
        {"range with a word", {"replay", "l.txt", "--range", "0:top"}, "--range", "usage: vyrhost"},
    };
    for (const UsageCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        const ProgramRun Run = RunVyrhost(Case.Args);
        EXPECT_EQ(Run.ExitStatus, 2);
        EXPECT_EQ(Run.Out, "");
        EXPECT_NE(Run.Err.find(Case.Complaint), std::string::npos) << Run.Err;
        bool UsageLine = false;
        for (const std::string& Line : Lines(Run.Err)) {
            UsageLine = UsageLine || Line.rfind(Case.Usage, 0) == 0;
        }
        EXPECT_TRUE(UsageLine) << Run.Err;
        // Nothing ran: the add-on was never asked anything.
        EXPECT_EQ(Run.Err.find("error: "), std::string::npos) << Run.Err;
    }
}

TEST(VyrhostCommandLine, HelpOfTheProgramAndOfEachCommandShowsAnExample) {
    const std::vector<std::string> Commands = {"",     "list",   "attributes",
                                               "load", "replay", "script"};
    for (const std::string& Command : Commands) {
        SCOPED_TRACE("command '" + Command + "'");
        std::vector<std::string> Args;
        if (!Command.empty()) {
            Args.push_back(Command);
        }
        Args.push_back("--help");
        const ProgramRun Run = RunVyrhost(Args);
        EXPECT_EQ(Run.ExitStatus, 0);
        EXPECT_EQ(Run.Err, "");
        const std::string Usage = "Usage: vyrhost" + (Command.empty() ? "" : " " + Command);
        EXPECT_NE(Run.Out.find(Usage), std::string::npos) << Run.Out;
        EXPECT_NE(Run.Out.find("Example"), std::string::npos) << Run.Out;
        EXPECT_NE(Run.Out.find("vyrhost " + Command), std::string::npos) << Run.Out;
    }
}

// As --help: on standard output, wherever it stands, and nothing runs (no
// module is loaded, no file read).
TEST(VyrhostCommandLine, VersionNamesTheProgramAndTheReleaseItComesWith) {
    const std::vector<std::string> Calls[] = {
        {"--version"},
        {"list", "no-such-file.hdf", "--version"},
        {"--addon", "/nonexistent/loadhdf.so", "replay", "-", "--version"},
    };
    for (const std::vector<std::string>& Args : Calls) {
        SCOPED_TRACE(TextOf(Args));
        const ProgramRun Run = RunVyrhost(Args);
        EXPECT_EQ(Run.ExitStatus, 0);
        EXPECT_EQ(Run.Out, "vyrhost " LOADHDF_FILE_VERSION "\n");
        EXPECT_EQ(Run.Err, "");
    }
}

TEST(VyrhostCommandLine, SessionOptionsWorkBeforeAndAfterTheCommandsArguments) {
    const std::string Data = WriteHdf("placement.hdf", {MakeSet(5, {3})});
    const std::string List = TestHdf::TempPath("placement.txt");
    TestHdf::WriteText(List, "M" + Data + "\nI1\nJ1\nK1\nS1\n");
    const std::string Before = TestHdf::TempPath("before.json");
    const std::string After = TestHdf::TempPath("after.json");

    const ProgramRun First = RunVyrhost({"--json", Before, "replay", List});
    const ProgramRun Second = RunVyrhost({"replay", List, "--json", After});

    EXPECT_EQ(First.ExitStatus, 0) << First.Err;
    EXPECT_EQ(Second.ExitStatus, 0) << Second.Err;
    const nlohmann::json A = ReadJson(Before), B = ReadJson(After);
    EXPECT_EQ(A.at("result"), true);
    EXPECT_EQ(A, B);
}

TEST(VyrhostCommandLine, TheAddOnModuleNamedIsTheOneLoadedAndOneThatCannotBeFailsTheRun) {
    const std::string Data = WriteHdf("explicit.hdf", {MakeSet(5, {2}, "x")});
    const ProgramRun Run = RunVyrhost({"list", Data, "--addon", LOADHDF_MODULE_PATH});
    EXPECT_EQ(Run.ExitStatus, 0) << Run.Err;
    EXPECT_EQ(Run.Out, "(1) x (2)\n");

    const ProgramRun Missing = RunVyrhost({"--addon", "/nonexistent/loadhdf.so", "list", Data});
    EXPECT_EQ(Missing.ExitStatus, 1);
    EXPECT_EQ(Missing.Out, "");
    EXPECT_NE(Missing.Err.find("vyrhost: cannot load the add-on /nonexistent/loadhdf.so"),
              std::string::npos)
        << Missing.Err;
}

} // namespace
