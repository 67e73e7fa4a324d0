// The structure check: every kind of file HDF4's writers make passes it and
// still scans, and each damage that makes HDF4 4.2.15 crash, loop or overrun
// a buffer is refused, naming its rule, before HDF4 sees the file. Data that
// HDF4 would misread alone (an external file, a fill value of another type, a
// chunk cut short) keeps just its data set out: the file scans, and a load of
// that data set ends with the read error.
#include "catalogue/catalogue_fixture.h"
#include "catalogue/structure_check.h"
#include "catalogue/structure_damages.h"
#include "catalogue/structure_rule_guards.h"
#include "support/writer_variety.h"

#include <gtest/gtest.h>
#include <hdf/mfhdf.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

namespace {

class StructureCheckTest : public CatalogueTest {
  protected:
    // Scans Path, which must list data set HdfIndex, lets Look see its
    // record, then has the host replay a load of that data set alone (skips
    // 1) as a recorded load runs. Returns the loader's result; *Shown takes
    // the messages the load showed.
    bool LoadAlone(const std::string& Path, int32_t HdfIndex, std::vector<std::string>* Shown,
                   const std::function<void(const SdsEntry&)>& Look = nullptr) {
        if (!Scan(Path)) {
            ADD_FAILURE() << "the scan failed:\n" << Joined(Messages());
            return false;
        }
        int32_t Number = 0;
        for (int32_t I = 0; I < SdsCount; ++I)
            if (SdsEntries[I].HdfIndex == HdfIndex)
                Number = I + 1;
        if (Number != 0 && Look)
            Look(SdsEntries[Number - 1]);
        FreeSdsEntries();
        if (Number == 0) {
            ADD_FAILURE() << "data set " << HdfIndex << " is not listed";
            return false;
        }
        const size_t Before = Messages().size();
        bool Result = false;
        EXPECT_TRUE(VyrHost::CallLoader(
            "HDF Loader", {"M" + Path, "I1", "J1", "K1", "S" + std::to_string(Number)}, &Result));
        Shown->assign(Messages().begin() + long(Before), Messages().end());
        return Result;
    }
};

const char* const ReadError = "Error reading HDF Dataset";

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

// The DD of this tag and ref.
DdAt FindRef(const std::vector<uint8_t>& Data, uint16_t Tag, uint32_t Ref) {
    for (const DdAt& Dd : Dds(Data))
        if (Dd.Tag == Tag && Dd.Ref == Ref)
            return Dd;
    throw std::runtime_error("no such element in the test file");
}

constexpr uint16_t SpecialSd = 0x4000 | 702;

// Where the first and second records of the chunk table of data set 0 (of
// 4 x 3 chunks) lie. HDF4 keeps chunk tables in linked blocks, the first
// record alone in the first block and the rest in the second.
std::pair<size_t, size_t> ChunkRecords(const std::vector<uint8_t>& Data) {
    size_t Chunked = 0;
    for (const DdAt& Dd : Dds(Data))
        if (Dd.Tag == SpecialSd && Get(Data, size_t(Dd.Offset), 2) == 5 &&
            Get(Data, size_t(Dd.Offset) + 15, 4) == 12)
            Chunked = size_t(Dd.Offset);
    const DdAt Header = FindRef(Data, 0x4000 | 1963, Get(Data, Chunked + 25, 2));
    const DdAt Links = FindRef(Data, 20, Get(Data, size_t(Header.Offset) + 14, 2));
    return {size_t(FindRef(Data, 20, Get(Data, size_t(Links.Offset) + 2, 2)).Offset),
            size_t(FindRef(Data, 20, Get(Data, size_t(Links.Offset) + 4, 2)).Offset)};
}

// The DD of the compressed bytes of the data set compressed with this coder
// (2 N-bit, 3 skipping Huffman).
DdAt CompressedBytes(const std::vector<uint8_t>& Data, uint32_t Coder) {
    for (const DdAt& Dd : Dds(Data))
        if (Dd.Tag == SpecialSd && Get(Data, size_t(Dd.Offset), 2) == 3 &&
            Get(Data, size_t(Dd.Offset) + 12, 2) == Coder)
            return FindRef(Data, 40, Get(Data, size_t(Dd.Offset) + 8, 2));
    throw std::runtime_error("no such compressed data set in the test file");
}

// ---- Every writer's files pass and scan. --------------------------------------

const char* const NeverWritten = "SD: data sets never written";
const char* const ForeignFill = "SD: fill value of another type than the data";
const char* const External = "SD: external data and an external coordinate variable";
const char* const Deleted = "SD: a data set's vgroup deleted";

using KeptOutList = std::vector<std::pair<int32_t, std::string>>;

// The data sets of writer cases whose values HDF4 must not be asked for, by
// index and rule; every other case's files have none.
const std::map<std::string, KeptOutList> KeptOutByCase = {
    {ForeignFill,
     {{1, "fill value of another type than its data"},
      {2, "fill value of another type than its data"}}},
    {External, {{0, "data stored in an external file"}, {1, "data stored in an external file"}}},
    // A valid file HDF4 itself crashes on (SIGSEGV in HLPread under Hbitread).
    {"SD: N-bit records appended, the chain exactly full",
     {{0, "compressed stream whose decoder reads past its linked blocks"}}},
    // HDF4 lists the file and reads the small data set; of the large one it
    // would hand out fill values.
    {"SD: a sparse chunked data set of 2 GiB and more beside a small one",
     {{0, "chunked data set of more than 2 GiB"}}},
    // HDF4 lists the file at once, but would take minutes to read the fine
    // grid, in one SDreaddata.
    {"SD: 1 x 1 chunks on a grid of 1,025 x 1,024 beside a small data set",
     {{0, "chunk grid too fine to read"}}},
};

TEST_F(StructureCheckTest, FilesOfEveryHdf4WriterPassAndScan) {
    for (const TestHdf::WriterCase& Case : TestHdf::WriterVariety()) {
        SCOPED_TRACE(Case.Name);
        const std::string Path = TestHdf::TempPath(
            std::string("writer-") + std::to_string(&Case - &TestHdf::WriterVariety()[0]) + ".hdf");
        Case.Write(Path);
        const StructureVerdict Verdict = CheckHdfStructure(Path.c_str());
        EXPECT_TRUE(Verdict.Sound) << Verdict.Rule;
        KeptOutList KeptOut;
        for (const DataKeptOut& Set : Verdict.KeptOut) {
            KeptOut.emplace_back(Set.HdfIndex, Set.Rule);
            EXPECT_STREQ(Verdict.DataRule(Set.HdfIndex), Set.Rule);
        }
        std::sort(KeptOut.begin(), KeptOut.end());
        const auto Expected = KeptOutByCase.find(Case.Name);
        EXPECT_EQ(KeptOut, Expected == KeptOutByCase.end() ? KeptOutList{} : Expected->second);
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
        const StructureVerdict Verdict = CheckHdfStructure(Entry.path().string().c_str());
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

void WriteSd(const std::string& Path) {
    TestHdf::Write(Path, {Set({4, 3})});
}

const std::string LongVdataName(64, 'A');

// A file of one vdata whose name is as long as HDF4 keeps.
void WriteLongVdataName(const std::string& Path) {
    const int32 File = Hopen(Path.c_str(), DFACC_CREATE, 0);
    int32 Value = 7;
    const bool Written = File != FAIL && Vstart(File) != FAIL && [&] {
        const int32 Vdata = VSattach(File, -1, "w");
        const bool Ok = Vdata != FAIL && VSsetname(Vdata, LongVdataName.c_str()) != FAIL &&
                        VSfdefine(Vdata, "v", DFNT_INT32, 1) != FAIL &&
                        VSsetfields(Vdata, "v") != FAIL &&
                        VSwrite(Vdata, reinterpret_cast<uint8*>(&Value), 1, FULL_INTERLACE) == 1;
        return VSdetach(Vdata) != FAIL && Ok;
    }() && Vend(File) != FAIL;
    if (Hclose(File) == FAIL || !Written)
        throw std::runtime_error("cannot write the vdata file");
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
const char* const SmallBlocks = "SD: records appended over six sessions in blocks of 64 bytes";
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

// A chunk whose compressed bytes HDF4 moved into linked blocks (the first
// in the file's order): the chunk's compressed-element record, and the DDs
// of the first two blocks of its bytes.
struct LinkedChunkBytes {
    size_t Record;      // of the chunk's compressed element (code 3)
    size_t Linked;      // of its bytes' linked-block element (code 1)
    DdAt First, Second; // the bytes' first two blocks
};

LinkedChunkBytes FirstLinkedChunkBytes(const std::vector<uint8_t>& Data) {
    constexpr uint16_t SpecialChunk = 0x4000 | 61, SpecialCompressed = 0x4000 | 40;
    for (const DdAt& Chunk : Dds(Data)) {
        if (Chunk.Tag != SpecialChunk || Get(Data, size_t(Chunk.Offset), 2) != 3)
            continue;
        const uint32_t BytesRef = Get(Data, size_t(Chunk.Offset) + 8, 2);
        for (const DdAt& Bytes : Dds(Data)) {
            if (Bytes.Tag != SpecialCompressed || Bytes.Ref != BytesRef ||
                Get(Data, size_t(Bytes.Offset), 2) != 1)
                continue;
            const DdAt Table = FindRef(Data, 20, Get(Data, size_t(Bytes.Offset) + 14, 2));
            return {size_t(Chunk.Offset), size_t(Bytes.Offset),
                    FindRef(Data, 20, Get(Data, size_t(Table.Offset) + 2, 2)),
                    FindRef(Data, 20, Get(Data, size_t(Table.Offset) + 4, 2))};
        }
    }
    throw std::runtime_error("no chunk with linked compressed bytes in the test file");
}

const char* const DeflateHalves = "SD: deflated chunks written in two halves";
const char* const HuffmanHalves = "SD: skipping-Huffman chunks written in two halves";
const char* const ReadsPastEnd = "compressed stream whose decoder reads past its linked blocks";

// The file's free DDs (tag DFTAG_NULL), in order.
std::vector<DdAt> FreeDds(const std::vector<uint8_t>& Data) {
    std::vector<DdAt> Free;
    for (const DdAt& Dd : Dds(Data))
        if (Dd.Tag == 1)
            Free.push_back(Dd);
    return Free;
}

// The bytes of the N-bit stream that hold exactly the kept bits of every
// value of the data set compressed with the N-bit coder.
uint32_t NbitStreamBytes(const std::vector<uint8_t>& Data) {
    for (const DdAt& Dd : Dds(Data)) {
        const size_t At = size_t(Dd.Offset);
        if (Dd.Tag == SpecialSd && Get(Data, At, 2) == 3 && Get(Data, At + 12, 2) == 2) {
            const uint32_t Values = Get(Data, At + 4, 4) / 4; // of 32-bit integers
            return (Values * Get(Data, At + 26, 4) + 7) / 8;
        }
    }
    throw std::runtime_error("no N-bit data set in the test file");
}

// clang-format off
const Damage Damages[] = {
    // HDF4's Hishdf says no, as the check does: the rule only says where
    // HDF4 would say it. No twin: the magic number is four fixed bytes.
    {"not HDF at all", WriteSd, [](auto* D) { (*D)[0] = 'C'; }, "no HDF magic number",
     nullptr, 0, Hdf4Fault::Report},
    // Hopen fails and leaves the DD table it read, and its atom group,
    // allocated. No twin: a file cut anywhere loses bytes a DD names.
    {"cut in half", WriteSd, [](auto* D) { D->resize(D->size() / 2); }, nullptr,
     nullptr, 0, Hdf4Fault::Leak},
    // A chain back through DDs in use: HTPstart finds them twice (DFE_DUPDD)
    // and leaves its DD table allocated (the endless walk needs a block of
    // free DDs only). Twin: the chain goes on to a block of one free DD at
    // the file's end, and ends there.
    {"DD block chain pointing at itself", WriteSd,
     [](auto* D) { Put(D, 6, 4, 4); }, "DD block chain that loops",
     nullptr, 0, Hdf4Fault::Leak, [](auto* D) {
         Put(D, 6, 4, uint32_t(D->size()));
         const uint8_t Block[] = {0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255};
         D->insert(D->end(), std::begin(Block), std::end(Block)); }},
    // Twin: the element reaches the file's last byte.
    {"element past the end of the file", WriteSd,
     [](auto* D) { Put(D, Find(*D, 702).Position + 8, 4, 0x7fffffff); }, "element outside the file",
     nullptr, 0, Hdf4Fault::Clean,
     [](auto* D) { Put(D, Find(*D, 702).Position + 8, 4, uint32_t(D->size()) - Find(*D, 702).Offset); },
     "HDF4 reads the data set's bytes from the element's start and never the end the DD claims"},
    // The vgroup header cannot be read: SDstart fails, leaving the records
    // Vinitialize made (vgroup nodes, atoms). Twin: the record reaches the
    // file's last byte, which is the last vgroup's, so HDF4 and the check
    // find its trailer where they look.
    {"negative element length", WriteSd,
     [](auto* D) { Put(D, Find(*D, 1965).Position + 8, 4, 0xfffffff0); }, "element outside the file",
     nullptr, 0, Hdf4Fault::Leak,
     [](auto* D) { Put(D, Find(*D, 1965).Position + 8, 4, uint32_t(D->size()) - Find(*D, 1965).Offset); }},
    // Twin: exactly 92 bytes, as HDF4's writer stores it.
    {"version element longer than 92 bytes (stack smashing in Hopen)", WriteSd,
     [](auto* D) { Put(D, Find(*D, 30).Position + 8, 4, 200); }, "version element longer than HDF4's buffer",
     nullptr, 0, Hdf4Fault::Crash, [](auto* D) { Put(D, Find(*D, 30).Position + 8, 4, 92); }},
    // The access HIread_version starts through the special handler leaks an
    // atom at every Hopen. No twin: a tag is special or not.
    {"version element in a special form", WriteSd,
     [](auto* D) { Put(D, Find(*D, 30).Position, 2, 0x401E); }, "version element in a special form",
     nullptr, 0, Hdf4Fault::Leak},
    // HTPstart fails (DFE_DUPDD) and leaves its DD table allocated. Twin: the
    // free DD becomes a vgroup of a ref of its own over the same record.
    {"two DDs of one tag and ref", WriteSd, [](auto* D) {
         const std::vector<DdAt> All = Dds(*D);
         Put(D, All[All.size() - 1].Position, 4, Get(*D, Find(*D, 1965).Position, 4)); },
     "two DDs with the same tag and reference", nullptr, 0, Hdf4Fault::Leak, [](auto* D) {
         const DdAt Group = Find(*D, 1965);
         const size_t Free = FreeDds(*D).back().Position;
         Put(D, Free, 2, 1965); Put(D, Free + 2, 2, 0x7777);
         Put(D, Free + 4, 4, uint32_t(Group.Offset)); Put(D, Free + 8, 4, uint32_t(Group.Length)); }},
    // Tag 0 no reader asks for, but Hopen's HTPstart files it: a DD of ref 0
    // that is not the first of its tag fails it, and so do two of one ref,
    // each leaving its DD table. HDF4 alone takes this one, the first of its
    // tag (the row's last field); no writer writes tag 0, so the rule keeps
    // refusing it. Twin: a free DD made tag 0 and ref 1.
    {"DD of tag 0 and ref 0", WriteSd,
     [](auto* D) { Put(D, Find(*D, 702).Position, 4, 0); }, "DD with reference 0",
     nullptr, 0, Hdf4Fault::Report,
     [](auto* D) { Put(D, FreeDds(*D).back().Position, 4, 1); },
     "HTPstart files the first DD of a tag with ref 0 and fails only on a second (DFE_DUPDD): "
     "HDF4 opens the file and only fails, cleanly, to find the data element the DD was"},
    // HTPstart fails (DFE_DUPDD) and leaves its DD table allocated. Twin: two
    // free DDs made tag 0, of refs 0x77 and 0x78.
    {"two DDs of tag 0 and one ref", WriteSd, [](auto* D) {
         Put(D, Find(*D, 702).Position, 4, 0x77);
         Put(D, Find(*D, 106).Position, 4, 0x77); },
     "two DDs with the same tag and reference", nullptr, 0, Hdf4Fault::Leak, [](auto* D) {
         const std::vector<DdAt> Free = FreeDds(*D);
         Put(D, Free[0].Position, 4, 0x77);
         Put(D, Free[1].Position, 4, 0x78); }},
    // No twin: one entry more or less moves every field after the tags and
    // refs, so only the written count reads the record.
    {"vgroup count past its record (SEGV in VPgetinfo)", WriteSd,
     [](auto* D) { Put(D, size_t(Find(*D, 1965).Offset), 2, 0xffff); }, "vgroup record that does not add up",
     nullptr, 0, Hdf4Fault::Crash},
    // HIstrncpy copies a name up to its declared length or first zero byte:
    // 64 characters, a declared length of 66 and the class length turned
    // into two more overrun HDF4's 65-byte array. What shows is SDstart
    // failing on the header after it, leaving the vdata records
    // Vinitialize made. Twin: a declared length of 64, as the writer wrote.
    {"vdata name longer than 64 bytes", WriteLongVdataName, [](auto* D) {
         const DdAt Header = Find(*D, 1962, LongVdataName);
         const std::string Element(D->begin() + Header.Offset,
                                   D->begin() + Header.Offset + Header.Length);
         const size_t Name = size_t(Header.Offset) + Element.find(LongVdataName);
         Put(D, Name - 2, 2, 66); Put(D, Name + 64, 2, 'A' << 8 | 'A'); },
     "vdata name or class longer than HDF4's 64-byte field", nullptr, 0, Hdf4Fault::Leak,
     [](auto* D) {
         const DdAt Header = Find(*D, 1962, LongVdataName);
         const std::string Element(D->begin() + Header.Offset,
                                   D->begin() + Header.Offset + Header.Length);
         Put(D, size_t(Header.Offset) + Element.find(LongVdataName) - 2, 2, 64); }},
    // Version 4 with version and "more" stored once, as older writers stored
    // them: HDF4 reads the attribute flags past the record (SEGV in
    // VSPgetinfo).
    {"version-4 vdata header with its version stored once", WriteSd, [](auto* D) {
         const DdAt Header = Find(*D, 1962, "DimVal0.1");
         const size_t Middle = size_t(Header.Length) - 9; // before the 5-byte trailer
         Put(D, Header.Position + 8, 4, uint32_t(Middle + 5));
         Put(D, size_t(Header.Offset) + Middle, 2, 4); },
     "vdata header that does not add up", nullptr, 0, Hdf4Fault::Clean,
     // Twin: the same cut of a version-3 header, which has no attributes.
     [](auto* D) {
         const DdAt Header = Find(*D, 1962, "DimVal0.1");
         Put(D, Header.Position + 8, 4, uint32_t(size_t(Header.Length) - 9 + 5)); },
     "the bytes after the record in HDF4's buffer say no attributes: HDF4 reads the file whole"},
    // A declared length past the name only runs into the fields after it:
    // HDF4 stops copying at their first zero byte, then fails on the middle
    // version copy, and SDstart leaves the vdata records Vinitialize made.
    // No twin: the declared length places every field after the name.
    {"vdata name length past the name", WriteSd,
     [](auto* D) { Put(D, size_t(Find(*D, 1962, "DimVal0.1").Offset) + 26, 2, 100); },
     "vdata header that does not add up", nullptr, 0, Hdf4Fault::Leak},
    // No twin: a dimension's value field of any type but int32 is refused
    // as a dimension size HDF4 would overrun.
    {"vdata field of a 64-bit type", WriteSd,
     [](auto* D) { Put(D, size_t(Find(*D, 1962, "DimVal0.1").Offset) + 10, 2, 26); },
     "vdata fields that HDF4 cannot convert", nullptr, 0, Hdf4Fault::Clean, nullptr,
     "HDF4 reads the file and every value is the file's: no signal or sanitizer report shows "
     "what VSread does with the field (HDF4's own code is not instrumented)"},
    // The overrun of hdf_read_dims' stack shows as the file's whole SD
    // record (sd_NC_new_cdf) lost at SDend. Twin: the value of 4 bytes, as
    // the writer wrote it.
    {"dimension value of eight bytes (stack overrun in hdf_read_dims)", WriteSd, [](auto* D) {
         const size_t At = size_t(Find(*D, 1962, "DimVal0.1").Offset);
         Put(D, At + 6, 2, 8); Put(D, At + 12, 2, 8); Put(D, At + 16, 2, 2); },
     "dimension size HDF4 would overrun", nullptr, 0, Hdf4Fault::Leak, [](auto* D) {
         const size_t At = size_t(Find(*D, 1962, "DimVal0.1").Offset);
         Put(D, At + 6, 2, 4); Put(D, At + 12, 2, 4); Put(D, At + 16, 2, 1); }},
    {"SD vgroup naming one ref twice (endless loop in hdf_read_dims)", WriteSd, [](auto* D) {
         const size_t At = size_t(Find(*D, 1965, "CDF0.0").Offset);
         const uint32_t Count = Get(*D, At, 2);
         Put(D, At + 2 + 2 * Count + 2, 2, Get(*D, At + 2 + 2 * Count, 2)); },
     // No twin: any other ref drops an entry the variable needs.
     "SD vgroup naming one reference twice", nullptr, 0, Hdf4Fault::Hang},
    // hdf_read_xdr_cdf fails and the old-style reader that runs instead
    // leaves a freed buffer behind: the second SDstart frees it again.
    // Twin: a 32-bit integer type, of the data's size.
    {"data of a 64-bit number type", WriteSd,
     [](auto* D) { (*D)[size_t(Find(*D, 106).Offset) + 1] = 26; }, "number type HDF4 cannot convert",
     nullptr, 0, Hdf4Fault::Crash, [](auto* D) { (*D)[size_t(Find(*D, 106).Offset) + 1] = 24; }},
    {"old-style group without its dimension record (double free)", Writer(Dfsd), [](auto* D) {
         const DdAt Group = Dds(*D).back().Tag == 720 ? Dds(*D).back() : Find(*D, 720);
         for (size_t At = size_t(Group.Offset); At < size_t(Group.Offset + Group.Length); At += 4)
             if (Get(*D, At, 2) == 701)
                 Put(D, At, 2, 709); },
     // No twin: a group has its dimension record or not.
     "data-set group without exactly one dimension record", nullptr, 0, Hdf4Fault::Clean, nullptr,
     "the group left without its dimension record is the file's first, and HDF4 lists it as a "
     "data set of rank 0; the double free needs a later group without one"},
    // SDstart fails, and the second frees the old-style reader's buffer
    // again. No twin: the rank sizes the record that follows it.
    {"dimension record of rank 40", Writer(Dfsd),
     [](auto* D) { Put(D, size_t(Find(*D, 701).Offset), 2, 40); },
     "dimension record of a rank HDF4 cannot take", nullptr, 0, Hdf4Fault::Crash},
    // No twin: the block length places every byte after the first block.
    {"linked blocks of length 0 (division by zero)", Writer(Appended),
     [](auto* D) { Put(D, SpecialRecord(*D, 1) + 6, 4, 0); }, "linked blocks HDF4 cannot walk",
     nullptr, 0, Hdf4Fault::Crash},
    {"linked-block table naming itself (endless walk)", Writer(Appended), [](auto* D) {
         const uint32_t Table = Get(*D, SpecialRecord(*D, 1) + 14, 2);
         for (const DdAt& Dd : Dds(*D))
             if (Dd.Tag == 20 && Dd.Ref == Table)
                 Put(D, size_t(Dd.Offset), 2, Table); },
     // No twin: the one table's next is 0, as written; any other is a loop
     // or a table that is not there.
     "linked-block tables that loop", nullptr, 0, Hdf4Fault::Hang},
    // One block per table, and a first block of length 0: HLPread puts
    // position 0 in block 1, past the only table (SEGV in HLPread). Twin:
    // two blocks per table, the first as written: the one table reaches the
    // element's end.
    {"linked blocks whose tables end before their element", Writer(Appended), [](auto* D) {
         const size_t Header = SpecialRecord(*D, 1);
         Put(D, Header + 10, 4, 1);
         const DdAt Table = FindRef(*D, 20, Get(*D, Header + 14, 2));
         Put(D, FindRef(*D, 20, Get(*D, size_t(Table.Offset) + 2, 2)).Position + 8, 4, 0); },
     nullptr, "linked blocks that end before their element", 0, Hdf4Fault::Crash,
     [](auto* D) { Put(D, SpecialRecord(*D, 1) + 10, 4, 2); }},
    // Of 23 blocks in a table of 128, the header claims 4 per table: the one
    // table then reaches 4 blocks. Twin: 23 per table, the blocks written.
    {"linked blocks per table fewer than the blocks written", Writer(SmallBlocks),
     [](auto* D) { Put(D, SpecialRecord(*D, 1) + 10, 4, 4); }, nullptr,
     "linked blocks that end before their element", 0, Hdf4Fault::Report,
     [](auto* D) { Put(D, SpecialRecord(*D, 1) + 10, 4, 23); },
     "SDreaddata fails cleanly where the tables end: no null link is followed"},
    // The chunk table's second record given the first's origin (a leak in
    // HMCIstaccess at every start): the chunk that lay there is lost, and
    // SDreaddata hands out fill values in its place. No twin: another origin
    // moves a chunk's values.
    {"two chunks at one position", Writer(Chunked), [](auto* D) {
         const std::pair<size_t, size_t> Records = ChunkRecords(*D);
         Put(D, Records.second, 4, Get(*D, Records.first, 4));
         Put(D, Records.second + 4, 4, Get(*D, Records.first + 4, 4)); },
     "two chunks at one position", nullptr, 0, Hdf4Fault::Misread},
    // HMCPchunkread refuses the record, and the chunk cache drops the page
    // it took for it without freeing it (mcache_get). No twin: a record
    // names a chunk or it does not.
    {"chunk table naming something else", Writer(Chunked),
     [](auto* D) { Put(D, ChunkRecords(*D).first + 8, 2, 702); },
     nullptr, "chunk table naming something else", 0, Hdf4Fault::Leak},
    // No twin: the chunk lengths lay out the chunks.
    {"chunk length 0 (division by zero)", Writer(Chunked),
     [](auto* D) { Put(D, SpecialRecord(*D, 5) + 43, 4, 0); }, "chunk lengths HDF4 would divide by",
     nullptr, 0, Hdf4Fault::Crash},
    // HMCIstaccess allocates an entry per position of the grid at SDstart:
    // data set 0's first dimension stored as 2^29, a grid of 2^27 x 2, and
    // SDstart is still allocating when the harness stops it. Twin: a grid
    // of 2^17 positions, listed and read at once; a grid at the bound
    // itself is listed, but its data set is kept out as too fine to read.
    {"chunk grid of 2^28 positions (SDstart allocating for ever)", Writer(Chunked),
     [](auto* D) { Put(D, SpecialRecord(*D, 5) + 39, 4, 4u << 27); }, "chunk grid too large",
     nullptr, 0, Hdf4Fault::Hang,
     [](auto* D) { Put(D, SpecialRecord(*D, 5) + 39, 4, 4u << 16); }},
    // Sixteen grids of 2^22 positions, each within the bound of one: SDstart
    // takes them all, at about half a second each. No twin: a grid of more
    // than 2^17 positions is kept out as too fine to read.
    {"sixteen chunk grids of 2^22 positions (SDstart for seconds)",
     Writer("SD: sixteen chunked data sets of 2 x 2"),
     [](auto* D) {
         for (const DdAt& Dd : Dds(*D))
             if (Dd.Tag == SpecialSd && Get(*D, size_t(Dd.Offset), 2) == 5)
                 Put(D, size_t(Dd.Offset) + 39, 4, 1u << 21);
     },
     "chunk grids too large together", nullptr, 0, Hdf4Fault::Hang},
    // HMCIstaccess refuses a header above 256 bytes itself, leaving the
    // file's SD record (sd_NC_new_cdf) and its atoms behind at SDend. No
    // twin: a rank fixes the header's length, and none gives exactly 256.
    {"chunked header longer than HDF4's buffer", Writer(Chunked),
     [](auto* D) { Put(D, SpecialRecord(*D, 5) + 2, 4, 300); }, "chunked header HDF4 would overrun",
     nullptr, 0, Hdf4Fault::Leak},
    // FDICT set in the zlib header (0x78BB keeps its check sum): inflate
    // asks for a dictionary, and HDF4's decoder asks again for ever. Twin:
    // 0x7801, another level and no dictionary, its check sum kept.
    {"deflate stream that needs a dictionary (endless loop in SDreaddata)", Writer(Compressed),
     [](auto* D) {
         const DdAt Bytes = FindRef(*D, 40, Get(*D, SpecialRecord(*D, 3) + 8, 2));
         (*D)[size_t(Bytes.Offset) + 1] = 0xBB; },
     nullptr, "deflate stream that needs a dictionary", 0, Hdf4Fault::Hang, [](auto* D) {
         const DdAt Bytes = FindRef(*D, 40, Get(*D, SpecialRecord(*D, 3) + 8, 2));
         (*D)[size_t(Bytes.Offset) + 1] = 0x01; }},
    // Streams cut to 2 bytes: the bit reader would walk off its buffer; a
    // data set this small keeps it inside, and the values come out wrong.
    // No twin: a skipping-Huffman stream's length is known only by decoding
    // it, and the check's bound is a lower one.
    {"skipping-Huffman stream cut short (SEGV in Hbitread)", Writer(Compressed),
     [](auto* D) { Put(D, CompressedBytes(*D, 3).Position + 8, 4, 2); },
     nullptr, "compressed stream shorter than its values", 1, Hdf4Fault::Misread},
    // Twin: exactly the kept bits of every value, as the writer stored them.
    {"N-bit stream cut short (SEGV in Hbitread)", Writer(Compressed),
     [](auto* D) { Put(D, CompressedBytes(*D, 2).Position + 8, 4, 2); },
     nullptr, "compressed stream shorter than its values", 4, Hdf4Fault::Misread,
     [](auto* D) { Put(D, CompressedBytes(*D, 2).Position + 8, 4, NbitStreamBytes(*D)); }},
    // HCIinit_coder refuses it, leaking the coder's records at every SDstart.
    // Twin: level 9.
    {"deflate level 20", Writer(Compressed),
     [](auto* D) { Put(D, SpecialRecord(*D, 3) + 14, 2, 20); }, "deflate compression with an unknown level",
     nullptr, 0, Hdf4Fault::Leak, [](auto* D) { Put(D, SpecialRecord(*D, 3) + 14, 2, 9); }},
    // No twin: a special code names a form or not.
    {"special element of an in-memory kind (assert in HDF4)", Writer(Compressed),
     [](auto* D) { Put(D, SpecialRecord(*D, 3), 2, 6); }, "special element HDF4 would misread",
     nullptr, 0, Hdf4Fault::Crash},
    // The deflate record read as external: its name length (the model and
    // coder codes, 4) runs two bytes past the record's 16; HDF4 reads the
    // data set's values from the bytes that follow. No twin: a name inside
    // the record names an external file, which is kept out.
    {"external element whose name runs past its record", Writer(Compressed),
     [](auto* D) { Put(D, SpecialRecord(*D, 3), 2, 2); }, "external element HDF4 would misread",
     nullptr, 0, Hdf4Fault::Misread},
    // The same record rewritten whole: 120 bytes at 0 of the file "xy". No
    // twin: data in any external file are kept out.
    {"data in an external file", Writer(Compressed), [](auto* D) {
         const size_t At = SpecialRecord(*D, 3);
         Put(D, At, 2, 2); Put(D, At + 2, 4, 6 * 5 * 4); Put(D, At + 6, 4, 0);
         Put(D, At + 10, 4, 2); Put(D, At + 14, 2, 'x' << 8 | 'y'); },
     nullptr, "data stored in an external file", 0, Hdf4Fault::Report, nullptr,
     "no file \"xy\" is where HDF4 looks, and HXPread fails cleanly; where one is, HDF4 reads "
     "its bytes as the values"},
    // Twin: the chunk exactly a chunk's bytes long, as written.
    {"chunk cut short", Writer(Chunked), [](auto* D) {
         const DdAt Chunk = Find(*D, 61);
         Put(D, Chunk.Position + 8, 4, uint32_t(Chunk.Length / 2)); },
     nullptr, "chunk shorter than a chunk's bytes", 0, Hdf4Fault::Misread, [](auto* D) {
         const size_t Header = SpecialRecord(*D, 5) + 6; // data set 0's, of plain chunks
         Put(D, Find(*D, 61).Position + 8, 4, Get(*D, Header + 9, 4) * Get(*D, Header + 13, 4)); }},
    // HMCPchunkread fails, and the chunk cache drops the page it took for
    // the chunk without freeing it (mcache_get). No twin: a chunk is there
    // or not.
    {"chunk that is missing", Writer(Chunked),
     [](auto* D) { Put(D, Find(*D, 61).Position + 2, 2, 0x7777); }, nullptr, "chunk that is missing",
     0, Hdf4Fault::Leak},
    // Hstartread fails cleanly, as the rule says. No twin: an element is
    // there or not.
    {"data element that is missing", WriteSd,
     [](auto* D) { Put(D, Find(*D, 702).Position + 2, 2, 0x7777); }, nullptr,
     "data element that is missing", 0, Hdf4Fault::Report},
    // A special form with offset and length -1 cannot be started. For a
    // vdata SDstart reads, hdf_read_xdr_cdf fails and the old-style reader
    // that runs instead leaves a freed buffer behind: the next file's
    // SDstart frees it again. Opened alone the file shows the access
    // records (atoms) the failed starts leave. No twin: a place is there or
    // not.
    {"vdata storage in a special form with no place (double free in SDstart)", WriteSd,
     [](auto* D) {
         const size_t At = Find(*D, 1963).Position;
         Put(D, At, 2, 0x47AB); Put(D, At + 4, 4, 0xffffffff); Put(D, At + 8, 4, 0xffffffff); },
     "vdata without storage", nullptr, 0, Hdf4Fault::Leak},
    // HLIstaccess takes the first block's length from its DD: at 1 byte,
    // the stream's second byte is the next block's first; at 0, both are.
    // 0x78 0xBB asks for a dictionary with a sound check sum: inflate
    // returns Z_NEED_DICT, and HCIcdeflate_decode calls it for ever. The
    // twin of each is the deflate row's: a header that fails its check sum.
    {"deflate header needing a dictionary across a first block of 1 byte (endless loop in SDreaddata)",
     Writer(DeflateHalves), [](auto* D) {
         const LinkedChunkBytes Chunk = FirstLinkedChunkBytes(*D);
         Put(D, Chunk.First.Position + 8, 4, 1);
         (*D)[size_t(Chunk.First.Offset)] = 0x78;
         (*D)[size_t(Chunk.Second.Offset)] = 0xBB; },
     nullptr, "deflate stream that needs a dictionary", 0, Hdf4Fault::Hang},
    {"deflate header needing a dictionary after a first block of 0 bytes (endless loop in SDreaddata)",
     Writer(DeflateHalves), [](auto* D) {
         const LinkedChunkBytes Chunk = FirstLinkedChunkBytes(*D);
         Put(D, Chunk.First.Position + 8, 4, 0);
         (*D)[size_t(Chunk.Second.Offset)] = 0x78;
         (*D)[size_t(Chunk.Second.Offset) + 1] = 0xBB; },
     nullptr, "deflate stream that needs a dictionary", 0, Hdf4Fault::Hang},
    // The chunk's bytes decoded as run-length data: zeros, each a run of
    // one byte that takes two, in an element cut to 100 bytes. Decoding its
    // 640 bytes, HCIcrle_decode reads on at the end, where HLPread turns
    // HDgetc's one-byte Hread into the rest of the first block, written
    // into one byte on HDgetc's stack (stack smashing).
    {"run-length chunk over linked blocks read past their end (stack smashing under HDgetc)",
     Writer(DeflateHalves), [](auto* D) {
         const LinkedChunkBytes Chunk = FirstLinkedChunkBytes(*D);
         Put(D, Chunk.Record + 12, 2, 1);
         Put(D, Chunk.Linked + 2, 4, 100);
         std::fill(D->begin() + Chunk.First.Offset,
                   D->begin() + Chunk.First.Offset + Chunk.First.Length, 0); },
     nullptr, ReadsPastEnd, 0, Hdf4Fault::Crash},
    // The first block's offset moved by 2,048: the skipping-Huffman decoder,
    // fed other bytes of the file, wants more than the element's 207 and
    // reads on into the rest of the second block: values made of whatever
    // the buffers held. No twin for these two: a stream that stays within
    // its blocks is the writer's own.
    {"skipping-Huffman chunk over linked blocks whose first block moved", Writer(HuffmanHalves),
     [](auto* D) {
         const LinkedChunkBytes Chunk = FirstLinkedChunkBytes(*D);
         Put(D, Chunk.First.Position + 4, 4, uint32_t(Chunk.First.Offset - 2048)); },
     nullptr, "compressed stream shorter than its values", 0, Hdf4Fault::Misread},
    // The N-bit records written over two linked-block tables, the chain cut
    // after the first table and the element's length set to its reach: the
    // decoder asks beyond the element, and HLPread, at a position equal to
    // the length, steps past the only table (SIGSEGV under Hbitread), as in
    // the valid file whose chain is exactly full. The stream has lost the
    // second table's bytes, which the check sees first. No twin: the
    // undamaged file, its chain going on through the second table, is the
    // writer's own.
    {"N-bit stream over linked blocks cut to exactly their reach (SEGV in HLPread)",
     Writer("SD: N-bit records appended over a second table"), [](auto* D) {
         const size_t Record = size_t(FindRef(*D, 0x4000 | 40, Get(*D, SpecialRecord(*D, 3) + 8, 2)).Offset);
         const uint32_t BlockLength = Get(*D, Record + 6, 4);
         const uint32_t Blocks = Get(*D, Record + 10, 4);
         const DdAt Table = FindRef(*D, 20, Get(*D, Record + 14, 2));
         const DdAt First = FindRef(*D, 20, Get(*D, size_t(Table.Offset) + 2, 2));
         Put(D, Record + 2, 4, uint32_t(First.Length) + (Blocks - 1) * BlockLength);
         Put(D, size_t(Table.Offset), 2, 0); },
     nullptr, "compressed stream shorter than its values", 0, Hdf4Fault::Crash},
    // The access records (atoms) of the failed starts stay. No twin: a place
    // is there or not.
    {"data element in a special form with no place (SDstart's Hlength leaks)", WriteSd,
     [](auto* D) {
         const size_t At = Find(*D, 702).Position;
         Put(D, At, 2, 0x42BE); Put(D, At + 4, 4, 0xffffffff); Put(D, At + 8, 4, 0xffffffff); },
     "special element HDF4 would misread", nullptr, 0, Hdf4Fault::Leak},
};
// clang-format on

} // namespace

std::vector<const Damage*> DamageRows() {
    std::vector<const Damage*> Rows;
    for (const Damage& Row : Damages)
        Rows.push_back(&Row);
    return Rows;
}

// Pairs of valid files: the same values written in two sessions, once
// leaving the N-bit stream's linked chain exactly full (HDF4 crashes), once
// over a second table (HDF4 reads it whole); a grid of 1 x 1 chunks too fine
// to read within the harness's time limit, and one HDF4 reads at once.
std::vector<WriterFault> WriterFaults() {
    return {
        {"SD: N-bit records appended, the chain exactly full", Hdf4Fault::Crash,
         "compressed stream whose decoder reads past its linked blocks"},
        {"SD: N-bit records appended over a second table", Hdf4Fault::Clean, nullptr},
        {"SD: 1 x 1 chunks on a grid of 1,025 x 1,024 beside a small data set", Hdf4Fault::Hang,
         "chunk grid too fine to read"},
        {"SD: 1 x 1 chunks on a grid of 128 x 128 beside a small data set", Hdf4Fault::Clean,
         nullptr},
    };
}

void WriteDamaged(const Damage& Row, const DamageApply& Change, const std::string& GoodPath,
                  const std::string& ChangedPath) {
    Row.Write(GoodPath);
    std::vector<uint8_t> Data = Bytes(GoodPath);
    Change(&Data);
    Save(ChangedPath, Data);
}

namespace {

TEST_F(StructureCheckTest, EachDamageIsRefusedByItsRuleOrKeepsItsDataSetOut) {
    for (const Damage& Case : Damages) {
        SCOPED_TRACE(Case.What);
        const std::string Path =
            TestHdf::TempPath(std::string("damaged-") + std::to_string(&Case - Damages));
        Case.Write(Path);
        std::vector<uint8_t> Data = Bytes(Path);
        Case.Apply(&Data);
        Save(Path, Data);
        const StructureVerdict Verdict = CheckHdfStructure(Path.c_str());
        if (Case.KeptOut != nullptr) {
            EXPECT_TRUE(Verdict.Sound) << Verdict.Rule;
            EXPECT_STREQ(Verdict.DataRule(Case.KeptOutIndex), Case.KeptOut);
            EXPECT_EQ(Verdict.KeptOut.size(), 1u) << "only the damaged data set is kept out";
            std::vector<std::string> Shown;
            EXPECT_FALSE(LoadAlone(Path, Case.KeptOutIndex, &Shown));
            EXPECT_EQ(Shown, std::vector<std::string>{ReadError});
            EXPECT_EQ(VyrHost::CurrentDataSet(), nullptr);
            continue;
        }
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

// ---- What a load of a writer case's data set gives. ------------------------

struct LoadOutcome {
    const char* Case;
    int32_t HdfIndex;
    // True: "V" holds Every at each point. False: the data set is kept out,
    // the load ends with the read error and the host gets no data set.
    bool Loads;
    double Every;
    // A dimension whose scale HDF4 would read from a kept-out coordinate
    // variable: the scan gives it the index scale 1..n. -1: none.
    int32_t IndexScale = -1;
};

// Unwritten data hold their _FillValue, or HDF4's default fill for their type;
// the values the writer cases write are constant.
// clang-format off
const LoadOutcome LoadOutcomes[] = {
    {NeverWritten, 0, true, float(FILL_FLOAT)},
    {NeverWritten, 1, true, -7},
    {NeverWritten, 2, true, 2.5},
    {NeverWritten, 3, true, FILL_SHORT},
    {ForeignFill, 0, true, 4.5},
    {ForeignFill, 1, false, 0},
    {ForeignFill, 2, false, 0},
    {External, 0, false, 0, 0},
    {External, 2, true, 7.5},
    {Deleted, 0, true, 1},
    {Deleted, 1, true, 3},
    {"SD: skipping Huffman of skip size 1000", 0, true, 6.25},
    {"SD: old-style group naming a missing dimension record", 0, true, 3},
    {"SD after a vgroup class of 200 characters", 0, true, 4},
    {"SD of a 300-character path", 0, true, 5},
    // HDF4 leaves out the data set it cannot convert: the other is index 0.
    {"SD: a data set in another machine's byte order", 0, true, 8.5},
    {"SD: N-bit records appended, the chain exactly full", 0, false, 0},
    {"SD: N-bit records appended over a second table", 0, true, 5},
    {"SD: 1 x 1 chunks on a grid of 1,025 x 1,024 beside a small data set", 0, false, 0},
    {"SD: 1 x 1 chunks on a grid of 1,025 x 1,024 beside a small data set", 1, true, 2.5},
    {"SD: 1 x 1 chunks on a grid of 128 x 128 beside a small data set", 1, true, 2.5},
    {"SD: a sparse chunked data set of 2 GiB and more beside a small one", 1, true, 2.5},
};
// clang-format on

void PrintTo(const LoadOutcome& Row, std::ostream* Out) {
    *Out << Row.Case << ", data set " << Row.HdfIndex;
}

class WriterLoadTest : public StructureCheckTest,
                       public ::testing::WithParamInterface<LoadOutcome> {};

TEST_P(WriterLoadTest, ADataSetLoadsItsValuesOrIsKeptOut) {
    const LoadOutcome& Row = GetParam();
    static int Files = 0;
    const std::string Path = TestHdf::TempPath("load-" + std::to_string(++Files) + ".hdf");
    WriteByName(Row.Case, Path);
    const StructureVerdict Verdict = CheckHdfStructure(Path.c_str());
    ASSERT_TRUE(Verdict.Sound) << Verdict.Rule;
    EXPECT_EQ(Verdict.DataRule(Row.HdfIndex) == nullptr, Row.Loads);

    int64_t Points = 0;
    std::vector<std::string> Shown;
    const bool Result = LoadAlone(Path, Row.HdfIndex, &Shown, [&](const SdsEntry& Entry) {
        Points = int64_t(Entry.DimSizes[0]) * Entry.DimSizes[1] * Entry.DimSizes[2];
        if (Row.IndexScale >= 0)
            ExpectIndexScale(Entry, Row.IndexScale);
    });
    if (!Row.Loads) {
        EXPECT_FALSE(Result);
        EXPECT_EQ(Shown, std::vector<std::string>{ReadError});
        EXPECT_EQ(VyrHost::CurrentDataSet(), nullptr);
        return;
    }
    ASSERT_TRUE(Result) << Joined(Shown);
    const VyrHost::DataSet* Set = VyrHost::CurrentDataSet();
    ASSERT_NE(Set, nullptr);
    ASSERT_EQ(Set->Zones.size(), 1u);
    const VyrHost::Zone& Zone = Set->Zones[0];
    std::vector<double> Values;
    for (int64_t Point = 1; Point <= Zone.PointCount(); ++Point)
        Values.push_back(Zone.Value(int32_t(Set->VarNames.size()), Point));
    EXPECT_EQ(Values, std::vector<double>(size_t(Points), Row.Every));
}

INSTANTIATE_TEST_SUITE_P(WriterCases, WriterLoadTest, ::testing::ValuesIn(LoadOutcomes),
                         [](const ::testing::TestParamInfo<LoadOutcome>& Info) {
                             std::string Name = Info.param.Case;
                             Name += " " + std::to_string(Info.param.HdfIndex);
                             for (char& C : Name)
                                 if (!std::isalnum(static_cast<unsigned char>(C)))
                                     C = '_';
                             return Name;
                         });

} // namespace

// ---- The rules' table: the code's list, the guards' table and the document. ----

namespace {

std::string SourceText(const std::filesystem::path& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

// One row of docs/reliability.md's rules table: the words, and the guard,
// outcome and HDF4-alone cells.
struct DocumentedRow {
    std::vector<std::string> Words;
    std::string Guards, Outcome, Shown;
};

// docs/reliability.md's rules table, parsed back into the code's shape.
struct DocumentedStage {
    std::string Stage;
    std::vector<DocumentedRow> Rows;
};

std::vector<DocumentedStage> DocumentedRules() {
    std::istringstream Lines(SourceText(std::string(LOADHDF_SOURCE_DIR) + "/docs/reliability.md"));
    std::vector<DocumentedStage> Stages;
    bool InTable = false;
    for (std::string Line; std::getline(Lines, Line);) {
        if (Line.rfind("| rule (the check's words)", 0) == 0) {
            InTable = true;
            continue;
        }
        if (!InTable || Line.rfind("|---", 0) == 0)
            continue;
        if (Line.rfind("| ", 0) != 0)
            break;
        std::vector<std::string> Cells;
        // "| a | b | c |": the cells between the bars, trimmed.
        for (size_t Bar = 0, Next; (Next = Line.find('|', Bar + 1)) != std::string::npos;
             Bar = Next) {
            const std::string Cell = Line.substr(Bar + 1, Next - Bar - 1);
            const size_t First = Cell.find_first_not_of(' ');
            Cells.push_back(First == std::string::npos
                                ? ""
                                : Cell.substr(First, Cell.find_last_not_of(' ') - First + 1));
        }
        EXPECT_EQ(Cells.size(), 4u) << Line;
        if (Cells.size() != 4)
            continue;
        if (Cells[2].empty()) {
            Stages.push_back({Cells[0].substr(1, Cells[0].size() - 2), {}});
            continue;
        }
        std::vector<std::string> Words;
        for (size_t From = 0, To; From != std::string::npos;
             From = To == std::string::npos ? To : To + 2) {
            To = Cells[0].find("; ", From);
            Words.push_back(Cells[0].substr(From, To - From));
        }
        EXPECT_FALSE(Stages.empty()) << "a rule before the first stage: " << Line;
        if (!Stages.empty())
            Stages.back().Rows.push_back({Words, Cells[1], Cells[2], Cells[3]});
    }
    return Stages;
}

// The rule whose words these are: of two rules with the same words, the
// first in the table, as the damage rows name rules by the words the user
// sees.
const StructureRuleRow* RowOfWords(const std::string& Words) {
    for (size_t Rule = 0; Rule < StructureRuleCount; ++Rule)
        if (Words == StructureRuleWords(StructureRule(Rule)))
            return FindStructureRuleRow(StructureRule(Rule));
    return nullptr;
}

std::string RowWords(const StructureRuleRow& Row) {
    std::string Words;
    for (StructureRule Rule : Row.Rules)
        Words += (Words.empty() ? "" : "; ") + std::string(StructureRuleWords(Rule));
    return Words;
}

} // namespace

TEST(StructureRules, TheDocumentShowsTheCodesTable) {
    const std::vector<DocumentedStage> Documented = DocumentedRules();
    const std::vector<StructureRuleStage>& Table = StructureRuleGuards();
    ASSERT_EQ(Documented.size(), Table.size());
    for (size_t S = 0; S < Table.size(); ++S) {
        SCOPED_TRACE(Table[S].Stage);
        EXPECT_EQ(Documented[S].Stage, Table[S].Stage);
        ASSERT_EQ(Documented[S].Rows.size(), Table[S].Rows.size());
        for (size_t R = 0; R < Table[S].Rows.size(); ++R) {
            const StructureRuleRow& Row = Table[S].Rows[R];
            const DocumentedRow& Shown = Documented[S].Rows[R];
            std::vector<std::string> Words;
            for (StructureRule Rule : Row.Rules)
                Words.push_back(StructureRuleWords(Rule));
            EXPECT_EQ(Shown.Words, Words);
            EXPECT_EQ(Shown.Guards, Row.Guards);
            ASSERT_FALSE(Row.Rules.empty());
            EXPECT_EQ(Shown.Outcome, StructureRuleOutcome(Row.Rules.front()) == RuleOutcome::File
                                         ? "file"
                                         : "data set");
            std::string Faults;
            for (Hdf4Fault Fault : Row.Shown)
                Faults += (Faults.empty() ? "" : ", ") + std::string(Hdf4FaultName(Fault));
            EXPECT_EQ(Shown.Shown, Faults.empty() ? "-" : Faults) << Shown.Guards;
        }
    }
}

// What the rules' table says HDF4 alone did is what the damage table's rows
// and the writer pairs of those rules say (posix/hdf4_alone_test.cpp runs them): each fault once,
// worst first.
TEST(StructureRules, EachRuleShowsTheFaultsOfItsDamagedFiles) {
    std::map<const StructureRuleRow*, std::set<Hdf4Fault>> Faults;
    for (const Damage* Row : DamageRows()) {
        const char* Rule = Row->KeptOut != nullptr ? Row->KeptOut : Row->Rule;
        if (Rule == nullptr || !Row->Fault.has_value())
            continue;
        const StructureRuleRow* Found = RowOfWords(Rule);
        ASSERT_NE(Found, nullptr) << Row->What;
        Faults[Found].insert(*Row->Fault);
    }
    for (const WriterFault& Row : WriterFaults())
        if (Row.KeptOut != nullptr) {
            const StructureRuleRow* Found = RowOfWords(Row.KeptOut);
            ASSERT_NE(Found, nullptr) << Row.Case;
            Faults[Found].insert(Row.Fault);
        }
    for (const StructureRuleStage& Stage : StructureRuleGuards())
        for (const StructureRuleRow& Row : Stage.Rows) {
            std::vector<std::string> Expected, Listed;
            for (auto Fault = Faults[&Row].rbegin(); Fault != Faults[&Row].rend(); ++Fault)
                Expected.push_back(Hdf4FaultName(*Fault));
            for (Hdf4Fault Fault : Row.Shown)
                Listed.push_back(Hdf4FaultName(Fault));
            EXPECT_EQ(Listed, Expected) << RowWords(Row);
        }
}

// Each rule stands in one row of the guards' table, whose rules share an
// outcome (the document gives a row one), and says its own thing: rules of
// the same words guard different HDF4 readers, in different rows.
TEST(StructureRules, EachRuleHasOneRowOfOneOutcome) {
    std::map<StructureRule, int> Rows;
    for (const StructureRuleStage& Stage : StructureRuleGuards())
        for (const StructureRuleRow& Row : Stage.Rows) {
            ASSERT_FALSE(Row.Rules.empty()) << Row.Guards;
            for (StructureRule Rule : Row.Rules) {
                ++Rows[Rule];
                EXPECT_EQ(StructureRuleOutcome(Rule), StructureRuleOutcome(Row.Rules.front()))
                    << RowWords(Row);
            }
        }
    std::map<std::string, const StructureRuleRow*> RowOfText;
    for (size_t Index = 0; Index < StructureRuleCount; ++Index) {
        const StructureRule Rule = StructureRule(Index);
        const std::string Words = StructureRuleWords(Rule);
        EXPECT_EQ(Rows[Rule], 1) << Words;
        EXPECT_NE(Words.find(' '), std::string::npos) << "a rule in a few words: " << Words;
        const StructureRuleRow* Row = FindStructureRuleRow(Rule);
        auto [Earlier, First] = RowOfText.emplace(Words, Row);
        EXPECT_TRUE(First || Earlier->second != Row) << "two rules of one row say " << Words;
    }
}

// Every rule is refused or kept out with somewhere in the check: its
// identifier, as StructureRule::Name, stands in a source of catalogue/
// structure/ (its list aside) or in structure_check.cpp. A rule no stage
// uses any more is dropped from the list, and so from the table.
TEST(StructureRules, EveryRuleIsUsedByAStage) {
    static const char* const Identifiers[] = {
#define LOADHDF_RULE_NAME(Identifier, Outcome, Words) #Identifier,
        LOADHDF_STRUCTURE_RULES(LOADHDF_RULE_NAME)
#undef LOADHDF_RULE_NAME
    };
    const std::filesystem::path Catalogue = std::string(LOADHDF_SOURCE_DIR) + "/catalogue";
    std::string Code = SourceText(Catalogue / "structure_check.cpp");
    for (const auto& Entry : std::filesystem::directory_iterator(Catalogue / "structure"))
        if ((Entry.path().extension() == ".cpp" || Entry.path().extension() == ".h") &&
            Entry.path().stem() != "structure_rules")
            Code += SourceText(Entry.path());
    ASSERT_NE(Code.find("Refuse("), std::string::npos) << "found no stages";
    // The identifier whole, not the start of a longer one.
    auto IsUsed = [&Code](const std::string& Use) {
        for (size_t At = Code.find(Use); At != std::string::npos; At = Code.find(Use, At + 1)) {
            const size_t End = At + Use.size();
            if (End == Code.size() ||
                !(std::isalnum(static_cast<unsigned char>(Code[End])) || Code[End] == '_'))
                return true;
        }
        return false;
    };
    for (const char* Identifier : Identifiers) {
        const std::string Use = std::string("StructureRule::") + Identifier;
        EXPECT_TRUE(IsUsed(Use)) << "no stage refuses or keeps out with " << Use;
    }
}
