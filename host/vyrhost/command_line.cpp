// Reads vyrhost's command line with CLI11: the five commands of the host's
// command-line contract, each with --help and an example, and the session
// options, which may stand before or after a command's own arguments.
#include "command_line.h"

#include "addon_module.h"
#include "addon_version.h"
#include "picture_options.h"
#include "whole_number.h"

#include <CLI/CLI.hpp>

#include <cstdio>

namespace VyrHostProgram {
namespace {

const char* const SessionOptionsUsage = "[--json OUT] [--journal OUT] [--picture OUT [--plane K] "
                                        "[--blank VALUE]... [--range LO:HI]] [--stop-at N] "
                                        "[--addon PATH]";

struct CommandInfo {
    CommandKind Kind;
    const char* Name;
    const char* Arguments; // shown in the usage line
    const char* Summary;
    const char* Example;
};

const CommandInfo Commands[] = {
    {CommandKind::List, "list", "FILE",
     "Pick \"HDF Loader\", choose FILE in its file dialog and print the load dialog's list lines, "
     "then cancel.",
     "vyrhost list build/sample.hdf"},
    {CommandKind::Attributes, "attributes", "FILE",
     "As list, then press \"Attributes...\" and print the attributes dialog's text.",
     "vyrhost attributes build/sample.hdf"},
    {CommandKind::Load, "load", "FILE [--sds N[,N...]] [--skip I,J,K] [--checksums]",
     "As list, then select the list items N (default 1), type the skips (default 1,1,1) and "
     "press OK; prints a summary of the host's data set unless --json is given.",
     "vyrhost load build/sample.hdf --sds 2 --skip 1,2,1 --journal load.txt"},
    {CommandKind::Replay, "replay", "LISTFILE",
     "Call the loader with an instruction list made of LISTFILE's lines (- reads standard "
     "input), as the host repeats a recorded load.",
     "vyrhost replay load.txt --json -"},
    {CommandKind::Script, "script", "FILE",
     "Run a session script (one session command a line, # starts a comment; - reads standard "
     "input). Type ? in a session for its commands.",
     "printf 'launch\\nfile build/sample.hdf\\npress Select File...\\nshow\\ncancel\\n' | "
     "vyrhost script -"},
};

std::string UsageLine(const CommandInfo* Command) {
    if (Command == nullptr) {
        return std::string("usage: vyrhost [list|attributes|load|replay|script] [ARGS...] ") +
               SessionOptionsUsage;
    }
    return std::string("usage: vyrhost ") + Command->Name + " " + Command->Arguments + " " +
           SessionOptionsUsage;
}

int UsageError(const std::string& What, const CommandInfo* Command) {
    std::fprintf(stderr, "vyrhost: %s\n%s\n", What.c_str(), UsageLine(Command).c_str());
    std::fprintf(stderr, "Run 'vyrhost %s--help' for more.\n",
                 Command == nullptr ? "" : (std::string(Command->Name) + " ").c_str());
    return ExitUsage;
}

std::vector<std::string> SplitAtCommas(const std::string& Text) {
    std::vector<std::string> Parts;
    std::string::size_type Start = 0;
    while (true) {
        const std::string::size_type Comma = Text.find(',', Start);
        Parts.push_back(Text.substr(Start, Comma - Start));
        if (Comma == std::string::npos) {
            return Parts;
        }
        Start = Comma + 1;
    }
}

// --sds: list item numbers as the load dialog counts them, from 1.
bool ReadSdsNumbers(const std::string& Text, std::vector<int32_t>* Numbers, std::string* Why) {
    Numbers->clear();
    for (const std::string& Part : SplitAtCommas(Text)) {
        int32_t Number = 0;
        if (!ReadWholeInt32(Part, &Number) || Number < 1) {
            *Why = "--sds takes list item numbers from 1, separated by commas, not '" + Text + "'";
            return false;
        }
        Numbers->push_back(Number);
    }
    return true;
}

// --skip: three texts that are typed into the skip fields as they are, so
// that the add-on's own check answers for values below 1.
bool ReadSkips(const std::string& Text, std::array<std::string, 3>* Skips, std::string* Why) {
    const std::vector<std::string> Parts = SplitAtCommas(Text);
    if (Parts.size() != 3 || Parts[0].empty() || Parts[1].empty() || Parts[2].empty()) {
        *Why = "--skip takes three skips I,J,K separated by commas, not '" + Text + "'";
        return false;
    }
    for (size_t Axis = 0; Axis < 3; ++Axis) {
        (*Skips)[Axis] = Parts[Axis];
    }
    return true;
}

const char* const ProgramFooter =
    "With no command, on a terminal, vyrhost runs an interactive session: type session\n"
    "commands (? lists them) and the open dialog is drawn after each one. With no command\n"
    "and standard input not a terminal, standard input is run as a session script.\n"
    "\n"
    "Exit status: 0 when the session's last load returned true (also when it was\n"
    "interrupted, by --stop-at or Ctrl-C), 1 when it returned false or a command could not\n"
    "do what it says, 2 for a usage error. Add-on messages go to standard error as\n"
    "'error: TEXT'.\n"
    "\n"
    "Examples:\n"
    "  make_sample_hdf build/sample.hdf\n"
    "  vyrhost list build/sample.hdf\n"
    "  vyrhost load build/sample.hdf --sds 1 --skip 2,2,1 --journal load.txt\n"
    "  vyrhost replay load.txt --json state.json --picture load.png\n"
    "  vyrhost load granule.hdf --sds 57 --picture cloud.png --blank -9999\n";

} // namespace

std::optional<int> ParseCommandLine(int Argc, char** Argv, Invocation* Out) {
    CLI::App App{"vyrhost: the stand-in Vyrlith host. Loads the HDF Loader add-on and acts as "
                 "its user.",
                 "vyrhost"};
    App.option_defaults()->always_capture_default(false);
    App.fallthrough(); // the session options may follow a command's own arguments
    App.require_subcommand(0, 1);
    // CLI11 on Windows would take "/name" for an option: a path starting
    // with a slash (as Windows also accepts) must stay a path.
    App.allow_windows_style_options(false);
    App.footer(ProgramFooter);
    // The program comes with the add-on and takes its release's version.
    App.set_version_flag("--version", "vyrhost " LOADHDF_FILE_VERSION,
                         "Print the program's name and version (the HDF Loader release it "
                         "comes with) and exit");

    std::string JsonOut, JournalOut, PictureOut, AddOnPath;
    CLI::Option* JsonOption =
        App.add_option("--json", JsonOut,
                       "At the end, after the shutdown notice, write the host's state as "
                       "JSON to OUT (- for standard output)")
            ->type_name("OUT");
    CLI::Option* JournalOption =
        App.add_option("--journal", JournalOut,
                       "At the end, write the last recorded loader instruction list to OUT, "
                       "one item a line")
            ->type_name("OUT");
    CLI::Option* PictureOption =
        App.add_option("--picture", PictureOut,
                       "At the end, draw the data set the host holds into the PNG file OUT: "
                       "one panel per zone")
            ->type_name("OUT");
    std::string PlaneText, RangeText;
    std::vector<std::string> BlankTexts;
    CLI::Option* PlaneOption =
        App.add_option("--plane", PlaneText,
                       "With --picture: the K plane drawn of zones with several (default: the "
                       "middle one)")
            ->type_name("K");
    // One value each time it is given: a vector option would otherwise take
    // the command's file as one more value.
    App.add_option("--blank", BlankTexts,
                   "With --picture: points whose V is VALUE have no data: drawn in the no-data "
                   "colour (as NaN), outside the colour bar's range; may be given again")
        ->type_name("VALUE")
        ->allow_extra_args(false);
    CLI::Option* RangeOption =
        App.add_option("--range", RangeText,
                       "With --picture: the colour bar's range, LO to HI; values outside it "
                       "take the colour of its end (default: V's own range)")
            ->type_name("LO:HI");
    App.add_option("--stop-at", Out->StopAt,
                   "Press Stop in the percent-done dialog at its N-th check (1-based)")
        ->type_name("N");
    CLI::Option* AddOnOption =
        App.add_option("--addon", AddOnPath,
                       "The add-on module to load (default: " LOADHDF_MODULE_FILE_NAME
                       " next to vyrhost or in ../lib/)")
            ->type_name("PATH");

    std::string SdsText = "1", SkipText = "1,1,1";
    std::vector<std::pair<CLI::App*, const CommandInfo*>> Subcommands;
    for (const CommandInfo& Command : Commands) {
        CLI::App* Sub = App.add_subcommand(Command.Name, Command.Summary);
        Sub->footer(std::string("Session options (") + SessionOptionsUsage +
                    ") may stand before or after the arguments; see vyrhost --help.\n\n"
                    "Example:\n  " +
                    Command.Example + "\n");
        const char* FileName = Command.Kind == CommandKind::Replay ? "LISTFILE" : "FILE";
        Sub->add_option(FileName, Out->File, "The file to act on")->required()->type_name("");
        if (Command.Kind == CommandKind::Load) {
            Sub->add_option("--sds", SdsText, "List items to select, from 1 (default 1)")
                ->type_name("N[,N...]");
            Sub->add_option("--skip", SkipText,
                            "Texts typed into the I, J and K skip fields (default 1,1,1)")
                ->type_name("I,J,K");
            Sub->add_flag("--checksums", Out->Checksums,
                          "Instead of the summary, print one line per zone and variable: "
                          "zone Z var V TYPE COUNT CRC32 (hex) of the stored array");
        }
        Subcommands.emplace_back(Sub, &Command);
    }

    const CommandInfo* Parsed = nullptr;
    auto FindParsed = [&]() {
        for (const auto& [Sub, Info] : Subcommands) {
            if (Sub->parsed()) {
                Parsed = Info;
            }
        }
    };
    try {
        App.parse(Argc, Argv);
    } catch (const CLI::CallForHelp&) {
        FindParsed();
        std::string Help = App.help();
        for (const auto& [Sub, Info] : Subcommands) {
            if (Info == Parsed) {
                Help = Sub->help("vyrhost");
            }
        }
        std::fputs(Help.c_str(), stdout);
        return 0;
    } catch (const CLI::CallForVersion& Version) {
        std::printf("%s\n", Version.what());
        return 0;
    } catch (const CLI::ParseError& Error) {
        FindParsed();
        return UsageError(Error.what(), Parsed);
    }
    FindParsed();

    std::string Why;
    if (Out->StopAt < 0) {
        return UsageError("--stop-at takes a check number from 1 (0: never)", Parsed);
    }
    if (*PlaneOption && !ReadPlaneNumber(PlaneText, &Out->Picture.Plane, &Why)) {
        return UsageError(Why, Parsed);
    }
    for (const std::string& Text : BlankTexts) {
        double Blank = 0;
        if (!ReadBlankValue(Text, &Blank, &Why)) {
            return UsageError(Why, Parsed);
        }
        Out->Picture.Blanks.push_back(Blank);
    }
    if (*RangeOption) {
        ValueRange Range;
        if (!ReadValueRange(RangeText, &Range, &Why)) {
            return UsageError(Why, Parsed);
        }
        Out->Picture.Range = Range;
    }
    if (Parsed != nullptr) {
        Out->Command = Parsed->Kind;
        if (Parsed->Kind == CommandKind::Load && (!ReadSdsNumbers(SdsText, &Out->Sds, &Why) ||
                                                  !ReadSkips(SkipText, &Out->Skips, &Why))) {
            return UsageError(Why, Parsed);
        }
    }
    if (*JsonOption) {
        Out->JsonOut = JsonOut;
    }
    if (*JournalOption) {
        Out->JournalOut = JournalOut;
    }
    if (*PictureOption) {
        Out->PictureOut = PictureOut;
    }
    if (*AddOnOption) {
        Out->AddOnPath = AddOnPath;
    }
    return std::nullopt;
}

} // namespace VyrHostProgram
