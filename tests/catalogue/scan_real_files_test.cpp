// Scans of real HDF4 files written by other HDF4 writers over the years
// (shared/data/hdf4-real, or LOADHDF_REAL_FILES): what each yields, and the
// scales found in them; and every file that public projects keep
// (shared/data/hdf4-world, or LOADHDF_WORLD_FILES) scanned and loaded
// against what HDF4 itself reports of it. Skipped when a folder is absent.
#include "catalogue/hdf_access.h"
#include "catalogue/structure_check.h"
#include "catalogue_fixture.h"

#include <hdf/mfhdf.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

class ScanRealFiles : public CatalogueTest {
  protected:
    void SetUp() override {
        CatalogueTest::SetUp();
        if (!TestHdf::RealFile("")) // the folder itself
            GTEST_SKIP() << TestHdf::RealFilesMissing();
    }
    // A real file's path; SetUp has skipped the test when there is none.
    static std::string Real(const std::string& FileName) {
        return TestHdf::RealFile(FileName).value();
    }
};

struct RealFileCase {
    const char* File;
    int32_t Records;                 // 0: the scan fails
    std::vector<int32_t> HdfIndexes; // of the records
    std::vector<int32_t> Types;      // DataNumberType of the records
};

TEST_F(ScanRealFiles, EachFileYieldsItsConvertibleDataSetsInFileOrder) {
    const std::vector<int32_t> Forty(40, 22);
    std::vector<int32_t> FortyIndexes;
    for (int32_t I = 0; I < 40; ++I)
        FortyIndexes.push_back(I);
    const RealFileCase Cases[] = {
        // szip data cannot be decoded here, but its description can be read
        {"compressed-gzip-skiphuff-szip.hdf", 3, {0, 1, 2}, {24, 24, 24}},
        // 21 data sets: each data set follows its two coordinate variables
        {"coordvars-many-types.hdf", 7, {2, 5, 8, 11, 14, 17, 20}, {5, 20, 21, 22, 23, 24, 25}},
        {"empty-unlimited-40.hdf", 40, FortyIndexes, Forty},
        {"int32-ranks-1-2-3.hdf", 3, {0, 1, 2}, {24, 24, 24}},
        {"int8-rank3-with-scales.hdf", 1, {3}, {20}},
        {"mixed-types-old-writer.hdf", 5, {0, 1, 2, 3, 4}, {20, 22, 24, 5, 6}},
        // the coordinate variable shares the data set's name but is not stored
        {"sds-and-coordvar-same-name.hdf", 1, {0}, {5}},
    };
    for (const RealFileCase& Case : Cases) {
        SCOPED_TRACE(Case.File);
        ASSERT_TRUE(Scan(Real(Case.File)));
        EXPECT_TRUE(Messages().empty());
        ASSERT_EQ(SdsCount, Case.Records);
        std::vector<int32_t> Indexes, Types;
        for (int32_t I = 0; I < SdsCount; ++I) {
            Indexes.push_back(SdsEntries[I].HdfIndex);
            Types.push_back(SdsEntries[I].DataNumberType);
            for (int32_t D = 0; D < SdsEntries[I].Rank; ++D)
                EXPECT_NE(SdsEntries[I].ScaleBuffer[D], nullptr);
        }
        EXPECT_EQ(Indexes, Case.HdfIndexes);
        EXPECT_EQ(Types, Case.Types);
    }
}

TEST_F(ScanRealFiles, StoredCoordinateVariablesBecomeTheScalesOfTheirDimensions) {
    ASSERT_TRUE(Scan(Real("int8-rank3-with-scales.hdf")));
    ASSERT_EQ(SdsCount, 1);
    const SdsEntry& E = SdsEntries[0];
    EXPECT_EQ(std::vector<int32_t>(E.DimSizes, E.DimSizes + 3), (std::vector<int32_t>{2, 3, 4}));
    for (int32_t D = 0; D < 3; ++D) {
        EXPECT_EQ(E.ScaleNumberType[D], 20);
        EXPECT_EQ(E.ScaleFieldType[D], VYR_FIELD_TYPE_INT16);
        EXPECT_EQ(E.ScaleElemSize[D], 1);
    }
    EXPECT_EQ(ScaleValues(E, 0), (std::vector<double>{0, 100}));
    EXPECT_EQ(ScaleValues(E, 1), (std::vector<double>{0, 10, 20}));
    EXPECT_EQ(ScaleValues(E, 2), (std::vector<double>{0, 1, 2, 3}));

    ASSERT_TRUE(Scan(Real("coordvars-many-types.hdf")));
    ASSERT_EQ(SdsCount, 7);
    EXPECT_EQ(ScaleValues(SdsEntries[0], 0),
              (std::vector<double>{10, 50, 90, 130, 170, 210, 250, 290, 330, 370}));
    EXPECT_EQ(SdsEntries[0].ScaleNumberType[0], 5);
    ExpectIndexScale(SdsEntries[0], 1); // its scale's number type is not set
    EXPECT_EQ(ScaleValues(SdsEntries[1], 0).front(), -90.0);
    EXPECT_EQ(SdsEntries[1].ScaleNumberType[0], 20);
}

