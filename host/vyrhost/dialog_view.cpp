// Draws the host's topmost dialog as plain text, one control a line in the
// order the add-on created them, so that a person (or a test) can see what
// the add-on put on screen without a window system.
#include "dialog_view.h"

#include "vyr_host_control.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace VyrHostProgram {
namespace {

std::string Quoted(const std::string& Text) {
    return "\"" + Text + "\"";
}

std::string Sensitivity(const VyrHost::Control& Control) {
    return Control.Sensitive ? "" : "  (insensitive)";
}

void DescribeList(const VyrHost::Control& Control, std::string* Out) {
    *Out += "  list";
    *Out += Control.MultiSelection ? " (multiple selection)" : "";
    *Out += Sensitivity(Control);
    *Out += Control.Items.empty() ? ": no items\n" : "\n";
    for (size_t Index = 0; Index < Control.Items.size(); ++Index) {
        const int32_t Item = static_cast<int32_t>(Index + 1);
        const bool Selected = std::find(Control.Selected.begin(), Control.Selected.end(), Item) !=
                              Control.Selected.end();
        char Mark[32];
        std::snprintf(Mark, sizeof Mark, "    [%c] %d: ", Selected ? 'x' : ' ', Item);
        *Out += Mark + Control.Items[Index] + "\n";
    }
}

void DescribeText(const VyrHost::Control& Control, std::string* Out) {
    *Out += "  text";
    *Out += Control.ReadOnly ? " (read-only)" : "";
    *Out += Sensitivity(Control);
    *Out += Control.Text.empty() ? ": empty\n" : "\n";
    std::string::size_type Start = 0;
    while (Start < Control.Text.size()) {
        std::string::size_type End = Control.Text.find('\n', Start);
        if (End == std::string::npos) {
            End = Control.Text.size();
        }
        *Out += "    | " + Control.Text.substr(Start, End - Start) + "\n";
        Start = End + 1;
    }
}

// The label a text field stands next to: the one on the closest row, as
// the host matches a typed label to its field. Empty when there is none.
std::string LabelNextTo(const VyrHost::Control& Field, const VyrHost::Dialog& Dialog) {
    const VyrHost::Control* Closest = nullptr;
    for (int32_t Id : Dialog.Controls) {
        const VyrHost::Control* Label = VyrHost::FindControl(Id);
        if (Label == nullptr || Label->Kind != VyrHost::ControlKind::Label) {
            continue;
        }
        if (Closest == nullptr ||
            std::abs(int64_t(Label->Y) - Field.Y) < std::abs(int64_t(Closest->Y) - Field.Y)) {
            Closest = Label;
        }
    }
    return Closest == nullptr ? "" : Closest->Text;
}

void DescribeControl(const VyrHost::Control& Control, const VyrHost::Dialog& Dialog,
                     std::string* Out) {
    switch (Control.Kind) {
    case VyrHost::ControlKind::Label:
        *Out += "  label " + Quoted(Control.Text) + Sensitivity(Control) + "\n";
        break;
    case VyrHost::ControlKind::Button:
        *Out += "  button [" + Control.Text + "]" + Sensitivity(Control) + "\n";
        break;
    case VyrHost::ControlKind::TextField:
        *Out += "  field " + Quoted(LabelNextTo(Control, Dialog)) + " [" + Control.Text + "]" +
                Sensitivity(Control) + "\n";
        break;
    case VyrHost::ControlKind::List:
        DescribeList(Control, Out);
        break;
    case VyrHost::ControlKind::Text:
        DescribeText(Control, Out);
        break;
    }
}

} // namespace

std::string DescribeOpenDialog() {
    const VyrHost::Dialog* Top = VyrHost::TopDialog();
    if (Top == nullptr) {
        return "no dialog is up\n";
    }
    std::string Out = "dialog " + Quoted(Top->Title) + "\n";
    for (int32_t Id : Top->Controls) {
        if (const VyrHost::Control* Control = VyrHost::FindControl(Id)) {
            DescribeControl(*Control, *Top, &Out);
        }
    }
    Out += "  buttons: [OK] [Cancel] [Help]\n";
    return Out;
}

} // namespace VyrHostProgram
