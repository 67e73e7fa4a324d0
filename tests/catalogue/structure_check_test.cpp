// The structure check: every kind of file HDF4's writers make passes it and
// still scans, and each damage that makes HDF4 4.2.15 crash, loop or overrun
// a buffer is refused, naming its rule, before HDF4 sees the file.
#include "catalogue/catalogue_fixture.h"
#include "catalogue/structure_check.h"
#include "support/writer_variety.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

using StructureCheckTest = CatalogueTest;

// ---- Reading and patching a file's DDs, as the damaged files need. ----------

struct DdAt {
    uint16_t Tag = 0, Ref = 0;
    int32_t Offset = 0, Length = 0;
    size_t Position = 0; // of the DD itself
};

std::vector<uint8_t> Bytes(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(In), {});
}

void Save(const std::string& Path, const std::vector<uint8_t>& Data) {
    std::ofstream(Path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(Data.data()), std::streamsize(Data.size()));
}

uint32_t Get(const std::vector<uint8_t>& Data, size_t At, int Width) {
    uint32_t Value = 0;
    for (int I = 0; I < Width; ++I)
        Value = Value << 8 | Data.at(At + size_t(I));
    return Value;
}

void Put(std::vector<uint8_t>* Data, size_t At, int Width, uint32_t Value) {
    for (int I = Width - 1; I >= 0; --I, Value >>= 8)
        Data->at(At + size_t(I)) = uint8_t(Value);
}

std::vector<DdAt> Dds(const std::vector<uint8_t>& Data) {
    std::vector<DdAt> List;
    for (size_t Block = 4; Block != 0; Block = Get(Data, Block + 2, 4)) {
        const uint32_t Count = Get(Data, Block, 2);
        for (uint32_t I = 0; I < Count; ++I) {
            const size_t At = Block + 6 + 12 * I;
            List.push_back({uint16_t(Get(Data, At, 2)), uint16_t(Get(Data, At + 2, 2)),
                            int32_t(Get(Data, At + 4, 4)), int32_t(Get(Data, At + 8, 4)), At});
        }
    }
    return List;
}

// The first DD of this tag whose element holds Text (any, when Text is empty).
DdAt Find(const std::vector<uint8_t>& Data, uint16_t Tag, const std::string& Text = "") {
    for (const DdAt& Dd : Dds(Data)) {
        if (Dd.Tag != Tag || Dd.Offset < 0)
            continue;
        const std::string Element(Data.begin() + Dd.Offset, Data.begin() + Dd.Offset + Dd.Length);
        if (Element.find(Text) != std::string::npos)
            return Dd;
    }
    throw std::runtime_error("no such element in the test file");
}

constexpr uint16_t SpecialSd = 0x4000 | 702;

// ---- Every writer's files pass and scan. --------------------------------------

TEST_F(StructureCheckTest, FilesOfEveryHdf4WriterPassAndScan) {
    for (const TestHdf::WriterCase& Case : TestHdf::WriterVariety()) {
        SCOPED_TRACE(Case.Name);
        const std::string Path = TestHdf::TempPath(
            std::string("writer-") + std::to_string(&Case - &TestHdf::WriterVariety()[0]) + ".hdf");
        Case.Write(Path);
        const StructureVerdict Verdict = CheckHdfStructure(Path.c_str());
        EXPECT_TRUE(Verdict.Sound) << Verdict.Rule;
        const size_t Shown = Messages().size();
        if (!Scan(Path)) {
            ASSERT_GT(Messages().size(), Shown);
            EXPECT_NE(Messages().back(), "Not a valid HDF File");
            EXPECT_NE(Messages().back(), "Unable to read a Scientific Data Set in this HDF file");
        }
        FreeSdsEntries();
    }
}

TEST_F(StructureCheckTest, ARealFileOfEveryEarlierWriterPasses) {
    const std::filesystem::path Folder = TestHdf::RealFilesDir();
    if (!std::filesystem::is_directory(Folder))
        GTEST_SKIP() << TestHdf::RealFilesMissing();
    for (const auto& Entry : std::filesystem::directory_iterator(Folder)) {
        if (Entry.path().extension() != ".hdf")
            continue;
        const StructureVerdict Verdict = CheckHdfStructure(Entry.path().c_str());
        EXPECT_TRUE(Verdict.Sound) << Entry.path() << ": " << Verdict.Rule;
    }
}

