// The scan when the C runtime fails it, or when HDF4 reports what only a
// damaged or crafted file holds: one message, no crash, no buffer written out
// of bounds, nothing left open or outstanding, and no record pointing at a
// buffer that was not filled. Each HDF4 call and host buffer that fails a
// scan is the failure sweep's (tests/loader/load_endings_test.cpp).
#include "catalogue_fixture.h"
#include "support/fuzz_regressions.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using ScanFaults = CatalogueTest;
using HdfFault::Call;
using TestHdf::DataSet;

const char* const NoMemory = "Not enough memory to read this HDF file.";
const char* const Unreadable = "Unable to read a Scientific Data Set in this HDF file";

// Three data sets with file scales and index scales: 2 + 3 + 1 scale buffers.
std::string ThreeSets() {
    DataSet A = Set({4, 3});
    A.Scales = {{22, {1, 2, 3, 4}}};
    DataSet B = Set({2, 3, 4}, 24);
    B.Scales = {{}, {6, {0.5, 1.5, 2.5}}, {21, {9, 8, 7, 6}}};
    return TestHdf::WriteTemp("three.hdf", {A, B, Set({5})});
}

// Expects one failure message since the First message, and an empty
// catalogue with every scale buffer given back.
void ExpectFailedWith(size_t First, const std::string& Message) {
    const std::vector<std::string>& All = VyrHost::ErrorMessages();
    EXPECT_EQ(std::vector<std::string>(All.begin() + std::min(First, All.size()), All.end()),
              std::vector<std::string>{Message});
    EXPECT_EQ(SdsCount, 0);
    EXPECT_EQ(ScaleBuffersOutstanding(), 0);
}

TEST_F(ScanFaults, RecordsThatCannotBeResizedFailTheScanAndKeepTheOldArray) {
    const std::string Path = ThreeSets();
    ASSERT_TRUE(Scan(Path));
    HdfFault::FailNth(Call::Realloc, 1);
    EXPECT_FALSE(Scan(Path));
    EXPECT_EQ(HdfFault::Calls(Call::Realloc), 1);
    ExpectFailedWith(0, NoMemory);
    ASSERT_NE(SdsEntries, nullptr);
    HdfFault::FailNth(Call::Realloc, 0);
    EXPECT_TRUE(Scan(Path));
    EXPECT_EQ(SdsCount, 3);
}

TEST_F(ScanFaults, ScaleSizesBeyondTheHostsByteCountFailTheScanWithoutAllocating) {
    // Extents a crafted file can claim; ScaleElemSize times the extent does
    // not fit the host's 32-bit byte count.
    struct Case {
        const char* What;
        int32_t Extent;
        int32_t ScaleType; // 0: no scale, so the index scale of 4-byte values
    };
    const Case Cases[] = {
        {"float64 scale", 300000000, 6},
        {"index scale", 600000000, 0},
        {"largest extent", 2147483647, 0},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        DataSet S = Set({3});
        if (C.ScaleType != 0)
            S.Scales = {{C.ScaleType, {1, 2, 3}}};
        const std::string Path = TestHdf::WriteTemp(std::string(C.What) + ".hdf", {S});
        const size_t First = Messages().size();
        HdfFault::OnGetInfo([&](char*, int32_t*, int32_t* Dims, int32_t*) {
            if (Dims != nullptr)
                Dims[0] = C.Extent;
        });
        HdfFault::OnDimInfo([&](char*, int32_t* Extent, int32_t*) { *Extent = C.Extent; });
        HdfFault::FailNth(Call::SDgetdimscale, 0); // counts from here
        EXPECT_FALSE(Scan(Path));
        ExpectFailedWith(First, NoMemory);
        EXPECT_EQ(HdfFault::Calls(Call::SDgetdimscale), 0);
    }
}