TEST_F(ScanRealFiles, UnlimitedDimensionsOfAnOldWriterGetTheIndexScale) {
    ASSERT_TRUE(Scan(Real("mixed-types-old-writer.hdf")));
    ASSERT_EQ(SdsCount, 5);
    EXPECT_EQ(SdsEntries[0].DimSizes[0], 9); // records of the unlimited dimension
    EXPECT_EQ(SdsEntries[3].Rank, 3);
    EXPECT_EQ(std::vector<int32_t>(SdsEntries[3].DimSizes, SdsEntries[3].DimSizes + 3),
              (std::vector<int32_t>{8, 7, 8}));
    for (int32_t I = 0; I < SdsCount; ++I)
        for (int32_t D = 0; D < SdsEntries[I].Rank; ++D)
            ExpectIndexScale(SdsEntries[I], D);

    ASSERT_TRUE(Scan(Real("empty-unlimited-40.hdf")));
    ASSERT_EQ(SdsCount, 40);
    EXPECT_EQ(SdsEntries[39].DimSizes[0], 0);
    EXPECT_EQ(SdsEntries[39].DimSizes[1], 10);
    ExpectIndexScale(SdsEntries[39], 0);
    ExpectIndexScale(SdsEntries[39], 1);
    EXPECT_EQ(ScaleBuffersOutstanding(), 80);
}

// ---- Every file of public projects, against HDF4's own reading --------------

const char* const ReadError = "Error reading HDF Dataset";

// Loads of data sets above this many values are not compared: the largest
// MODIS bands (2400x2400 to 2030x1354x10) would take several times the rest
// of the run together, and their reads and stores go through the same code
// as the smaller data sets of the same files. Their records are still
// compared with what HDF4 reports.
constexpr int64_t MaxComparedValues = int64_t(1) << 22;

// The number types the add-on converts. The 64-bit integers are refused
// like any other type outside these, after a message of their own.
bool TypeConverted(int32_t Type) {
    switch (Type) {
    case HdfType::Float32:
    case HdfType::Float64:
    case HdfType::Int8:
    case HdfType::UInt8:
    case HdfType::Int16:
    case HdfType::UInt16:
    case HdfType::Int32:
    case HdfType::UInt32:
        return true;
    default:
        return false;
    }
}

// One data set as HDF4 describes it.
struct HdfSet {
    int32_t Index = 0, Rank = 0, Type = 0;
    std::vector<int32_t> Dims; // HDF order, first slowest
    bool Coordinate = false;
    // What the add-on converts, so lists.
    bool Listed() const { return !Coordinate && Rank <= MaxLoadRank && TypeConverted(Type); }
    int64_t Values() const {
        int64_t Count = 1;
        for (int32_t Extent : Dims)
            Count *= Extent;
        return Count;
    }
};

// A listed data set as the comparisons show it.
std::string Describe(int32_t Index, int32_t Rank, int32_t Type, const int32_t* Dims) {
    std::string Text = "#" + std::to_string(Index) + " rank " + std::to_string(Rank) + " type " +
                       std::to_string(Type) + " extents";
    for (int32_t D = 0; D < Rank; ++D)
        Text += " " + std::to_string(Dims[D]);
    return Text;
}
std::string Describe(const HdfSet& Set) {
    return Describe(Set.Index, Set.Rank, Set.Type, Set.Dims.data());
}

