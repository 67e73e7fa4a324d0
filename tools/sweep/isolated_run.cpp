// The child's side of a sweep run, which starts the add-on inside the
// stand-in host as the add-on tests do, and the parent's side, which reads
// the child's verdict from a pipe, enforces the timeout and reads signals.
#include "isolated_run.h"

#include "addon/addon_entry.h"
#include "catalogue/file_scan.h"
#include "catalogue/structure_check.h"
#include "interface/addon_state.h"
#include "vyr_host_control.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

// A sanitizer error in a child ends it with SIGABRT, like an abort inside
// HDF4, instead of an exit status the parent would have to tell apart from
// the child's own.
extern "C" const char* __asan_default_options() {
    return "abort_on_error=1:detect_leaks=0";
}
extern "C" const char* __ubsan_default_options() {
    return "abort_on_error=1:print_stacktrace=1";
}

namespace Sweep {

namespace {

// The child's own exit statuses, one per Outcome it can report.
constexpr int FirstStatus = 10;
// Enough for a zone of every data set a sweep's good files hold; a damaged
// extent asks for more and is refused as memory the host cannot get.
constexpr int64_t ZoneStorageLimit = int64_t(256) << 20;
#if !defined(__SANITIZE_ADDRESS__)
// Keeps a child that HDF4 makes allocate without end from taking the shared
// machine's memory (the sanitizers need their address space unbounded).
constexpr rlim_t ChildAddressSpace = rlim_t(4) << 30;
#endif
constexpr size_t ReportLines = 8;
// Records loaded per file, spread from the first to the last: each load
// scans the file again, and a file of sixty data sets would otherwise cost
// sixty scans per damaged copy.
constexpr int32_t MaxLoads = 6;

void WriteAll(int Fd, const std::string& Text) {
    size_t Done = 0;
    while (Done < Text.size()) {
        const ssize_t N = write(Fd, Text.data() + Done, Text.size() - Done);
        if (N <= 0)
            return;
        Done += size_t(N);
    }
}

std::string LastMessage() {
    const std::vector<std::string>& Messages = VyrHost::ErrorMessages();
    return Messages.empty() ? "(no message)" : Messages.back();
}

// What the host still holds, or says was broken, after the shutdown notice.
std::string LeftOver() {
    if (!VyrHost::HostErrors().empty())
        return "host error: " + VyrHost::HostErrors().front();
    if (VyrHost::LockDepth() != 0 || VyrHost::LockOnDepth() != 0)
        return "host lock left held";
    if (VyrHost::OutstandingAllocations() != 0)
        return "host object left: " + VyrHost::OutstandingTags().front();
    return "";
}

Outcome RunInChild(const std::string& Path, std::string* Text) {
    const StructureVerdict Verdict = CheckHdfStructure(Path.c_str());
    if (!Verdict.Sound) {
        *Text = Verdict.Rule;
        return Outcome::Refused;
    }
    VyrHost::Reset();
    VyrHost::SetZoneStorageLimit(ZoneStorageLimit);
    ResetAddOnState();
    InitVyrAddOn();
    std::snprintf(FileName, FileNameSize, "%s", Path.c_str());
    VyrUtilLockStart(AddOnID);
    const bool Scanned = ScanHdfFile();
    const int32_t Records = SdsCount;
    VyrUtilLockFinish(AddOnID);
    if (!Scanned)
        FreeSdsEntries(); // after an unknown type the caller empties it

    Outcome Ending = Scanned ? Outcome::ScanOk : Outcome::ScanRefused;
    if (!Scanned)
        *Text = LastMessage();
    const int32_t Loads = std::min(Records, MaxLoads);
    for (int32_t Load = 0; Scanned && Load < Loads; ++Load) {
        const int32_t Record = Loads == 1 ? 1 : 1 + Load * (Records - 1) / (Loads - 1);
        bool Loaded = false;
        VyrHost::CallLoader("HDF Loader",
                            {"M" + Path, "I1", "J1", "K1", "S" + std::to_string(Record)}, &Loaded);
        if (!Loaded && Ending == Outcome::ScanOk) {
            Ending = Outcome::LoadRefused;
            *Text = LastMessage();
        }
    }
    VyrHost::SendStateChange(VYR_STATE_CHANGE_SHUTDOWN);
    const std::string Left = LeftOver();
    if (!Left.empty()) {
        *Text = Left;
        return Outcome::Untidy;
    }
    return Ending;
}

[[noreturn]] void Child(const std::string& Path, const std::string& OutputPath, int Pipe) {
    const rlimit NoCore = {0, 0};
    setrlimit(RLIMIT_CORE, &NoCore);
#if !defined(__SANITIZE_ADDRESS__)
    const rlimit Memory = {ChildAddressSpace, ChildAddressSpace};
    setrlimit(RLIMIT_AS, &Memory);
#endif
    const int Output = open(OutputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (Output >= 0) {
        dup2(Output, STDOUT_FILENO);
        dup2(Output, STDERR_FILENO);
        close(Output);
    }
    std::string Text;
    const Outcome Ending = RunInChild(Path, &Text);
    WriteAll(Pipe, Text);
    // _exit: the parent's exit handlers (its temporary folder) are not ours.
    _exit(FirstStatus + int(Ending));
}

// The sanitizer report's first lines, from its ERROR line on, and its
// SUMMARY line.
void ReadReport(const std::string& OutputPath, RunResult* Result) {
    std::ifstream In(OutputPath);
    std::string Line;
    size_t Lines = 0;
    while (std::getline(In, Line)) {
        if (Line.rfind("SUMMARY: ", 0) == 0 && Result->Summary.empty())
            Result->Summary = Line;
        const bool Starts = Line.find("ERROR: ") != std::string::npos ||
                            Line.find("runtime error") != std::string::npos;
        if ((Lines > 0 || Starts) && Lines < ReportLines) {
            Result->Report += Line + "\n";
            ++Lines;
        }
    }
}

// Reads the pipe until the child closes it or the deadline passes; false
// on the deadline.
bool ReadUntilClosed(int Pipe, int TimeoutSeconds, std::string* Text) {
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(TimeoutSeconds);
    char Buffer[512];
    for (;;) {
        const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              Deadline - std::chrono::steady_clock::now())
                              .count();
        if (Left <= 0)
            return false;
        pollfd Wait = {Pipe, POLLIN, 0};
        const int Ready = poll(&Wait, 1, int(Left));
        if (Ready < 0 && errno == EINTR)
            continue;
        if (Ready <= 0)
            return false; // the deadline, or a pipe that cannot be waited on
        const ssize_t N = read(Pipe, Buffer, sizeof Buffer);
        if (N <= 0)
            return true;
        Text->append(Buffer, size_t(N));
    }
}

} // namespace

RunResult RunIsolated(const std::string& Path, const std::string& OutputPath, int TimeoutSeconds) {
    RunResult Result;
    int Pipe[2];
    if (pipe(Pipe) != 0) {
        Result.Text = "no pipe";
        return Result;
    }
    std::fflush(nullptr);
    const pid_t Pid = fork();
    if (Pid == 0) {
        close(Pipe[0]);
        Child(Path, OutputPath, Pipe[1]);
    }
    close(Pipe[1]);
    if (Pid < 0) {
        close(Pipe[0]);
        Result.Text = "no fork";
        return Result;
    }
    std::string Text;
    const bool Closed = ReadUntilClosed(Pipe[0], TimeoutSeconds, &Text);
    close(Pipe[0]);
    if (!Closed)
        kill(Pid, SIGKILL);
    int Status = 0;
    while (waitpid(Pid, &Status, 0) < 0 && errno == EINTR) {
    }
    const int Own = WIFEXITED(Status) ? WEXITSTATUS(Status) - FirstStatus : -1;
    if (!Closed) {
        Result.Ending = Outcome::Hung;
        Result.Text = "killed after " + std::to_string(TimeoutSeconds) + " s";
    } else if (Own >= 0 && Own < int(Outcome::Crashed)) {
        Result.Ending = Outcome(Own);
        Result.Text = Text;
    } else {
        Result.Ending = Outcome::Crashed;
        Result.Text = WIFSIGNALED(Status) ? std::string(strsignal(WTERMSIG(Status)))
                                          : "exit status " + std::to_string(WEXITSTATUS(Status));
        ReadReport(OutputPath, &Result);
    }
    return Result;
}

} // namespace Sweep
