// The attributes dialog: its text line by line for entries of every rank,
// empty and longest texts, rebuilt (never appended) at each launch and
// always describing the file chosen last; its layout; and an empty text
// when the host cannot give the scratch buffer.
#include "gui_session.h"
#include "support/addon_fixture.h"

using namespace GuiSession;

namespace {

class AttributesDialog : public AddOnTest {
  protected:
    std::string AttributesText() { return ControlOf(AttrText).Text; }

    // Opens the attributes dialog, reads its text and closes it again.
    std::string ShowAttributes() {
        EXPECT_TRUE(Press("Attributes..."));
        EXPECT_EQ(TopTitle(), "Attributes");
        const std::string Text = AttributesText();
        EXPECT_TRUE(Ok());
        EXPECT_EQ(TopTitle(), "HDF Loader");
        return Text;
    }
};

const std::string DescribedText = TestHdf::RanksThreeTwoOneAttributes();

// The text line by line for entries of every rank, the same at each launch.
TEST_F(AttributesDialog, IsBuiltOnceAndRebuildsItsTextAtEveryLaunch) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ChooseFile(WriteRanks321("twice.hdf")));
    EXPECT_EQ(ShowAttributes(), DescribedText);
    const int32_t FirstId = AttrDialog;
    EXPECT_EQ(ShowAttributes(), DescribedText);
    EXPECT_EQ(AttrDialog, FirstId);
    ASSERT_EQ(VyrHost::Dialogs().size(), 2u);
    EXPECT_EQ(VyrHost::Dialogs()[1].Launches, 2);
    ASSERT_TRUE(Cancel());

    // A later launch of the load dialog reuses the same attributes dialog.
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ChooseFile(WriteRanks321("twice-again.hdf")));
    EXPECT_EQ(ShowAttributes(), DescribedText);
    EXPECT_EQ(VyrHost::Dialogs().size(), 2u);
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

// After a second file, only its entries; the longest texts fit their lines.
TEST_F(AttributesDialog, ShowsOnlyTheEntriesOfTheFileChosenLastWithTheLongestTextsWhole) {
    TestHdf::DataSet Long;
    Long.Label = std::string(SdsTextLen, 'L');
    Long.Unit = std::string(SdsTextLen, 'U');
    Long.Format = std::string(SdsTextLen, 'F');
    Long.CoordSys = std::string(SdsTextLen, 'C');
    Long.Dims = {3, 2};

    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ChooseFile(WriteRanks321("old.hdf")));
    EXPECT_EQ(ShowAttributes(), DescribedText);
    ASSERT_TRUE(ChooseFile(TestHdf::WriteTemp("longest-texts.hdf", {Long})));
    EXPECT_EQ(ShowAttributes(), "Scientific Data Set #1\n"
                                "  Dimension Size 1:2\n"
                                "  Dimension Size 2:3\n"
                                "Label: " +
                                    Long.Label + "\n" + "Unit: " + Long.Unit + "\n" +
                                    "Format: " + Long.Format + "\n" +
                                    "Coordinate System: " + Long.CoordSys + "\n" + "Rank: 2\n\n");
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

TEST_F(AttributesDialog, WithoutTheScratchBufferTheTextStaysEmpty) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ChooseFile(WriteRanks321("no-scratch.hdf")));
    EXPECT_EQ(ShowAttributes(), DescribedText);
    VyrHost::FailNth(VyrHost::FailPoint::StringAlloc, 1, "HDF Temp String");
    EXPECT_EQ(ShowAttributes(), "");
    EXPECT_TRUE(VyrHost::ErrorMessages().empty());
    EXPECT_EQ(ShowAttributes(), DescribedText);
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

TEST_F(AttributesDialog, IsBuiltWithTheHostLayoutOverTheLoadDialog) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ChooseFile(WriteRanks321("layout.hdf")));
    ASSERT_TRUE(Press("Attributes..."));
    const VyrHost::Dialog* Dialog = VyrHost::TopDialog();
    ASSERT_NE(Dialog, nullptr);
    EXPECT_EQ(Dialog->Id, AttrDialog);
    EXPECT_EQ(Dialog->Parent, LoadDialog);
    EXPECT_EQ(Dialog->Width, 5569);
    EXPECT_EQ(Dialog->Height, 2338);
    EXPECT_EQ(Dialog->Title, "Attributes");
    EXPECT_EQ(Dialog->Controls, (std::vector<int32_t>{AttrText, AttrTextLabel}));

    const VyrHost::Control& Text = ControlOf(AttrText);
    EXPECT_EQ(Text.Kind, VyrHost::ControlKind::Text);
    EXPECT_EQ(std::vector<int32_t>({Text.X, Text.Y, Text.Width, Text.Height}),
              std::vector<int32_t>({229, 255, 5144, 1961}));
    EXPECT_TRUE(Text.ReadOnly);
    const VyrHost::Control& Label = ControlOf(AttrTextLabel);
    EXPECT_EQ(Label.Kind, VyrHost::ControlKind::Label);
    EXPECT_EQ(std::vector<int32_t>({Label.X, Label.Y}), std::vector<int32_t>({254, 117}));
    EXPECT_EQ(Label.Text, "Attributes for all data sets:");

    // Cancel closes it as OK does, back to the load dialog.
    ASSERT_TRUE(Cancel());
    EXPECT_EQ(TopTitle(), "HDF Loader");
    EXPECT_EQ(VyrHost::LockDepth(), 1);
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

} // namespace
