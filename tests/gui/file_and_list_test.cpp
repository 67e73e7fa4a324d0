// Choosing a file in the load dialog and selecting its data sets: the list
// lines, the one-rank rule, and what a failed, refused, cancelled or second
// file choice does to the file name, the list and the selection.
#include "gui/data_set_list.h"
#include "gui/select_file.h"
#include "gui_session.h"
#include "support/addon_fixture.h"

#include <climits>
#include <cstring>

using namespace GuiSession;

namespace {

class FileAndList : public AddOnTest {};

// Two rank-2 data sets, then one of rank 3.
std::string WriteTwoRank2OneRank3(const std::string& FileName) {
    const std::string Path = TestHdf::TempPath(FileName);
    TestHdf::DataSet A, B, C;
    A.Name = "a";
    A.Dims = {2, 3};
    B.Name = "b";
    B.Dims = {3, 2};
    C.Name = "c";
    C.Dims = {2, 2, 2};
    TestHdf::Write(Path, {A, B, C});
    return Path;
}

// Files written here and by other HDF4 writers (no labels there): rank,
// label (the longest one whole) and extents fastest first; the file's name
// shown and kept, the data set controls made sensitive.
TEST_F(FileAndList, ListShowsRankLabelAndExtentsFastestFirst) {
    TestHdf::DataSet Long;
    Long.Label = std::string(SdsTextLen, 'L');
    Long.Dims = {2, 3, 4};
    TestHdf::DataSet Scalar, Vector;
    Scalar.Label = "s";
    Vector.Dims = {3};
    // No path: a real file, and the folder is absent.
    const std::pair<std::optional<std::string>, std::vector<std::string>> Cases[] = {
        {WriteRanks321("ranks.hdf"), {"(3) t (6x5x4)", "(2) p (8x7)", "(1)  (9)"}},
        {TestHdf::WriteTemp("long-label.hdf", {Long}), {"(3) " + Long.Label + " (4x3x2)"}},
        // a scalar keeps its place, so that item k stays catalogue number k
        {TestHdf::WriteTemp("scalars.hdf", {Scalar, Vector, Scalar}),
         {"(0) s ()", "(1)  (3)", "(0) s ()"}},
        {TestHdf::RealFile("int8-rank3-with-scales.hdf"), {"(3)  (4x3x2)"}},
        {TestHdf::RealFile("int32-ranks-1-2-3.hdf"), {"(3)  (3x2x5)", "(2)  (3x5)", "(1)  (5)"}},
    };
    bool RealFileSkipped = false;
    for (const auto& [MaybePath, Lines] : Cases) {
        if (!MaybePath) {
            RealFileSkipped = true;
            continue;
        }
        const std::string& Path = *MaybePath;
        SCOPED_TRACE(Path);
        ASSERT_TRUE(Launch());
        ASSERT_TRUE(ChooseFile(Path));
        EXPECT_EQ(ListLines(), Lines);
        EXPECT_EQ(ControlOf(FileNameLabel).Text, Path);
        EXPECT_EQ(std::string(FileName), Path);
        EXPECT_EQ(std::string(DefaultFileName), Path);
        for (int32_t Id : DataSetControls())
            EXPECT_TRUE(ControlOf(Id).Sensitive) << "control " << Id;
        EXPECT_TRUE(VyrHost::ErrorMessages().empty());
        ASSERT_TRUE(Cancel());
        EXPECT_TRUE(SessionClosed());
    }
    if (RealFileSkipped)
        GTEST_SKIP() << "the written files' cases ran; " << TestHdf::RealFilesMissing();
}

// Lines no HDF file written here can produce: widest extents, and a rank
// that the library might report below 1.
TEST(ListLine, FitsWidestExtentsAndShowsRankBelowOneWithoutExtents) {
    struct Case {
        int32_t Rank;
        std::vector<int32_t> Dims;
        std::string Label, Line;
    };
    const std::string Longest(SdsTextLen, 'x');
    const std::vector<Case> Cases = {
        {3,
         {INT_MIN, INT_MIN, INT_MIN},
         Longest,
         "(3) " + Longest + " (-2147483648x-2147483648x-2147483648)"},
        {2, {INT_MAX, 1}, Longest, "(2) " + Longest + " (1x2147483647)"},
        {1, {0}, "", "(1)  (0)"},
        {0, {}, "scalar", "(0) scalar ()"},
        {-1, {}, "", "(-1)  ()"},
    };
    for (const Case& Each : Cases) {
        SdsEntry Entry;
        std::memset(&Entry, 0, sizeof Entry);
        Entry.Rank = Each.Rank;
        for (size_t Dim = 0; Dim < Each.Dims.size(); ++Dim)
            Entry.DimSizes[Dim] = Each.Dims[Dim];
        std::memcpy(Entry.Label, Each.Label.c_str(), Each.Label.size() + 1);
        char Line[ListLineSize];
        FormatListLine(Entry, Line);
        EXPECT_EQ(std::string(Line), Each.Line);
    }
}

TEST_F(FileAndList, SelectionOfOneRankFillsTheSetAndMixedRanksAreRefused) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ChooseFile(WriteTwoRank2OneRank3("mixed.hdf")));
    ASSERT_TRUE(Select({1, 2}));
    EXPECT_EQ(SelectedNumbers(), (std::vector<int32_t>{1, 2}));
    EXPECT_TRUE(VyrHost::ErrorMessages().empty());

    ASSERT_TRUE(Select({1, 2, 3}));
    EXPECT_EQ(VyrHost::ErrorMessages(),
              std::vector<std::string>{"Invalid Selection: Data sets must have the same rank."});
    EXPECT_TRUE(SelectedNumbers().empty());
    EXPECT_TRUE(ListSelection().empty());

    ASSERT_TRUE(Select({3}));
    EXPECT_EQ(SelectedNumbers(), std::vector<int32_t>{3});
    ASSERT_TRUE(Select({}));
    EXPECT_TRUE(SelectedNumbers().empty());
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

