// The host's GUI model: modal dialogs and their controls as the add-on
// builds and changes them. Ids of dialogs and controls come from one counter,
// so an id names exactly one object. Launch calls the init callback and
// returns with the dialog up; the session (gui_session.cpp) acts on it.
#include "host_state.h"

#include <algorithm>
#include <cstdlib>

namespace VyrHost::Detail {

Dialog* FindDialog(int32_t Id) {
    for (Dialog& D : State().Dialogs)
        if (D.Id == Id)
            return &D;
    return nullptr;
}

ControlRecord* LiveControl(int32_t Id, const char* Operation) {
    const auto Found = State().Controls.find(Id);
    if (Found == State().Controls.end()) {
        HostError("%s: unknown control %d", Operation, Id);
        return nullptr;
    }
    return &Found->second;
}

ControlRecord* LiveControlOfKind(int32_t Id, ControlKind Kind, const char* Operation) {
    ControlRecord* Record = LiveControl(Id, Operation);
    if (Record != nullptr && Record->Public.Kind != Kind) {
        HostError("%s: control %d is of another kind", Operation, Id);
        return nullptr;
    }
    return Record;
}

void TakeDown(Dialog& D) {
    D.Up = false;
    auto& Stack = State().UpStack;
    Stack.erase(std::remove(Stack.begin(), Stack.end(), D.Id), Stack.end());
}

} // namespace VyrHost::Detail

using namespace VyrHost::Detail;
using VyrHost::ControlKind;

namespace {

// Adds a control to a dialog; -1 after a host error when Parent names no
// dialog, and when the failure point ControlAdd fails it.
int32_t AddControl(int32_t Parent, ControlKind Kind, int32_t X, int32_t Y, int32_t Width,
                   int32_t Height, const char* Operation, ControlRecord** Made) {
    HostState& S = State();
    VyrHost::Dialog* D = FindDialog(Parent);
    if (D == nullptr) {
        HostError("%s: parent %d is no dialog", Operation, Parent);
        return -1;
    }
    if (ShouldFail(VyrHost::FailPoint::ControlAdd, nullptr))
        return -1;
    const int32_t Id = S.NextGuiId++;
    ControlRecord& Record = S.Controls[Id];
    Record.Public.Id = Id;
    Record.Public.Kind = Kind;
    Record.Public.X = X;
    Record.Public.Y = Y;
    Record.Public.Width = Width;
    Record.Public.Height = Height;
    Record.DialogId = Parent;
    D->Controls.push_back(Id);
    *Made = &Record;
    return Id;
}

// The text of a live control of Kind, for the add-on to replace or extend;
// null after a host error (unknown control, another kind, null text).
std::string* TextToChange(int32_t Id, ControlKind Kind, const char* Text, const char* Operation) {
    ControlRecord* R = LiveControlOfKind(Id, Kind, Operation);
    if (R == nullptr || !HasText(Text, Operation, "text"))
        return nullptr;
    return &R->Public.Text;
}

} // namespace

namespace VyrHost {

const std::vector<Dialog>& Dialogs() {
    return State().Dialogs;
}

const Control* FindControl(int32_t Id) {
    const auto Found = State().Controls.find(Id);
    return Found == State().Controls.end() ? nullptr : &Found->second.Public;
}

const Dialog* TopDialog() {
    const auto& Stack = State().UpStack;
    return Stack.empty() ? nullptr : FindDialog(Stack.back());
}

} // namespace VyrHost

extern "C" {

// ---- Dialogs -------------------------------------------------------------------

int32_t VyrGUIDialogCreateModal(int32_t Parent, int32_t Width, int32_t Height, const char* Title,
                                VyrGUIVoidCallback_pf Init, VyrGUIVoidCallback_pf Ok,
                                VyrGUIVoidCallback_pf Apply, VyrGUIVoidCallback_pf Cancel,
                                VyrGUIVoidCallback_pf Help) {
    const char* Op = "VyrGUIDialogCreateModal";
    if (!HasText(Title, Op, "title"))
        return -1;
    if (Parent != -1 && FindDialog(Parent) == nullptr) {
        HostError("%s: parent %d is no dialog", Op, Parent);
        return -1;
    }
    if (ShouldFail(VyrHost::FailPoint::DialogCreate, nullptr))
        return -1;
    HostState& S = State();
    VyrHost::Dialog D;
    D.Id = S.NextGuiId++;
    D.Parent = Parent;
    D.Width = Width;
    D.Height = Height;
    D.Title = Title;
    S.Dialogs.push_back(D);
    S.DialogCalls[D.Id] = DialogCallbacks{Init, Ok, Apply, Cancel, Help};
    return D.Id;
}

void VyrGUIDialogLaunch(int32_t Dialog) {
    const char* Op = "VyrGUIDialogLaunch";
    VyrHost::Dialog* D = FindDialog(Dialog);
    if (D == nullptr) {
        HostError("%s: unknown dialog %d", Op, Dialog);
        return;
    }
    if (D->Up) {
        HostError("%s: dialog %d is already up", Op, Dialog);
        return;
    }
    D->Up = true;
    ++D->Launches;
    State().UpStack.push_back(Dialog);
    // D may move while init runs (it could create dialogs): no use after this.
    if (VyrGUIVoidCallback_pf Init = State().DialogCalls[Dialog].Init)
        Init();
}

void VyrGUIDialogDrop(int32_t Dialog) {
    const char* Op = "VyrGUIDialogDrop";
    VyrHost::Dialog* D = FindDialog(Dialog);
    if (D == nullptr) {
        HostError("%s: unknown dialog %d", Op, Dialog);
        return;
    }
    if (!D->Up) {
        HostError("%s: dialog %d is not up", Op, Dialog);
        return;
    }
    TakeDown(*D);
}

// ---- Controls --------------------------------------------------------------------

int32_t VyrGUILabelAdd(int32_t Parent, int32_t X, int32_t Y, const char* Text) {
    const char* Op = "VyrGUILabelAdd";
    if (!HasText(Text, Op, "text"))
        return -1;
    ControlRecord* Made = nullptr;
    const int32_t Id = AddControl(Parent, ControlKind::Label, X, Y, 0, 0, Op, &Made);
    if (Made != nullptr)
        Made->Public.Text = Text;
    return Id;
}

void VyrGUILabelSetText(int32_t Label, const char* Text) {
    if (std::string* Shown = TextToChange(Label, ControlKind::Label, Text, "VyrGUILabelSetText"))
        *Shown = Text;
}

int32_t VyrGUIButtonAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                        const char* Text, VyrGUIVoidCallback_pf Callback) {
    const char* Op = "VyrGUIButtonAdd";
    if (!HasText(Text, Op, "text"))
        return -1;
    ControlRecord* Made = nullptr;
    const int32_t Id = AddControl(Parent, ControlKind::Button, X, Y, Width, Height, Op, &Made);
    if (Made != nullptr) {
        Made->Public.Text = Text;
        Made->Pressed = Callback;
    }
    return Id;
}

