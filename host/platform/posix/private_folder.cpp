// A private temporary folder on POSIX systems: mkdtemp, which makes the
// folder under a name no other process has taken.
#include "platform/private_folder.h"

#include <cstdlib>
#include <stdexcept>

namespace Platform {

std::filesystem::path MakePrivateFolder(const std::string& Prefix) {
    std::string Pattern = std::filesystem::temp_directory_path() / (Prefix + "XXXXXX");
    if (mkdtemp(Pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary directory");
    }
    return Pattern;
}

} // namespace Platform
