// The built module as the host meets it: loadable, and starting itself
// through its one export. What the module file holds besides (its exports,
// imports and version identity) is checked as the system's tools read it,
// in posix/elf_module_test.cpp and windows/dll_module_test.cpp.
#include "support/addon_fixture.h"

#include "vyr_host_control.h"

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
