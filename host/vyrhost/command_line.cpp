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

// The session options' texts and options as CLI11 leaves them; they are
// checked and moved into the Invocation once the whole line is read, so that
// a usage error names the command wherever the option stood.
struct OutputOptions { // what the session writes at its end
    std::string JsonOut, JournalOut, PictureOut;
    CLI::Option* Json = nullptr;
    CLI::Option* Journal = nullptr;
    CLI::Option* Picture = nullptr;
};
struct PictureOptionTexts { // how the picture is drawn
    std::string Plane, Range;
    std::vector<std::string> Blanks;
    CLI::Option* PlaneOption = nullptr;
    CLI::Option* RangeOption = nullptr;
};
struct RunOptions { // how the session runs; --stop-at goes straight into the Invocation
    std::string AddOnPath;
    CLI::Option* AddOn = nullptr;
};
struct LoadOptionTexts {
    std::string Sds = "1", Skip = "1,1,1";
};

// A command's CLI11 subcommand and the table's line that made it.
using Subcommand = std::pair<CLI::App*, const CommandInfo*>;

void DescribeProgram(CLI::App& App) {
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
}

void AddOutputOptions(CLI::App& App, OutputOptions* Options) {
    Options->Json = App.add_option("--json", Options->JsonOut,
                                   "At the end, after the shutdown notice, write the host's state "
                                   "as JSON to OUT (- for standard output)")
                        ->type_name("OUT");
    Options->Journal = App.add_option("--journal", Options->JournalOut,
                                      "At the end, write the last recorded loader instruction "
                                      "list to OUT, one item a line")
                           ->type_name("OUT");
    Options->Picture = App.add_option("--picture", Options->PictureOut,
                                      "At the end, draw the data set the host holds into the PNG "
                                      "file OUT: one panel per zone")
                           ->type_name("OUT");
}

void AddPictureOptions(CLI::App& App, PictureOptionTexts* Options) {
    Options->PlaneOption =
        App.add_option("--plane", Options->Plane,
                       "With --picture: the K plane drawn of zones with several (default: the "
                       "middle one)")
            ->type_name("K");
    // One value each time it is given: a vector option would otherwise take
    // the command's file as one more value.
    App.add_option("--blank", Options->Blanks,
                   "With --picture: points whose V is VALUE have no data: drawn in the no-data "
                   "colour (as NaN), outside the colour bar's range; may be given again")
        ->type_name("VALUE")
        ->allow_extra_args(false);
    Options->RangeOption =
        App.add_option("--range", Options->Range,
                       "With --picture: the colour bar's range, LO to HI; values outside it "
                       "take the colour of its end (default: V's own range)")
            ->type_name("LO:HI");
}

void AddRunOptions(CLI::App& App, RunOptions* Options, int32_t* StopAt) {
    App.add_option("--stop-at", *StopAt,
                   "Press Stop in the percent-done dialog at its N-th check (1-based)")
        ->type_name("N");
    Options->AddOn = App.add_option("--addon", Options->AddOnPath,
                                    "The add-on module to load (default: " LOADHDF_MODULE_FILE_NAME
                                    " next to vyrhost or in ../lib/)")
                         ->type_name("PATH");
}

// A command of the table with its file argument, its help's footer and
// example.
CLI::App* AddCommand(CLI::App& App, const CommandInfo& Command, std::string* File) {
    CLI::App* Sub = App.add_subcommand(Command.Name, Command.Summary);
    Sub->footer(std::string("Session options (") + SessionOptionsUsage +
                ") may stand before or after the arguments; see vyrhost --help.\n\n"
                "Example:\n  " +
                Command.Example + "\n");
    const char* FileName = Command.Kind == CommandKind::Replay ? "LISTFILE" : "FILE";
    Sub->add_option(FileName, *File, "The file to act on")->required()->type_name("");
    return Sub;
}

// load's own options: which list items, the skips, and checksums.
void AddLoadOptions(CLI::App* Load, LoadOptionTexts* Texts, bool* Checksums) {
    Load->add_option("--sds", Texts->Sds, "List items to select, from 1 (default 1)")
        ->type_name("N[,N...]");
    Load->add_option("--skip", Texts->Skip,
                     "Texts typed into the I, J and K skip fields (default 1,1,1)")
        ->type_name("I,J,K");
    Load->add_flag("--checksums", *Checksums,
                   "Instead of the summary, print one line per zone and variable: "
                   "zone Z var V TYPE COUNT CRC32 (hex) of the stored array");
}

// The command given, or null when there is none (a session).
const CommandInfo* ParsedCommand(const std::vector<Subcommand>& Subcommands) {
    const CommandInfo* Parsed = nullptr;
    for (const auto& [Sub, Info] : Subcommands) {
        if (Sub->parsed()) {
            Parsed = Info;
        }
    }
    return Parsed;
}

