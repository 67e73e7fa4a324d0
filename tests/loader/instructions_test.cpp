// The loader instruction list: the text written for a load, every written
// list reading back to the same choices, how odd items are read, and the
// replay of a list that a completed load recorded with the host.
#include "catalogue/file_scan.h"
#include "failable_calls.h"
#include "interface/addon_state.h"
#include "loader/load_hdf_data.h"
#include "loader/loader_instructions.h"
#include "loader_fixture.h"
#include "support/hdf_writer.h"

#include <hdf/mfhdf.h>

#include <climits>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> ListItems(VyrStringList_pa List) {
    std::vector<std::string> Items;
    const int32_t Count = VyrUtilStringListGetCount(List);
    for (int32_t Index = 1; Index <= Count; ++Index) {
        char* Item = VyrUtilStringListGetString(List, Index);
        Items.emplace_back(Item != nullptr ? Item : "<null>");
        VyrUtilStringDealloc(&Item);
    }
    return Items;
}

VyrStringList_pa MakeList(const std::vector<std::string>& Items) {
    VyrStringList_pa List = VyrUtilStringListAlloc();
    for (const std::string& Item : Items)
        VyrUtilStringListAppendString(List, Item.c_str());
    return List;
}

// The add-on's choices: the file, the skips and the selected data sets.
struct Choices {
    std::string Path;
    int32_t I = 1, J = 1, K = 1;
    std::vector<int32_t> Sds;
};

void SetChoices(const Choices& C) {
    snprintf(FileName, FileNameSize, "%s", C.Path.c_str());
    ISkip = C.I;
    JSkip = C.J;
    KSkip = C.K;
    VyrUtilSetClear(SelectedSds);
    for (int32_t Number : C.Sds)
        VyrUtilSetAddMember(SelectedSds, Number, false);
}

// The add-on's choices are exactly these.
void ExpectChoices(const Choices& C) {
    EXPECT_EQ(std::string(FileName), C.Path);
    EXPECT_EQ(ISkip, C.I);
    EXPECT_EQ(JSkip, C.J);
    EXPECT_EQ(KSkip, C.K);
    EXPECT_EQ(SelectedNumbers(), C.Sds);
}

// ---- Writing -----------------------------------------------------------------------

TEST_F(LoaderTest, WrittenListOfTheExampleLoadHasSixItemsInOrder) {
    SetChoices({"/data/run 7/p.hdf", 1, 2, 1, {3, 1}});
    VyrStringList_pa List = BuildLoaderInstructions();
    ASSERT_NE(List, nullptr);
    EXPECT_EQ(ListItems(List),
              (std::vector<std::string>{"M/data/run 7/p.hdf", "I1", "J2", "K1", "S1", "S3"}));
    VyrUtilStringListDealloc(&List);
}

struct RoundTripCase {
    const char* Name;
    Choices Written;
};

void PrintTo(const RoundTripCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

std::vector<int32_t> ManyNumbers(int32_t Count) {
    std::vector<int32_t> Numbers;
    for (int32_t N = 1; N <= Count; ++N)
        Numbers.push_back(N * 3);
    return Numbers;
}

class RoundTripTest : public LoaderTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTripTest, WrittenListReadsBackToTheSameChoices) {
    const RoundTripCase& C = GetParam();
    SetChoices(C.Written);
    VyrStringList_pa List = BuildLoaderInstructions();
    ASSERT_NE(List, nullptr);
    SetChoices({"/somewhere/else.hdf", 7, 8, 9, {99}});

