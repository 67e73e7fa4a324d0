// vyrhost: the stand-in Vyrlith host as a program. Loads the add-on module
// the way the host does, runs one command, an interactive session or a
// script as the host's user, then sends the host's shutdown notice and
// writes what was asked for (--journal, --json).
#include "addon_module.h"
#include "command_line.h"
#include "commands.h"
#include "host_session.h"
#include "host_state_json.h"
#include "interactive_session.h"
#include "picture_file.h"
#include "platform/console.h"
#include "session_language.h"
#include "text_lines.h"
#include "vyr_host_control.h"

#include <cstdio>

using namespace VyrHostProgram;

namespace {

// Sets the standard streams up before anything is read or written: a script
// on standard input is read byte for byte as written, as files are, and
// standard error is made to take the progress bar's escape sequences where
// it is a terminal. Returns whether it draws the bar.
bool PrepareStandardStreams() {
    if (!Platform::InputIsTerminal()) {
        Platform::ReadInputAsWritten();
    }
    return Platform::ErrorTakesEscapeSequences();
}

void RunCommand(HostSession& Session, const Invocation& Call) {
    switch (Call.Command) {
    case CommandKind::List:
        RunList(Session, Call.File);
        return;
    case CommandKind::Attributes:
        RunAttributes(Session, Call.File);
        return;
    case CommandKind::Load:
        RunLoad(Session, Call.File, Call.Sds, Call.Skips);
        return;
    case CommandKind::Replay:
        RunReplay(Session, Call.File);
        return;
    case CommandKind::Script:
    case CommandKind::Session: {
        // With no command, standard input off a terminal is a script.
        const bool Interactive =
            Call.Command == CommandKind::Session && Platform::InputIsTerminal();
        if (Interactive) {
            RunInteractiveSession(Session);
            return;
        }
        const std::string Path = Call.Command == CommandKind::Script ? Call.File : "-";
        std::vector<std::string> Lines;
        std::string Why;
        if (!ReadTextLines(Path, &Lines, &Why)) {
            Session.Fail(Why);
            return;
        }
        RunSessionScript(Session, Lines);
        return;
    }
    }
}

// The picture comes last, after the load's own outcome: one that cannot be
// written is an add-on-style error line and exit status 1, never a reason to
// lose what the load reported.
void DrawLoadPicture(HostSession& Session, const std::string& Path, const PictureOptions& Options) {
    std::string Why;
    switch (WritePicture(Path, Options, Session.Labels(), &Why)) {
    case PictureOutcome::Written:
        return;
    case PictureOutcome::NothingToDraw:
        std::fflush(stdout);
        std::fprintf(stderr,
                     "vyrhost: nothing to draw: the host holds no data set (%s not written)\n",
                     Path.c_str());
        return;
    case PictureOutcome::Failed:
        std::fflush(stdout);
        std::fprintf(stderr, "error: %s\n", Why.c_str());
        Session.Fail("");
        return;
    }
}

// The host shuts down: its notice to the add-on first, then the files that
// record the session.
void FinishSession(HostSession& Session, const Invocation& Call) {
    VyrHost::SendStateChange(VYR_STATE_CHANGE_SHUTDOWN);
    std::string Why;
    if (Call.JournalOut) {
        const auto Recorded = VyrHost::RecordedInstructions(LoaderName);
        const std::vector<std::string> Items = Recorded ? *Recorded : std::vector<std::string>{};
        if (!WriteTextLines(*Call.JournalOut, Items, &Why)) {
            Session.Fail(Why);
        }
    }
    if (Call.JsonOut) {
        std::fflush(stdout);
        if (!WriteHostStateJson(*Call.JsonOut, Session.LastLoadResult(), &Why)) {
            Session.Fail(Why);
        }
    }
    if (Call.PictureOut) {
        DrawLoadPicture(Session, *Call.PictureOut, Call.Picture);
    }
}

} // namespace

int main(int Argc, char** Argv) {
    Invocation Call;
    if (const std::optional<int> Exit = ParseCommandLine(Argc, Argv, &Call)) {
        return *Exit;
    }
    // Summaries go to standard output, which --json - needs for itself;
    // the JSON holds everything a summary says.
    const AfterLoadPrint Print = Call.JsonOut     ? AfterLoadPrint::Nothing
                                 : Call.Checksums ? AfterLoadPrint::Checksums
                                                  : AfterLoadPrint::Summary;
    HostSession Session(PrepareStandardStreams(), Print);
    const std::string Module = FindAddOnModule(Call.AddOnPath);
    std::string Why;
    if (!VyrHost::LoadAddOn(Module, &Why)) {
        Session.Fail("cannot load the add-on " + Module + ": " + Why);
        return Session.ExitStatus();
    }
    if (Call.StopAt > 0) {
        Session.StopAt(Call.StopAt);
    }
    RunCommand(Session, Call);
    FinishSession(Session, Call);
    return Session.ExitStatus();
}
