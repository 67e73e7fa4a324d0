// list, attributes, load and replay: what a person would do in the host,
// step by step, through the add-on's own dialogs and loader function. A step
// that the host or the add-on refuses ends the command as failed, with the
// dialogs cancelled so that the add-on gives back what they hold.
#include "commands.h"

#include "text_lines.h"

#include <cstdio>

namespace VyrHostProgram {
namespace {

const char* const SelectFileButton = "Select File...";
const char* const AttributesButton = "Attributes...";
const char* const SkipLabels[3] = {"I-Skip:", "J-Skip:", "K-Skip:"};

// Ends a command that could not do what it says.
void Abandon(HostSession& Session, const std::string& Why) {
    Session.CloseDialogs();
    Session.Fail(Why);
}

// Picks the loader and answers its file dialog with File. True when the
// scan filled the dialog's list; otherwise the add-on has said why, the
// dialogs are closed and the session has failed.
bool OpenInLoadDialog(HostSession& Session, const std::string& File) {
    std::string Why;
    if (!Session.Launch(&Why)) {
        Abandon(Session, Why);
        return false;
    }
    if (!TopDialogIs(LoadDialogTitle)) {
        Abandon(Session, "the load dialog did not open");
        return false;
    }
    Session.AnswerNextFileDialog(File);
    if (!Session.Press(SelectFileButton, &Why)) {
        Abandon(Session, std::string("press ") + SelectFileButton + ": " + Why);
        return false;
    }
    const VyrHost::Control* List = TopDialogList();
    if (List == nullptr || List->Items.empty()) {
        Abandon(Session, ""); // the scan's own message has been shown
        return false;
    }
    return true;
}

std::string JoinNumbers(const std::vector<int32_t>& Numbers) {
    std::string Text;
    for (int32_t Number : Numbers) {
        Text += (Text.empty() ? "" : " ") + std::to_string(Number);
    }
    return Text;
}

} // namespace

void RunList(HostSession& Session, const std::string& File) {
    if (!OpenInLoadDialog(Session, File)) {
        return;
    }
    for (const std::string& Line : TopDialogList()->Items) {
        std::printf("%s\n", Line.c_str());
    }
    std::fflush(stdout);
    Session.CloseDialogs();
}

void RunAttributes(HostSession& Session, const std::string& File) {
    if (!OpenInLoadDialog(Session, File)) {
        return;
    }
    std::string Why;
    if (!Session.Press(AttributesButton, &Why)) {
        Abandon(Session, std::string("press ") + AttributesButton + ": " + Why);
        return;
    }
    const VyrHost::Control* Text = TopDialogText();
    if (Text == nullptr) {
        Abandon(Session, "the attributes dialog shows no text");
        return;
    }
    std::fputs(Text->Text.c_str(), stdout);
    std::fflush(stdout);
    Session.CloseDialogs();
}

void RunLoad(HostSession& Session, const std::string& File, const std::vector<int32_t>& Sds,
             const std::array<std::string, 3>& Skips) {
    if (!OpenInLoadDialog(Session, File)) {
        return;
    }
    std::string Why;
    if (!Session.Select(Sds, &Why)) {
        Abandon(Session, "select " + JoinNumbers(Sds) + ": " + Why);
        return;
    }
    for (int Axis = 0; Axis < 3; ++Axis) {
        if (!Session.Type(SkipLabels[Axis], Skips[Axis], &Why)) {
            Abandon(Session, std::string("type ") + SkipLabels[Axis] + ": " + Why);
            return;
        }
    }
    if (!Session.Ok(&Why)) {
        Abandon(Session, "ok: " + Why);
        return;
    }
    if (TopDialogIs(LoadDialogTitle)) {
        // The dialog refused OK (its message has been shown): nothing loaded.
        Abandon(Session, "");
    }
}

void RunReplay(HostSession& Session, const std::string& ListFile) {
    std::vector<std::string> Items;
    std::string Why;
    if (!ReadTextLines(ListFile, &Items, &Why) || !Session.Replay(Items, &Why)) {
        Session.Fail(Why);
    }
}

} // namespace VyrHostProgram