TEST_F(FileAndList, NonHdfFileAfterAGoodOneEmptiesEverything) {
    const std::string Text = TestHdf::TempPath("not-hdf.hdf");
    TestHdf::WriteText(Text, "plain text, not HDF\n");
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ChooseFile(WriteRanks321("good-first.hdf")));
    ASSERT_TRUE(Select({2}));
    ASSERT_TRUE(ChooseFile(Text));

    EXPECT_EQ(VyrHost::ErrorMessages(), std::vector<std::string>{"Not a valid HDF File"});
    EXPECT_TRUE(ListLines().empty());
    for (int32_t Id : DataSetControls())
        EXPECT_FALSE(ControlOf(Id).Sensitive) << "control " << Id;
    EXPECT_EQ(ControlOf(FileNameLabel).Text, "<<No File Selected>>");
    EXPECT_STREQ(FileName, "");
    EXPECT_EQ(SdsCount, 0);
    EXPECT_TRUE(SelectedNumbers().empty());
    // The file dialog still starts at the last file chosen.
    EXPECT_EQ(std::string(DefaultFileName), Text);

    ASSERT_TRUE(Ok());
    EXPECT_EQ(VyrHost::ErrorMessages().back(), "Please select a file");
    EXPECT_EQ(TopTitle(), "HDF Loader");
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