TEST_F(ScanFaults, ANegativeExtentMakesTheDataSetUnreadable) {
    const std::string Path = TestHdf::WriteTemp("negative.hdf", {Set({3, 4}), Set({3, 4})});
    HdfFault::OnGetInfo([](char* Name, int32_t*, int32_t* Dims, int32_t*) {
        if (Dims != nullptr && std::string(Name) == "sds1")
            Dims[1] = -4;
    });
    EXPECT_FALSE(Scan(Path));
    ExpectFailedWith(0, Unreadable);
}

// Rank 40 is passed over; rank 0, a scalar, is stored with extents of 1.
TEST_F(ScanFaults, RanksOutsideOneToThirtyTwoAreReadWithoutAskingForExtents) {
    const std::string Path =
        TestHdf::WriteTemp("ranks.hdf", {Set({3, 4}), Set({3, 4}), Set({3, 4})});
    HdfFault::OnGetInfo([](char* Name, int32_t* Rank, int32_t*, int32_t*) {
        if (std::string(Name) == "sds0")
            *Rank = 40; // SDgetinfo would write 40 extents
        if (std::string(Name) == "sds2")
            *Rank = 0;
    });
    ASSERT_TRUE(Scan(Path));
    EXPECT_FALSE(HdfFault::ExtentsOverrun()) << "a 32-slot array was handed over for rank 40";
    ASSERT_EQ(SdsCount, 2);
    EXPECT_EQ(SdsEntries[0].HdfIndex, 1);
    EXPECT_EQ(SdsEntries[1].HdfIndex, 2);
    EXPECT_EQ(SdsEntries[1].Rank, 0);
    EXPECT_EQ(std::vector<int32_t>(SdsEntries[1].DimSizes, SdsEntries[1].DimSizes + 3),
              (std::vector<int32_t>{1, 1, 1}));
}

TEST_F(ScanFaults, NamesOfTheLongestLengthAFileCanStoreAreReceivedWhole) {
    DataSet S = Set({3, 4});
    S.Scales = {{5, {1, 2, 3}}};
    const std::string Path = TestHdf::WriteTemp("long-names.hdf", {S});
    // HDF4 copies names without a bound; a name has a 16-bit length.
    auto LongName = [](char* Name) {
        std::memset(Name, 'n', 65535);
        Name[65535] = '\0';
    };
    HdfFault::OnGetInfo([&](char* Name, int32_t*, int32_t*, int32_t*) { LongName(Name); });
    HdfFault::OnDimInfo([&](char* Name, int32_t*, int32_t*) { LongName(Name); });
    ASSERT_TRUE(Scan(Path));
    ASSERT_EQ(SdsCount, 1);
    EXPECT_EQ(ScaleValues(SdsEntries[0], 0), (std::vector<double>{1, 2, 3}));
}

TEST_F(ScanFaults, EveryFileThatFuzzingTurnedUpEndsTheScanWithAMessageOrARecord) {
    // Each made HDF4 4.2.15 crash, hang or exhaust memory (tools/fuzz.sh)
    // before the structure check refused such files; a crash here ends the
    // test program. A good file scans afterwards, so nothing HDF4 keeps
    // between files was left broken. The loads are the host program tests'.
    const std::vector<std::string> Files = TestHdf::FuzzRegressionFiles();
    ASSERT_FALSE(Files.empty());
    const std::string Good = ThreeSets();
    for (const std::string& Path : Files) {
        SCOPED_TRACE(Path);
        // Twice: the second scan meets what HDF4 kept from the first (static
        // buffers, open file records) and must end the same way.
        bool Listed[2] = {false, false};
        for (bool& Outcome : Listed) {
            const size_t First = Messages().size();
            Outcome = Scan(Path);
            if (Outcome) {
                EXPECT_EQ(Messages().size(), First);
                EXPECT_GE(SdsCount, 1);
            } else {
                EXPECT_GT(Messages().size(), First);
            }
            FreeSdsEntries();
            EXPECT_EQ(ScaleBuffersOutstanding(), 0);
        }
        EXPECT_EQ(Listed[0], Listed[1]);
        ASSERT_TRUE(Scan(Good));
        EXPECT_EQ(SdsCount, 3);
        FreeSdsEntries();
    }
}

} // namespace
