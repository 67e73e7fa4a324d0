// The per-value path of a load, in nanoseconds per stored value: the stand-in
// host's VyrUtilDataValueSetByRef for each field data type, the add-on's
// FillZone on a float32 and an int16 data set in memory (four and three host
// calls per point), and, as the floor, a plain loop that widens and stores
// the same values into an array of the host's type.
#include "catalogue/number_types.h"
#include "catalogue/sds_entry.h"
#include "interface/addon_state.h"
#include "loader/zone_fill.h"
#include "vyr_host_control.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int32_t Side = 256; // one 256 x 256 plane: 65,536 points

void NewDataSet(int32_t Variables) {
    VyrHost::Reset();
    VyrStringList_pa Names = VyrUtilStringListAlloc();
    for (int32_t Var = 0; Var < Variables; ++Var)
        VyrUtilStringListAppendString(Names, "V");
    VyrUtilDataSetCreate("Bench", Names, true);
    VyrUtilStringListDealloc(&Names);
}

void SetByRef(benchmark::State& State) {
    const VyrFieldType_t Type = VyrFieldType_t(State.range(0));
    NewDataSet(1);
    VyrUtilDataSetAddZone("Z", Side, Side, 1, VYR_ZONE_TYPE_ORDERED, &Type);
    VyrFieldData_pa Ref = VyrUtilDataValueGetRef(1, 1);
    const int32_t Points = Side * Side;
    for (auto _ : State) {
        for (int32_t Point = 1; Point <= Points; ++Point)
            VyrUtilDataValueSetByRef(Ref, Point, double(Point & 127));
        benchmark::ClobberMemory();
    }
    State.SetItemsProcessed(State.iterations() * Points);
    VyrHost::Reset();
}

// The floor: the same values widened and stored by a loop of the program's own.
void PlainStore(benchmark::State& State) {
    std::vector<float> Out(size_t(Side) * Side);
    for (auto _ : State) {
        for (size_t Point = 0; Point < Out.size(); ++Point)
            Out[Point] = float(double(int32_t(Point + 1) & 127));
        benchmark::DoNotOptimize(Out.data());
        benchmark::ClobberMemory();
    }
    State.SetItemsProcessed(int64_t(State.iterations()) * int64_t(Out.size()));
}

// FillZone over one rank-2 data set already in memory, with an index scale
// on each dimension: items are stored values (Rank + 1 per point).
template <typename T> void Fill(benchmark::State& State, int32_t NumberType) {
    std::vector<T> Data(size_t(Side) * Side, T(3));
    std::vector<int32_t> Scale(Side);
    for (int32_t I = 0; I < Side; ++I)
        Scale[size_t(I)] = I + 1;
    SdsEntry Entry;
    std::memset(&Entry, 0, sizeof Entry);
    Entry.Rank = 2;
    Entry.DimSizes[0] = Entry.DimSizes[1] = Side;
    Entry.DimSizes[2] = 1;
    Entry.DataNumberType = NumberType;
    MapNumberType(&Entry.DataFieldType, &Entry.DataElemSize, NumberType);
    for (int32_t D = 0; D < 2; ++D) {
        Entry.ScaleBuffer[D] = reinterpret_cast<char*>(Scale.data());
        Entry.ScaleNumberType[D] = HdfType::Int32;
        Entry.ScaleFieldType[D] = VYR_FIELD_TYPE_INT32;
        Entry.ScaleElemSize[D] = 4;
    }
    Entry.DataBuffer = reinterpret_cast<char*>(Data.data());
    for (auto _ : State) {
        State.PauseTiming();
        NewDataSet(3);
        VyrUtilDialogLaunchPercentDone("Bench", true);
        SrcIMax = SrcJMax = Side;
        SrcKMax = 1;
        ISkip = JSkip = KSkip = 1;
        LoadInterrupted = false;
        PointsDone = 0;
        PointsTotal = Side * Side;
        State.ResumeTiming();
        if (!FillZone(Entry, 1, Side, Side, 1))
            State.SkipWithError("FillZone refused the zone");
    }
    State.SetItemsProcessed(int64_t(State.iterations()) * Side * Side * 3);
    VyrHost::Reset();
}

void FillFloat32(benchmark::State& State) {
    Fill<float>(State, HdfType::Float32);
}
void FillInt16(benchmark::State& State) {
    Fill<int16_t>(State, HdfType::Int16);
}

BENCHMARK(SetByRef)->DenseRange(1, 5)->ArgName("field_type");
BENCHMARK(PlainStore);
BENCHMARK(FillFloat32);
BENCHMARK(FillInt16);

} // namespace

BENCHMARK_MAIN();