// The data sets of the file at Path in file order, as SDfileinfo, SDgetinfo
// and SDiscoordvar report them; nothing when HDF4 cannot open or describe
// the file.
std::optional<std::vector<HdfSet>> HdfSets(const std::string& Path) {
    const SdFileOwner File(SDstart(Path.c_str(), DFACC_READ));
    int32 Count = 0, Attrs = 0;
    if (File.Id == FAIL || SDfileinfo(File.Id, &Count, &Attrs) == FAIL)
        return std::nullopt;
    std::vector<HdfSet> Sets;
    for (int32 Index = 0; Index < Count; ++Index) {
        const SdsAccessOwner Sds(SDselect(File.Id, Index));
        int32 Rank = 0, Type = 0, Dims[H4_MAX_VAR_DIMS] = {};
        if (Sds.Id == FAIL ||
            SDgetinfo(Sds.Id, HdfNameScratch(), &Rank, Dims, &Type, &Attrs) == FAIL)
            return std::nullopt;
        HdfSet Set;
        Set.Index = Index;
        Set.Rank = Rank;
        Set.Type = Type;
        Set.Dims.assign(Dims, Dims + std::clamp<int32>(Rank, 0, H4_MAX_VAR_DIMS));
        // HDF4 follows a null pointer when asked about a data set without
        // dimensions whose kind the file leaves unrecorded.
        Set.Coordinate = Rank >= 1 && SDiscoordvar(Sds.Id) > 0;
        Sets.push_back(Set);
    }
    return Sets;
}

// What a scan of a file of these data sets ends with: its records, in file
// order, and its messages (none when it succeeds).
struct ScanOutcome {
    std::vector<HdfSet> Records;
    std::vector<std::string> Messages;
};

ScanOutcome ExpectedScan(const std::vector<HdfSet>& Sets) {
    ScanOutcome Outcome;
    if (Sets.empty()) {
        Outcome.Messages = {"No Scientific Datasets were found in this HDF file"};
        return Outcome;
    }
    // Every data set's type is looked at, those of coordinate variables, of
    // too high a rank and after the first unknown type too; the records
    // before that first one stay.
    bool TypeUnknown = false;
    for (const HdfSet& Set : Sets) {
        if (Set.Type == HdfType::Int64 || Set.Type == HdfType::UInt64)
            Outcome.Messages.push_back("64-bit data values are not supported");
        if (!TypeConverted(Set.Type))
            TypeUnknown = true;
        else if (!TypeUnknown && Set.Listed())
            Outcome.Records.push_back(Set);
    }
    if (TypeUnknown)
        Outcome.Messages.push_back("Unknown data type in HDF file");
    else if (Outcome.Records.empty())
        Outcome.Messages.push_back("No Scientific Data Sets found.");
    return Outcome;
}

// Dimension D's scale as a zone of the data set should hold it: the file's
// own where SDdiminfo reports one of a converted type and the data set's
// extent (an unlimited dimension reports 0) and the structure check lets
// HDF4 read it, else the index scale 1..n.
std::vector<double> ExpectedScale(int32 SdsId, int32_t D, int32_t Extent,
                                  const StructureVerdict& Verdict) {
    const int32 DimId = SDgetdimid(SdsId, D);
    int32 DimExtent = 0, Type = 0, Attrs = 0;
    std::vector<double> Scale;
    if (DimId != FAIL && SDdiminfo(DimId, HdfNameScratch(), &DimExtent, &Type, &Attrs) != FAIL &&
        DimExtent == Extent && Extent > 0 && TypeConverted(Type) &&
        Verdict.ScaleReadable(HdfNameScratch())) {
        std::vector<char> Buffer(size_t(Extent) * size_t(DFKNTsize(Type)));
        if (SDgetdimscale(DimId, Buffer.data()) != FAIL) {
            for (int32_t J = 0; J < Extent; ++J)
                Scale.push_back(GetValueAsDouble(Buffer.data(), J, Type));
            return Scale;
        }
    }
    for (int32_t J = 1; J <= Extent; ++J)
        Scale.push_back(J);
    return Scale;
}

// What a load of one data set should put in its zone, read by HDF4: the
// values of one SDreaddata of the whole data set, widened as the add-on
// widens them, and the scales in HDF order.
struct ZoneReference {
    bool Read = false; // false: HDF4 itself cannot read the values
    std::vector<double> Values;
    std::vector<std::vector<double>> Scales;
};

