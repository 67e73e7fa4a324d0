// The skip fields: which texts are accepted (read as atoi reads them, but
// clamped instead of overflowing), how a refusal resets the field and keeps
// the skip, and how the skips carry over launches, loads and replays.
#include "gui/skip_fields.h"
#include "gui_session.h"
#include "support/addon_fixture.h"

#include <climits>

using namespace GuiSession;

namespace {

struct Field {
    std::string Label;
    int32_t* Skip;
    int32_t* FieldId;
    std::string Refusal;
};

std::vector<Field> Fields() {
    return {{"I-Skip:", &ISkip, &ISkipField, "Please enter an i-skip value of 1 or greater"},
            {"J-Skip:", &JSkip, &JSkipField, "Please enter a j-skip value of 1 or greater"},
            {"K-Skip:", &KSkip, &KSkipField, "Please enter a k-skip value of 1 or greater"}};
}

class SkipFields : public AddOnTest {
  protected:
    // Opens the dialog with a file, so that the fields are sensitive.
    void SetUp() override {
        AddOnTest::SetUp();
        ASSERT_TRUE(Launch());
        ASSERT_TRUE(ChooseFile(WriteRanks321("skips.hdf")));
    }
};

TEST_F(SkipFields, RefusedTextResetsTheFieldAndKeepsTheSkip) {
    for (const Field& Each : Fields()) {
        ASSERT_TRUE(Type(Each.Label, "4"));
        ASSERT_EQ(*Each.Skip, 4);
        for (const std::string Text : {"0", "-2", "abc", "", "   ", "+", "-99999999999"}) {
            SCOPED_TRACE(Each.Label + " '" + Text + "'");
            const size_t Before = VyrHost::ErrorMessages().size();
            ASSERT_TRUE(Type(Each.Label, Text));
            ASSERT_EQ(VyrHost::ErrorMessages().size(), Before + 1);
            EXPECT_EQ(VyrHost::ErrorMessages().back(), Each.Refusal);
            EXPECT_EQ(ControlOf(*Each.FieldId).Text, "1");
            EXPECT_EQ(*Each.Skip, 4);
        }
    }
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

TEST_F(SkipFields, LeadingDigitsAreTakenAndHugeValuesClamped) {
    struct Case {
        std::string Text;
        int32_t Value;
    };
    const std::vector<Case> Cases = {{"3abc", 3},
                                     {"  7", 7},
                                     {"+5", 5},
                                     {"\t12 x", 12},
                                     {"0009", 9},
                                     {"2147483647", INT_MAX},
                                     {"2147483648", INT_MAX},
                                     {"99999999999999999999", INT_MAX}};
    for (const Field& Each : Fields()) {
        for (const Case& Typed : Cases) {
            SCOPED_TRACE(Each.Label + " '" + Typed.Text + "'");
            ASSERT_TRUE(Type(Each.Label, Typed.Text));
            EXPECT_EQ(*Each.Skip, Typed.Value);
        }
    }
    EXPECT_TRUE(VyrHost::ErrorMessages().empty());
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

// The value part of the reading, including texts no field would pass on.
TEST(SkipValue, ReadsLikeAtoiWithoutOverflow) {
    struct Case {
        const char* Text;
        int32_t Value;
    };
    for (const Case& Each : {Case{"-2147483648", INT_MIN}, Case{"-2147483649", INT_MIN},
                             Case{"-99999999999999999999", INT_MIN}, Case{"- 3", 0}, Case{"+-3", 0},
                             Case{"42", 42}, Case{nullptr, 0}}) {
        EXPECT_EQ(ReadSkipValue(Each.Text), Each.Value) << (Each.Text ? Each.Text : "(null)");
    }
}

class SkipsCarryOver : public AddOnTest {};

std::vector<std::string> ShownSkips() {
    return {ControlOf(ISkipField).Text, ControlOf(JSkipField).Text, ControlOf(KSkipField).Text};
}

// The skips of a load, then of a replay, then one accepted before Cancel
// (beside a refused one, which keeps its value) show at the next launch.
TEST_F(SkipsCarryOver, SkipsOfALoadAReplayAndACancelledDialogAreShownAtTheNextLaunch) {
    const std::string Path = WriteRanks321("carry.hdf");
    ASSERT_TRUE(Launch());
    EXPECT_EQ(ShownSkips(), (std::vector<std::string>{"1", "1", "1"}));
    ASSERT_TRUE(ChooseFile(Path));
    ASSERT_TRUE(Type("I-Skip:", "2"));
    ASSERT_TRUE(Type("J-Skip:", "3"));
    ASSERT_TRUE(Type("K-Skip:", "4"));
    ASSERT_TRUE(Select({1}));
    ASSERT_TRUE(Ok());
    EXPECT_EQ(VyrHost::RecordedInstructions("HDF Loader"),
              (std::vector<std::string>{"M" + Path, "I2", "J3", "K4", "S1"}));
    ASSERT_TRUE(SessionClosed());
    ASSERT_TRUE(Launch());
    EXPECT_EQ(ShownSkips(), (std::vector<std::string>{"2", "3", "4"}));
    ASSERT_TRUE(Cancel());

    bool Result = false;
    ASSERT_TRUE(VyrHost::CallLoader("HDF Loader", {"M" + Path, "I5", "J6", "K7", "S2"}, &Result));
    ASSERT_TRUE(Result);
    ASSERT_EQ(VyrHost::LockDepth(), 0);
    ASSERT_TRUE(Launch());
    EXPECT_EQ(ShownSkips(), (std::vector<std::string>{"5", "6", "7"}));

    ASSERT_TRUE(ChooseFile(Path));
    ASSERT_TRUE(Type("K-Skip:", "8"));
    ASSERT_TRUE(Type("J-Skip:", "0")); // refused: J stays 6
    ASSERT_TRUE(Cancel());
    ASSERT_TRUE(Launch());
    EXPECT_EQ(ShownSkips(), (std::vector<std::string>{"5", "6", "8"}));
    ASSERT_TRUE(Cancel());
    EXPECT_TRUE(SessionClosed());
}

} // namespace
