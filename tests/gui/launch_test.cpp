// The load dialog's launch: the replacement question, the lock it holds
// while up, its reuse across launches, its layout, and Help.
#include "gui/load_dialog.h"
#include "gui_session.h"
#include "support/addon_fixture.h"

using namespace GuiSession;

namespace {

class LoadDialogLaunch : public AddOnTest {};

// Loads data set 1 of a fresh rank-3/2/1 file through the dialog, so that
// the host holds a data set afterwards.
void LoadFirstDataSet(const std::string& Path) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(ChooseFile(Path));
    ASSERT_TRUE(Select({1}));
    ASSERT_TRUE(Ok());
    ASSERT_NE(VyrHost::CurrentDataSet(), nullptr);
}

TEST_F(LoadDialogLaunch, AnsweringNoLeavesEverythingUntouchedAndYesOpensTheDialog) {
    const std::string Path = WriteRanks321("launch-no.hdf");
    LoadFirstDataSet(Path);
    const VyrHost::DataSet Before = *VyrHost::CurrentDataSet();
    const int32_t LaunchesBefore = VyrHost::Dialogs().at(0).Launches;

    VyrHost::QueueAnswer(false);
    ASSERT_TRUE(Launch());
    EXPECT_EQ(VyrHost::Questions(),
              std::vector<std::string>{"The current data set will be replaced.  Continue?"});
    EXPECT_EQ(VyrHost::TopDialog(), nullptr);
    EXPECT_EQ(VyrHost::Dialogs().at(0).Launches, LaunchesBefore);
    ASSERT_NE(VyrHost::CurrentDataSet(), nullptr);
    EXPECT_EQ(VyrHost::CurrentDataSet()->Title, Before.Title);
    EXPECT_EQ(VyrHost::CurrentDataSet()->Zones.size(), Before.Zones.size());
    EXPECT_EQ(std::string(FileName), Path);
    EXPECT_EQ(SelectedNumbers(), std::vector<int32_t>{1});
    EXPECT_TRUE(VyrHost::ErrorMessages().empty());
    EXPECT_TRUE(SessionClosed());

    VyrHost::QueueAnswer(true);
    ASSERT_TRUE(Launch());
    EXPECT_EQ(VyrHost::Questions().size(), 2u);
    EXPECT_EQ(TopTitle(), "HDF Loader");
    EXPECT_EQ(VyrHost::LockDepth(), 1);
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

// Without a data set in the host, no launch asks before opening the dialog.
TEST_F(LoadDialogLaunch, SecondLaunchReusesTheDialogEmptyInsensitiveWithCurrentSkips) {
    ASSERT_TRUE(Launch());
    EXPECT_EQ(TopTitle(), "HDF Loader");
    EXPECT_EQ(VyrHost::LockDepth(), 1);
    const int32_t FirstDialog = LoadDialog;
    ASSERT_TRUE(ChooseFile(WriteRanks321("launch-again.hdf")));
    ASSERT_TRUE(Select({2}));
    ASSERT_TRUE(Type("I-Skip:", "3"));
    ASSERT_TRUE(Cancel());

    ASSERT_TRUE(Launch());
    EXPECT_EQ(LoadDialog, FirstDialog);
    ASSERT_EQ(VyrHost::Dialogs().size(), 1u);
    EXPECT_EQ(VyrHost::Dialogs()[0].Launches, 2);
    EXPECT_EQ(ControlOf(FileNameLabel).Text, "<<No File Selected>>");
    EXPECT_TRUE(ListLines().empty());
    EXPECT_TRUE(SelectedNumbers().empty());
    EXPECT_STREQ(FileName, "");
    for (int32_t Id : DataSetControls())
        EXPECT_FALSE(ControlOf(Id).Sensitive) << "control " << Id;
    for (int32_t Id : FileControls())
        EXPECT_TRUE(ControlOf(Id).Sensitive) << "control " << Id;
    EXPECT_EQ(ControlOf(ISkipField).Text, "3");
    EXPECT_EQ(ControlOf(JSkipField).Text, "1");
    EXPECT_EQ(ControlOf(KSkipField).Text, "1");
    EXPECT_TRUE(VyrHost::Questions().empty());
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

TEST_F(LoadDialogLaunch, DialogIsBuiltWithTheHostLayout) {
    BuildLoadDialog(-1);
    ASSERT_EQ(VyrHost::Dialogs().size(), 1u);
    const VyrHost::Dialog& Dialog = VyrHost::Dialogs()[0];
    EXPECT_EQ(Dialog.Id, LoadDialog);
    EXPECT_EQ(Dialog.Parent, -1);
    EXPECT_EQ(Dialog.Width, 5225);
    EXPECT_EQ(Dialog.Height, 2544);
    EXPECT_EQ(Dialog.Title, "HDF Loader");

    using Kind = VyrHost::ControlKind;
    struct Expected {
        int32_t Id;
        Kind ControlKind;
        int32_t X, Y, Width, Height;
        std::string Text;
    };
    // Labels carry no size of their own.
    const std::vector<Expected> Table = {
        {ISkipLabel, Kind::Label, 420, 1231, 0, 0, "I-Skip:"},
        {JSkipLabel, Kind::Label, 369, 1455, 0, 0, "J-Skip:"},
        {KSkipLabel, Kind::Label, 331, 1689, 0, 0, "K-Skip:"},
        {DataSetListLabel, Kind::Label, 318, 79, 0, 0, "Scientific Data Sets to load:"},
        {FileLabel, Kind::Label, 152, 2132, 0, 0, "File:"},
        {FileNameLabel, Kind::Label, 178, 2270, 0, 0, "Label12"},
        {DataSetList, Kind::List, 331, 255, 4711, 868, ""},
        {AttributesButton, Kind::Button, 3693, 47, 1362, 143, "Attributes..."},
        {ISkipField, Kind::TextField, 1298, 1199, 1222, 143, ""},
        {JSkipField, Kind::TextField, 1311, 1412, 1222, 143, ""},
        {KSkipField, Kind::TextField, 1311, 1647, 1222, 143, ""},
        {SelectFileButton, Kind::Button, 318, 1897, 1439, 143, "Select File..."},
    };
    ASSERT_EQ(Dialog.Controls.size(), Table.size());
    for (size_t Index = 0; Index < Table.size(); ++Index) {
        const Expected& Want = Table[Index];
        SCOPED_TRACE("control #" + std::to_string(Index + 1) + " " + Want.Text);
        EXPECT_EQ(Dialog.Controls[Index], Want.Id);
        const VyrHost::Control& Got = ControlOf(Want.Id);
        EXPECT_EQ(Got.Kind, Want.ControlKind);
        EXPECT_EQ(Got.X, Want.X);
        EXPECT_EQ(Got.Y, Want.Y);
        if (Want.ControlKind != Kind::Label) {
            EXPECT_EQ(Got.Width, Want.Width);
            EXPECT_EQ(Got.Height, Want.Height);
        }
        EXPECT_EQ(Got.Text, Want.Text);
    }
    EXPECT_TRUE(ControlOf(DataSetList).MultiSelection);

    // The first launch uses the dialog built above rather than a second one.
    ASSERT_TRUE(Launch());
    EXPECT_EQ(VyrHost::Dialogs().size(), 1u);
    EXPECT_EQ(ControlOf(FileNameLabel).Text, "<<No File Selected>>");
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

TEST_F(LoadDialogLaunch, HelpOpensTheImportPageFromBothDialogs) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Help());
    EXPECT_EQ(VyrHost::HelpPages(), std::vector<std::string>{"vyrlith/import_hdf.html"});
    EXPECT_EQ(VyrHost::LockDepth(), 1);
    EXPECT_EQ(TopTitle(), "HDF Loader");

    ASSERT_TRUE(ChooseFile(WriteRanks321("help.hdf")));
    ASSERT_TRUE(Press("Attributes..."));
    ASSERT_EQ(TopTitle(), "Attributes");
    ASSERT_TRUE(Help());
    EXPECT_EQ(VyrHost::HelpPages(),
              (std::vector<std::string>{"vyrlith/import_hdf.html", "vyrlith/import_hdf.html"}));
    EXPECT_EQ(VyrHost::LockDepth(), 1);
    EXPECT_EQ(TopTitle(), "Attributes");
    ASSERT_TRUE(Ok());
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

} // namespace