// A 64-bit number type of another interface is none of the SD readers'
// business: the file's data sets scan, and a file of such an image alone has
// no data sets.
TEST_F(StructureCheckTest, AGrImageOf64BitValuesLeavesTheScanAlone) {
    std::map<std::string, std::string> Paths;
    for (const TestHdf::WriterCase& Case : TestHdf::WriterVariety()) {
        if (std::strstr(Case.Name, "64-bit") == nullptr)
            continue;
        Paths[Case.Name] = TestHdf::TempPath(std::string("gr64-") + std::to_string(Paths.size()));
        Case.Write(Paths[Case.Name]);
    }
    ASSERT_EQ(Paths.size(), 2u);
    EXPECT_TRUE(Scan(Paths.at("SD with a 64-bit GR image")));
    EXPECT_EQ(SdsCount, 1);
    EXPECT_FALSE(Scan(Paths.at("GR: a 64-bit image only")));
    EXPECT_EQ(Messages().back(), "No Scientific Datasets were found in this HDF file");
}

// ---- Each damage is refused by its rule, and the scan says so. ---------------

struct Damage {
    const char* What;
    // Writes the good file the damage is made to.
    std::function<void(const std::string&)> Write;
    std::function<void(std::vector<uint8_t>*)> Apply;
    const char* Rule;
};

void WriteSd(const std::string& Path) {
    TestHdf::Write(Path, {Set({4, 3})});
}

void WriteByName(const char* Name, const std::string& Path) {
    for (const TestHdf::WriterCase& Case : TestHdf::WriterVariety())
        if (std::strcmp(Case.Name, Name) == 0)
            return Case.Write(Path);
    throw std::runtime_error("no such writer case");
}

auto Writer(const char* Name) {
    return [Name](const std::string& Path) { WriteByName(Name, Path); };
}

const char* const Appended = "SD: unlimited records appended later";
const char* const Chunked = "SD: chunked, and compressed chunks partly written";
const char* const Compressed = "SD: compression of every coder";
const char* const Dfsd = "DFSD: scales, texts, calibration, annotations";

// The description record of the first special data element with this code.
size_t SpecialRecord(const std::vector<uint8_t>& Data, uint16_t Code) {
    for (const DdAt& Dd : Dds(Data))
        if (Dd.Tag == SpecialSd && Get(Data, size_t(Dd.Offset), 2) == Code)
            return size_t(Dd.Offset);
    throw std::runtime_error("no such special element in the test file");
}

