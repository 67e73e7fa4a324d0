// Helpers for the dialog tests: act as the host's user through the stand-in
// host (pick the loader, answer the file dialog, press, select, type) and
// read back what the dialogs show. Every action returns an assertion result
// so that a refused action stops the test with the host's reason.
#ifndef LOADHDF_TESTS_GUI_GUI_SESSION_H
#define LOADHDF_TESTS_GUI_GUI_SESSION_H

#include "catalogue/sds_entry.h"
#include "host/vyr_host_control.h"
#include "interface/addon_state.h"
#include "support/addon_fixture.h"
#include "support/hdf_writer.h"
#include "support/ranks_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace GuiSession {

inline ::testing::AssertionResult Done(bool Ok, const std::string& Why) {
    if (Ok)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << Why;
}

inline ::testing::AssertionResult Launch() {
    return Done(VyrHost::PickLoader("HDF Loader"), "no loader \"HDF Loader\"");
}

inline ::testing::AssertionResult Press(const std::string& Text) {
    std::string Why;
    return Done(VyrHost::PressButton(Text, &Why), Why);
}

// Answers the next file dialog with Path (nullopt: cancel) and presses
// "Select File...".
inline ::testing::AssertionResult ChooseFile(const std::optional<std::string>& Path) {
    VyrHost::QueueFileName(Path);
    return Press("Select File...");
}

inline ::testing::AssertionResult Select(const std::vector<int32_t>& Items) {
    std::string Why;
    return Done(VyrHost::SelectItems(Items, &Why), Why);
}

inline ::testing::AssertionResult Type(const std::string& Label, const std::string& Text) {
    std::string Why;
    return Done(VyrHost::TypeInto(Label, Text, &Why), Why);
}

inline ::testing::AssertionResult Ok() {
    std::string Why;
    return Done(VyrHost::PressOk(&Why), Why);
}

inline ::testing::AssertionResult Cancel() {
    std::string Why;
    return Done(VyrHost::PressCancel(&Why), Why);
}

inline ::testing::AssertionResult Help() {
    std::string Why;
    return Done(VyrHost::PressHelp(&Why), Why);
}

// The control with this id; fails the test when the host does not know it.
inline const VyrHost::Control& ControlOf(int32_t Id) {
    const VyrHost::Control* Found = VyrHost::FindControl(Id);
    if (Found == nullptr)
        throw std::runtime_error("the host knows no control " + std::to_string(Id));
    return *Found;
}

inline std::vector<std::string> ListLines() {
    return ControlOf(DataSetList).Items;
}
inline std::vector<int32_t> ListSelection() {
    return ControlOf(DataSetList).Selected;
}

inline std::string TopTitle() {
    const VyrHost::Dialog* Top = VyrHost::TopDialog();
    return Top == nullptr ? std::string() : Top->Title;
}

// The nine controls that follow the catalogue, and the three that are
// always sensitive.
inline std::vector<int32_t> DataSetControls() {
    return {ISkipLabel, JSkipLabel,       KSkipLabel,  ISkipField,      JSkipField,
            KSkipField, DataSetListLabel, DataSetList, AttributesButton};
}
inline std::vector<int32_t> FileControls() {
    return {FileLabel, FileNameLabel, SelectFileButton};
}

// After a dialog session has ended: no dialog up, the lock given back, and
// nothing the host handed out still held but the selection set.
inline ::testing::AssertionResult SessionClosed() {
    if (VyrHost::TopDialog() != nullptr)
        return ::testing::AssertionFailure() << "dialog still up: " << TopTitle();
    if (VyrHost::LockDepth() != 0)
        return ::testing::AssertionFailure() << "lock depth " << VyrHost::LockDepth();
    if (VyrHost::OutstandingAllocations() != 1) {
        auto Failure = ::testing::AssertionFailure() << "outstanding:";
        for (const std::string& Tag : VyrHost::OutstandingTags())
            Failure << " [" << Tag << "]";
        return Failure;
    }
    return ::testing::AssertionSuccess();
}

// A file of the data sets TestHdf::RanksThreeTwoOne describes.
inline std::string WriteRanks321(const std::string& FileName) {
    return TestHdf::WriteTemp(FileName, TestHdf::RanksThreeTwoOne());
}

} // namespace GuiSession

#endif