    EXPECT_TRUE(ParseLoaderInstructions(List)) << Joined(Messages());
    VyrUtilStringListDealloc(&List);
    ExpectChoices(C.Written);
    EXPECT_TRUE(Messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lists, RoundTripTest,
    ::testing::Values(
        RoundTripCase{"ShortPath", {"/data/a.hdf", 1, 2, 1, {1, 3}}},
        RoundTripCase{"LongestPath", {"/" + std::string(9998, 'q'), 3, 1, 4, {2}}},
        RoundTripCase{"LongestPathWithManyDataSets",
                      {std::string(9999, 'r'), 1, 1, 1, ManyNumbers(5000)}},
        RoundTripCase{"PathWithBlanksAndALineBreak", {" /odd dir/\nname M.hdf ", 2, 2, 2, {1}}},
        RoundTripCase{"LargestSkips", {"/x.hdf", INT32_MAX, INT32_MAX, INT32_MAX, {INT32_MAX}}},
        RoundTripCase{"EmptyPathNoDataSets", {"", 1, 1, 1, {}}}),
    [](const ::testing::TestParamInfo<RoundTripCase>& Info) {
        return std::string(Info.param.Name);
    });

// ---- Reading ---------------------------------------------------------------------------

struct ReadCase {
    const char* Name;
    std::vector<std::string> Items;
    bool Accepted;
    Choices After;
    std::vector<std::string> Messages;
};

void PrintTo(const ReadCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class ReadListTest : public LoaderTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadListTest, SetsFileNameSkipsAndSelectionAsTheItemsSay) {
    const ReadCase& C = GetParam();
    SetChoices({"/before.hdf", 5, 5, 5, {42}});
    VyrStringList_pa List = MakeList(C.Items);

    EXPECT_EQ(ParseLoaderInstructions(List), C.Accepted);
    EXPECT_EQ(ListItems(List), C.Items); // the list is read, not changed
    VyrUtilStringListDealloc(&List);
    ExpectChoices(C.After);
    EXPECT_EQ(Messages(), C.Messages);
}

const std::string Path9999 = "/" + std::string(9998, 'z');
const char* const NotInFile = "Selected data set is not in this HDF file";
const char* const TooLong = "File path is too long";
const int32_t Max = INT32_MAX;

// Each case: name; items; accepted; the choices after; messages.
// clang-format off
const std::vector<ReadCase> ReadCases = {
    {"SkipsBelowOneOrWithoutDigitsBecomeOne", {"I0", "J-3", "Kx"}, true, {}, {}},
    {"NumbersReadLikeAtoi", {"I  +12abc", "J\t7", "K3x9", "S 0004"}, true, {"", 12, 7, 3, {4}}, {}},
    {"NumbersBeyond32BitsHeldAtTheLimit", {"I99999999999", "J-99999999999", "K2147483648"},
        true, {"", Max, 1, Max, {}}, {}},
    {"FTakesTheWholeNextItemEvenWhenItBeginsWithM", {"F", "Mdir/file I2.hdf", "I2"},
        true, {"Mdir/file I2.hdf", 2, 1, 1, {}}, {}},
    {"FAsTheLastItemChangesNothing", {"M/a.hdf", "J4", "F"}, true, {"/a.hdf", 1, 4, 1, {}}, {}},
    {"LaterPathAndSkipsReplaceEarlierOnesSelectionsAccumulate",
        {"M/a.hdf", "I3", "S3", "F", "/b.hdf", "I2", "S1", "S3", "M/c.hdf"},
        true, {"/c.hdf", 2, 1, 1, {1, 3}}, {}},
    {"UnknownCodesAndEmptyItemsChangeNothing",
        {"", "X/x.hdf", "m/lower.hdf", "s5", "i9", " S6", "#S7", "S2"},
        true, {"", 1, 1, 1, {2}}, {}},
    {"EmptyListResetsTheChoices", {}, true, {}, {}},
    {"PathOf9999CharactersIsKept", {"M" + Path9999}, true, {Path9999, 1, 1, 1, {}}, {}},
    {"PathOf10000CharactersIsRefusedNotCut", {"M" + Path9999 + "x", "I2", "S1"},
        false, {"", 2, 1, 1, {1}}, {TooLong}},
    {"DataSetNumberZeroIsRefused", {"M/a.hdf", "S0", "S2"}, false, {"/a.hdf", 1, 1, 1, {2}},
        {NotInFile}},
    {"TwoFaultsShowOneMessage", {"S-4", "M" + Path9999 + "yy"}, false, {}, {NotInFile}},
    {"TwoFaultsShowTheOneMetFirst", {"M" + Path9999 + "yy", "S-4"}, false, {}, {TooLong}},
    // The path that stands after the whole list is the one loaded.
    {"LaterMReplacesAPathThatWasTooLong", {"M" + Path9999 + "x", "M/good.hdf", "S1"},
        true, {"/good.hdf", 1, 1, 1, {1}}, {}},
    {"LaterFReplacesAPathAfterFThatWasTooLong", {"F", Path9999 + "x", "I2", "F", "/b.hdf"},
        true, {"/b.hdf", 2, 1, 1, {}}, {}},
    {"TooLongPathAfterAGoodOneIsRefused", {"M/a.hdf", "S1", "M" + Path9999 + "x"},
        false, {"", 1, 1, 1, {1}}, {TooLong}},
    {"FAsTheLastItemLeavesATooLongPathRefused", {"M" + Path9999 + "x", "F"},
        false, {}, {TooLong}},
    {"ReplacedPathLeavesANumberBelowOneRefused", {"M" + Path9999 + "x", "S0", "M/a.hdf"},
        false, {"/a.hdf", 1, 1, 1, {}}, {NotInFile}},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Odd, ReadListTest, ::testing::ValuesIn(ReadCases),
                         [](const ::testing::TestParamInfo<ReadCase>& Info) {
                             return std::string(Info.param.Name);
                         });

// ---- The loader function ------------------------------------------------------------------

TEST_F(LoaderTest, ReplayOfARecordedListRebuildsTheSameDataSet) {
    const std::string Path = TestHdf::TempPath("replay.hdf");
    TestHdf::Write(Path, {MakeSet("a", DFNT_FLOAT32, {3, 7}), MakeSet("b", DFNT_INT8, {9}),
                          MakeSet("c", DFNT_UINT16, {4, 5})});
    // The load dialog's way: the choices written into a list, then loaded.
    // The dialog holds the host lock while it scans and loads.
    VyrUtilLockStart(AddOnID);
    SetChoices({Path, 2, 2, 1, {1, 3}});
    ASSERT_TRUE(ScanHdfFile());
    VyrStringList_pa List = BuildLoaderInstructions();
    ASSERT_NE(List, nullptr);
    FailableCalls::ResetCounts();
    EXPECT_TRUE(LoadHdfData(List));
    VyrUtilStringListDealloc(&List);
    VyrUtilLockFinish(AddOnID);
    // The dialog's catalogue served: the file was opened for the data only.
    EXPECT_EQ(FailableCalls::Get().FilesOpened, 1);
    const std::optional<std::vector<std::string>> Recorded =
        VyrHost::RecordedInstructions("HDF Loader");
    ASSERT_TRUE(Recorded.has_value());
    EXPECT_EQ(*Recorded, Items(Path, 2, 2, 1, {1, 3}));
    ASSERT_NE(VyrHost::CurrentDataSet(), nullptr);
    const VyrHost::DataSet First = *VyrHost::CurrentDataSet();
    ASSERT_EQ(First.Zones.size(), 2u);

    // Later, with other choices in the add-on, the host replays the record.
    SetChoices({"/other.hdf", 5, 5, 5, {2}});
    ASSERT_TRUE(Replay(*Recorded)) << Joined(Messages());
    const VyrHost::DataSet& Second = *VyrHost::CurrentDataSet();
    EXPECT_EQ(Second.Title, First.Title);
    EXPECT_EQ(Second.VarNames, First.VarNames);
    ASSERT_EQ(Second.Zones.size(), First.Zones.size());
    for (size_t Z = 0; Z < First.Zones.size(); ++Z) {
        EXPECT_EQ(Second.Zones[Z].Name, First.Zones[Z].Name);
        EXPECT_EQ(Second.Zones[Z].IMax, First.Zones[Z].IMax);
        EXPECT_EQ(Second.Zones[Z].JMax, First.Zones[Z].JMax);
        EXPECT_EQ(Second.Zones[Z].FieldTypes, First.Zones[Z].FieldTypes);
        EXPECT_EQ(Second.Zones[Z].Storage, First.Zones[Z].Storage);
    }
    EXPECT_EQ(Second.Zones[1].IMax, 3); // 5 by skip 2: 1, 3, 5
    ExpectChoices({Path, 2, 2, 1, {1, 3}});
    EXPECT_EQ(VyrHost::RecordedInstructions("HDF Loader"), Recorded);
    ExpectLoadLeftNothingHeld();

    // Led by a path too long to hold, which the recorded "M" then replaces,
    // the list loads the same data set again.
    std::vector<std::string> Led = *Recorded;
    Led.insert(Led.begin(), "M/" + std::string(FileNameSize, 'l'));
    ASSERT_TRUE(Replay(Led)) << Joined(Messages());
    ASSERT_EQ(VyrHost::CurrentDataSet()->Zones.size(), 2u);
    EXPECT_EQ(VyrHost::CurrentDataSet()->Zones[1].IMax, 3);
    ExpectChoices({Path, 2, 2, 1, {1, 3}});
    EXPECT_EQ(VyrHost::RecordedInstructions("HDF Loader"), Led);
    ExpectLoadLeftNothingHeld();
}

} // namespace
