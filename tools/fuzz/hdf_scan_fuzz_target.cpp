// fuzz_hdf_scan: libFuzzer's target for the add-on's reading of HDF files.
// Each input is written out as an HDF file and taken, inside the stand-in
// host, through what choosing that file sets off: the scan that fills the
// catalogue, the load dialog's list lines and the attributes text, and the
// loader for the listed data sets. A crash or a sanitizer report is a
// finding; so is a breach of the host's rules, a held lock or a host object
// the add-on did not give back, which abort the input. A file the add-on
// refuses with a message is an ordinary outcome.
//
// HDF4 4.2.15 keeps state between files: a failed SDstart leaves the file
// open in the library, and Hopen reuses an open file's record when it is
// given the same path again. Each input therefore gets a path of its own,
// so that no input is read through an earlier input's records; the files
// that HDF4 keeps open are why the descriptor limit is raised at start-up.
// tools/fuzz.sh runs this target in fork mode, whose jobs end after at most
// a few minutes and so drop what HDF4 has gathered.
#include "addon/addon_entry.h"
#include "catalogue/file_scan.h"
#include "gui/attr_dialog.h"
#include "gui/data_set_list.h"
#include "interface/addon_state.h"
#include "vyr_host_control.h"

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

// Data sets whose values take more bytes than this are not loaded: reading
// them allocates what the file claims rather than parsing anything, and
// would spend the fuzzer's time and memory on one input. Claims beyond the
// loader's 32-bit byte count are still loaded, as the loader refuses them
// before it allocates.
constexpr int64_t MaxLoadBytes = 4 << 20;
// The host's limit for one zone's arrays while fuzzing (Reset sets 1 GiB).
constexpr int64_t ZoneStorageLimit = 64 << 20;

// Each process writes its inputs into a folder named after its process id;
// a job that crashed leaves its folder behind with the input in it.
constexpr const char* InputFolderPrefix = "fuzz_hdf_scan.";

std::string InputFolder;
uint64_t InputNumber = 0;

void RemoveInputFolder() {
    std::error_code Ignored;
    std::filesystem::remove_all(InputFolder, Ignored);
}

// Removes the input folders in Base of processes that have ended.
void RemoveStaleInputFolders(const std::filesystem::path& Base) {
    std::error_code Ignored;
    for (const auto& Entry : std::filesystem::directory_iterator(Base, Ignored)) {
        const std::string Name = Entry.path().filename().string();
        if (Name.rfind(InputFolderPrefix, 0) != 0)
            continue;
        const long Pid = std::strtol(Name.c_str() + std::strlen(InputFolderPrefix), nullptr, 10);
        if (Pid > 0 && kill(pid_t(Pid), 0) != 0 && errno == ESRCH)
            std::filesystem::remove_all(Entry.path(), Ignored);
    }
}

// A fresh folder of this process's own in /dev/shm, else in the temporary
// folder; empty when neither can be had.
std::string MakeInputFolder() {
    std::error_code Ignored;
    const std::filesystem::path Bases[] = {"/dev/shm",
                                           std::filesystem::temp_directory_path(Ignored)};
    for (const std::filesystem::path& Base : Bases) {
        if (Base.empty())
            continue;
        RemoveStaleInputFolders(Base);
        const std::filesystem::path Folder =
            Base / (InputFolderPrefix + std::to_string(long(getpid())));
        std::filesystem::remove_all(Folder, Ignored); // a reused process id
        if (mkdir(Folder.c_str(), 0700) == 0)
            return Folder.string();
    }
    return std::string();
}

[[noreturn]] void Finding(const char* What, const std::vector<std::string>& Details) {
    std::fprintf(stderr, "fuzz_hdf_scan: %s\n", What);
    for (const std::string& Line : Details)
        std::fprintf(stderr, "  %s\n", Line.c_str());
    std::abort();
}

bool WriteInput(const std::string& Path, const uint8_t* Data, size_t Size) {
    FILE* File = std::fopen(Path.c_str(), "wb");
    if (File == nullptr)
        return false;
    const bool Whole = std::fwrite(Data, 1, Size, File) == Size;
    return std::fclose(File) == 0 && Whole;
}

// The catalogue numbers (1-based) of each rank whose data sets will be
// loaded, from the records of the scan just made.
std::vector<std::vector<int32_t>> LoadableByRank() {
    std::vector<std::vector<int32_t>> ByRank(MaxLoadRank + 1);
    for (int32_t Index = 0; Index < SdsCount; ++Index) {
        const SdsEntry& Entry = SdsEntries[Index];
        if (Entry.Rank < 1 || Entry.Rank > MaxLoadRank)
            continue;
        const int64_t Bytes =
            int64_t(Entry.DimSizes[0]) * Entry.DimSizes[1] * Entry.DimSizes[2] * Entry.DataElemSize;
        if (Bytes <= MaxLoadBytes || Bytes > INT32_MAX)
            ByRank[size_t(Entry.Rank)].push_back(Index + 1);
    }
    return ByRank;
}

