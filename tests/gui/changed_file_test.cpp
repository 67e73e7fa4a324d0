// A file rewritten on disk between its scan (Select File...) and OK: the
// catalogue describes the old data sets, so the conversion must not read the
// new ones into buffers sized from the old records.
#include "gui_session.h"
#include "support/addon_fixture.h"

using namespace GuiSession;

namespace {

class ChangedFile : public AddOnTest {
  protected:
    // Scans a small int8 data set, rewrites the file as Rewritten while the
    // dialog is up, then presses OK.
    void LoadAfterRewrite(TestHdf::DataSet Rewritten) {
        TestHdf::DataSet Small;
        Small.NumberType = 20; // int8: one byte a value
        Small.Dims = {4, 5};
        const std::string Path = TestHdf::TempPath("changing.hdf");
        TestHdf::Write(Path, {Small});
        ASSERT_TRUE(Launch());
        ASSERT_TRUE(ChooseFile(Path));
        ASSERT_TRUE(Select({1}));
        TestHdf::Write(Path, {Rewritten});
        ASSERT_TRUE(Ok());

        EXPECT_EQ(VyrHost::ErrorMessages(),
                  (std::vector<std::string>{"Error reading HDF Dataset", "Error reading file"}));
        ASSERT_NE(VyrHost::CurrentDataSet(), nullptr);
        EXPECT_TRUE(VyrHost::CurrentDataSet()->Zones.empty());
        EXPECT_FALSE(VyrHost::RecordedInstructions("HDF Loader").has_value());
        EXPECT_TRUE(SessionClosed());
    }
};

TEST_F(ChangedFile, AWiderNumberTypeAfterTheScanIsNotReadIntoTheOldBuffer) {
    TestHdf::DataSet Wider;
    Wider.NumberType = 6; // float64: eight times the bytes
    Wider.Dims = {4, 5};
    LoadAfterRewrite(Wider);
}

TEST_F(ChangedFile, LargerExtentsAfterTheScanAreNotReadIntoTheOldBuffer) {
    TestHdf::DataSet Longer;
    Longer.NumberType = 20;
    Longer.Dims = {40, 5};
    LoadAfterRewrite(Longer);
}

} // namespace
