// The skip fields of the load dialog. A refused value never reaches the
// skip: the loader relies on every stride being at least 1.
#include "gui/skip_fields.h"

#include "interface/addon_state.h"

#include <cctype>
#include <cstdio>

int32_t ReadSkipValue(const char* Text) {
    if (Text == nullptr)
        return 0;
    const char* Next = Text;
    while (std::isspace(static_cast<unsigned char>(*Next)))
        ++Next;
    bool Negative = false;
    if (*Next == '+' || *Next == '-') {
        Negative = (*Next == '-');
        ++Next;
    }
    // Accumulated in 64 bits and held just past the 32-bit range, so a long
    // run of digits saturates instead of overflowing.
    const int64_t Limit = int64_t(INT32_MAX) + 1;
    int64_t Value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*Next)); ++Next) {
        Value = Value * 10 + (*Next - '0');
        if (Value > Limit)
            Value = Limit;
    }
    if (Negative)
        Value = -Value;
    if (Value > INT32_MAX)
        return INT32_MAX;
    if (Value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(Value);
}

namespace {

void ShowSkip(int32_t Field, int32_t Skip) {
    char Text[16];
    snprintf(Text, sizeof Text, "%d", static_cast<int>(Skip));
    VyrGUITextFieldSetString(Field, Text);
}

int32_t AcceptSkip(const char* NewText, int32_t& Skip, int32_t Field, const char* Refusal) {
    const int32_t Value = ReadSkipValue(NewText);
    if (Value >= 1) {
        Skip = Value;
        return 1;
    }
    VyrUtilDialogErrMsg(Refusal);
    VyrGUITextFieldSetString(Field, "1");
    return 0;
}

} // namespace

void ShowSkipsInFields(void) {
    ShowSkip(ISkipField, ISkip);
    ShowSkip(JSkipField, JSkip);
    ShowSkip(KSkipField, KSkip);
}

int32_t ISkipFieldCallback(const char* NewText) {
    return AcceptSkip(NewText, ISkip, ISkipField, "Please enter an i-skip value of 1 or greater");
}

int32_t JSkipFieldCallback(const char* NewText) {
    return AcceptSkip(NewText, JSkip, JSkipField, "Please enter a j-skip value of 1 or greater");
}

int32_t KSkipFieldCallback(const char* NewText) {
    return AcceptSkip(NewText, KSkip, KSkipField, "Please enter a k-skip value of 1 or greater");
}
