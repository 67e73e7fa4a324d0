// The built ELF module as the system's tools read it, without loading it:
// exporting nothing but InitVyrAddOn, and carrying its version identity in
// its own section (addon/module_version.cpp).
#include "support/addon_fixture.h"

#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string ModulePath = LOADHDF_MODULE_PATH;

// Output of a shell command, or nullopt when it could not run or failed.
std::optional<std::string> CommandOutput(const std::string& Command) {
    FILE* Pipe = popen(Command.c_str(), "r");
    if (Pipe == nullptr)
        return std::nullopt;
    std::string Output;
    char Chunk[4096];
    for (size_t Got; (Got = fread(Chunk, 1, sizeof Chunk, Pipe)) > 0;)
        Output.append(Chunk, Got);
    if (pclose(Pipe) != 0)
        return std::nullopt;
    return Output;
}

} // namespace

using AddOnModule = AddOnManualStartTest;

TEST_F(AddOnModule, ModuleExportsOnlyInitVyrAddOn) {
    const std::optional<std::string> Symbols =
        CommandOutput("nm -D --defined-only '" + ModulePath + "'");
    ASSERT_TRUE(Symbols.has_value()) << "nm could not read " << ModulePath;
    std::vector<std::string> Functions;
    std::istringstream Lines(*Symbols);
    for (std::string Line; std::getline(Lines, Line);) {
        // "<address> <type> <name>"; T and W are functions in the text section.
        std::istringstream Fields(Line);
        std::string Address, Type, Name;
        if (!(Fields >> Address >> Type >> Name))
            continue;
        if (Name == "_init" || Name == "_fini" || Name == "__bss_start" || Name == "_edata" ||
            Name == "_end")
            continue;
        if (Type == "T" || Type == "t" || Type == "W" || Type == "i")
            Functions.push_back(Name);
        else
            ADD_FAILURE() << "unexpected exported symbol: " << Line;
    }
    EXPECT_EQ(Functions, std::vector<std::string>{"InitVyrAddOn"}) << *Symbols;
}

TEST_F(AddOnModule, ModuleCarriesItsVersionIdentity) {
    const std::optional<std::string> Section =
        CommandOutput("readelf -p .loadhdf_version '" + ModulePath + "'");
    ASSERT_TRUE(Section.has_value()) << "readelf could not read " << ModulePath;
    for (const char* Entry :
         {"FileDescription=HDF Loader (Vyrlith Add-on)", "InternalName=loadhdf",
          "FileVersion=11.2-0-002", "FileVersionNumber=11.2.0.2", "ProductVersion=11.2-0-563"})
        EXPECT_NE(Section->find(Entry), std::string::npos) << Entry << " in\n" << *Section;
}
