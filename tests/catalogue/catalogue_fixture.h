// CatalogueTest: AddOnTest for the catalogue's tests. Scans run the way the
// add-on's callers run them (FileName set, inside the host lock), and each
// scan is checked for leaving no HDF4 file or data set open and for showing
// its messages only after the file was closed. The catalogue is emptied
// before the fixture's own end-of-test checks.
#ifndef LOADHDF_TESTS_CATALOGUE_CATALOGUE_FIXTURE_H
#define LOADHDF_TESTS_CATALOGUE_CATALOGUE_FIXTURE_H

#include "catalogue/file_scan.h"
#include "catalogue/hdf_faults.h"
#include "catalogue/number_types.h"
#include "interface/addon_state.h"
#include "support/addon_fixture.h"
#include "support/hdf_writer.h"
#include "vyr_host_control.h"

#include <cstdio>
#include <string>
#include <vector>

// A data set of these extents (HDF order) and number type, values 0, 1, ...
inline TestHdf::DataSet Set(std::vector<int32_t> Dims, int32_t Type = 5) {
    TestHdf::DataSet S;
    S.Dims = std::move(Dims);
    S.NumberType = Type;
    return S;
}

// Number of host buffers outstanding under the scale tag.
inline int32_t ScaleBuffersOutstanding() {
    int32_t Count = 0;
    for (const std::string& Tag : VyrHost::OutstandingTags())
        Count += Tag == "HDF Scale Data";
    return Count;
}

class CatalogueTest : public AddOnTest {
  protected:
    void SetUp() override {
        HdfFault::Reset();
        AddOnTest::SetUp();
        VyrHost::OnErrorMessage([this](const std::string&) {
            FilesOpenAtMessage.push_back(HdfFault::OpenFiles() - FilesOpenBefore);
        });
    }

    void TearDown() override {
        HdfFault::Reset();
        VyrHost::OnErrorMessage(nullptr);
        if (!ShutdownSent())
            FreeSdsEntries();
        AddOnTest::TearDown();
    }

    // Scans Path as the load dialog and the loader do: the path in FileName,
    // the scan inside the caller's lock. Checks that nothing HDF4 hands out
    // stays open and that the lock is balanced.
    bool Scan(const std::string& Path) {
        std::snprintf(FileName, FileNameSize, "%s", Path.c_str());
        FilesOpenBefore = HdfFault::OpenFiles();
        FilesOpenAtMessage.clear();
        const int32_t DataSetsBefore = HdfFault::OpenDataSets();
        VyrUtilLockStart(AddOnID);
        const bool Result = ScanHdfFile();
        EXPECT_EQ(VyrHost::LockDepth(), 1) << "the scan must leave the caller's lock as it was";
        VyrUtilLockFinish(AddOnID);
        EXPECT_EQ(HdfFault::OpenFiles(), FilesOpenBefore) << "an HDF file stayed open";
        EXPECT_EQ(HdfFault::OpenDataSets(), DataSetsBefore) << "a data set stayed selected";
        // 64-bit values are reported while the file is read; the scan's own
        // failure message comes last, once the file is closed.
        if (!Result && !FilesOpenAtMessage.empty()) {
            EXPECT_EQ(FilesOpenAtMessage.back(), 0) << "the failure was shown with the file open";
        }
        EXPECT_STREQ(FileName, Path.c_str()) << "the scan changed FileName";
        return Result;
    }

    static const std::vector<std::string>& Messages() { return VyrHost::ErrorMessages(); }

    // Dimension D's scale of a stored record, widened.
    static std::vector<double> ScaleValues(const SdsEntry& Entry, int32_t D) {
        std::vector<double> Values;
        for (int32_t J = 0; J < Entry.DimSizes[D]; ++J)
            Values.push_back(GetValueAsDouble(Entry.ScaleBuffer[D], J, Entry.ScaleNumberType[D]));
        return Values;
    }

    static std::vector<double> IndexScale(int32_t N) {
        std::vector<double> Values;
        for (int32_t J = 1; J <= N; ++J)
            Values.push_back(J);
        return Values;
    }

    // Expects slot D of Entry to hold the index scale 1..DimSizes[D].
    static void ExpectIndexScale(const SdsEntry& Entry, int32_t D) {
        SCOPED_TRACE("dimension " + std::to_string(D));
        EXPECT_EQ(Entry.ScaleNumberType[D], 24);
        EXPECT_EQ(Entry.ScaleFieldType[D], VYR_FIELD_TYPE_INT32);
        EXPECT_EQ(Entry.ScaleElemSize[D], 4);
        ASSERT_NE(Entry.ScaleBuffer[D], nullptr);
        EXPECT_EQ(ScaleValues(Entry, D), IndexScale(Entry.DimSizes[D]));
    }

  private:
    int32_t FilesOpenBefore = 0;
    std::vector<int32_t> FilesOpenAtMessage;
};

#endif
