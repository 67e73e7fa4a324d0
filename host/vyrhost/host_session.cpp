// The host side of a session: wraps the host's control API so that every
// command acts as the host's user would, prints the add-on's messages as
// they come, runs loads under the progress bar and Ctrl-C, and keeps the
// last load's result and where it came from.
#include "host_session.h"

#include "data_set_summary.h"
#include "stop_request.h"

#include <cstdio>
#include <utility>

namespace VyrHostProgram {

const char* const LoaderName = "HDF Loader";
const char* const LoadDialogTitle = "HDF Loader";

namespace {

// The message the add-on adds after any load that it started from the
// dialog's OK and that returned false: the only sign of that result that
// reaches the host, since the dialog calls its loader function itself
// rather than through the host.
const char* const LoadFailedMessage = "Error reading file";

void PrintErrorMessage(const std::string& Text) {
    std::fflush(stdout); // keep the order a person sees when both go to one terminal
    std::fprintf(stderr, "error: %s\n", Text.c_str());
    std::fflush(stderr);
}

bool DialogIsUp(int32_t Id) {
    for (const VyrHost::Dialog& Dialog : VyrHost::Dialogs()) {
        if (Dialog.Id == Id) {
            return Dialog.Up;
        }
    }
    return false;
}

bool MessageShownSince(size_t First, const std::string& Text) {
    const std::vector<std::string>& Messages = VyrHost::ErrorMessages();
    for (size_t Index = First; Index < Messages.size(); ++Index) {
        if (Messages[Index] == Text) {
            return true;
        }
    }
    return false;
}

// The last part of a path, after its last slash or backslash (the folder
// separators of Windows paths).
std::string WithoutFolder(const std::string& Path) {
    const std::string::size_type Slash = Path.find_last_of("/\\");
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

// The file a replayed list loads: as the add-on reads the list, the path
// that stands after the whole list (an "M" item's text, or the item after
// an "F").
std::string FileOfInstructions(const std::vector<std::string>& Items) {
    std::string Path;
    for (size_t Index = 0; Index < Items.size(); ++Index) {
        if (!Items[Index].empty() && Items[Index][0] == 'M') {
            Path = Items[Index].substr(1);
        } else if (!Items[Index].empty() && Items[Index][0] == 'F' && Index + 1 < Items.size()) {
            Path = Items[++Index];
        }
    }
    return Path;
}

// What the load dialog says it will load: the text of the label after its
// "File:" label, and the list lines of the data sets selected, in list
// order (the order of the zones). Empty where the dialog shows none.
PictureLabels LoadDialogSelection(const VyrHost::Dialog& LoadDialog) {
    PictureLabels Labels;
    bool AfterFileLabel = false;
    for (int32_t Id : LoadDialog.Controls) {
        const VyrHost::Control* Control = VyrHost::FindControl(Id);
        if (Control == nullptr) {
            continue;
        }
        if (Control->Kind == VyrHost::ControlKind::Label) {
            if (AfterFileLabel) {
                Labels.FileName = WithoutFolder(Control->Text);
            }
            AfterFileLabel = Control->Text == "File:";
            continue;
        }
        AfterFileLabel = false;
        if (Control->Kind == VyrHost::ControlKind::List) {
            for (int32_t Item : Control->Selected) {
                if (Item >= 1 && size_t(Item) <= Control->Items.size()) {
                    Labels.ZoneSources.push_back(Control->Items[size_t(Item) - 1]);
                }
            }
        }
    }
    return Labels;
}

const VyrHost::Control* TopDialogControl(VyrHost::ControlKind Kind) {
    const VyrHost::Dialog* Top = VyrHost::TopDialog();
    if (Top == nullptr) {
        return nullptr;
    }
    for (int32_t Id : Top->Controls) {
        const VyrHost::Control* Control = VyrHost::FindControl(Id);
        if (Control != nullptr && Control->Kind == Kind) {
            return Control;
        }
    }
    return nullptr;
}

} // namespace

const VyrHost::Control* TopDialogList() {
    return TopDialogControl(VyrHost::ControlKind::List);
}
const VyrHost::Control* TopDialogText() {
    return TopDialogControl(VyrHost::ControlKind::Text);
}

bool TopDialogIs(const std::string& Title) {
    const VyrHost::Dialog* Top = VyrHost::TopDialog();
    return Top != nullptr && Top->Title == Title;
}

HostSession::HostSession(bool DrawProgress, AfterLoadPrint Print)
    : Bar(DrawProgress), Print(Print) {
    VyrHost::OnErrorMessage([this](const std::string& Text) {
        Bar.ClearLine();
        PrintErrorMessage(Text);
    });
    VyrHost::OnPercentDone(
        [this](const VyrHost::PercentDoneState& State) { return Bar.Check(State); });
}

HostSession::~HostSession() {
    // The host outlives the session object: leave it nothing that points here.
    VyrHost::OnErrorMessage(PrintErrorMessage);
    VyrHost::OnPercentDone([](const VyrHost::PercentDoneState&) { return true; });
}

bool HostSession::Launch(std::string* Why) {
    if (!VyrHost::PickLoader(LoaderName)) {
        *Why = std::string("the host has no loader \"") + LoaderName + "\"";
        return false;
    }
    return true;
}

bool HostSession::Press(const std::string& ButtonText, std::string* Why) {
    return VyrHost::PressButton(ButtonText, Why);
}

bool HostSession::Select(const std::vector<int32_t>& Items, std::string* Why) {
    return VyrHost::SelectItems(Items, Why);
}

bool HostSession::Type(const std::string& LabelText, const std::string& Text, std::string* Why) {
    return VyrHost::TypeInto(LabelText, Text, Why);
}

bool HostSession::Ok(std::string* Why) {
    const VyrHost::Dialog* Top = VyrHost::TopDialog();
    if (Top == nullptr || Top->Title != LoadDialogTitle) {
        return VyrHost::PressOk(Why);
    }
    // The load dialog's OK closes the dialog once its checks pass and then
    // runs the load; when its checks fail it stays up and nothing is loaded.
    const int32_t LoadDialogId = Top->Id;
    PictureLabels Selection = LoadDialogSelection(*Top);
    const size_t MessagesBefore = VyrHost::ErrorMessages().size();
    bool Pressed = false;
    RunLoad([&]() { Pressed = VyrHost::PressOk(Why); });
    if (Pressed && !DialogIsUp(LoadDialogId)) {
        const bool Result = !MessageShownSince(MessagesBefore, LoadFailedMessage);
        RecordLoadedFrom(Result, std::move(Selection));
        AfterLoad(Result);
    }
    return Pressed;
}

bool HostSession::Replay(const std::vector<std::string>& Items, std::string* Why) {
    bool Found = false, Result = false;
    RunLoad([&]() { Found = VyrHost::CallLoader(LoaderName, Items, &Result); });
    if (!Found) {
        *Why = std::string("the host has no loader \"") + LoaderName + "\"";
        return false;
    }
    // A replayed list names its file but not the data sets' list lines.
    PictureLabels Replayed;
    Replayed.FileName = WithoutFolder(FileOfInstructions(Items));
    RecordLoadedFrom(Result, std::move(Replayed));
    AfterLoad(Result);
    return true;
}

void HostSession::StopAt(int32_t Check) {
    StopAtArmed = Check;
    VyrHost::StopAtCheck(Check);
}

void HostSession::CloseDialogs() {
    // Each Cancel closes one dialog; the bound only guards against a
    // dialog that will not close.
    for (int Attempt = 0; Attempt < 16 && VyrHost::TopDialog() != nullptr; ++Attempt) {
        std::string Why;
        if (!VyrHost::PressCancel(&Why)) {
            return;
        }
    }
}

template <typename Action> void HostSession::RunLoad(Action Load) {
    PercentDoneLaunchesBefore = VyrHost::PercentDone().Launches;
    Bar.Begin();
    {
        StopOnInterrupt CtrlCPressesStop;
        Load();
    }
    Bar.End();
}

void HostSession::RecordLoadedFrom(bool Result, PictureLabels Labels) {
    LoadedFrom = Result ? std::move(Labels) : PictureLabels{};
}

void HostSession::AfterLoad(bool Result) {
    LoadResult = Result;
    // A stop-at stays armed in the host until a percent-done dialog comes
    // up; Checks then counts that dialog's checks, the one that pressed Stop
    // included.
    const VyrHost::PercentDoneState& PercentDone = VyrHost::PercentDone();
    const bool Launched = PercentDone.Launches > PercentDoneLaunchesBefore;
    const bool Stopped =
        Bar.StopPressed() || (Launched && StopAtArmed > 0 && PercentDone.Checks >= StopAtArmed);
    if (Launched) {
        StopAtArmed = 0;
    }
    const VyrHost::DataSet* Data = VyrHost::CurrentDataSet();
    if (Print == AfterLoadPrint::Nothing || !Result || Data == nullptr) {
        return;
    }
    if (Print == AfterLoadPrint::Checksums) {
        std::fputs(DataSetChecksums(*Data).c_str(), stdout);
        std::fflush(stdout);
        return;
    }
    std::string Summary = DescribeDataSet(*Data);
    if (Stopped) {
        Summary += "  (the load was stopped: only the points read before Stop are set)\n";
    }
    std::fputs(Summary.c_str(), stdout);
    std::fflush(stdout);
}

void HostSession::Fail(const std::string& Why) {
    CommandFailed = true;
    if (!Why.empty()) {
        std::fflush(stdout);
        std::fprintf(stderr, "vyrhost: %s\n", Why.c_str());
    }
}

int HostSession::ExitStatus() const {
    if (CommandFailed || (LoadResult.has_value() && !*LoadResult)) {
        return 1;
    }
    return 0;
}

} // namespace VyrHostProgram
