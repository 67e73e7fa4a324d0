// The built modules as the host meets them: loadhdf.so, loadable with
// dlopen, starting itself through its one export and exporting nothing else;
// and loadhdf.dll, the Windows module, read with the mingw-w64 binutils
// (built, and so checked, where that cross toolchain is installed).
#include "support/addon_fixture.h"

#include "vyr_host_control.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <sstream>

namespace {

const std::string ModulePath = LOADHDF_BINARY_DIR "/lib/loadhdf.so";

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

// ---- loadhdf.dll -------------------------------------------------------------------------

#ifndef LOADHDF_DLL_PATH // a build without the DLL: its tests skip
#define LOADHDF_DLL_PATH ""
#define LOADHDF_MINGW_OBJDUMP ""
#define LOADHDF_MINGW_WINDRES ""
#define LOADHDF_HDF4_HEADERS ""
#endif

namespace {

using NameSet = std::set<std::string>;

std::string FileText(const std::filesystem::path& Path) {
    std::ifstream In(Path);
    std::stringstream Text;
    Text << In.rdbuf();
    return Text.str();
}

// The first group of every match of Pattern in Text.
NameSet Captures(const std::string& Text, const char* Pattern) {
    const std::regex Compiled(Pattern);
    NameSet Names;
    for (std::sregex_iterator M(Text.begin(), Text.end(), Compiled), End; M != End; ++M)
        Names.insert((*M)[1]);
    return Names;
}

// The imports the add-on's sources ask for, per DLL: every name they put
// before "(" (comments and strings aside) that is a host operation, or an HDF4
// function (one that HDF4's headers start a line with HDFLIBAPI to declare);
// the SD interface's come from mfhdf.dll, HDF4's others from hdf.dll.
std::map<std::string, NameSet> ExpectedImports() {
    NameSet Hdf4, Called;
    for (const auto& Header : std::filesystem::directory_iterator(LOADHDF_HDF4_HEADERS))
        Hdf4.merge(Captures(FileText(Header), R"(\n\s*HDFLIBAPI[^;(]*?\b(\w+)\s*\()"));
    const std::regex CommentsAndStrings(R"(//[^\n]*|/\*[\s\S]*?\*/|"(\\.|[^"\\])*")");
    for (const char* Folder : {"addon", "catalogue", "catalogue/structure", "loader", "gui"})
        for (const auto& Source :
             std::filesystem::directory_iterator(std::string(LOADHDF_SOURCE_DIR) + "/" + Folder))
            if (Source.path().filename() != "vyr_host_api.h" &&
                (Source.path().extension() == ".cpp" || Source.path().extension() == ".h"))
                Called.merge(Captures(std::regex_replace(FileText(Source), CommentsAndStrings, " "),
                                      R"(\b([A-Za-z_]\w*)\s*\()"));
    std::map<std::string, NameSet> Expected;
    for (const std::string& Name : Called)
        if (Name.rfind("VyrUtil", 0) == 0 || Name.rfind("VyrGUI", 0) == 0)
            Expected["libvyr.dll"].insert(Name);
        else if (Hdf4.count(Name) != 0)
            Expected[Name.rfind("SD", 0) == 0 ? "mfhdf.dll" : "hdf.dll"].insert(Name);
    return Expected;
}

// objdump -p's import tables: a "\tDLL Name: X" line, then "\t<vma>\t<hint>  <name>"
// for each function.
std::map<std::string, NameSet> ImportTables(const std::string& Dump) {
    const std::string Mark = "\n\tDLL Name: ";
    std::map<std::string, NameSet> Imports;
    for (size_t At = Dump.find(Mark), Next; At != std::string::npos; At = Next) {
        Next = Dump.find(Mark, At + 1);
        const std::string Table = Dump.substr(At + Mark.size(), Next - At - Mark.size());
        Imports[Table.substr(0, Table.find('\n'))] =
            Captures(Table, R"(\n\t[0-9a-f]+\t +\d+  (\w+))");
    }
    return Imports;
}

// Reads the DLL's headers and tables (objdump -p) for each test.
class WindowsModule : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::string(LOADHDF_DLL_PATH).empty())
            GTEST_SKIP() << "loadhdf.dll is not part of this build: it needs the mingw-w64 i686 "
                            "toolchain (tools/install-deps.sh) and a build without sanitizers";
        Dump = CommandOutput(LOADHDF_MINGW_OBJDUMP " -p '" LOADHDF_DLL_PATH "'");
        ASSERT_TRUE(Dump.has_value()) << "objdump could not read " LOADHDF_DLL_PATH;
    }
    std::optional<std::string> Dump;
};

} // namespace

TEST_F(WindowsModule, IsA32BitWindowsDllExportingOnlyInitVyrAddOnUndecorated) {
    for (const char* Line : {"file format pei-i386\n", "\n\tDLL\n", "Magic\t\t\t010b\t(PE32)\n"})
        EXPECT_NE(Dump->find(Line), std::string::npos) << Line << " in\n" << *Dump;
    EXPECT_EQ(Captures(*Dump, R"(\n\t\[ *\d+\] (\w+)(?=\n))"), NameSet{"InitVyrAddOn"}) << *Dump;
}

// Every DLL besides HDF4's and the host's is one of Windows' own.
TEST_F(WindowsModule, ImportsExactlyTheHostAndHdf4FunctionsTheSourcesCall) {
    std::map<std::string, NameSet> Imports = ImportTables(*Dump);
    Imports.erase("KERNEL32.dll");
    Imports.erase("msvcrt.dll");
    const std::map<std::string, NameSet> Expected = ExpectedImports();
    ASSERT_EQ(Expected.size(), 3u) << "found no calls of the host, the SD interface or HDF4's base";
    EXPECT_EQ(Imports, Expected);
    // The .def files that the import libraries come from list the same.
    for (const auto& [Dll, Names] : Expected) {
        const std::string Def = FileText(std::string(LOADHDF_SOURCE_DIR) + "/windows/imports/" +
                                         Dll.substr(0, Dll.size() - 4) + ".def");
        EXPECT_EQ(Captures(Def.substr(Def.find("EXPORTS")), R"(\n\s+(\w+))"), Names) << Dll;
    }
}

TEST_F(WindowsModule, VersionResourceCarriesTheModulesIdentity) {
    const std::optional<std::string> Resources =
        CommandOutput(LOADHDF_MINGW_WINDRES " -J coff -O rc -i '" LOADHDF_DLL_PATH "'");
    ASSERT_TRUE(Resources.has_value()) << "windres could not read " LOADHDF_DLL_PATH;
    for (const char* Line :
         {" FILEVERSION 11, 2, 0, 2\n",
          "VALUE \"FileDescription\", \"HDF Loader (Vyrlith Add-on)\"\n",
          "VALUE \"InternalName\", \"loadhdf\"\n", "VALUE \"FileVersion\", \"11.2-0-002\"\n",
          "VALUE \"ProductVersion\", \"11.2-0-563\"\n"})
        EXPECT_NE(Resources->find(Line), std::string::npos) << Line << " in\n" << *Resources;
}
