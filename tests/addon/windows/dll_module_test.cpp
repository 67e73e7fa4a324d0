// loadhdf.dll as Windows' loader reads it: a 32-bit DLL exporting only
// InitVyrAddOn, importing nothing but the host's operations, Windows' own
// DLLs and the HDF4 functions windows/hdf4-imports/ lists, and carrying its
// version resource (windows/loadhdf.rc).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>
#include <windows.h>

namespace {

const std::string ModulePath = LOADHDF_MODULE_PATH;

using NameSet = std::set<std::string>;

std::string FileText(const std::filesystem::path& Path) {
    std::ifstream In(Path, std::ios::binary);
    std::stringstream Text;
    Text << In.rdbuf();
    return Text.str();
}

// The host operations the add-on's sources call: every name they put before
// "(" (comments and strings aside) that starts as the host's do.
NameSet HostOperationsCalled() {
    const std::regex CommentsAndStrings(R"(//[^\n]*|/\*[\s\S]*?\*/|"(\\.|[^"\\])*")");
    const std::regex Call(R"(\b((VyrUtil|VyrGUI)\w*)\s*\()");
    NameSet Called;
    for (const char* Folder :
         {"addon", "gui", "loader", "catalogue", "catalogue/structure", "interface"})
        for (const auto& Source :
             std::filesystem::directory_iterator(std::string(LOADHDF_SOURCE_DIR) + "/" + Folder)) {
            const std::string Extension = Source.path().extension().string();
            if (Source.path().filename() == "vyr_host_api.h" ||
                (Extension != ".cpp" && Extension != ".h"))
                continue;
            const std::string Code =
                std::regex_replace(FileText(Source.path()), CommentsAndStrings, " ");
            for (std::sregex_iterator M(Code.begin(), Code.end(), Call), End; M != End; ++M)
                Called.insert((*M)[1]);
        }
    return Called;
}

// The module mapped as an image, nothing run and nothing resolved: its
// headers and tables are read at their relative addresses.
class WindowsModule : public ::testing::Test {
  protected:
    void SetUp() override {
        Image = LoadLibraryExA(ModulePath.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_NE(Image, nullptr) << "cannot map " << ModulePath;
        const auto* Dos = At<IMAGE_DOS_HEADER>(0);
        ASSERT_EQ(Dos->e_magic, IMAGE_DOS_SIGNATURE);
        Headers = At<IMAGE_NT_HEADERS32>(static_cast<DWORD>(Dos->e_lfanew));
        ASSERT_EQ(Headers->Signature, IMAGE_NT_SIGNATURE);
    }
    void TearDown() override {
        if (Image != nullptr)
            FreeLibrary(Image);
    }

    template <class T> const T* At(DWORD Rva) const {
        return reinterpret_cast<const T*>(reinterpret_cast<const char*>(Image) + Rva);
    }
    const IMAGE_DATA_DIRECTORY& Directory(int Entry) const {
        return Headers->OptionalHeader.DataDirectory[Entry];
    }

    // The names of the export table.
    NameSet Exports() const {
        NameSet Names;
        if (Directory(IMAGE_DIRECTORY_ENTRY_EXPORT).Size == 0)
            return Names;
        const auto* Table =
            At<IMAGE_EXPORT_DIRECTORY>(Directory(IMAGE_DIRECTORY_ENTRY_EXPORT).VirtualAddress);
        const auto* NameRvas = At<DWORD>(Table->AddressOfNames);
        for (DWORD I = 0; I < Table->NumberOfNames; ++I)
            Names.insert(At<char>(NameRvas[I]));
        return Names;
    }

    // The functions imported from each DLL, by name ("#N" for an ordinal).
    std::map<std::string, NameSet> Imports() const {
        std::map<std::string, NameSet> Tables;
        const DWORD First = Directory(IMAGE_DIRECTORY_ENTRY_IMPORT).VirtualAddress;
        for (const auto* Dll = At<IMAGE_IMPORT_DESCRIPTOR>(First); Dll->Name != 0; ++Dll) {
            NameSet& Names = Tables[At<char>(Dll->Name)];
            const DWORD Thunks =
                Dll->OriginalFirstThunk != 0 ? Dll->OriginalFirstThunk : Dll->FirstThunk;
            for (const auto* Thunk = At<IMAGE_THUNK_DATA32>(Thunks); Thunk->u1.AddressOfData != 0;
                 ++Thunk)
                if (IMAGE_SNAP_BY_ORDINAL32(Thunk->u1.Ordinal))
                    Names.insert("#" + std::to_string(IMAGE_ORDINAL32(Thunk->u1.Ordinal)));
                else
                    Names.insert(At<IMAGE_IMPORT_BY_NAME>(Thunk->u1.AddressOfData)->Name);
        }
        return Tables;
    }

    HMODULE Image = nullptr;
    const IMAGE_NT_HEADERS32* Headers = nullptr;
};

// One text of the version resource's first string table.
std::string VersionText(const std::vector<char>& Resource, const char* Key) {
    struct Translation {
        WORD Language, CodePage;
    }* Translations = nullptr;
    UINT Size = 0;
    if (!VerQueryValueA(Resource.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&Translations), &Size) ||
        Size < sizeof *Translations)
        return "(no translation)";
    char Path[96];
    std::snprintf(Path, sizeof Path, "\\StringFileInfo\\%04x%04x\\%s", Translations->Language,
                  Translations->CodePage, Key);
    char* Text = nullptr;
    if (!VerQueryValueA(Resource.data(), Path, reinterpret_cast<void**>(&Text), &Size))
        return "(none)";
    return Text;
}

} // namespace

TEST_F(WindowsModule, IsA32BitWindowsDllExportingOnlyInitVyrAddOnUndecorated) {
    EXPECT_EQ(Headers->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_NE(Headers->FileHeader.Characteristics & IMAGE_FILE_DLL, 0);
    EXPECT_EQ(Headers->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_EQ(Exports(), NameSet{"InitVyrAddOn"});
}

// The functions a .def file of windows/hdf4-imports/ lists.
NameSet DefExports(const char* Dll) {
    std::istringstream Lines(
        FileText(std::string(LOADHDF_SOURCE_DIR) + "/windows/hdf4-imports/" + Dll + ".def"));
    NameSet Names;
    bool InExports = false;
    for (std::string Line; std::getline(Lines, Line);) {
        std::istringstream Words(Line);
        std::string Word;
        if (!(Words >> Word) || Word[0] == ';')
            continue;
        if (InExports)
            Names.insert(Word);
        InExports = InExports || Word == "EXPORTS";
    }
    return Names;
}

// The C++ runtime is linked in: besides the host's libvyr.dll and HDF4's
// own DLLs, the module needs only DLLs that every Windows has; of HDF4 it
// imports exactly what windows/hdf4-imports/ lists.
TEST_F(WindowsModule, ImportsTheHostsOperationsTheListedHdf4FunctionsAndWindowsOwnDlls) {
    std::map<std::string, NameSet> Imports = this->Imports();
    const NameSet Called = HostOperationsCalled();
    ASSERT_GT(Called.size(), 10u) << "found no calls of the host in the sources";
    EXPECT_EQ(Imports["libvyr.dll"], Called);
    for (const char* Dll : {"hdf", "mfhdf"}) {
        const NameSet Listed = DefExports(Dll);
        ASSERT_FALSE(Listed.empty()) << "no functions in windows/hdf4-imports/" << Dll << ".def";
        EXPECT_EQ(Imports[std::string(Dll) + ".dll"], Listed) << Dll << ".dll";
    }
    NameSet Dlls;
    for (const auto& [Dll, Names] : Imports)
        Dlls.insert(Dll);
    EXPECT_EQ(Dlls, (NameSet{"KERNEL32.dll", "hdf.dll", "libvyr.dll", "mfhdf.dll", "msvcrt.dll"}));
}

TEST_F(WindowsModule, VersionResourceCarriesTheModulesIdentity) {
    DWORD Ignored = 0;
    std::vector<char> Resource(GetFileVersionInfoSizeA(ModulePath.c_str(), &Ignored));
    ASSERT_FALSE(Resource.empty()) << "no version resource in " << ModulePath;
    ASSERT_TRUE(GetFileVersionInfoA(ModulePath.c_str(), 0, static_cast<DWORD>(Resource.size()),
                                    Resource.data()));
    VS_FIXEDFILEINFO* Fixed = nullptr;
    UINT Size = 0;
    ASSERT_TRUE(VerQueryValueA(Resource.data(), "\\", reinterpret_cast<void**>(&Fixed), &Size));
    EXPECT_EQ(Fixed->dwFileVersionMS, (11u << 16) | 2u); // 11.2.0.2
    EXPECT_EQ(Fixed->dwFileVersionLS, (0u << 16) | 2u);
    EXPECT_EQ(VersionText(Resource, "FileDescription"), "HDF Loader (Vyrlith Add-on)");
    EXPECT_EQ(VersionText(Resource, "InternalName"), "loadhdf");
    EXPECT_EQ(VersionText(Resource, "FileVersion"), "11.2-0-002");
    EXPECT_EQ(VersionText(Resource, "ProductVersion"), "11.2-0-563");
}
