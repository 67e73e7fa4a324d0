// A file rewritten on disk between its scan (Select File...) and OK: the
// catalogue describes the old data sets, so the conversion must not read the
// new ones into buffers sized from the old records, nor hand HDF4 a file that
// is now damaged.
#include "gui_session.h"
#include "support/addon_fixture.h"

#include <fstream>
#include <functional>
#include <iterator>

using namespace GuiSession;

namespace {

class ChangedFile : public AddOnTest {
  protected:
    // Scans a small int8 data set, rewrites the file as Rewritten while the
    // dialog is up, then presses OK.
    void LoadAfterRewrite(TestHdf::DataSet Rewritten) {
        LoadAfterRewrite([&](const std::string& Path) { TestHdf::Write(Path, {Rewritten}); });
    }

    void LoadAfterRewrite(const std::function<void(const std::string&)>& Rewrite) {
        TestHdf::DataSet Small;
        Small.NumberType = 20; // int8: one byte a value
        Small.Dims = {4, 5};
        const std::string Path = TestHdf::TempPath("changing.hdf");
        TestHdf::Write(Path, {Small});
        ASSERT_TRUE(Launch());
        ASSERT_TRUE(ChooseFile(Path));
        ASSERT_TRUE(Select({1}));
        Rewrite(Path);
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

// A version element longer than the 92 bytes Hopen reads it into smashes
// HDF4's stack; the loader checks the file again before opening it.
TEST_F(ChangedFile, AFileDamagedAfterTheScanNeverReachesHdf4) {
    LoadAfterRewrite([](const std::string& Path) {
        TestHdf::DataSet Same;
        Same.NumberType = 20;
        Same.Dims = {4, 5};
        TestHdf::Write(Path, {Same});
        std::ifstream In(Path, std::ios::binary);
        std::string Bytes((std::istreambuf_iterator<char>(In)), {});
        In.close();
        const size_t Count = size_t(uint8_t(Bytes[4])) << 8 | uint8_t(Bytes[5]);
        bool Patched = false;
        for (size_t At = 10; At < 10 + 12 * Count; At += 12) {
            if (Bytes[At] == 0 && Bytes[At + 1] == 30) {                // the version element's DD
                Bytes.replace(At + 8, 4, std::string("\0\0\0\xC8", 4)); // 200 bytes
                Patched = true;
            }
        }
        ASSERT_TRUE(Patched);
        std::ofstream(Path, std::ios::binary | std::ios::trunc) << Bytes;
    });
}

} // namespace
