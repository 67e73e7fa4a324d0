// What the add-on shows the user outside its own dialogs: error messages,
// questions, the file dialog, help pages, the percent-done dialog, and the
// frame and drawing requests. Answers come from the session's queues.
#include "host_state.h"

using namespace VyrHost::Detail;

namespace VyrHost {

const std::vector<std::string>& ErrorMessages() {
    return State().ErrorMessages;
}
const std::vector<std::string>& Questions() {
    return State().Questions;
}
const std::vector<std::string>& HelpPages() {
    return State().HelpPages;
}
void OnErrorMessage(std::function<void(const std::string&)> Sink) {
    State().ErrorSink = std::move(Sink);
}

void QueueAnswer(bool Yes) {
    State().Answers.push_back(Yes);
}
void QueueFileName(std::optional<std::string> Path) {
    State().FileNames.push_back(std::move(Path));
}
const std::string& LastFileDialogDefault() {
    return State().LastFileDefault;
}

const FrameState& Frame() {
    return State().Frame;
}

const PercentDoneState& PercentDone() {
    return State().PercentDone;
}
void StopAtCheck(int32_t N) {
    State().StopAtPending = N;
}
void OnPercentDone(std::function<bool(const PercentDoneState&)> Observer) {
    State().PercentObserver = std::move(Observer);
}

} // namespace VyrHost

extern "C" {

// ---- Messages, questions, files, help -------------------------------------

void VyrUtilDialogErrMsg(const char* Message) {
    if (!HasText(Message, "VyrUtilDialogErrMsg", "message"))
        return;
    State().ErrorMessages.emplace_back(Message);
    // Copied first: the sink may replace itself.
    const auto Sink = State().ErrorSink;
    if (Sink)
        Sink(Message);
}

VyrBoolean_t VyrUtilDialogMessageBox(const char* Message, int32_t Kind) {
    const char* Op = "VyrUtilDialogMessageBox";
    if (!HasText(Message, Op, "message"))
        return false;
    if (Kind != VYR_MESSAGE_BOX_YES_NO)
        HostError("%s: kind %d is not yes/no (%d)", Op, Kind, VYR_MESSAGE_BOX_YES_NO);
    HostState& S = State();
    S.Questions.emplace_back(Message);
    if (S.Answers.empty())
        return true;
    const bool Yes = S.Answers.front();
    S.Answers.pop_front();
    return Yes;
}

VyrBoolean_t VyrUtilDialogGetFileName(int32_t Option, char** ChosenName, const char* FileTypeName,
                                      const char* DefaultName, const char* Filter) {
    const char* Op = "VyrUtilDialogGetFileName";
    if (ChosenName == nullptr) {
        HostError("%s: null result address", Op);
        return false;
    }
    if (!HasText(FileTypeName, Op, "file type name") || !HasText(DefaultName, Op, "default name") ||
        !HasText(Filter, Op, "filter"))
        return false;
    if (Option != VYR_FILE_DIALOG_READ_ONE)
        HostError("%s: option %d is not one file to read (%d)", Op, Option,
                  VYR_FILE_DIALOG_READ_ONE);
    HostState& S = State();
    S.LastFileDefault = DefaultName;
    std::optional<std::string> Answer;
    if (!S.FileNames.empty()) {
        Answer = S.FileNames.front();
        S.FileNames.pop_front();
    }
    if (!Answer)
        return false;
    char* Copy = NewHostString(*Answer);
    if (Copy == nullptr)
        return false;
    *ChosenName = Copy;
    return true;
}

void VyrUtilHelp(const char* Page, VyrBoolean_t, int32_t) {
    if (HasText(Page, "VyrUtilHelp", "page"))
        State().HelpPages.emplace_back(Page);
}

// ---- Percent-done dialog ----------------------------------------------------

void VyrUtilDialogLaunchPercentDone(const char* Label, VyrBoolean_t) {
    const char* Op = "VyrUtilDialogLaunchPercentDone";
    if (!HasText(Label, Op, "label"))
        return;
    HostState& S = State();
    if (S.PercentDone.Up)
        HostError("%s: the percent-done dialog is already up", Op);
    S.PercentDone.Up = true;
    S.PercentDone.Label = Label;
    ++S.PercentDone.Launches;
    S.PercentDone.Checks = 0;
    S.PercentDone.LastPercent = -1;
    S.PercentDone.Percents.clear();
    S.StopAtActive = S.StopAtPending;
    S.StopAtPending = 0;
    S.Stopped = false;
}

VyrBoolean_t VyrUtilDialogCheckPercentDone(int32_t Percent) {
    const char* Op = "VyrUtilDialogCheckPercentDone";
    HostState& S = State();
    if (!S.PercentDone.Up) {
        HostError("%s: no percent-done dialog is up", Op);
        return false;
    }
    if (Percent < 0 || Percent > 100)
        HostError("%s: percentage %d outside 0..100", Op, Percent);
    ++S.PercentDone.Checks;
    ++S.PercentDone.TotalChecks;
    S.PercentDone.LastPercent = Percent;
    S.PercentDone.Percents.push_back(Percent);
    if (S.StopAtActive > 0 && S.PercentDone.Checks == S.StopAtActive)
        S.Stopped = true;
    // The observer sees every check, also after Stop; a copy, as it may
    // replace itself.
    const auto Observer = S.PercentObserver;
    if (Observer && !Observer(S.PercentDone))
        S.Stopped = true;
    return !S.Stopped;
}

void VyrUtilDialogDropPercentDone(void) {
    HostState& S = State();
    if (!S.PercentDone.Up) {
        HostError("VyrUtilDialogDropPercentDone: no percent-done dialog is up");
        return;
    }
    S.PercentDone.Up = false;
    ++S.PercentDone.Drops;
    S.StopAtActive = 0;
}

// ---- Frames and drawing -------------------------------------------------------

VyrBoolean_t VyrUtilFrameCreateNew(VyrBoolean_t, double, double, double, double) {
    ++State().Frame.NewFrames;
    return true;
}

void VyrUtilFrameSetPlotType(int32_t PlotType) {
    State().Frame.PlotType = PlotType;
}

void VyrUtilPickSetMouseMode(int32_t MouseMode) {
    State().Frame.MouseMode = MouseMode;
}

void VyrUtilRedraw(VyrBoolean_t) {
    ++State().Frame.Redraws;
}

} // extern "C"