TEST_F(FileAndList, SecondFileDropsTheSelectionOfTheFirst) {
    const std::string Second = WriteTwoRank2OneRank3("second.hdf");
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ChooseFile(WriteRanks321("first.hdf")));
    ASSERT_TRUE(Select({1}));
    ASSERT_TRUE(ChooseFile(Second));
    EXPECT_TRUE(SelectedNumbers().empty());
    EXPECT_TRUE(ListSelection().empty());
    EXPECT_EQ(ListLines(), (std::vector<std::string>{"(2)  (3x2)", "(2)  (2x3)", "(3)  (2x2x2)"}));

    ASSERT_TRUE(Ok());
    EXPECT_EQ(VyrHost::ErrorMessages(),
              std::vector<std::string>{"Please select at least one DataSet"});
    EXPECT_EQ(TopTitle(), "HDF Loader");
    EXPECT_EQ(VyrHost::LockDepth(), 1);
    EXPECT_EQ(SdsCount, 3); // the refused OK keeps the catalogue

    ASSERT_TRUE(Select({3}));
    ASSERT_TRUE(Ok());
    EXPECT_EQ(VyrHost::ErrorMessages().size(), 1u);
    ASSERT_NE(VyrHost::CurrentDataSet(), nullptr);
    ASSERT_EQ(VyrHost::CurrentDataSet()->Zones.size(), 1u);
    const VyrHost::Zone& Loaded = VyrHost::CurrentDataSet()->Zones[0];
    EXPECT_EQ(Loaded.IMax * Loaded.JMax * Loaded.KMax, 8);
    EXPECT_EQ(Loaded.KMax, 2);
    EXPECT_TRUE(SessionClosed());
}

TEST_F(FileAndList, CancelledFileDialogChangesNothing) {
    const std::string Path = WriteRanks321("kept.hdf");
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ChooseFile(Path));
    ASSERT_TRUE(Select({2}));
    const std::vector<std::string> Lines = ListLines();

    ASSERT_TRUE(ChooseFile(std::nullopt));
    EXPECT_EQ(VyrHost::LastFileDialogDefault(), Path);
    EXPECT_EQ(std::string(FileName), Path);
    EXPECT_EQ(std::string(DefaultFileName), Path);
    EXPECT_EQ(ListLines(), Lines);
    EXPECT_EQ(ListSelection(), std::vector<int32_t>{2});
    EXPECT_EQ(SelectedNumbers(), std::vector<int32_t>{2});
    EXPECT_EQ(ControlOf(FileNameLabel).Text, Path);
    EXPECT_EQ(SdsCount, 3);
    EXPECT_TRUE(VyrHost::ErrorMessages().empty());
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

// FileName holds 9999 characters: a longer path is refused whole rather
// than cut into the name of some other file.
struct PathCase {
    size_t Length;
    bool Taken;
};
void PrintTo(const PathCase& Case, std::ostream* Out) {
    *Out << Case.Length << " characters, " << (Case.Taken ? "taken" : "refused");
}

class ChosenPathLength : public AddOnTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(ChosenPathLength, PathLongerThanTheFileNameBufferIsRefusedNotCut) {
    const std::string Good = WriteRanks321("before-long.hdf");
    const std::string Long = "/" + std::string(GetParam().Length - 1, 'd');
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ChooseFile(Good));
    ASSERT_TRUE(ChooseFile(Long));
    // A path that fits is taken and scanned; the scan cannot open it.
    const std::string Message =
        GetParam().Taken ? "File does not exist" : std::string(PathTooLongText);
    EXPECT_EQ(VyrHost::ErrorMessages(), std::vector<std::string>{Message});
    EXPECT_EQ(std::string(DefaultFileName), GetParam().Taken ? Long : Good);
    EXPECT_STREQ(FileName, "");
    EXPECT_EQ(SdsCount, 0);
    EXPECT_TRUE(ListLines().empty());
    EXPECT_EQ(ControlOf(FileNameLabel).Text, "<<No File Selected>>");
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

INSTANTIATE_TEST_SUITE_P(AroundTheBufferSize, ChosenPathLength,
                         ::testing::Values(PathCase{FileNameSize - 1, true},
                                           PathCase{FileNameSize, false},
                                           PathCase{FileNameSize + 500, false}),
                         [](const ::testing::TestParamInfo<PathCase>& Info) {
                             return "Length" + std::to_string(Info.param.Length);
                         });

} // namespace
