// What the structure check costs against the scan it guards, on a file of
// 2,000 small data sets (float32 32x32, each with a label and a unit, all
// sharing two dimensions with scales): the check alone, the whole scan (check
// included), and HDF4's own info calls for the same data sets as the floor.
#include "addon/addon_entry.h"
#include "catalogue/file_scan.h"
#include "catalogue/structure_check.h"
#include "interface/addon_state.h"
#include "vyr_host_control.h"

#include <benchmark/benchmark.h>
#include <hdf/mfhdf.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int32 DataSetCount = 2000;
constexpr int32 Side = 32;

// Written once per run, in the system's temporary folder.
const std::string& ManyDataSetsFile() {
    static const std::string Path = [] {
        const std::string P =
            (std::filesystem::temp_directory_path() / "loadhdf-bench-2000.hdf").string();
        const int32 File = SDstart(P.c_str(), DFACC_CREATE);
        if (File == FAIL)
            throw std::runtime_error("cannot write " + P);
        std::vector<float32> Values(Side * Side, 1.5f), Scale(Side);
        for (int32 I = 0; I < Side; ++I)
            Scale[size_t(I)] = float32(I) * 0.25f;
        int32 Dims[2] = {Side, Side}, Start[2] = {0, 0};
        for (int32 I = 0; I < DataSetCount; ++I) {
            const int32 Sds =
                SDcreate(File, ("set" + std::to_string(I)).c_str(), DFNT_FLOAT32, 2, Dims);
            for (int32 D = 0; D < 2; ++D) {
                const int32 Dim = SDgetdimid(Sds, D);
                SDsetdimname(Dim, D == 0 ? "y" : "x");
                if (I == 0)
                    SDsetdimscale(Dim, Side, DFNT_FLOAT32, Scale.data());
            }
            SDsetdatastrs(Sds, ("Field " + std::to_string(I)).c_str(), "K", "", "");
            SDwritedata(Sds, Start, nullptr, Dims, Values.data());
            SDendaccess(Sds);
        }
        SDend(File);
        return P;
    }();
    return Path;
}

void StructureCheck(benchmark::State& State) {
    const std::string& Path = ManyDataSetsFile();
    for (auto _ : State)
        if (!CheckHdfStructure(Path.c_str()).Sound)
            State.SkipWithError("the benchmark file was refused");
}

void WholeScan(benchmark::State& State) {
    const std::string& Path = ManyDataSetsFile();
    VyrHost::Reset();
    ResetAddOnState();
    InitVyrAddOn();
    std::snprintf(FileName, FileNameSize, "%s", Path.c_str());
    for (auto _ : State) {
        VyrUtilLockStart(AddOnID);
        if (!ScanHdfFile())
            State.SkipWithError("the scan failed");
        VyrUtilLockFinish(AddOnID);
    }
    FreeSdsEntries();
    VyrHost::SendStateChange(VYR_STATE_CHANGE_SHUTDOWN);
    VyrHost::Reset();
}

// SDstart, then SDselect, SDgetinfo and SDendaccess for every data set.
void Hdf4InfoCalls(benchmark::State& State) {
    const std::string& Path = ManyDataSetsFile();
    for (auto _ : State) {
        const int32 File = SDstart(Path.c_str(), DFACC_READ);
        int32 Count = 0, Attributes = 0;
        SDfileinfo(File, &Count, &Attributes);
        for (int32 I = 0; I < Count; ++I) {
            char Name[H4_MAX_NC_NAME];
            int32 Rank = 0, Dims[H4_MAX_VAR_DIMS], Type = 0, Attrs = 0;
            const int32 Sds = SDselect(File, I);
            SDgetinfo(Sds, Name, &Rank, Dims, &Type, &Attrs);
            SDendaccess(Sds);
        }
        SDend(File);
    }
}

BENCHMARK(StructureCheck)->Unit(benchmark::kMillisecond);
BENCHMARK(WholeScan)->Unit(benchmark::kMillisecond);
BENCHMARK(Hdf4InfoCalls)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
