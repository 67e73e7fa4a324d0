// The host's lifecycle and registry: the one HostState, host errors, Reset,
// the host version, add-on registration and the state-change listeners.
#include "host_state.h"

#include <cstdarg>
#include <cstdio>

namespace VyrHost::Detail {

HostState& State() {
    static HostState TheState;
    return TheState;
}

void HostError(const char* Format, ...) {
    char Text[512];
    va_list Args;
    va_start(Args, Format);
    vsnprintf(Text, sizeof Text, Format, Args);
    va_end(Args);
    State().HostErrors.emplace_back(Text);
}

bool IsLiveAddOn(VyrAddOn_pa AddOn) {
    if (AddOn == nullptr)
        return false;
    for (const auto& Known : State().AddOns)
        if (Known.get() == AddOn)
            return true;
    return false;
}

bool HasText(const char* Text, const char* Operation, const char* What) {
    if (Text != nullptr)
        return true;
    HostError("%s: null %s", Operation, What);
    return false;
}

} // namespace VyrHost::Detail

using namespace VyrHost::Detail;

namespace VyrHost {

void Reset() {
    FreeAllTracked();
    DropFieldRefs();
    State() = HostState{};
}

void SetVersion(int32_t Version) {
    State().Version = Version;
}

void SendStateChange(int32_t Code) {
    // A listener may add listeners; only those present now hear this code.
    const std::vector<VyrStateChangeCallback_pf> Listeners = State().Listeners;
    for (VyrStateChangeCallback_pf Listener : Listeners)
        Listener(Code, 0);
}

const std::vector<AddOnRecord>& RegisteredAddOns() {
    return State().Registered;
}

const std::vector<std::string>& HostErrors() {
    return State().HostErrors;
}

} // namespace VyrHost

extern "C" {

VyrAddOn_pa VyrUtilAddOnRegister(int32_t VersionNeeded, const char* Name, const char* Version,
                                 const char* Credits) {
    const char* Op = "VyrUtilAddOnRegister";
    if (!HasText(Name, Op, "name") || !HasText(Version, Op, "version") ||
        !HasText(Credits, Op, "credits"))
        return nullptr;
    HostState& S = State();
    S.AddOns.push_back(std::make_unique<VyrAddOn_s>());
    S.AddOns.back()->Number = int32_t(S.AddOns.size());
    S.Registered.push_back(VyrHost::AddOnRecord{VersionNeeded, Name, Version, Credits});
    return S.AddOns.back().get();
}

int32_t VyrUtilGetVyrlithVersion(void) {
    return State().Version;
}

VyrBoolean_t VyrUtilStateChangeAddCallback(VyrStateChangeCallback_pf Callback) {
    if (Callback == nullptr) {
        HostError("VyrUtilStateChangeAddCallback: null callback");
        return false;
    }
    if (ShouldFail(VyrHost::FailPoint::StateChangeAddCallback, nullptr))
        return false;
    State().Listeners.push_back(Callback);
    return true;
}

} // extern "C"