int32_t VyrGUIListAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                      VyrBoolean_t MultiSelection, VyrGUIIntCallback_pf Callback) {
    ControlRecord* Made = nullptr;
    const int32_t Id =
        AddControl(Parent, ControlKind::List, X, Y, Width, Height, "VyrGUIListAdd", &Made);
    if (Made != nullptr) {
        Made->Public.MultiSelection = MultiSelection;
        Made->SelectionChanged = Callback;
    }
    return Id;
}

void VyrGUIListAppendItem(int32_t List, const char* Text) {
    const char* Op = "VyrGUIListAppendItem";
    ControlRecord* R = LiveControlOfKind(List, ControlKind::List, Op);
    if (R != nullptr && HasText(Text, Op, "text"))
        R->Public.Items.emplace_back(Text);
}

void VyrGUIListDeleteAllItems(int32_t List) {
    if (ControlRecord* R = LiveControlOfKind(List, ControlKind::List, "VyrGUIListDeleteAllItems")) {
        R->Public.Items.clear();
        R->Public.Selected.clear();
    }
}

void VyrGUIListDeselectAllItems(int32_t List) {
    if (ControlRecord* R = LiveControlOfKind(List, ControlKind::List, "VyrGUIListDeselectAllItems"))
        R->Public.Selected.clear();
}

// An empty selection gives a null array and a count of 0: nothing to give back.
void VyrGUIListGetSelectedItems(int32_t List, int32_t** Items, int32_t* Count) {
    const char* Op = "VyrGUIListGetSelectedItems";
    if (Items == nullptr || Count == nullptr) {
        HostError("%s: null result address", Op);
        return;
    }
    ControlRecord* R = LiveControlOfKind(List, ControlKind::List, Op);
    *Items = nullptr;
    *Count = 0;
    if (R == nullptr || R->Public.Selected.empty())
        return;
    const std::vector<int32_t>& Selected = R->Public.Selected;
    int32_t* Array = static_cast<int32_t*>(std::malloc(Selected.size() * sizeof(int32_t)));
    if (Array == nullptr)
        return;
    std::copy(Selected.begin(), Selected.end(), Array);
    Track(Array, AllocKind::Array, "array");
    *Items = Array;
    *Count = int32_t(Selected.size());
}

int32_t VyrGUITextFieldAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                           VyrGUITextCallback_pf Callback) {
    ControlRecord* Made = nullptr;
    const int32_t Id = AddControl(Parent, ControlKind::TextField, X, Y, Width, Height,
                                  "VyrGUITextFieldAdd", &Made);
    if (Made != nullptr)
        Made->TextChanged = Callback;
    return Id;
}

void VyrGUITextFieldSetString(int32_t Field, const char* Text) {
    if (std::string* Shown =
            TextToChange(Field, ControlKind::TextField, Text, "VyrGUITextFieldSetString"))
        *Shown = Text;
}

int32_t VyrGUITextAdd(int32_t Parent, int32_t X, int32_t Y, int32_t Width, int32_t Height,
                      VyrBoolean_t ReadOnly, VyrGUITextCallback_pf Callback) {
    ControlRecord* Made = nullptr;
    const int32_t Id =
        AddControl(Parent, ControlKind::Text, X, Y, Width, Height, "VyrGUITextAdd", &Made);
    if (Made != nullptr) {
        Made->Public.ReadOnly = ReadOnly;
        Made->TextChanged = Callback;
    }
    return Id;
}

void VyrGUITextSetString(int32_t Text, const char* String) {
    if (std::string* Shown = TextToChange(Text, ControlKind::Text, String, "VyrGUITextSetString"))
        *Shown = String;
}

void VyrGUITextAppendString(int32_t Text, const char* String) {
    if (std::string* Shown =
            TextToChange(Text, ControlKind::Text, String, "VyrGUITextAppendString"))
        *Shown += String;
}

void VyrGUISetSensitivity(int32_t Control, VyrBoolean_t Sensitive) {
    if (ControlRecord* R = LiveControl(Control, "VyrGUISetSensitivity"))
        R->Public.Sensitive = Sensitive;
}

} // extern "C"
