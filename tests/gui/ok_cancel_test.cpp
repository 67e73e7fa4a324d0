// The load dialog's OK and Cancel: the two checks that keep the dialog up,
// the load through the loader function, "Error reading file" after a failed
// load, and the catalogue and lock left behind by each ending.
#include "gui_session.h"
#include "support/addon_fixture.h"

using namespace GuiSession;

namespace {

class OkAndCancel : public AddOnTest {};

TEST_F(OkAndCancel, OkWithoutAFileSaysOnlyPleaseSelectAFile) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Ok());
    EXPECT_EQ(VyrHost::ErrorMessages(), std::vector<std::string>{"Please select a file"});
    EXPECT_EQ(TopTitle(), "HDF Loader");
    EXPECT_EQ(VyrHost::LockDepth(), 1);
    EXPECT_EQ(VyrHost::CurrentDataSet(), nullptr);
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

TEST_F(OkAndCancel, OkLoadsTheSelectionAndRecordsItForReplay) {
    const std::string Path = WriteRanks321("ok.hdf");
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ChooseFile(Path));
    ASSERT_TRUE(Select({2}));
    ASSERT_TRUE(Type("J-Skip:", "2"));
    ASSERT_TRUE(Ok());

    EXPECT_TRUE(VyrHost::ErrorMessages().empty());
    ASSERT_NE(VyrHost::CurrentDataSet(), nullptr);
    ASSERT_EQ(VyrHost::CurrentDataSet()->Zones.size(), 1u);
    EXPECT_EQ(VyrHost::CurrentDataSet()->Zones[0].IMax, 8);
    EXPECT_EQ(VyrHost::CurrentDataSet()->Zones[0].JMax, 4);
    EXPECT_EQ(VyrHost::RecordedInstructions("HDF Loader"),
              (std::vector<std::string>{"M" + Path, "I1", "J2", "K1", "S2"}));
    EXPECT_EQ(SdsCount, 0);
    // The choices of the load stay until the next launch.
    EXPECT_EQ(std::string(FileName), Path);
    EXPECT_EQ(SelectedNumbers(), std::vector<int32_t>{2});
    EXPECT_TRUE(SessionClosed());
}

// A load that fails, in the host or in HDF4 (this Debian HDF4 cannot decode
// the real file's szip data set), or that the loader refuses, is followed by
// "Error reading file".
TEST_F(OkAndCancel, FailedLoadIsFollowedByErrorReadingFile) {
    struct Case {
        const char* What;
        std::optional<std::string> Path; // none: a real file, and the folder is absent
        int32_t Item;
        bool FailDataSetCreate;
        const char* Failure; // the failure's own message, before "Error reading file"
    };
    const std::vector<TestHdf::DataSet> Ranks = TestHdf::RanksThreeTwoOne();
    const Case Cases[] = {
        {"host cannot create the data set", WriteRanks321("failing.hdf"), 1, true,
         "Could not create data set"},
        {"szip data set", TestHdf::RealFile("compressed-gzip-skiphuff-szip.hdf"), 3, false,
         "Error reading HDF Dataset"},
        {"data set without dimensions",
         TestHdf::WriteTemp("scalar-among.hdf", {Ranks[2], TestHdf::DataSet(), Ranks[1]}), 2, false,
         "Selected data set has no dimensions to load"},
    };
    bool RealFileSkipped = false;
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        if (!C.Path) {
            RealFileSkipped = true;
            continue;
        }
        const size_t Before = VyrHost::ErrorMessages().size();
        ASSERT_TRUE(Launch());
        ASSERT_TRUE(ChooseFile(*C.Path));
        ASSERT_EQ(ListLines().size(), 3u);
        ASSERT_TRUE(Select({C.Item}));
        if (C.FailDataSetCreate)
            VyrHost::FailNth(VyrHost::FailPoint::DataSetCreate, 1);
        ASSERT_TRUE(Ok());
        EXPECT_EQ(std::vector<std::string>(VyrHost::ErrorMessages().begin() + Before,
                                           VyrHost::ErrorMessages().end()),
                  (std::vector<std::string>{C.Failure, "Error reading file"}));
        EXPECT_FALSE(VyrHost::RecordedInstructions("HDF Loader").has_value());
        EXPECT_EQ(SdsCount, 0);
        EXPECT_TRUE(SessionClosed());
    }
    if (RealFileSkipped)
        GTEST_SKIP() << "the written files' cases ran; " << TestHdf::RealFilesMissing();
}

TEST_F(OkAndCancel, CancelAfterAScanEmptiesTheCatalogue) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ChooseFile(WriteRanks321("cancel.hdf")));
    ASSERT_TRUE(Select({1}));
    ASSERT_EQ(SdsCount, 3);
    ASSERT_TRUE(Cancel());
    EXPECT_EQ(SdsCount, 0);
    EXPECT_EQ(VyrHost::CurrentDataSet(), nullptr);
    EXPECT_FALSE(VyrHost::RecordedInstructions("HDF Loader").has_value());
    EXPECT_TRUE(VyrHost::ErrorMessages().empty());
    EXPECT_TRUE(SessionClosed());
}

} // namespace
