// The program's command line: which command to run, its arguments and the
// session options, read with CLI11. Usage errors, --help and --version end
// here; the rest of the program only ever sees a complete Invocation.
#ifndef LOADHDF_HOST_VYRHOST_COMMAND_LINE_H
#define LOADHDF_HOST_VYRHOST_COMMAND_LINE_H

#include "picture/picture.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace VyrHostProgram {

// Exit status of a usage error (unknown option, missing argument, ...).
constexpr int ExitUsage = 2;

enum class CommandKind { Session, List, Attributes, Load, Replay, Script };

struct Invocation {
    CommandKind Command = CommandKind::Session;
    // list, attributes, load: the HDF file; replay: the list file; script:
    // the script file. "-" reads standard input (replay and script).
    std::string File;
    std::vector<int32_t> Sds{1};                     // load: list items to select
    std::array<std::string, 3> Skips{"1", "1", "1"}; // load: texts typed into the skip fields
    std::optional<std::string> JsonOut;              // --json
    std::optional<std::string> JournalOut;           // --journal
    std::optional<std::string> PictureOut;           // --picture
    PictureOptions Picture;                          // --plane, --blank, --range
    std::optional<std::string> AddOnPath;            // --addon
    int32_t StopAt = 0;                              // --stop-at; 0: never
    bool Checksums = false;                          // load: checksum lines instead of the summary
};

// Reads the command line into *Out. Returns nullopt when the program should
// go on with *Out, otherwise the exit status to end with: 0 after --help or
// --version (printed on standard output), ExitUsage after a usage error
// (what is wrong and a usage line, on standard error).
std::optional<int> ParseCommandLine(int Argc, char** Argv, Invocation* Out);

} // namespace VyrHostProgram

#endif
