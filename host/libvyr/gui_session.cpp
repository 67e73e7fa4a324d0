// The session acting as the host's user on the top dialog: pressing
// buttons, selecting list items, typing into text fields and pressing the
// dialog's own OK, Cancel and Help. An action the dialog cannot take is
// refused with a reason and changes nothing; an accepted one calls the
// add-on's callback before it returns, as the host's UI thread would.
#include "host_state.h"

#include <algorithm>
#include <cstdlib>

using namespace VyrHost::Detail;
using VyrHost::ControlKind;

namespace {

bool Refuse(std::string* Why, const std::string& Reason) {
    if (Why != nullptr)
        *Why = Reason;
    return false;
}

// The top dialog, or null after setting the reason.
const VyrHost::Dialog* TopOrRefuse(std::string* Why) {
    const VyrHost::Dialog* Top = VyrHost::TopDialog();
    if (Top == nullptr)
        Refuse(Why, "no dialog is up");
    return Top;
}

// The first control of the dialog that is of Kind and passes Match.
template <typename Pred>
ControlRecord* FindInDialog(const VyrHost::Dialog& D, ControlKind Kind, Pred Match) {
    for (int32_t Id : D.Controls) {
        ControlRecord& R = State().Controls.at(Id);
        if (R.Public.Kind == Kind && Match(R))
            return &R;
    }
    return nullptr;
}

enum class DialogButton { Ok, Cancel, Help };

bool PressDialogButton(DialogButton Which, std::string* Why) {
    const VyrHost::Dialog* Top = TopOrRefuse(Why);
    if (Top == nullptr)
        return false;
    const int32_t Id = Top->Id;
    const DialogCallbacks& Calls = State().DialogCalls.at(Id);
    VyrGUIVoidCallback_pf Callback = Which == DialogButton::Ok       ? Calls.Ok
                                     : Which == DialogButton::Cancel ? Calls.Cancel
                                                                     : Calls.Help;
    if (Callback != nullptr) {
        Callback();
        return true;
    }
    if (Which == DialogButton::Help)
        return Refuse(Why, "the dialog has no Help button");
    // OK or Cancel without a callback simply closes the dialog.
    TakeDown(*FindDialog(Id));
    return true;
}

} // namespace

namespace VyrHost {

bool PressButton(const std::string& Text, std::string* Why) {
    const Dialog* Top = TopOrRefuse(Why);
    if (Top == nullptr)
        return false;
    ControlRecord* Button = FindInDialog(*Top, ControlKind::Button,
                                         [&](ControlRecord& R) { return R.Public.Text == Text; });
    if (Button == nullptr)
        return Refuse(Why, "no button \"" + Text + "\" in dialog \"" + Top->Title + "\"");
    if (!Button->Public.Sensitive)
        return Refuse(Why, "button \"" + Text + "\" is insensitive");
    if (Button->Pressed != nullptr)
        Button->Pressed();
    return true;
}

bool SelectItems(const std::vector<int32_t>& Items, std::string* Why) {
    const Dialog* Top = TopOrRefuse(Why);
    if (Top == nullptr)
        return false;
    ControlRecord* List =
        FindInDialog(*Top, ControlKind::List, [](ControlRecord&) { return true; });
    if (List == nullptr)
        return Refuse(Why, "dialog \"" + Top->Title + "\" has no list");
    if (!List->Public.Sensitive)
        return Refuse(Why, "the list is insensitive");
    if (!List->Public.MultiSelection && Items.size() > 1)
        return Refuse(Why, "the list takes one item at a time");
    const int32_t Count = int32_t(List->Public.Items.size());
    for (int32_t Item : Items)
        if (Item < 1 || Item > Count)
            return Refuse(Why,
                          "item " + std::to_string(Item) + " outside 1.." + std::to_string(Count));
    std::vector<int32_t> Selected = Items;
    std::sort(Selected.begin(), Selected.end());
    Selected.erase(std::unique(Selected.begin(), Selected.end()), Selected.end());
    List->Public.Selected = Selected;
    // The host reports the item the user touched last, or 0 when the
    // selection was cleared; never a null pointer.
    const int32_t Touched = Items.empty() ? 0 : Items.back();
    if (List->SelectionChanged != nullptr)
        List->SelectionChanged(&Touched);
    return true;
}

bool TypeInto(const std::string& LabelText, const std::string& Text, std::string* Why) {
    const Dialog* Top = TopOrRefuse(Why);
    if (Top == nullptr)
        return false;
    ControlRecord* Label = FindInDialog(
        *Top, ControlKind::Label, [&](ControlRecord& R) { return R.Public.Text == LabelText; });
    if (Label == nullptr)
        return Refuse(Why, "no label \"" + LabelText + "\" in dialog \"" + Top->Title + "\"");
    // The field next to the label: the one whose row is closest to it.
    ControlRecord* Field = nullptr;
    for (int32_t Id : Top->Controls) {
        ControlRecord& R = State().Controls.at(Id);
        if (R.Public.Kind != ControlKind::TextField)
            continue;
        if (Field == nullptr || std::abs(int64_t(R.Public.Y) - Label->Public.Y) <
                                    std::abs(int64_t(Field->Public.Y) - Label->Public.Y))
            Field = &R;
    }
    if (Field == nullptr)
        return Refuse(Why, "dialog \"" + Top->Title + "\" has no text field");
    if (!Field->Public.Sensitive)
        return Refuse(Why, "the field next to \"" + LabelText + "\" is insensitive");
    Field->Public.Text = Text;
    if (Field->TextChanged != nullptr)
        Field->TextChanged(Text.c_str());
    return true;
}

bool PressOk(std::string* Why) {
    return PressDialogButton(DialogButton::Ok, Why);
}
bool PressCancel(std::string* Why) {
    return PressDialogButton(DialogButton::Cancel, Why);
}
bool PressHelp(std::string* Why) {
    return PressDialogButton(DialogButton::Help, Why);
}

} // namespace VyrHost
