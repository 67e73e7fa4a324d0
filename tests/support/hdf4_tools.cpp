// Test helper: Debian's HDF4 tools from the test programs (see hdf4_tools.h).
// A Windows program under Wine cannot wait for a Unix program it starts, so
// it hands the Unix command to the bridge's hdf4tools.dll, with its paths
// turned into Unix names by Wine's own kernel32.
#include "support/hdf4_tools.h"

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace TestHdf {
namespace {

std::string CommandText(const char* Tool, const std::vector<ToolArgument>& Arguments) {
    std::string Text = Tool;
    for (const ToolArgument& Argument : Arguments)
        Text += " '" + Argument.Text + "'";
    return Text;
}

#ifdef _WIN32

template <class Function> Function Export(const char* Dll, const char* Name) {
    HMODULE Module = LoadLibraryA(Dll);
    return Module == nullptr
               ? nullptr
               : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(Module, Name)));
}

std::string UnixName(const std::string& WindowsPath) {
    using ToUnix = char*(__cdecl*)(const WCHAR*);
    static const ToUnix Convert = Export<ToUnix>("kernel32.dll", "wine_get_unix_file_name");
    if (Convert == nullptr)
        throw std::runtime_error("Debian's HDF4 tools run only under Wine");
    std::wstring Wide(WindowsPath.size() + 1, L'\0');
    Wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, WindowsPath.c_str(), -1, Wide.data(), int(Wide.size()))));
    char* Name = Convert(Wide.c_str());
    if (Name == nullptr)
        throw std::runtime_error("Wine has no Unix name for " + WindowsPath);
    std::string Unix = Name;
    HeapFree(GetProcessHeap(), 0, Name);
    return Unix;
}

int Run(const std::vector<std::string>& Command) {
    using RunUnix = int(__cdecl*)(char* const*);
    static const RunUnix RunProgram = Export<RunUnix>("hdf4tools.dll", "run_unix_program");
    if (RunProgram == nullptr)
        throw std::runtime_error("the HDF4 bridge's hdf4tools.dll is missing (tools/wine-run.sh)");
    std::vector<char*> Arguments;
    for (const std::string& Argument : Command)
        Arguments.push_back(const_cast<char*>(Argument.c_str()));
    Arguments.push_back(nullptr);
    return RunProgram(Arguments.data());
}

#else

std::string UnixName(const std::string& Path) {
    return Path;
}

int Run(const std::vector<std::string>& Command) {
    std::vector<char*> Arguments;
    for (const std::string& Argument : Command)
        Arguments.push_back(const_cast<char*>(Argument.c_str()));
    Arguments.push_back(nullptr);
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_addopen(&Actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&Actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t Child = 0;
    const int Started =
        posix_spawnp(&Child, Arguments[0], &Actions, nullptr, Arguments.data(), environ);
    posix_spawn_file_actions_destroy(&Actions);
    int Status = 0;
    if (Started != 0 || waitpid(Child, &Status, 0) != Child)
        return -1;
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

#endif

} // namespace

void RunHdf4Tool(const char* Tool, const std::vector<ToolArgument>& Arguments) {
    std::vector<std::string> Command{Tool};
    for (const ToolArgument& Argument : Arguments)
        Command.push_back(Argument.IsPath ? UnixName(Argument.Text) : Argument.Text);
    if (Run(Command) != 0)
        throw std::runtime_error("HDF4 tool failed: " + CommandText(Tool, Arguments));
}

} // namespace TestHdf
