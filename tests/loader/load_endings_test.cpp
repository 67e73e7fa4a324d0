// How a load ends when the user stops it, when any call that can fail
// fails, and the selections that are refused before the host's data set is
// replaced: each ending shows its one message, keeps the zones already made,
// and leaves no buffer, HDF file, lock or catalogue record behind. The
// failure sweep runs the add-on's whole life in the host once for every
// call that can fail.
#include "addon/addon_entry.h"
#include "failable_calls.h"
#include "interface/addon_state.h"
#include "loader/skip_steps.h"
#include "loader/slab_reader.h"
#include "loader_fixture.h"
#include "support/hdf_writer.h"

#include <hdf/mfhdf.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Three rank-2 data sets of 4x5 values; set N holds 100*N, 100*N+1, ...
std::string ThreeDataSetFile() {
    const std::string Path = TestHdf::TempPath("three.hdf");
    std::vector<TestHdf::DataSet> Sets;
    for (int32_t N = 1; N <= 3; ++N) {
        std::vector<double> Values;
        for (int32_t E = 0; E < 20; ++E)
            Values.push_back(100.0 * N + E);
        Sets.push_back(MakeSet("set" + std::to_string(N), DFNT_INT32, {4, 5}, Values));
    }
    TestHdf::Write(Path, Sets);
    return Path;
}

std::vector<double> DataOf(int32_t N, int32_t Stored) {
    std::vector<double> Values(20, 0.0);
    for (int32_t E = 0; E < Stored; ++E)
        Values[size_t(E)] = 100.0 * N + E;
    return Values;
}

// ---- The user stops a load of three data sets -------------------------------------

struct StopCase {
    const char* Name;
    int32_t StopAt; // the percent-done check at which the user presses Stop
    int32_t Reads;  // SDreaddata calls: later data sets are not touched
    std::vector<std::vector<double>> ZoneValues; // "V" of each zone the host holds
};

