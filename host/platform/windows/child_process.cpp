// Child processes on Windows: CreateProcess with the standard streams on
// files of a private folder (no threads to keep two pipes drained), a time
// limit kept by the wait's timeout and TerminateProcess, and the
// one place where the console's line ends are undone: the C runtime writes
// standard output and error in text mode, "\r\n" for each "\n", so "\r\n"
// is read back as "\n".
#include "platform/child_process.h"

#include "platform/private_folder.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <windows.h>

namespace Platform {
namespace {

// The exit status of a program ended at its time limit.
constexpr UINT TimedOutExitCode = 124;

// One argument as the C runtime's command-line parser will split it back:
// quoted when it holds blanks or quotes, backslashes doubled before a quote.
std::string Quoted(const std::string& Arg) {
    if (!Arg.empty() && Arg.find_first_of(" \t\n\v\"") == std::string::npos) {
        return Arg;
    }
    std::string Out = "\"";
    for (size_t At = 0;; ++At) {
        size_t Backslashes = 0;
        while (At < Arg.size() && Arg[At] == '\\') {
            ++At;
            ++Backslashes;
        }
        if (At == Arg.size()) {
            Out.append(Backslashes * 2, '\\');
            break;
        }
        if (Arg[At] == '"') {
            Out.append(Backslashes * 2 + 1, '\\');
        } else {
            Out.append(Backslashes, '\\');
        }
        Out += Arg[At];
    }
    return Out + "\"";
}

std::string WindowsPath(std::string Path) {
    for (char& C : Path) {
        if (C == '/') {
            C = '\\';
        }
    }
    return Path;
}

std::string WithoutCarriageReturns(const std::string& Text) {
    std::string Out;
    Out.reserve(Text.size());
    for (size_t At = 0; At < Text.size(); ++At) {
        if (!(Text[At] == '\r' && At + 1 < Text.size() && Text[At + 1] == '\n')) {
            Out += Text[At];
        }
    }
    return Out;
}

std::string FileText(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    std::ostringstream Text;
    Text << In.rdbuf();
    return Text.str();
}

// The runner's own folder for the children's standard streams, made on
// first use and removed when the process ends.
std::filesystem::path& RunFolder() {
    static std::filesystem::path Folder;
    return Folder;
}

void RemoveRunFolder() {
    std::error_code Ignored;
    std::filesystem::remove_all(RunFolder(), Ignored);
}

// A handle the child inherits: the file at Path, read or written from the
// start.
HANDLE InheritedFile(const std::string& Path, bool Write) {
    SECURITY_ATTRIBUTES Inherit{sizeof Inherit, nullptr, TRUE};
    const HANDLE File = CreateFileA(
        Path.c_str(), Write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
        &Inherit, Write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (File == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot open " + Path);
    }
    return File;
}

} // namespace

ChildRun RunChild(const std::string& Path, const std::vector<std::string>& Args,
                  const ChildInput& Input, int TimeLimitSeconds) {
    if (RunFolder().empty()) {
        RunFolder() = MakePrivateFolder("loadhdf-run-");
        std::atexit(RemoveRunFolder);
    }
    static int Runs = 0;
    const std::string Stem = (RunFolder() / ("run-" + std::to_string(++Runs))).string();
    std::string InputPath = "NUL";
    if (!Input.FromNullDevice) {
        InputPath = Stem + ".in";
        std::ofstream(InputPath, std::ios::binary) << Input.Text;
    }
    const HANDLE In = InheritedFile(InputPath, false);
    const HANDLE Out = InheritedFile(Stem + ".out", true);
    const HANDLE Err = InheritedFile(Stem + ".err", true);

    const std::string Executable = WindowsPath(Path);
    std::string CommandLine = Quoted(Executable);
    for (const std::string& Arg : Args) {
        CommandLine += " " + Quoted(Arg);
    }
    STARTUPINFOA Start{};
    Start.cb = sizeof Start;
    Start.dwFlags = STARTF_USESTDHANDLES;
    Start.hStdInput = In;
    Start.hStdOutput = Out;
    Start.hStdError = Err;
    PROCESS_INFORMATION Process{};
    const BOOL Started = CreateProcessA(Executable.c_str(), CommandLine.data(), nullptr, nullptr,
                                        TRUE, 0, nullptr, nullptr, &Start, &Process);
    CloseHandle(In);
    CloseHandle(Out);
    CloseHandle(Err);
    if (!Started) {
        throw std::runtime_error("cannot start " + Executable);
    }
    ChildRun Run;
    const DWORD Limit = TimeLimitSeconds > 0 ? DWORD(TimeLimitSeconds) * 1000 : INFINITE;
    if (WaitForSingleObject(Process.hProcess, Limit) == WAIT_TIMEOUT) {
        // The program's own children are its business: the ones this
        // project runs start none.
        TerminateProcess(Process.hProcess, TimedOutExitCode);
        WaitForSingleObject(Process.hProcess, INFINITE);
        Run.TimedOut = true;
    }
    DWORD Code = 0;
    GetExitCodeProcess(Process.hProcess, &Code);
    CloseHandle(Process.hThread);
    CloseHandle(Process.hProcess);

    Run.Out = WithoutCarriageReturns(FileText(Stem + ".out"));
    Run.Err = WithoutCarriageReturns(FileText(Stem + ".err"));
    // An exception that ended the program (an access violation, say) is its
    // NTSTATUS code: the Windows counterpart of a signal.
    if (Code >= 0xC0000000u) {
        Run.Signal = static_cast<int>(Code & 0x7FFFFFFFu);
    } else {
        Run.ExitStatus = static_cast<int>(Code);
    }
    return Run;
}

// ---- On a terminal ------------------------------------------------------------

std::string WhyNoTerminalForChild() {
    // Wine's pseudo console (CreatePseudoConsole) gives the program it
    // starts no console: GetConsoleMode fails on its standard handles, and
    // typed input never reaches it.
    return "no console for a child process under Wine";
}

ChildRun RunChildOnTerminal(const std::string&, const std::vector<std::string>&,
                            const std::string&) {
    throw std::runtime_error(WhyNoTerminalForChild());
}

ChildRun RunChildWithCtrlCAtFirstOutput(const std::string&, const std::vector<std::string>&,
                                        bool*) {
    throw std::runtime_error(WhyNoTerminalForChild());
}

} // namespace Platform