// clang-format off
const Damage Damages[] = {
    {"not HDF at all", WriteSd, [](auto* D) { (*D)[0] = 'C'; }, "no HDF magic number"},
    {"cut in half", WriteSd, [](auto* D) { D->resize(D->size() / 2); }, nullptr},
    {"DD block chain pointing at itself", WriteSd,
     [](auto* D) { Put(D, 6, 4, 4); }, "DD block chain turns back"},
    {"element past the end of the file", WriteSd,
     [](auto* D) { Put(D, Find(*D, 702).Position + 8, 4, 0x7fffffff); }, "element outside the file"},
    {"negative element length", WriteSd,
     [](auto* D) { Put(D, Find(*D, 1965).Position + 8, 4, 0xfffffff0); }, "element outside the file"},
    {"version element longer than 92 bytes (stack smashing in Hopen)", WriteSd,
     [](auto* D) { Put(D, Find(*D, 30).Position + 8, 4, 200); }, "version element longer than HDF4's buffer"},
    {"version element in a special form", WriteSd,
     [](auto* D) { Put(D, Find(*D, 30).Position, 2, 0x401E); }, "special form of a record HDF4 reads as plain"},
    {"two DDs of one tag and ref", WriteSd, [](auto* D) {
         const std::vector<DdAt> All = Dds(*D);
         Put(D, All[All.size() - 1].Position, 4, Get(*D, Find(*D, 1965).Position, 4)); },
     "two DDs with the same tag and reference"},
    {"vgroup count past its record (SEGV in VPgetinfo)", WriteSd,
     [](auto* D) { Put(D, size_t(Find(*D, 1965).Offset), 2, 0xffff); }, "vgroup record that does not add up"},
    {"vdata name longer than 64 bytes", WriteSd,
     [](auto* D) { Put(D, size_t(Find(*D, 1962, "DimVal0.1").Offset) + 26, 2, 100); },
     "vdata name or class longer than HDF4's 64-byte field"},
    {"vdata field of a 64-bit type", WriteSd,
     [](auto* D) { Put(D, size_t(Find(*D, 1962, "DimVal0.1").Offset) + 10, 2, 26); },
     "vdata fields that HDF4 cannot convert"},
    {"dimension value of eight bytes (stack overrun in hdf_read_dims)", WriteSd, [](auto* D) {
         const size_t At = size_t(Find(*D, 1962, "DimVal0.1").Offset);
         Put(D, At + 6, 2, 8); Put(D, At + 12, 2, 8); Put(D, At + 16, 2, 2); },
     "dimension size HDF4 would overrun"},
    {"SD vgroup naming one ref twice (endless loop in hdf_read_dims)", WriteSd, [](auto* D) {
         const size_t At = size_t(Find(*D, 1965, "CDF0.0").Offset);
         const uint32_t Count = Get(*D, At, 2);
         Put(D, At + 2 + 2 * Count + 2, 2, Get(*D, At + 2 + 2 * Count, 2)); },
     "SD vgroup naming one reference twice"},
    {"data of a 64-bit number type", WriteSd,
     [](auto* D) { (*D)[size_t(Find(*D, 106).Offset) + 1] = 26; }, "number type HDF4 cannot convert"},
    {"old-style group without its dimension record (double free)", Writer(Dfsd), [](auto* D) {
         const DdAt Group = Dds(*D).back().Tag == 720 ? Dds(*D).back() : Find(*D, 720);
         for (size_t At = size_t(Group.Offset); At < size_t(Group.Offset + Group.Length); At += 4)
             if (Get(*D, At, 2) == 701)
                 Put(D, At, 2, 709); },
     "data-set group without exactly one dimension record"},
    {"dimension record of rank 40", Writer(Dfsd),
     [](auto* D) { Put(D, size_t(Find(*D, 701).Offset), 2, 40); },
     "dimension record of a rank HDF4 cannot take"},
    {"linked blocks of length 0 (division by zero)", Writer(Appended),
     [](auto* D) { Put(D, SpecialRecord(*D, 1) + 6, 4, 0); }, "linked blocks HDF4 cannot walk"},
    {"linked-block table naming itself (endless walk)", Writer(Appended), [](auto* D) {
         const uint32_t Table = Get(*D, SpecialRecord(*D, 1) + 14, 2);
         for (const DdAt& Dd : Dds(*D))
             if (Dd.Tag == 20 && Dd.Ref == Table)
                 Put(D, size_t(Dd.Offset), 2, Table); },
     "linked-block tables that loop"},
    {"chunk length 0 (division by zero)", Writer(Chunked),
     [](auto* D) { Put(D, SpecialRecord(*D, 5) + 43, 4, 0); }, "chunk lengths HDF4 would divide by"},
    {"chunked header longer than HDF4's buffer", Writer(Chunked),
     [](auto* D) { Put(D, SpecialRecord(*D, 5) + 2, 4, 300); }, "chunked header HDF4 would overrun"},
    {"deflate level 20", Writer(Compressed),
     [](auto* D) { Put(D, SpecialRecord(*D, 3) + 14, 2, 20); }, "deflate compression with an unknown level"},
    {"special element of an in-memory kind (assert in HDF4)", Writer(Compressed),
     [](auto* D) { Put(D, SpecialRecord(*D, 3), 2, 6); }, "special element HDF4 would misread"},
    {"data in an external file", Writer(Compressed),
     [](auto* D) { Put(D, SpecialRecord(*D, 3), 2, 2); }, "data stored in an external file"},
};
// clang-format on

TEST_F(StructureCheckTest, EachDamageHdf4CannotTakeIsRefusedByItsRule) {
    for (const Damage& Case : Damages) {
        SCOPED_TRACE(Case.What);
        const std::string Path =
            TestHdf::TempPath(std::string("damaged-") + std::to_string(&Case - Damages));
        Case.Write(Path);
        std::vector<uint8_t> Data = Bytes(Path);
        Case.Apply(&Data);
        Save(Path, Data);
        const StructureVerdict Verdict = CheckHdfStructure(Path.c_str());
        EXPECT_FALSE(Verdict.Sound);
        if (Case.Rule != nullptr) {
            EXPECT_STREQ(Verdict.Rule, Case.Rule);
        }
        const size_t Shown = Messages().size();
        EXPECT_FALSE(Scan(Path));
        EXPECT_EQ(std::vector<std::string>(Messages().begin() + long(Shown), Messages().end()),
                  std::vector<std::string>{"Not a valid HDF File"});
    }
}

} // namespace
