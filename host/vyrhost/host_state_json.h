// The host's state as JSON, in the schema of the host's command-line
// contract: load result, messages, questions, data set with every value,
// frame, recorded loader instructions, lock depth and outstanding host
// allocations.
#ifndef LOADHDF_HOST_VYRHOST_HOST_STATE_JSON_H
#define LOADHDF_HOST_VYRHOST_HOST_STATE_JSON_H

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace VyrHostProgram {

// LoadResult: what the session's last loader call returned; nullopt when
// none ran (written as null).
nlohmann::ordered_json HostStateJson(std::optional<bool> LoadResult);

// Writes Json to Path ("-": standard output), ending with a newline. False
// with the reason when the file cannot be written.
bool WriteJsonFile(const std::string& Path, const nlohmann::ordered_json& Json, std::string* Why);

} // namespace VyrHostProgram

#endif
