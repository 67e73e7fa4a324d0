// The host's state as JSON, in the schema of the host's command-line
// contract: load result, messages, questions, data set with every value,
// frame, recorded loader instructions, lock depth and outstanding host
// allocations. Written as it is produced: a load of hundreds of millions of
// values never has its document in memory.
#ifndef LOADHDF_HOST_VYRHOST_HOST_STATE_JSON_H
#define LOADHDF_HOST_VYRHOST_HOST_STATE_JSON_H

#include <optional>
#include <string>

namespace VyrHostProgram {

// Writes the host's state to Path ("-": standard output), indented by two
// and ending with a newline. LoadResult: what the session's last loader call
// returned; nullopt when none ran (written as null). False, with the reason
// in *Why for a file, when the output cannot be written.
bool WriteHostStateJson(const std::string& Path, std::optional<bool> LoadResult, std::string* Why);

} // namespace VyrHostProgram

#endif