// Lets CLI11 read the line. Returns the exit status after --help, --version
// or a usage error; sets *Parsed to the command given (left alone after
// --version, which names none).
std::optional<int> ParseArguments(CLI::App& App, int Argc, char** Argv,
                                  const std::vector<Subcommand>& Subcommands,
                                  const CommandInfo** Parsed) {
    try {
        App.parse(Argc, Argv);
    } catch (const CLI::CallForHelp&) {
        *Parsed = ParsedCommand(Subcommands);
        std::string Help = App.help();
        for (const auto& [Sub, Info] : Subcommands) {
            if (Info == *Parsed) {
                Help = Sub->help("vyrhost");
            }
        }
        std::fputs(Help.c_str(), stdout);
        return 0;
    } catch (const CLI::CallForVersion& Version) {
        std::printf("%s\n", Version.what());
        return 0;
    } catch (const CLI::ParseError& Error) {
        *Parsed = ParsedCommand(Subcommands);
        return UsageError(Error.what(), *Parsed);
    }
    *Parsed = ParsedCommand(Subcommands);
    return std::nullopt;
}

std::optional<int> ReadPictureOptions(const PictureOptionTexts& Texts, PictureOptions* Picture,
                                      const CommandInfo* Parsed) {
    std::string Why;
    if (*Texts.PlaneOption && !ReadPlaneNumber(Texts.Plane, &Picture->Plane, &Why)) {
        return UsageError(Why, Parsed);
    }
    for (const std::string& Text : Texts.Blanks) {
        double Blank = 0;
        if (!ReadBlankValue(Text, &Blank, &Why)) {
            return UsageError(Why, Parsed);
        }
        Picture->Blanks.push_back(Blank);
    }
    if (*Texts.RangeOption) {
        ValueRange Range;
        if (!ReadValueRange(Texts.Range, &Range, &Why)) {
            return UsageError(Why, Parsed);
        }
        Picture->Range = Range;
    }
    return std::nullopt;
}

std::optional<int> ReadLoadOptions(const LoadOptionTexts& Texts, Invocation* Out,
                                   const CommandInfo* Load) {
    std::string Why;
    if (!ReadSdsNumbers(Texts.Sds, &Out->Sds, &Why) || !ReadSkips(Texts.Skip, &Out->Skips, &Why)) {
        return UsageError(Why, Load);
    }
    return std::nullopt;
}

// The paths given; the ones not given stay unset.
void TakePaths(const OutputOptions& Output, const RunOptions& Run, Invocation* Out) {
    if (*Output.Json) {
        Out->JsonOut = Output.JsonOut;
    }
    if (*Output.Journal) {
        Out->JournalOut = Output.JournalOut;
    }
    if (*Output.Picture) {
        Out->PictureOut = Output.PictureOut;
    }
    if (*Run.AddOn) {
        Out->AddOnPath = Run.AddOnPath;
    }
}

} // namespace

std::optional<int> ParseCommandLine(int Argc, char** Argv, Invocation* Out) {
    CLI::App App{"vyrhost: the stand-in Vyrlith host. Loads the HDF Loader add-on and acts as "
                 "its user.",
                 "vyrhost"};
    DescribeProgram(App);
    OutputOptions Output;
    PictureOptionTexts Picture;
    RunOptions Run;
    AddOutputOptions(App, &Output);
    AddPictureOptions(App, &Picture);
    AddRunOptions(App, &Run, &Out->StopAt);
    LoadOptionTexts Load;
    std::vector<Subcommand> Subcommands;
    for (const CommandInfo& Command : Commands) {
        CLI::App* Sub = AddCommand(App, Command, &Out->File);
        if (Command.Kind == CommandKind::Load) {
            AddLoadOptions(Sub, &Load, &Out->Checksums);
        }
        Subcommands.emplace_back(Sub, &Command);
    }

    const CommandInfo* Parsed = nullptr;
    if (const std::optional<int> Exit = ParseArguments(App, Argc, Argv, Subcommands, &Parsed)) {
        return Exit;
    }
    if (Out->StopAt < 0) {
        return UsageError("--stop-at takes a check number from 1 (0: never)", Parsed);
    }
    if (const std::optional<int> Exit = ReadPictureOptions(Picture, &Out->Picture, Parsed)) {
        return Exit;
    }
    if (Parsed != nullptr) {
        Out->Command = Parsed->Kind;
        if (Parsed->Kind == CommandKind::Load) {
            if (const std::optional<int> Exit = ReadLoadOptions(Load, Out, Parsed)) {
                return Exit;
            }
        }
    }
    TakePaths(Output, Run, Out);
    return std::nullopt;
}

} // namespace VyrHostProgram
