// Judging a run of hdf4_alone: the child's ending first (the time limit, a
// signal, a sanitizer's report, an ending before its last step), then its
// steps (values that differ, calls that failed).
#include "tools/hdf4_alone/alone_run.h"

#include "platform/child_process.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>

// GCC says so with a macro, clang with a feature test.
#if defined(__SANITIZE_ADDRESS__)
#define LOADHDF_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LOADHDF_ADDRESS_SANITIZER 1
#endif
#endif

namespace Hdf4Alone {
namespace {

#ifdef LOADHDF_ADDRESS_SANITIZER
constexpr bool AddressSanitizer = true;
#else
constexpr bool AddressSanitizer = false;
#endif

using StepList = std::vector<std::pair<std::string, std::string>>;

StepList ParseSteps(const std::string& Out) {
    StepList Steps;
    std::istringstream Lines(Out);
    for (std::string Line; std::getline(Lines, Line);) {
        const size_t Colon = Line.find(": ");
        if (Colon != std::string::npos)
            Steps.emplace_back(Line.substr(0, Colon), Line.substr(Colon + 2));
    }
    return Steps;
}

std::string LastStep(const StepList& Steps) {
    return Steps.empty() ? "before its first step" : "after \"" + Steps.back().first + "\"";
}

// The line of Err that starts with Start (its first), without a newline.
std::string LineStarting(const std::string& Err, const char* Start) {
    const size_t At = Err.find(Start);
    if (At == std::string::npos)
        return "";
    const size_t LineStart = Err.rfind('\n', At);
    const size_t From = LineStart == std::string::npos ? 0 : LineStart + 1;
    return Err.substr(From, Err.find('\n', At) - From);
}

// A sanitizer's report of a bad access, an undefined operation or an
// abort; a leak report is not one.
std::string BadAccessReport(const std::string& Err) {
    for (const char* Start : {"ERROR: AddressSanitizer", "ERROR: UndefinedBehaviorSanitizer",
                              "runtime error:", "*** stack smashing detected"}) {
        const std::string Line = LineStarting(Err, Start);
        if (!Line.empty()) {
            const std::string Summary = LineStarting(Err, "SUMMARY: ");
            return Summary.empty() ? Line : Summary;
        }
    }
    return "";
}

bool IsChecksum(const std::string& Value) {
    return Value.size() == 16 && Value.find_first_not_of("0123456789abcdef") == std::string::npos;
}

bool EndsWith(const std::string& Text, const char* End) {
    const size_t Length = std::strlen(End);
    return Text.size() >= Length && Text.compare(Text.size() - Length, Length, End) == 0;
}

// The step that describes what a values step reads: "sds 0 info" for
// "sds 0 whole" and "sds 0 rows", "sds 0 dim 1 info" for "sds 0 dim 1 scale".
std::string DescribingStep(const std::string& Step) {
    if (EndsWith(Step, " scale"))
        return Step.substr(0, Step.size() - 6) + " info";
    const size_t Space = Step.rfind(' ');
    return Step.substr(0, Space) + " info";
}

// Why the run's values are not the file's, or empty when nothing says so.
std::string Misread(const StepList& Steps, const AloneRun* Reference) {
    std::map<std::string, std::string> Own(Steps.begin(), Steps.end());
    std::map<std::string, std::string> Theirs;
    if (Reference != nullptr)
        Theirs.insert(Reference->Steps.begin(), Reference->Steps.end());
    for (const auto& [Step, Value] : Steps) {
        if (!IsChecksum(Value))
            continue;
        // The two reads of one data set start from different bytes.
        if (EndsWith(Step, " rows") && IsChecksum(Own[Step.substr(0, Step.size() - 4) + "whole"]) &&
            Own[Step.substr(0, Step.size() - 4) + "whole"] != Value)
            return "\"" + Step + "\" and the whole read disagree";
        const auto Same = Theirs.find(Step);
        const auto Described = Theirs.find(DescribingStep(Step));
        if (Same != Theirs.end() && IsChecksum(Same->second) && Same->second != Value &&
            Described != Theirs.end() && Described->second == Own[DescribingStep(Step)])
            return "\"" + Step + "\" differs from the undamaged file's";
    }
    return "";
}

} // namespace

AloneRun RunAlone(const std::string& Program, const std::string& File, const AloneOptions& Options,
                  const AloneRun* Reference) {
    std::vector<std::string> Args = {File};
    if (!Options.ExternalDir.empty())
        Args.insert(Args.end(), {"--external-dir", Options.ExternalDir});
    for (int32_t Index : Options.SkipValues)
        Args.insert(Args.end(), {"--skip-values", std::to_string(Index)});
    for (const std::string& Name : Options.SkipScales)
        Args.insert(Args.end(), {"--skip-scale", Name});
    Platform::ChildInput NoInput;
    NoInput.FromNullDevice = true;
    const Platform::ChildRun Child =
        Platform::RunChild(Program, Args, NoInput, Options.TimeLimitSeconds);

    AloneRun Run;
    Run.Steps = ParseSteps(Child.Out);
    Run.Err = Child.Err;
    // Each fault with the detail of its first sighting, worst last.
    std::map<Hdf4Fault, std::string> Seen;
    const bool Done = !Run.Steps.empty() && Run.Steps.back().first == "done";
    const std::string Report = BadAccessReport(Child.Err);
    if (Child.TimedOut)
        Seen[Hdf4Fault::Hang] = "still running after " + std::to_string(Options.TimeLimitSeconds) +
                                " s, " + LastStep(Run.Steps);
    else if (!Report.empty())
        Seen[Hdf4Fault::Crash] = Report + ", " + LastStep(Run.Steps);
    else if (Child.Signal != 0)
        Seen[Hdf4Fault::Crash] = "signal " + std::to_string(Child.Signal) + " (" +
                                 strsignal(Child.Signal) + "), " + LastStep(Run.Steps);
    else if (!Done)
        Seen[Hdf4Fault::Crash] =
            "exit status " + std::to_string(Child.ExitStatus) + ", " + LastStep(Run.Steps);
    const std::string Leak = LineStarting(Child.Err, "ERROR: LeakSanitizer");
    if (!Leak.empty()) {
        const std::string Summary = LineStarting(Child.Err, "SUMMARY: ");
        Seen[Hdf4Fault::Leak] = Summary.empty() ? Leak : Summary;
    }
    const std::string Wrong = Misread(Run.Steps, Reference);
    if (!Wrong.empty())
        Seen[Hdf4Fault::Misread] = Wrong;
    for (const auto& [Step, Value] : Run.Steps) {
        if (Value == "fail") {
            Seen[Hdf4Fault::Report] = "\"" + Step + "\" failed";
            break;
        }
    }
    if (Seen.empty())
        Seen[Hdf4Fault::Clean] = "every step succeeded";
    for (const auto& [Fault, Why] : Seen)
        Run.Faults.insert(Fault);
    Run.Detail = Seen.rbegin()->second;
    return Run;
}

bool ValuesRead(const AloneRun& Run, int32_t Index) {
    const std::string Whole = "sds " + std::to_string(Index) + " whole";
    for (const auto& [Step, Value] : Run.Steps)
        if (Step == Whole)
            return IsChecksum(Value);
    return false;
}

bool LeaksAreSeen() {
    if (!AddressSanitizer)
        return false;
    const char* Options = std::getenv("ASAN_OPTIONS");
    return Options == nullptr || std::strstr(Options, "detect_leaks=0") == nullptr;
}

} // namespace Hdf4Alone