ZoneReference ReadReference(const std::string& Path, const HdfSet& Set,
                            const StructureVerdict& Verdict) {
    ZoneReference Reference;
    const SdFileOwner File(SDstart(Path.c_str(), DFACC_READ));
    const SdsAccessOwner Sds(File.Id == FAIL ? FAIL : SDselect(File.Id, Set.Index));
    if (Sds.Id == FAIL)
        return Reference;
    std::vector<char> Buffer(size_t(Set.Values()) * size_t(DFKNTsize(Set.Type)));
    int32 Start[MaxLoadRank] = {}, Edge[MaxLoadRank] = {};
    std::copy(Set.Dims.begin(), Set.Dims.end(), Edge);
    if (SDreaddata(Sds.Id, Start, nullptr, Edge, Buffer.data()) == FAIL)
        return Reference;
    Reference.Read = true;
    for (int64_t P = 0; P < Set.Values(); ++P)
        Reference.Values.push_back(GetValueAsDouble(Buffer.data(), P, Set.Type));
    for (int32_t D = 0; D < Set.Rank; ++D)
        Reference.Scales.push_back(ExpectedScale(Sds.Id, D, Set.Dims[D], Verdict));
    return Reference;
}

// Expects variable Var of Zone to hold Expected(P) at each 0-based point P,
// exactly; NaN matches NaN. One failure per variable, with the first point
// that differs.
template <typename ValueAt>
void ExpectVariable(const VyrHost::Zone& Zone, int32_t Var, const ValueAt& Expected) {
    int64_t Differing = 0, First = 0;
    double FirstGot = 0, FirstWanted = 0;
    for (int64_t P = 0; P < Zone.PointCount(); ++P) {
        const double Got = Zone.Value(Var, P + 1), Wanted = Expected(P);
        if (Got == Wanted || (std::isnan(Got) && std::isnan(Wanted)))
            continue;
        if (Differing++ == 0) {
            First = P + 1;
            FirstGot = Got;
            FirstWanted = Wanted;
        }
    }
    EXPECT_EQ(Differing, 0) << "variable " << Var << " differs at " << Differing
                            << " points, first at point " << First << ": " << FirstGot
                            << " instead of " << FirstWanted;
}

// Every file of the public projects' folder (its README aside), then the
// .hdf files of the real files' folder when it is there, each by name.
std::vector<std::string> FilesToCheck() {
    namespace fs = std::filesystem;
    std::vector<std::string> All;
    for (const std::string& Dir : {TestHdf::WorldFilesDir(), TestHdf::RealFilesDir()}) {
        if (!fs::is_directory(Dir))
            continue;
        const bool World = Dir == TestHdf::WorldFilesDir();
        std::vector<std::string> Files;
        for (const fs::directory_entry& Entry : fs::directory_iterator(Dir)) {
            const fs::path& Path = Entry.path();
            if (Entry.is_regular_file() &&
                (World ? Path.filename() != "README.md" : Path.extension() == ".hdf"))
                Files.push_back(Path.string());
        }
        std::sort(Files.begin(), Files.end());
        All.insert(All.end(), Files.begin(), Files.end());
    }
    return All;
}

class ScanWorldFiles : public CatalogueTest {
  protected:
    void SetUp() override {
        CatalogueTest::SetUp();
        if (!std::filesystem::is_directory(TestHdf::WorldFilesDir()))
            GTEST_SKIP() << TestHdf::WorldFilesMissing();
    }

    // The messages shown since Seen of them had been.
    static std::vector<std::string> MessagesSince(size_t Seen) {
        return std::vector<std::string>(Messages().begin() + std::ptrdiff_t(Seen),
                                        Messages().end());
    }

    void CheckFile(const std::string& Path) {
        const std::optional<std::vector<HdfSet>> Sets = HdfSets(Path);
        ASSERT_TRUE(Sets.has_value()) << "HDF4 cannot open or describe the file";
        const ScanOutcome Expected = ExpectedScan(*Sets);
        const StructureVerdict Verdict = CheckHdfStructure(Path.c_str());

        const size_t Seen = Messages().size();
        EXPECT_EQ(Scan(Path), Expected.Messages.empty());
        EXPECT_EQ(MessagesSince(Seen), Expected.Messages)
            << "structure check: " << (Verdict.Sound ? "sound" : Verdict.Rule);
        std::vector<std::string> Listed, ExpectedListed;
        for (int32_t N = 0; N < SdsCount; ++N)
            Listed.push_back(Describe(SdsEntries[N].HdfIndex, SdsEntries[N].Rank,
                                      SdsEntries[N].DataNumberType, SdsEntries[N].DimSizes));
        for (const HdfSet& Set : Expected.Records)
            ExpectedListed.push_back(Describe(Set));
        ASSERT_EQ(Listed, ExpectedListed);

        for (size_t N = 0; N < Expected.Records.size(); ++N) {
            const HdfSet& Set = Expected.Records[N];
            // The loader refuses a scalar and an empty dimension with
            // messages of its own (tests/loader).
            if (Set.Rank >= 1 && Set.Values() > 0 && Set.Values() <= MaxComparedValues)
                CheckLoad(Path, int32_t(N) + 1, Set, Verdict);
        }
    }