// The scan as the load dialog runs it, inside the caller's lock; when it
// succeeds, the list lines and the attributes text that the dialog would
// show. Returns the data sets to load.
std::vector<std::vector<int32_t>> ScanAndDescribe(const std::string& Path) {
    std::snprintf(FileName, FileNameSize, "%s", Path.c_str());
    VyrUtilLockStart(AddOnID);
    std::vector<std::vector<int32_t>> ByRank;
    if (ScanHdfFile()) {
        char Line[ListLineSize];
        for (int32_t Index = 0; Index < SdsCount; ++Index)
            FormatListLine(SdsEntries[Index], Line);
        BuildAttrDialog(-1);
        AttrDialogInitCallback();
        ByRank = LoadableByRank();
    }
    FreeSdsEntries();
    VyrUtilLockFinish(AddOnID);
    return ByRank;
}

// One load per rank with every chosen data set of that rank, as a replayed
// instruction list: the loader scans the file again itself.
void LoadEach(const std::string& Path, const std::vector<std::vector<int32_t>>& ByRank) {
    for (const std::vector<int32_t>& Numbers : ByRank) {
        if (Numbers.empty())
            continue;
        std::vector<std::string> Items = {"M" + Path, "I1", "J1", "K1"};
        for (int32_t Number : Numbers)
            Items.push_back("S" + std::to_string(Number));
        bool Result = false;
        if (!VyrHost::CallLoader("HDF Loader", Items, &Result))
            Finding("the loader is not registered", {});
    }
}

// With FUZZ_HDF_SCAN_TRACE set, what one input led to: the add-on's
// messages and the zones of the last load, for looking at single inputs.
void Trace(const std::vector<std::vector<int32_t>>& ByRank) {
    if (std::getenv("FUZZ_HDF_SCAN_TRACE") == nullptr)
        return;
    for (size_t Rank = 1; Rank < ByRank.size(); ++Rank)
        std::fprintf(stderr, "trace: rank %zu: %zu data sets to load\n", Rank, ByRank[Rank].size());
    for (const std::string& Message : VyrHost::ErrorMessages())
        std::fprintf(stderr, "trace: message: %s\n", Message.c_str());
    if (const VyrHost::DataSet* Loaded = VyrHost::CurrentDataSet())
        for (const VyrHost::Zone& Zone : Loaded->Zones)
            std::fprintf(stderr, "trace: zone %s %dx%dx%d\n", Zone.Name.c_str(), int(Zone.IMax),
                         int(Zone.JMax), int(Zone.KMax));
}

// After the shutdown notice the add-on must have left the host as it found
// it.
void CheckHostLeftClean() {
    if (!VyrHost::HostErrors().empty())
        Finding("the add-on broke the host's rules", VyrHost::HostErrors());
    if (VyrHost::LockDepth() != 0 || VyrHost::LockOnDepth() != 0)
        Finding("the add-on left the host lock held", {});
    if (VyrHost::OutstandingAllocations() != 0)
        Finding("the add-on did not give back host objects", VyrHost::OutstandingTags());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    InputFolder = MakeInputFolder();
    if (InputFolder.empty()) {
        std::perror("fuzz_hdf_scan: no private folder for the inputs");
        std::exit(1);
    }
    std::atexit(RemoveInputFolder);
    rlimit Files{};
    if (getrlimit(RLIMIT_NOFILE, &Files) == 0) {
        Files.rlim_cur = Files.rlim_max;
        setrlimit(RLIMIT_NOFILE, &Files);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Path = InputFolder + "/input-" + std::to_string(++InputNumber) + ".hdf";
    if (!WriteInput(Path, Data, Size)) {
        std::perror("fuzz_hdf_scan: cannot write the input file");
        std::exit(1);
    }

    VyrHost::Reset();
    ResetAddOnState();
    VyrHost::SetZoneStorageLimit(ZoneStorageLimit);
    InitVyrAddOn();
    if (FileName == nullptr)
        Finding("the add-on did not start", VyrHost::ErrorMessages());

    const std::vector<std::vector<int32_t>> ByRank = ScanAndDescribe(Path);
    LoadEach(Path, ByRank);
    Trace(ByRank);

    VyrHost::SendStateChange(VYR_STATE_CHANGE_SHUTDOWN);
    CheckHostLeftClean();
    VyrHost::Reset();
    unlink(Path.c_str());
    return 0;
}
