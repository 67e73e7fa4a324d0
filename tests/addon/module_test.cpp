// The built module as the host meets it: loadable, and starting itself
// through its one export. What the module file holds besides (its exports,
// imports and version identity) is checked as the system's tools read it,
// in posix/elf_module_test.cpp and windows/dll_module_test.cpp.
#include "support/addon_fixture.h"

#include "vyr_host_control.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

const std::string ModulePath = LOADHDF_MODULE_PATH;

} // namespace

using AddOnModule = AddOnManualStartTest;

TEST_F(AddOnModule, HostLoadsTheModuleAndItRegistersTheLoader) {
    std::string Why;
    ASSERT_TRUE(VyrHost::LoadAddOn(ModulePath, &Why)) << Why;
    EXPECT_EQ(VyrHost::LoaderNames(), std::vector<std::string>{"HDF Loader"});
    ASSERT_EQ(VyrHost::RegisteredAddOns().size(), 1u);
    EXPECT_EQ(VyrHost::RegisteredAddOns()[0].Name, "HDF Loader");
    EXPECT_TRUE(VyrHost::ErrorMessages().empty());
    // The fixture's shutdown then checks that the module gave its set back.
}

TEST_F(AddOnModule, LoadingAMissingModuleSaysWhy) {
    std::string Why;
    EXPECT_FALSE(VyrHost::LoadAddOn(LOADHDF_BINARY_DIR "/lib/no-such-module.so", &Why));
    EXPECT_FALSE(Why.empty());
}

// The module's folders are layers: each includes its own headers and those
// of the layers below it, never one above. A header of the top layer
// included from below would pull the dialogs, the loader and the catalogue
// into everything beneath.
TEST(AddOnLayers, EachFolderIncludesOnlyItselfAndTheLayersBelow) {
    const std::map<std::string, std::vector<std::string>> Allowed = {
        {"addon", {"addon", "gui", "loader", "catalogue", "interface"}},
        {"gui", {"gui", "loader", "catalogue", "interface"}},
        {"loader", {"loader", "catalogue", "interface"}},
        {"catalogue", {"catalogue", "interface"}},
        {"catalogue/structure", {"catalogue", "interface"}},
        {"interface", {"interface"}}};
    const std::regex Include(R"(#include "([a-z_]+)/)");
    int32_t Seen = 0;
    for (const auto& [Folder, Below] : Allowed)
        for (const auto& Source :
             std::filesystem::directory_iterator(std::string(LOADHDF_SOURCE_DIR) + "/" + Folder)) {
            if (!Source.is_regular_file())
                continue;
            std::ifstream In(Source.path());
            for (std::string Line; std::getline(In, Line);) {
                std::smatch Match;
                if (!std::regex_search(Line, Match, Include))
                    continue;
                ++Seen;
                EXPECT_NE(std::find(Below.begin(), Below.end(), Match[1].str()), Below.end())
                    << Source.path().string() << ": " << Line;
            }
        }
    EXPECT_GT(Seen, 100) << "the folders' includes were not read";
}
