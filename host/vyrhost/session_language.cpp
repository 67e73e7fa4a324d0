// Reads and runs the session language. Each command maps onto one action of
// the host's user (VyrHost::PressButton, SelectItems, TypeInto, ...); the
// host's reason for refusing an action is passed on unchanged.
#include "session_language.h"

#include "dialog_view.h"
#include "host_state_json.h"
#include "picture_file.h"
#include "picture_options.h"
#include "text_lines.h"
#include "whole_number.h"

#include <cstdio>
#include <sstream>

namespace VyrHostProgram {
namespace {

bool IsBlank(char Character) {
    return Character == ' ' || Character == '\t';
}

std::string TrimmedRight(std::string Text) {
    while (!Text.empty() && IsBlank(Text.back())) {
        Text.pop_back();
    }
    return Text;
}

std::string TrimmedLeft(const std::string& Text) {
    const std::string::size_type Start = Text.find_first_not_of(" \t");
    return Start == std::string::npos ? "" : Text.substr(Start);
}

bool OnlyBlanks(const std::string& Text) {
    return TrimmedRight(Text).empty();
}

SessionStep Refuse(const std::string& Reason, std::string* Why) {
    *Why = Reason;
    return SessionStep::Refused;
}

// The result of a host action: Done, or Refused with the host's reason.
SessionStep HostAnswer(bool Taken) {
    return Taken ? SessionStep::Done : SessionStep::Refused;
}

SessionStep RunSelect(HostSession& Session, const std::string& Rest, std::string* Why) {
    std::vector<int32_t> Items;
    std::istringstream Words(Rest);
    std::string Word;
    while (Words >> Word) {
        int32_t Item = 0;
        if (!ReadWholeInt32(Word, &Item)) {
            return Refuse("select takes list item numbers, not '" + Word + "'", Why);
        }
        Items.push_back(Item);
    }
    return HostAnswer(Session.Select(Items, Why));
}

SessionStep RunType(HostSession& Session, const std::string& Rest, std::string* Why) {
    const std::string LabelAndText = TrimmedLeft(Rest);
    const std::string::size_type Blank = LabelAndText.find_first_of(" \t");
    const std::string Label = LabelAndText.substr(0, Blank);
    if (Label.empty()) {
        return Refuse("type needs a label and a text: type LABEL TEXT", Why);
    }
    const std::string Text = Blank == std::string::npos ? "" : LabelAndText.substr(Blank + 1);
    return HostAnswer(Session.Type(Label, Text, Why));
}

SessionStep RunReplay(HostSession& Session, const std::string& Path, std::string* Why) {
    if (Path.empty()) {
        return Refuse("replay needs a list file", Why);
    }
    std::vector<std::string> Items;
    if (!ReadTextLines(Path, &Items, Why)) {
        return SessionStep::Refused;
    }
    return HostAnswer(Session.Replay(Items, Why));
}

SessionStep RunJson(HostSession& Session, const std::string& Path, std::string* Why) {
    if (Path.empty()) {
        return Refuse("json needs a file name (- for standard output)", Why);
    }
    std::fflush(stdout);
    return HostAnswer(WriteHostStateJson(Path, Session.LastLoadResult(), Why));
}

SessionStep RunPicture(HostSession& Session, const std::string& Rest, std::string* Why) {
    std::string Path;
    PictureOptions Options;
    if (!ReadPictureArguments(Rest, &Path, &Options, Why)) {
        return SessionStep::Refused;
    }
    switch (WritePicture(Path, Options, Session.Labels(), Why)) {
    case PictureOutcome::Written:
        return SessionStep::Done;
    case PictureOutcome::NothingToDraw:
        return Refuse("nothing to draw: the host holds no data set", Why);
    case PictureOutcome::Failed:
        break;
    }
    return SessionStep::Refused;
}

} // namespace

bool SplitSessionLine(const std::string& Line, SessionLine* Out) {
    std::string Text = WithoutLineEnd(Line);
    for (std::string::size_type At = 0; At < Text.size(); ++At) {
        if (Text[At] == '#' && (At == 0 || IsBlank(Text[At - 1]))) {
            Text = TrimmedRight(Text.substr(0, At));
            break;
        }
    }
    const std::string::size_type Start = Text.find_first_not_of(" \t");
    if (Start == std::string::npos) {
        return false;
    }
    const std::string::size_type VerbEnd = Text.find_first_of(" \t", Start);
    Out->Verb = Text.substr(Start, VerbEnd - Start);
    Out->Rest = VerbEnd == std::string::npos ? "" : Text.substr(VerbEnd + 1);
    return true;
}

SessionStep RunSessionCommand(HostSession& Session, const SessionLine& Command, std::string* Why) {
    const std::string& Verb = Command.Verb;
    const std::string& Rest = Command.Rest;
    const bool NoArgument = OnlyBlanks(Rest);

    if (Verb == "launch" || Verb == "ok" || Verb == "cancel" || Verb == "help" || Verb == "?" ||
        Verb == "show" || Verb == "quit" || Verb == "exit") {
        if (!NoArgument) {
            return Refuse(Verb + " takes no argument", Why);
        }
    }
    if (Verb == "launch") {
        return HostAnswer(Session.Launch(Why));
    }
    if (Verb == "answer") {
        const std::string Answer = TrimmedRight(Rest);
        if (Answer != "yes" && Answer != "no") {
            return Refuse("answer takes yes or no", Why);
        }
        Session.AnswerNextQuestion(Answer == "yes");
        return SessionStep::Done;
    }
    if (Verb == "file") {
        if (Rest.empty()) {
            return Refuse("file needs a path, or cancel", Why);
        }
        Session.AnswerNextFileDialog(
            TrimmedRight(Rest) == "cancel" ? std::nullopt : std::optional<std::string>(Rest));
        return SessionStep::Done;
    }
    if (Verb == "press") {
        // No button text begins or ends with a blank: such blanks are slips
        // of the keyboard.
        const std::string Text = TrimmedRight(TrimmedLeft(Rest));
        if (Text.empty()) {
            return Refuse("press needs the button's text", Why);
        }
        return HostAnswer(Session.Press(Text, Why));
    }
    if (Verb == "select") {
        return RunSelect(Session, Rest, Why);
    }
    if (Verb == "type") {
        return RunType(Session, Rest, Why);
    }
    if (Verb == "ok") {
        return HostAnswer(Session.Ok(Why));
    }
    if (Verb == "cancel") {
        return HostAnswer(Session.Cancel(Why));
    }
    if (Verb == "help") {
        return HostAnswer(Session.Help(Why));
    }
    if (Verb == "?") {
        std::fputs(SessionCommandList().c_str(), stdout);
        return SessionStep::Done;
    }
    if (Verb == "stop-at") {
        int32_t Check = 0;
        if (!ReadWholeInt32(TrimmedRight(Rest), &Check) || Check < 0) {
            return Refuse("stop-at takes a check number from 1 (0: never)", Why);
        }
        Session.StopAt(Check);
        return SessionStep::Done;
    }
    if (Verb == "replay") {
        return RunReplay(Session, Rest, Why);
    }
    if (Verb == "show") {
        std::fputs(DescribeOpenDialog().c_str(), stdout);
        return SessionStep::Done;
    }
    if (Verb == "json") {
        return RunJson(Session, Rest, Why);
    }
    if (Verb == "picture") {
        return RunPicture(Session, Rest, Why);
    }
    if (Verb == "quit" || Verb == "exit") {
        return SessionStep::Quit;
    }
    return Refuse("unknown command '" + Verb + "' (? lists the commands)", Why);
}

std::string SessionCommandList() {
    return "Session commands (one a line; # starts a comment):\n"
           "  launch                 pick \"HDF Loader\" from the host's list of loaders\n"
           "  answer yes|no          the answer to the next yes/no question\n"
           "  file PATH | file cancel  what the next file dialog returns\n"
           "  press TEXT             press the button whose text is TEXT (\"Select File...\",\n"
           "                         \"Attributes...\")\n"
           "  select N [N...]        select list items N (from 1); select alone clears\n"
           "  type LABEL TEXT        type TEXT into the field next to LABEL (\"I-Skip:\",\n"
           "                         \"J-Skip:\", \"K-Skip:\")\n"
           "  ok | cancel | help     the open dialog's buttons\n"
           "  stop-at N              press Stop at the N-th percent-done check of the next load\n"
           "  replay LISTFILE        the host replays a recorded load (instruction list file)\n"
           "  show                   print the open dialog\n"
           "  json OUT               write the host state as JSON now (- for standard output)\n"
           "  picture OUT [--plane K] [--blank VALUE]... [--range LO:HI]\n"
           "                         draw the host's data set into the PNG file OUT now: the\n"
           "                         K plane, values of V that mean no data, the colour\n"
           "                         bar's range\n"
           "  ?                      this list\n"
           "  quit                   end the session (so does the end of the input)\n";
}

void RunSessionScript(HostSession& Session, const std::vector<std::string>& Lines) {
    for (size_t Index = 0; Index < Lines.size(); ++Index) {
        SessionLine Command;
        if (!SplitSessionLine(Lines[Index], &Command)) {
            continue;
        }
        std::string Why;
        const SessionStep Step = RunSessionCommand(Session, Command, &Why);
        if (Step == SessionStep::Refused) {
            const std::string Shown = TrimmedRight(Command.Verb + " " + Command.Rest);
            Session.Fail("line " + std::to_string(Index + 1) + ": " + Shown + ": " +
                         (Why.empty() ? "refused" : Why));
        } else if (Step == SessionStep::Quit) {
            return;
        }
    }
}

} // namespace VyrHostProgram
