// A private temporary folder on Windows, which has no mkdtemp: a random
// name, taken only if the folder did not exist and could be created.
#include "platform/private_folder.h"

#include <cstdio>
#include <random>
#include <stdexcept>
#include <system_error>

namespace Platform {

std::filesystem::path MakePrivateFolder(const std::string& Prefix) {
    std::random_device Random;
    for (int Attempt = 0; Attempt < 100; ++Attempt) {
        char Ending[16];
        std::snprintf(Ending, sizeof Ending, "%08x", static_cast<unsigned>(Random()));
        const std::filesystem::path Folder =
            std::filesystem::temp_directory_path() / (Prefix + Ending);
        std::error_code Error;
        if (std::filesystem::create_directory(Folder, Error)) {
            return Folder;
        }
    }
    throw std::runtime_error("cannot make a temporary directory");
}

} // namespace Platform