    // Loads catalogue record Number (the data set Set) alone, skips 1,1,1.
    void CheckLoad(const std::string& Path, int32_t Number, const HdfSet& Set,
                   const StructureVerdict& Verdict) {
        SCOPED_TRACE("load of " + Describe(Set));
        // Scanned first, as the load dialog has before OK: after "Unknown
        // data type in HDF file" the records before it can be loaded, where
        // a replayed list would scan again and stop.
        Scan(Path);
        const VyrHost::DataSet* Before = VyrHost::CurrentDataSet();
        const std::optional<size_t> ZonesBefore =
            Before != nullptr ? std::optional<size_t>(Before->Zones.size()) : std::nullopt;
        const size_t Seen = Messages().size();
        bool Result = false;
        ASSERT_TRUE(VyrHost::CallLoader(
            "HDF Loader", {"M" + Path, "I1", "J1", "K1", "S" + std::to_string(Number)}, &Result));
        const VyrHost::DataSet* Loaded = VyrHost::CurrentDataSet();

        if (const char* Rule = Verdict.DataRule(Set.Index)) {
            // HDF4 must not read these values: the load ends as a failed
            // read does, before the host's data set is replaced. A data set
            // made by this load would hold no zone, where the one before it
            // (if any) holds the earlier load's.
            SCOPED_TRACE(std::string("values kept from HDF4: ") + Rule);
            EXPECT_FALSE(Result);
            EXPECT_EQ(MessagesSince(Seen), std::vector<std::string>{ReadError});
            EXPECT_EQ(Loaded != nullptr ? std::optional<size_t>(Loaded->Zones.size())
                                        : std::nullopt,
                      ZonesBefore)
                << "the load made a host data set";
            return;
        }
        const ZoneReference Reference = ReadReference(Path, Set, Verdict);
        if (!Reference.Read) {
            // HDF4 itself cannot read them (szip data without its decoder).
            EXPECT_FALSE(Result);
            EXPECT_EQ(MessagesSince(Seen), std::vector<std::string>{ReadError});
            return;
        }
        EXPECT_TRUE(Result);
        EXPECT_EQ(MessagesSince(Seen), std::vector<std::string>());
        ASSERT_NE(Loaded, nullptr);
        ASSERT_EQ(Loaded->Zones.size(), 1u);
        const VyrHost::Zone& Zone = Loaded->Zones[0];
        // I follows the last, fastest-varying HDF dimension.
        const int32_t Rank = Set.Rank;
        const std::vector<int32_t> Extents = {Set.Dims[size_t(Rank) - 1],
                                              Rank >= 2 ? Set.Dims[size_t(Rank) - 2] : 1,
                                              Rank >= 3 ? Set.Dims[0] : 1};
        ASSERT_EQ((std::vector<int32_t>{Zone.IMax, Zone.JMax, Zone.KMax}), Extents);
        ASSERT_EQ(Zone.FieldTypes.size(), size_t(Rank) + 1);

        ExpectVariable(Zone, Rank + 1, [&](int64_t P) { return Reference.Values[size_t(P)]; });
        // "Dimension N" holds the scale of HDF dimension Rank-N at each point.
        for (int32_t Var = 1; Var <= Rank; ++Var) {
            const int32_t D = Rank - Var;
            const std::vector<double>& Scale = Reference.Scales[size_t(D)];
            int64_t Stride = 1;
            for (int32_t Faster = D + 1; Faster < Rank; ++Faster)
                Stride *= Set.Dims[size_t(Faster)];
            ExpectVariable(Zone, Var, [&](int64_t P) {
                return Scale[size_t(P / Stride % Set.Dims[size_t(D)])];
            });
        }
    }
};

// Each file either lists exactly the data sets HDF4 reports that the add-on
// converts, or fails with the one message its contents call for; and each
// listed data set loads to the values and scales HDF4 reads, unless the
// structure check keeps its values from HDF4.
TEST_F(ScanWorldFiles, EachFileListsWhatHdf4ReportsAndLoadsWhatHdf4Reads) {
    const std::vector<std::string> Files = FilesToCheck();
    ASSERT_FALSE(Files.empty()) << "no files in " << TestHdf::WorldFilesDir();
    for (const std::string& Path : Files) {
        SCOPED_TRACE(std::filesystem::path(Path).filename().string());
        CheckFile(Path);
    }
}

} // namespace
