// The add-on's own cost per stored value, apart from the host's: the
// loader's FillZone over data sets already in memory, with a
// VyrUtilDataValueSetByRef of this program's own that only counts. An
// executable's definition of a symbol comes before a shared library's, so
// FillZone's stores reach the counter while every other host call (the zone,
// its references, the percent-done dialog once per row) is libvyr's. What
// is left is the add-on's walk: reading the kept values and the scales,
// widening them to doubles and making the calls. Comparing one build's
// figure with another's (i386 against 64-bit) thus tells the module's own
// code generation apart from the stand-in host's store.
//
//   fill_zone_cost [--repetitions N]
//
// Prints one line per case: the median over the repetitions of nanoseconds
// per stored value, and stops with an error if the counter did not see
// every store (the host's own store was called instead).
#include "catalogue/number_types.h"
#include "catalogue/sds_entry.h"
#include "interface/addon_state.h"
#include "loader/zone_fill.h"
#include "vyr_host_control.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

uint64_t StoresCounted = 0;

struct FillCase {
    const char* Title;
    int32_t Rank;
    int32_t Side;           // every dimension's extent
    int32_t DataNumberType; // HDF number type of the values
    int32_t ScaleNumberType;
};

// The load benchmark's dense cases in miniature: a float32 cube with
// float32 scales, and an int16 square whose scales are the index scales
// the add-on makes for dimensions without one.
const FillCase Cases[] = {
    {"float32 64^3, float32 scales", 3, 64, HdfType::Float32, HdfType::Float32},
    {"int16 1024^2, index scales", 2, 1024, HdfType::Int16, HdfType::Int32},
};

template <typename T> std::vector<char> Filled(size_t Count, T Value) {
    std::vector<char> Bytes(Count * sizeof(T));
    for (size_t N = 0; N < Count; ++N)
        std::memcpy(Bytes.data() + N * sizeof(T), &Value, sizeof Value);
    return Bytes;
}

std::vector<char> Values(int32_t NumberType, size_t Count) {
    return NumberType == HdfType::Float32 ? Filled<float>(Count, 2.5f)
                                          : Filled<int16_t>(Count, int16_t(3));
}

std::vector<char> Scale(int32_t NumberType, int32_t Side) {
    std::vector<char> Bytes(size_t(Side) * 4);
    for (int32_t N = 0; N < Side; ++N) {
        const float AsFloat = 0.5f * float(N);
        const int32_t AsIndex = N + 1;
        if (NumberType == HdfType::Float32)
            std::memcpy(Bytes.data() + size_t(N) * 4, &AsFloat, 4);
        else
            std::memcpy(Bytes.data() + size_t(N) * 4, &AsIndex, 4);
    }
    return Bytes;
}

// Seconds of one FillZone of the whole data set at skips of 1, with a new
// host data set of Rank + 1 variables to take it.
double TimeOneFill(const FillCase& Case, SdsEntry& Entry) {
    VyrHost::Reset();
    VyrStringList_pa Names = VyrUtilStringListAlloc();
    for (int32_t Var = 0; Var <= Case.Rank; ++Var)
        VyrUtilStringListAppendString(Names, "V");
    VyrUtilDataSetCreate("Fill cost", Names, true);
    VyrUtilStringListDealloc(&Names);
    VyrUtilDialogLaunchPercentDone("Fill cost", true);
    SrcIMax = Case.Side;
    SrcJMax = Case.Rank >= 2 ? Case.Side : 1;
    SrcKMax = Case.Rank >= 3 ? Case.Side : 1;
    ISkip = JSkip = KSkip = 1;
    LoadInterrupted = false;
    PointsDone = 0;
    PointsTotal = SrcIMax * SrcJMax * SrcKMax;
    const auto Start = std::chrono::steady_clock::now();
    const bool Filled = FillZone(Entry, 1, SrcIMax, SrcJMax, SrcKMax);
    const std::chrono::duration<double> Took = std::chrono::steady_clock::now() - Start;
    if (!Filled) {
        std::fprintf(stderr, "fill_zone_cost: FillZone refused %s\n", Case.Title);
        std::exit(1);
    }
    return Took.count();
}

// Median nanoseconds per stored value of Repetitions fills.
double NanosecondsPerStore(const FillCase& Case, int32_t Repetitions) {
    size_t Points = 1;
    for (int32_t Dim = 0; Dim < Case.Rank; ++Dim)
        Points *= size_t(Case.Side);
    std::vector<char> Data = Values(Case.DataNumberType, Points);
    std::vector<char> ScaleBytes = Scale(Case.ScaleNumberType, Case.Side);
    SdsEntry Entry;
    std::memset(&Entry, 0, sizeof Entry);
    Entry.Rank = Case.Rank;
    for (int32_t Dim = 0; Dim < MaxLoadRank; ++Dim)
        Entry.DimSizes[Dim] = Dim < Case.Rank ? Case.Side : 1;
    Entry.DataNumberType = Case.DataNumberType;
    MapNumberType(&Entry.DataFieldType, &Entry.DataElemSize, Case.DataNumberType);
    for (int32_t Dim = 0; Dim < Case.Rank; ++Dim) {
        Entry.ScaleBuffer[Dim] = ScaleBytes.data();
        Entry.ScaleNumberType[Dim] = Case.ScaleNumberType;
        MapNumberType(&Entry.ScaleFieldType[Dim], &Entry.ScaleElemSize[Dim], Case.ScaleNumberType);
    }
    Entry.DataBuffer = Data.data();

    const uint64_t Stores = uint64_t(Points) * uint64_t(Case.Rank + 1);
    std::vector<double> PerStore;
    TimeOneFill(Case, Entry); // warm-up: the code, the data and the host's arrays
    for (int32_t Run = 0; Run < Repetitions; ++Run) {
        StoresCounted = 0;
        const double Seconds = TimeOneFill(Case, Entry);
        if (StoresCounted != Stores) {
            std::fprintf(stderr,
                         "fill_zone_cost: %llu stores counted for %s, %llu made: the host's own "
                         "store was called\n",
                         static_cast<unsigned long long>(StoresCounted), Case.Title,
                         static_cast<unsigned long long>(Stores));
            std::exit(1);
        }
        PerStore.push_back(Seconds * 1e9 / double(Stores));
    }
    VyrHost::Reset();
    std::sort(PerStore.begin(), PerStore.end());
    return PerStore[PerStore.size() / 2];
}

} // namespace

extern "C" void VyrUtilDataValueSetByRef(VyrFieldData_pa, VyrLgIndex_t, double) {
    ++StoresCounted;
}

int main(int argc, char** argv) {
    int32_t Repetitions = 15;
    if (argc == 3 && std::strcmp(argv[1], "--repetitions") == 0 && std::atoi(argv[2]) > 0) {
        Repetitions = std::atoi(argv[2]);
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: fill_zone_cost [--repetitions N]\n");
        return 2;
    }
    for (const FillCase& Case : Cases)
        std::printf("%s: %.3f ns per stored value\n", Case.Title,
                    NanosecondsPerStore(Case, Repetitions));
    return 0;
}