void PrintTo(const StopCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class LoadStopTest : public LoaderTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(LoadStopTest, EndsQuietlyKeepsTheZonesMadeAndReleasesEverything) {
    const StopCase& C = GetParam();
    const std::string Path = ThreeDataSetFile();
    VyrHost::StopAtCheck(C.StopAt);

    // An interrupted load counts as loaded, says nothing, and opens a fresh
    // frame for what was made.
    EXPECT_TRUE(Replay(Items(Path, 1, 1, 1, {1, 2, 3})));
    EXPECT_EQ(Messages(), std::vector<std::string>());
    EXPECT_TRUE(LoadInterrupted);
    EXPECT_EQ(VyrHost::Frame().NewFrames, 1);
    EXPECT_EQ(VyrHost::Frame().MouseMode, VYR_MOUSE_MODE_SELECT);
    EXPECT_EQ(FailableCalls::Get().Reads, C.Reads);
    EXPECT_EQ(VyrHost::PercentDone().Launches, 1);
    EXPECT_EQ(VyrHost::PercentDone().Drops, 1);
    // Only a load that ran to its end is recorded for replay.
    EXPECT_EQ(VyrHost::RecordedInstructions("HDF Loader"),
              std::optional<std::vector<std::string>>());

    ExpectLoadLeftNothingHeld();
    const VyrHost::DataSet* Set = VyrHost::CurrentDataSet();
    ASSERT_NE(Set, nullptr);
    ASSERT_EQ(Set->Zones.size(), C.ZoneValues.size());
    for (size_t Z = 0; Z < C.ZoneValues.size(); ++Z)
        EXPECT_EQ(VarValues(Set->Zones[Z], 3), C.ZoneValues[Z]) << "zone " << Z + 1;
}

// Four rows of five per zone: check 6 is the second row of zone 2, and a
// stopped row stores nothing.
const std::vector<StopCase> StopCases = {
    {"StopAtTheFirstCheck", 1, 1, {DataOf(1, 0)}},
    {"StopInTheMiddleOfTheSecondZone", 6, 2, {DataOf(1, 20), DataOf(2, 5)}},
};

INSTANTIATE_TEST_SUITE_P(Stops, LoadStopTest, ::testing::ValuesIn(StopCases),
                         [](const ::testing::TestParamInfo<StopCase>& Info) {
                             return std::string(Info.param.Name);
                         });

TEST_F(LoaderTest, StoppedLoadMakesNoFurtherCheckAfterTheStop) {
    const std::string Path = ThreeDataSetFile();
    VyrHost::StopAtCheck(6);
    ASSERT_TRUE(Replay(Items(Path, 1, 1, 1, {1, 2, 3})));
    EXPECT_EQ(VyrHost::PercentDone().Checks, 6);
}

TEST_F(LoaderTest, FailedReadOnARealSzipDataSetEndsWithTheReadMessage) {
    // This HDF4 build cannot decode szip: the third data set's read fails.
    const std::optional<std::string> Real = TestHdf::RealFile("compressed-gzip-skiphuff-szip.hdf");
    if (!Real)
        GTEST_SKIP() << TestHdf::RealFilesMissing();
    const std::string& Path = *Real;
    EXPECT_FALSE(Replay(Items(Path, 1, 1, 1, {1, 3})));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Error reading HDF Dataset"});
    EXPECT_EQ(VyrHost::CurrentDataSet()->Zones.size(), 1u);
    ExpectLoadLeftNothingHeld();
}

// zlib refuses a stream whose header fails its check sum before it looks
// at the dictionary flag: SDreaddata fails, and the load ends as for any
// data set that cannot be read, after the zones before it.
TEST_F(LoaderTest, ADeflateStreamZlibRefusesEndsTheLoadAfterTheZonesBeforeIt) {
    const std::string Path = TestHdf::TempPath("refused-stream.hdf");
    TestHdf::DataSet Deflated = MakeSet("deflated", DFNT_FLOAT32, {4, 5});
    Deflated.Store = TestHdf::Storage::Deflate;
    TestHdf::Write(Path, {MakeSet("before", DFNT_FLOAT32, {4, 5}), Deflated,
                          MakeSet("after", DFNT_FLOAT32, {4, 5})});
    ASSERT_EQ(TestHdf::FillElements(Path, DFTAG_COMPRESSED, 0xFF), 1);

    EXPECT_FALSE(Replay(Items(Path, 1, 1, 1, {1, 2, 3})));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Error reading HDF Dataset"});
    ASSERT_NE(VyrHost::CurrentDataSet(), nullptr);
    EXPECT_EQ(VyrHost::CurrentDataSet()->Zones.size(), 1u);
    EXPECT_EQ(FailableCalls::Get().Reads, 2); // the third data set is not touched
    ExpectLoadLeftNothingHeld();
}

// ---- The failure sweep ------------------------------------------------------------
//
// The add-on's whole life in the host runs once with nothing failing, which
// numbers every call that can fail (FailableCalls: the HDF4 functions the
// add-on imports and the host operations that can fail); then, for every N,
// once with the N-th call failing alone and once with every call from the
// N-th on failing. The user's session: the host starts the add-on; the user
// picks the loader over an earlier data set and agrees to replace it, chooses
// the file, selects its two data sets, sets an I skip of 2, opens and closes
// the attributes dialog and presses OK; the host replays the list that the
// load recorded; the host shuts down. Slabs of 8 bytes make each load read
// its data sets in several slabs (rows of the first, single values of the
// second), through a slab buffer, so that a read fails in a later slab too. After a message the
// user gives up, cancelling the dialogs that are up, and opens the load dialog once more.
//
// The rule every session is held to. The first failed call that the add-on
// does not recover from decides how the session ends: the session stops in
// that step with that call's one message in Outcomes, after which the load
// dialog's OK adds its "Error reading file" (it ran the load that failed),
// or with none where Outcomes has none (the add-on says nothing of what the
// host did itself). A session whose failed calls were all recovered from
// ends as the one without failures does. And whatever the ending: the load
// dialog opens whole again (what the host could not build is built), no breach
// of the host's rules, every lock finished, every host object the add-on
// held back to what start-up left (nothing after the shutdown), every HDF4
// file closed and data set ended, no message while a file is open, no data
// read after the deciding failure, a fresh frame for each load that ends in
// error, no list recorded by a load that failed, and the host's data set
// either the earlier one untouched (no load created one) or the converted
// one with whole zones, the first ones of the session without failures.

// Two rank-2 data sets with their texts. Only the second has scales: the
// coordinate variables that HDF4 adds for them follow both data sets in the
// file, so that one misread as a data set (SDiscoordvar below) is listed
// after them and the recorded data-set numbers stay those of the replay.
// The I, J and K skips the session sets, and the source extents along I and
// J of the file's two data sets, as their zones have them.
const int32_t SweepSkips[3] = {2, 1, 1};
const std::vector<std::vector<int32_t>> SweepSourceExtents = {{4, 3}, {3, 2}};

std::string SweepFile() {
    TestHdf::DataSet Pressure = MakeSet("pressure", DFNT_INT16, {3, 4});
    Pressure.Label = "Pressure";
    Pressure.Unit = "Pa";
    Pressure.Format = "F6.1";
    Pressure.CoordSys = "cartesian";
    TestHdf::DataSet Elevation = MakeSet("elevation", DFNT_FLOAT32, {2, 3});
    Elevation.Label = "Elevation";
    Elevation.Scales = {{DFNT_INT32, {10, 20}}, {DFNT_FLOAT64, {0.5, 1.5, 2.5}}};
    return TestHdf::WriteTemp("sweep.hdf", {Pressure, Elevation});
}

const char* const NotHdf = "Not a valid HDF File";
const char* const Unreadable = "Unable to read a Scientific Data Set in this HDF file";
const char* const ReadError = "Error reading HDF Dataset";
const char* const OutOfMemory = "Out of memory";
const char* const DialogText = "Error reading file";

// What a failed call leads to: its one message, or none; and whether the
// add-on carries on as if it had not failed. Calls of a scan, from its
// Hishdf to its SDend, are named "scan ..." (a scan and a load call some of
// the same functions, and tell the user different things).
struct Outcome {
    const char* Message;
    bool Recovers;
};
// clang-format off
const std::map<std::string, Outcome> Outcomes = {
    // Start-up. Without a listener the add-on could never give its state
    // back: it stays inert, and says nothing. HDF4's exit handler is HDF4's
    // own business.
    {"StateChangeAddCallback", {nullptr, false}},
    {"HDdont_atexit", {nullptr, true}},
    {"Hgetlibversion", {"Add-on \"HDF Loader\" requires HDF4 version 4.2.15; "
                        "the HDF4 libraries found are of a version they do not tell", false}},
    {"SetAlloc", {"HDF Loader: Out of memory", false}},
    // The dialogs; the attributes text without its scratch buffer stays
    // empty, and nothing depends on it.
    {"DialogCreate", {"Could not create dialog", false}},
    {"ControlAdd", {"Could not create dialog", false}},
    {"StringAlloc HDF Temp String", {nullptr, true}},
    // The scan. A dimension whose scale cannot be read gets the index
    // scale. HDF4 reports a failed SDiscoordvar as "not a coordinate
    // variable": the add-on cannot tell, and lists it as a data set of its
    // own (after the two, in this file). An id given back with a failure
    // report is given back all the same.
    {"scan Hishdf", {NotHdf, false}},
    {"scan SDstart", {NotHdf, false}},
    {"scan SDfileinfo", {NotHdf, false}},
    {"scan SDselect", {Unreadable, false}},
    {"scan SDgetinfo", {Unreadable, false}},
    {"scan SDgetdatastrs", {Unreadable, false}},
    {"scan SDiscoordvar", {nullptr, true}},
    {"scan SDgetdimid", {nullptr, true}},
    {"scan SDdiminfo", {nullptr, true}},
    {"scan SDgetdimscale", {nullptr, true}},
    {"scan StringAlloc HDF Scale Data", {"Not enough memory to read this HDF file.", false}},
    {"scan SDendaccess", {nullptr, true}},
    {"scan SDend", {nullptr, true}},
    // The selection, the instruction list written and read, and the load.
    // A zone the host refused is the host's own knowledge: the load ends
    // without a message of its own.
    {"SetAddMember", {OutOfMemory, false}},
    {"StringListAlloc", {OutOfMemory, false}},
    {"StringListAppend", {OutOfMemory, false}},
    {"StringListGetString", {OutOfMemory, false}},
    {"DataSetCreate", {"Could not create data set", false}},
    {"SDstart", {ReadError, false}},
    {"SDselect", {ReadError, false}},
    {"StringAlloc HDF Data", {OutOfMemory, false}},
    {"SDgetinfo", {ReadError, false}},
    {"SDreaddata", {ReadError, false}},
    {"DataSetAddZone", {nullptr, false}},
    {"SDendaccess", {nullptr, true}},
    {"SDend", {nullptr, true}},
};
// clang-format on

enum class Step { StartUp, PickLoader, ChooseFile, SelectDataSets, Attributes, Ok, Replay, Done };
const char* const StepNames[] = {
    "start-up", "pick the loader", "choose the file", "select", "attributes", "OK", "the replay",
    "done"};

struct CallSeen {
    std::string Name; // as Outcomes names it
    Step During;
    bool Failed;
};

// What one session did and left: seen before the host shut down, except
// OutstandingAfterShutdown.
struct Session {
    std::vector<CallSeen> Calls;
    Step Stopped = Step::StartUp; // the step the session ended in; Done: it ran through
    std::vector<std::string> Messages;
    bool MessageWithFileOpen = false;
    bool LaunchedInStep[size_t(Step::Done) + 1] = {};
    int32_t NewFrames = 0;
    std::optional<std::vector<std::string>> Recorded;
    std::optional<VyrHost::DataSet> Data;
    std::vector<std::string> StartTags, EndTags, HostErrors;
    int32_t LockDepth = 0, LockOnDepth = 0, Catalogue = 0;
    int32_t CatalogueAfterChoosing = 0; // before the user gives up
    bool DialogUp = false, PercentDoneUp = false;
    bool ReopenedWhole = true; // or the add-on is inert
    FailableCalls::Counts Hdf;
    int32_t OutstandingAfterShutdown = 0;
};

class FailureSweep : public AddOnManualStartTest {
  protected:
    void TearDown() override {
        SlabByteLimit = DefaultSlabByteLimit;
        AddOnManualStartTest::TearDown();
    }

    // The session, with the call numbered FailAt failing (0: none), and
    // every later one too with AndLater.
    Session Run(int64_t FailAt, bool AndLater) {
        VyrHost::Reset();
        ResetAddOnState();
        FailableCalls::ResetCounts();
        SlabByteLimit = 8;
        MakeEarlierDataSet();
        Session S;
        Step Current = Step::StartUp;
        bool InScan = false;
        int64_t Seen = 0;
        FailableCalls::Observe([&](const std::string& Name) {
            InScan = InScan || Name == "Hishdf";
            const bool Fail = FailAt > 0 && (++Seen == FailAt || (AndLater && Seen > FailAt));
            S.Calls.push_back({(InScan ? "scan " : "") + Name, Current, Fail});
            InScan = InScan && Name != "SDend";
            return Fail;
        });
        VyrHost::OnErrorMessage([&](const std::string&) {
            const FailableCalls::Counts& Hdf = FailableCalls::Get();
            S.MessageWithFileOpen |= Hdf.FilesOpened != Hdf.FilesClosed;
        });

        // Each step runs when the ones before it went through: the step's
        // action done, and no message.
        bool Going = true;
        auto Take = [&](Step Which, const std::function<bool()>& Action) {
            if (!Going)
                return;
            Current = Which;
            InScan = false;
            Going = Action() && VyrHost::ErrorMessages().empty();
        };
        auto Launched = [&](Step Which, const std::function<bool()>& Action) {
            const int32_t Before = VyrHost::PercentDone().Launches;
            const bool Done = Action();
            S.LaunchedInStep[size_t(Which)] = VyrHost::PercentDone().Launches > Before;
            return Done;
        };
        std::string Why;
        Take(Step::StartUp, [] {
            InitVyrAddOn();
            const std::vector<std::string> Names = VyrHost::LoaderNames();
            return std::find(Names.begin(), Names.end(), "HDF Loader") != Names.end();
        });
        S.StartTags = VyrHost::OutstandingTags();
        Take(Step::PickLoader,
             [] { return VyrHost::PickLoader("HDF Loader") && TopDialogIs("HDF Loader"); });
        Take(Step::ChooseFile, [&] {
            VyrHost::QueueFileName(Path);
            return VyrHost::PressButton("Select File...", &Why);
        });
        S.CatalogueAfterChoosing = SdsCount;
        Take(Step::SelectDataSets, [&] {
            return VyrHost::SelectItems(ItemsLabelled(), &Why) &&
                   VyrHost::TypeInto("I-Skip:", std::to_string(SweepSkips[0]), &Why);
        });
        Take(Step::Attributes, [&] {
            return VyrHost::PressButton("Attributes...", &Why) && TopDialogIs("Attributes") &&
                   VyrHost::PressOk(&Why) && TopDialogIs("HDF Loader");
        });
        Take(Step::Ok, [&] {
            Launched(Step::Ok, [&] { return VyrHost::PressOk(&Why); });
            S.Recorded = VyrHost::RecordedInstructions("HDF Loader");
            return S.Recorded.has_value();
        });
        Take(Step::Replay, [&] {
            bool Loaded = false;
            return Launched(
                       Step::Replay,
                       [&] { return VyrHost::CallLoader("HDF Loader", *S.Recorded, &Loaded); }) &&
                   Loaded;
        });
        if (Going)
            Current = Step::Done;
        S.Stopped = Current;
        FailableCalls::Observe(nullptr);
        VyrHost::OnErrorMessage(nullptr);

        // The user gives up: Cancel on every dialog up, the top one first.
        // Then, with the add-on ready, the user picks the loader again: the
        // load dialog comes up whole, and Cancel closes it.
        for (int32_t Tries = 0; Tries < 3 && VyrHost::TopDialog() != nullptr; ++Tries)
            VyrHost::PressCancel(&Why);
        S.Messages = VyrHost::ErrorMessages();
        if (VyrHost::PickLoader("HDF Loader")) {
            const VyrHost::Dialog* Top = VyrHost::TopDialog();
            S.ReopenedWhole = Top != nullptr && Top->Title == "HDF Loader" &&
                              Top->Controls.size() == 12 && VyrHost::PressCancel(&Why) &&
                              VyrHost::ErrorMessages() == S.Messages;
        }
        S.NewFrames = VyrHost::Frame().NewFrames;
        S.Recorded = VyrHost::RecordedInstructions("HDF Loader");
        if (const VyrHost::DataSet* Data = VyrHost::CurrentDataSet())
            S.Data = *Data;
        S.EndTags = VyrHost::OutstandingTags();
        S.HostErrors = VyrHost::HostErrors();
        S.LockDepth = VyrHost::LockDepth();
        S.LockOnDepth = VyrHost::LockOnDepth();
        S.Catalogue = SdsCount;
        S.DialogUp = VyrHost::TopDialog() != nullptr;
        S.PercentDoneUp = VyrHost::PercentDone().Up ||
                          VyrHost::PercentDone().Launches != VyrHost::PercentDone().Drops;
        S.Hdf = FailableCalls::Get();
        VyrHost::SendStateChange(VYR_STATE_CHANGE_SHUTDOWN);
        S.OutstandingAfterShutdown = VyrHost::OutstandingAllocations();
        return S;
    }

    // Holds the session against the rule above; Good is the session without
    // failures.
    void Check(const Session& S, const Session& Good) {
        // The deciding call: the first failed one not recovered from.
        const CallSeen* Deciding = nullptr;
        for (const CallSeen& Call : S.Calls) {
            const auto Row = Outcomes.find(Call.Name);
            if (Row == Outcomes.end()) {
                ADD_FAILURE() << "no outcome for a failed " << Call.Name;
                return;
            }
            if (Call.Failed && !Row->second.Recovers) {
                Deciding = &Call;
                break;
            }
        }
        std::vector<std::string> Expected;
        if (Deciding == nullptr) {
            EXPECT_EQ(S.Stopped, Step::Done) << "stopped in " << StepNames[size_t(S.Stopped)];
        } else {
            EXPECT_EQ(S.Stopped, Deciding->During) << "stopped in " << StepNames[size_t(S.Stopped)];
            if (const char* Message = Outcomes.at(Deciding->Name).Message)
                Expected.push_back(Message);
            if (Deciding->During == Step::Ok)
                Expected.push_back(DialogText);
        }
        EXPECT_EQ(S.Messages, Expected);

        EXPECT_EQ(S.HostErrors, std::vector<std::string>());
        EXPECT_EQ(S.LockDepth, 0);
        EXPECT_EQ(S.LockOnDepth, 0);
        EXPECT_FALSE(S.DialogUp);
        EXPECT_TRUE(S.ReopenedWhole);
        EXPECT_FALSE(S.PercentDoneUp);
        EXPECT_EQ(S.Catalogue, 0);
        // A failed scan keeps no record, also while the dialog is still up.
        if (S.Stopped == Step::ChooseFile) {
            EXPECT_EQ(S.CatalogueAfterChoosing, 0);
        }
        EXPECT_EQ(S.EndTags, S.StartTags);
        EXPECT_EQ(S.OutstandingAfterShutdown, 0);
        EXPECT_EQ(S.Hdf.FilesOpened, S.Hdf.FilesClosed);
        EXPECT_EQ(S.Hdf.Selected, S.Hdf.AccessEnded);
        EXPECT_FALSE(S.MessageWithFileOpen);

        // The zones the host added to the data set a load created last.
        bool AfterDeciding = false, Created = false;
        size_t ZonesAdded = 0;
        for (const CallSeen& Call : S.Calls) {
            EXPECT_FALSE(AfterDeciding && Call.Name == "SDreaddata")
                << "data read after the failure";
            AfterDeciding = AfterDeciding || &Call == Deciding;
            if (Call.Name == "DataSetCreate" && !Call.Failed) {
                Created = true;
                ZonesAdded = 0;
            }
            ZonesAdded += Call.Name == "DataSetAddZone" && !Call.Failed;
        }
        // A load that ends in error opens a fresh frame; one that the host's
        // refusal of a zone ended does not.
        const bool ErrorEnding = Deciding != nullptr &&
                                 Outcomes.at(Deciding->Name).Message != nullptr &&
                                 S.LaunchedInStep[size_t(Deciding->During)];
        EXPECT_EQ(S.NewFrames, ErrorEnding ? 1 : 0);
        if (S.Stopped <= Step::Ok) {
            EXPECT_FALSE(S.Recorded.has_value());
        } else {
            EXPECT_EQ(S.Recorded, Good.Recorded);
        }

        ASSERT_TRUE(S.Data.has_value());
        if (!Created) {
            ExpectSameDataSet(*S.Data, Earlier);
            return;
        }
        EXPECT_EQ(S.Data->Title, Good.Data->Title);
        EXPECT_EQ(S.Data->VarNames, Good.Data->VarNames);
        ASSERT_EQ(S.Data->Zones.size(), Deciding == nullptr ? Good.Data->Zones.size() : ZonesAdded);
        for (size_t Z = 0; Z < S.Data->Zones.size(); ++Z)
            ExpectZoneOf(S.Data->Zones[Z], Good.Data->Zones[Z], SweepSourceExtents[Z]);
    }

    std::string Path;

  private:
    static bool TopDialogIs(const std::string& Title) {
        const VyrHost::Dialog* Top = VyrHost::TopDialog();
        return Top != nullptr && Top->Title == Title;
    }

    // The list's items that show the two data sets, wherever they stand.
    static std::vector<int32_t> ItemsLabelled() {
        std::vector<int32_t> Items;
        const VyrHost::Dialog* Top = VyrHost::TopDialog();
        for (int32_t Id : Top != nullptr ? Top->Controls : std::vector<int32_t>()) {
            const VyrHost::Control* List = VyrHost::FindControl(Id);
            if (List == nullptr || List->Kind != VyrHost::ControlKind::List)
                continue;
            for (size_t Item = 0; Item < List->Items.size(); ++Item)
                if (List->Items[Item].find("Pressure") != std::string::npos ||
                    List->Items[Item].find("Elevation") != std::string::npos)
                    Items.push_back(int32_t(Item) + 1);
        }
        return Items;
    }

    // The host holds a data set of another loader's before the session.
    void MakeEarlierDataSet() {
        VyrStringList_pa Names = VyrUtilStringListAlloc();
        VyrUtilStringListAppendString(Names, "X");
        VyrUtilStringListAppendString(Names, "V");
        ASSERT_TRUE(VyrUtilDataSetCreate("Earlier data set", Names, true));
        VyrUtilStringListDealloc(&Names);
        const VyrFieldType_t Types[] = {VYR_FIELD_TYPE_DOUBLE, VYR_FIELD_TYPE_DOUBLE};
        ASSERT_TRUE(VyrUtilDataSetAddZone("Earlier zone", 2, 1, 1, VYR_ZONE_TYPE_ORDERED, Types));
        for (VyrEntIndex_t Var = 1; Var <= 2; ++Var)
            for (VyrLgIndex_t Point = 1; Point <= 2; ++Point)
                VyrUtilDataValueSetByRef(VyrUtilDataValueGetRef(1, Var), Point, 10.0 * Var + Point);
        Earlier = *VyrHost::CurrentDataSet();
    }

    static void ExpectSameDataSet(const VyrHost::DataSet& Held, const VyrHost::DataSet& Was) {
        EXPECT_EQ(Held.Title, Was.Title);
        EXPECT_EQ(Held.VarNames, Was.VarNames);
        ASSERT_EQ(Held.Zones.size(), Was.Zones.size());
        for (size_t Z = 0; Z < Was.Zones.size(); ++Z)
            EXPECT_EQ(Held.Zones[Z].Storage, Was.Zones[Z].Storage) << "zone " << Z + 1;
    }

    // A zone as the session without failures made it: the same name,
    // extents and values of "V"; each coordinate variable the same, or the
    // index scale 1..n as 32-bit integers where the scan recovered, at the
    // source indices the skips keep of the zone's source extents (I, J).
    static void ExpectZoneOf(const VyrHost::Zone& Held, const VyrHost::Zone& Good,
                             const std::vector<int32_t>& SourceExtents) {
        SCOPED_TRACE(Good.Name);
        EXPECT_EQ(Held.Name, Good.Name);
        ASSERT_EQ(std::vector<int32_t>({Held.IMax, Held.JMax, Held.KMax}),
                  std::vector<int32_t>({Good.IMax, Good.JMax, Good.KMax}));
        const int32_t Vars = int32_t(Good.FieldTypes.size());
        ASSERT_EQ(int32_t(Held.FieldTypes.size()), Vars);
        EXPECT_EQ(Held.Storage[size_t(Vars) - 1], Good.Storage[size_t(Vars) - 1]) << "V";
        for (int32_t Var = 1; Var < Vars; ++Var) {
            if (Held.Storage[size_t(Var) - 1] == Good.Storage[size_t(Var) - 1])
                continue;
            EXPECT_EQ(Held.FieldTypes[size_t(Var) - 1], 3) << "Dimension " << Var;
            const int64_t Extents[] = {Good.IMax, Good.JMax, Good.KMax};
            std::vector<int32_t> Kept = {1};
            while (Kept.back() < SourceExtents[size_t(Var) - 1])
                Kept.push_back(NextSourceIndex(Kept.back(), SweepSkips[Var - 1],
                                               SourceExtents[size_t(Var) - 1]));
            ASSERT_EQ(int64_t(Kept.size()), Extents[Var - 1]) << "Dimension " << Var;
            for (int64_t Point = 1; Point <= Good.PointCount(); ++Point) {
                int64_t Index = Point - 1;
                for (int32_t Dir = 1; Dir < Var; ++Dir)
                    Index /= Extents[Dir - 1];
                ASSERT_EQ(Held.Value(Var, Point), double(Kept[size_t(Index % Extents[Var - 1])]))
                    << "Dimension " << Var << ", point " << Point;
            }
        }
    }

    VyrHost::DataSet Earlier;
};

TEST_F(FailureSweep, EveryCallThatCanFailEndsTheSessionWithOneMessageAndNothingLeft) {
    Path = SweepFile();
    const Session Good = Run(0, false);
    ASSERT_EQ(Good.Stopped, Step::Done) << AddOnTest::Joined(Good.Messages);
    ASSERT_TRUE(Good.Data.has_value());
    ASSERT_EQ(Good.Data->Zones.size(), 2u);
    ASSERT_EQ(Good.Recorded, Items(Path, SweepSkips[0], SweepSkips[1], SweepSkips[2], {1, 2}));
    Check(Good, Good);
    const int64_t Points = int64_t(Good.Calls.size());
    for (bool AndLater : {false, true}) {
        for (int64_t N = 1; N <= Points; ++N) {
            const CallSeen& Call = Good.Calls[size_t(N - 1)];
            SCOPED_TRACE("call " + std::to_string(N) + ", " + Call.Name + " in " +
                         StepNames[size_t(Call.During)] +
                         (AndLater ? ", and every later one" : ""));
            Check(Run(N, AndLater), Good);
            if (HasFailure())
                return; // one failing session tells what is wrong
        }
    }
    std::printf("[  SWEEP   ] %lld calls that can fail: %lld sessions, each failing one or "
                "every call from one on\n",
                static_cast<long long>(Points), static_cast<long long>(2 * Points));
    RecordProperty("FailurePoints", std::to_string(Points));
}

// ---- Selections refused before the host's data set is replaced ---------------------

// Creates data sets with these extents without writing any values: HDF4
// keeps the extents but stores nothing, so the file stays small.
using Extents = std::vector<std::pair<int32_t, std::vector<int32_t>>>;

std::string EmptyDataSetFile(const std::string& Name, const Extents& Sets) {
    const std::string Path = TestHdf::TempPath(Name);
    const int32 File = SDstart(Path.c_str(), DFACC_CREATE);
    if (File == FAIL)
        throw std::runtime_error("SDstart failed for " + Path);
    for (size_t N = 0; N < Sets.size(); ++N) {
        std::vector<int32> Dims(Sets[N].second.begin(), Sets[N].second.end());
        const std::string SdsName = "big" + std::to_string(N);
        const int32 Sds =
            SDcreate(File, SdsName.c_str(), Sets[N].first, int32(Dims.size()), Dims.data());
        if (Sds == FAIL)
            throw std::runtime_error("SDcreate failed for " + SdsName);
        SDendaccess(Sds);
    }
    SDend(File);
    return Path;
}

std::string LongPath(size_t Length) {
    return "/" + std::string(Length - 1, 'p');
}

struct RefusalCase {
    const char* Name;
    // The list to replay; none: it names a real file, and the folder is absent.
    std::function<std::optional<std::vector<std::string>>()> List;
    std::string Message;
};

void PrintTo(const RefusalCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class RefusedSelectionTest : public LoaderTest,
                             public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusedSelectionTest, ShowsOneMessageAndLeavesTheHostDataSetAsItWas) {
    const RefusalCase& C = GetParam();
    const std::optional<std::vector<std::string>> List = C.List();
    if (!List)
        GTEST_SKIP() << TestHdf::RealFilesMissing();
    // The host already holds the data set of an earlier load.
    const std::string Earlier = TestHdf::TempPath("earlier.hdf");
    TestHdf::Write(Earlier, {MakeSet("earlier", DFNT_INT16, {6})});
    ASSERT_TRUE(Replay(Items(Earlier, 1, 1, 1, {1})));
    const std::vector<double> EarlierValues = VarValues(ZoneAt(1), 2);

    EXPECT_FALSE(Replay(*List));
    EXPECT_EQ(Messages(), std::vector<std::string>{C.Message});
    const VyrHost::DataSet* Set = VyrHost::CurrentDataSet();
    ASSERT_NE(Set, nullptr);
    ASSERT_EQ(Set->Zones.size(), 1u);
    EXPECT_EQ(VarValues(Set->Zones[0], 2), EarlierValues);
    EXPECT_EQ(FailableCalls::Get().Reads, 0);
    EXPECT_EQ(VyrHost::PercentDone().Launches, 1); // the earlier load's only
    EXPECT_EQ(VyrHost::RecordedInstructions("HDF Loader"),
              std::optional<std::vector<std::string>>(Items(Earlier, 1, 1, 1, {1})));
    ExpectLoadLeftNothingHeld();
}

// The list for loading these data sets of a real file, when the folder is there.
std::optional<std::vector<std::string>> RealFileWith(const std::string& FileName,
                                                     const std::vector<int32_t>& Sds) {
    const std::optional<std::string> Path = TestHdf::RealFile(FileName);
    if (!Path)
        return std::nullopt;
    return Items(*Path, 1, 1, 1, Sds);
}

std::vector<std::string> ThreeSetsWith(const std::vector<int32_t>& Sds) {
    return Items(ThreeDataSetFile(), 1, 1, 1, Sds);
}

std::vector<std::string>
EmptySetsWith(const char* Name, const std::vector<std::pair<int32_t, std::vector<int32_t>>>& Sets,
              const std::vector<int32_t>& Sds) {
    return Items(EmptyDataSetFile(Name, Sets), 1, 1, 1, Sds);
}

// A rank-1 data set between two scalars (data sets without dimensions).
std::vector<std::string> ScalarsWith(const std::vector<int32_t>& Sds) {
    const std::string Path = TestHdf::TempPath("scalars.hdf");
    TestHdf::Write(Path, {MakeSet("s1", DFNT_INT32, {}), MakeSet("v", DFNT_INT32, {4}),
                          MakeSet("s2", DFNT_FLOAT64, {})});
    return Items(Path, 1, 1, 1, Sds);
}

const char* const NotInFile = "Selected data set is not in this HDF file";
const char* const TooLarge = "HDF Dataset is too large to load";
const char* const NoDimensions = "Selected data set has no dimensions to load";

// clang-format off
const std::vector<RefusalCase> RefusalCases = {
    {"NumberZero", [] { return ThreeSetsWith({2, 0}); }, NotInFile},
    {"NegativeNumber", [] { return ThreeSetsWith({-1}); }, NotInFile},
    {"NumberAboveTheCatalogue", [] { return ThreeSetsWith({1, 4}); }, NotInFile},
    {"NumberBeyond32Bits",
        [] { return std::vector<std::string>{"M" + ThreeDataSetFile(), "S99999999999"}; },
        NotInFile},
    {"RanksDiffer",
        [] { return RealFileWith("int32-ranks-1-2-3.hdf", {2, 3}); },
        "Selected data sets do not have the same rank"},
    {"UnlimitedDimensionWithoutRecords",
        [] { return RealFileWith("empty-unlimited-40.hdf", {7}); },
        "HDF Dataset has an empty dimension"},
    {"ByteSizeBeyond32Bits",
        [] { return EmptySetsWith("bytes.hdf", {{DFNT_FLOAT32, {32768, 32768}}}, {1}); }, TooLarge},
    {"ValueCountBeyond32Bits",
        [] { return EmptySetsWith("values.hdf", {{DFNT_UINT8, {65536, 32768}}}, {1}); }, TooLarge},
    {"TotalOfSeveralBeyond32Bits", [] { return EmptySetsWith("total.hdf",
            {{DFNT_UINT8, {32768, 32768}}, {DFNT_UINT8, {32768, 32768}}}, {1, 2}); },
        "Selected data sets are too large to load"},
    {"DataSetWithoutDimensions", [] { return ScalarsWith({1}); }, NoDimensions},
    {"DataSetWithoutDimensionsAfterOneWithThem", [] { return ScalarsWith({2, 3}); },
        NoDimensions},
    {"NoDataSetNamed", [] { return ThreeSetsWith({}); }, "No Scientific Data Sets to load"},
    {"NoFileNamed", [] { return std::vector<std::string>{"I2", "S1"}; }, "File does not exist"},
    {"PathLongerThanFileNameHolds", [] { return Items(LongPath(10000), 1, 1, 1, {1}); },
        "File path is too long"},
    {"PathAfterFLongerThanFileNameHolds",
        [] { return std::vector<std::string>{"F", LongPath(12000), "S1"}; },
        "File path is too long"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Refusals, RefusedSelectionTest, ::testing::ValuesIn(RefusalCases),
                         [](const ::testing::TestParamInfo<RefusalCase>& Info) {
                             return std::string(Info.param.Name);
                         });

} // namespace
