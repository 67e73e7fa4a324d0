// A person at a terminal acting as the host's user. Where the real host
// would show its dialogs, the session prints the open dialog after every
// command, so that the effect of each press, selection or typed text on the
// add-on's controls can be seen at once.
#include "interactive_session.h"

#include "dialog_view.h"
#include "session_language.h"

#include "platform/console.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace VyrHostProgram {
namespace {

const char* const Prompt = "vyrhost> ";

// Commands after which the dialog is not drawn again: they print something
// else, or change nothing that a dialog shows.
bool DrawsNoDialog(const std::string& Verb) {
    return Verb == "?" || Verb == "show" || Verb == "json" || Verb == "quit" || Verb == "exit";
}

} // namespace

void RunInteractiveSession(HostSession& Session) {
    std::printf("vyrhost: the stand-in Vyrlith host with the HDF Loader add-on.\n"
                "Type ? for the commands, quit or %s to end. Start with: launch\n",
                Platform::EndOfInputKeys());
    std::fputs(DescribeOpenDialog().c_str(), stdout);
    std::string Line;
    while (true) {
        std::fputs(Prompt, stdout);
        std::fflush(stdout);
        if (!std::getline(std::cin, Line)) {
            std::fputs("\n", stdout);
            return;
        }
        SessionLine Command;
        if (!SplitSessionLine(Line, &Command)) {
            continue;
        }
        std::string Why;
        const SessionStep Step = RunSessionCommand(Session, Command, &Why);
        if (Step == SessionStep::Quit) {
            return;
        }
        if (Step == SessionStep::Refused) {
            Session.Fail(Command.Verb + ": " + (Why.empty() ? "refused" : Why));
        }
        if (!DrawsNoDialog(Command.Verb)) {
            std::fputs(DescribeOpenDialog().c_str(), stdout);
        }
    }
}

} // namespace VyrHostProgram
