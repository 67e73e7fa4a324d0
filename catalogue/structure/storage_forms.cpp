// Special elements: the description records behind a DD whose tag carries the
// special bit. HDF4 starts their handlers as soon as SDstart asks for a data
// set's length (hdf_read_vars calls Hlength on every variable's data), and
// trusts every count in them: a chain of linked-block tables that loops is
// walked forever, a block length or chunk length of 0 divides by zero, a
// chunked header's sizes index a 256-byte stack buffer, and an external
// element's name length sizes a buffer. Such damage refuses the file. Only
// the forms HDF4's writers produce for each tag are accepted, so the readers
// never nest deeper than chunk, compressed, linked.
//
// What only SDreaddata meets (a chunk's own bytes, the external file a data
// set names) concerns that data set alone: it is kept out, not the file.
#include "catalogue/structure/element_reader.h"
#include "catalogue/structure/stream_decoders.h"
#include "catalogue/structure/structure_context.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_set>

namespace {

constexpr int64_t CompressedRecordSize = 14; // before the coder's own bytes
// HMCIstaccess (mcache_open) allocates a list entry for every position of
// the chunk grid at each start of the element, SDstart's Hlength among
// them: about 32 bytes and 0.1 to 0.18 us a position, given back at the
// element's end. Listing a data set of 1 x 1 chunks took 0.19 s and 36 MB
// at 2^20 positions, 0.44 to 0.66 s and 132 MB at 2^22, 3.1 s and 516 MB at
// 2^24; ten of 2^20 took 1.3 s. A grid of up to 2^22 positions stays under
// a second and within what a 32-bit host can spare for a moment, and all
// of a file's grids together stay within a few seconds of SDstart.
constexpr int64_t MaxChunkPositions = int64_t(1) << 22;
constexpr int64_t MaxChunkPositionsListed = int64_t(1) << 24;
// Reading costs far more: mcache_get looks every chunk up in one of 128
// lists that hold the whole grid between them, so a read of a grid's
// chunks takes time in the square of its positions. One SDreaddata of 1 x
// 1 chunks, written or not, took 0.3 s at 2^16 positions, 1.9 s at 2^17,
// 8.3 s at 2^18 and over 100 s at 2^20, with no way for the user to stop
// it. Beyond 2^17 the data set is kept out.
constexpr int64_t MaxChunkPositionsRead = int64_t(1) << 17;
// HCIcskphuff_init, run by SDstart's Hlength, allocates about 2.5 KiB per
// unit of the skip size, and its pointer arrays' sizes wrap a 32-bit size_t
// from 2^30 units. Writers use the size of a value; SDsetcompress and
// hrepack take any positive size, and 2^16 units cost HDF4 160 MiB.
constexpr uint32_t MaxSkipSize = 1 << 16;
constexpr int64_t ExternalRecordSize = 14; // code, length, offset, name length
// Writers' description records are a few hundred bytes at most.
constexpr int32_t MaxRecordLength = 1 << 16;
// A bound on what a hostile vdata can make the check hold in memory; far
// above what HDF4's writers produce.
constexpr int64_t MaxVdataBytesRead = int64_t(64) << 20;

constexpr StructureRule BadSpecial = StructureRule::SpecialElementMisread;

constexpr StructureRule ChainTooShort = StructureRule::LinkedBlocksEndBeforeElement;

bool ReadCode(StructureCheck& Check, const Dd* Element, std::vector<uint8_t>* Record,
              int16_t* SpecialCode) {
    if (Element->Length < 2 || Element->Length > MaxRecordLength ||
        !Check.File.Read(Element->Offset, Element->Length, Record))
        return false;
    *SpecialCode = ByteCursor(*Record).I16();
    return true;
}

// What the compression header says of the values' coding.
struct CoderFacts {
    uint16_t Coder = 0;
    int32_t NbitTypeSize = 0; // of the N-bit coder's number type
    int32_t NbitBits = 0;     // bits the N-bit coder keeps of each value
    int32_t SkipSize = 0;     // of the skipping-Huffman coder
};

// A coder's parameters, from the model type on.
bool CheckCoder(StructureCheck& Check, ByteCursor& Cursor, CoderFacts* Facts) {
    const uint16_t Model = Cursor.U16();
    const uint16_t Coder = Cursor.U16();
    if (!Cursor.Ok() || Model != 0 || Coder > CoderCode::Szip)
        return Check.Refuse(StructureRule::CompressionUndecodable);
    Facts->Coder = Coder;
    if (Coder == CoderCode::Nbit) {
        const int32_t Type = Cursor.I32();
        Cursor.Skip(4); // sign extension and fill flags
        const int32_t StartBit = Cursor.I32();
        const int32_t BitLength = Cursor.I32();
        const int32_t Size = HdfType::Size(Type);
        Facts->NbitTypeSize = Size;
        Facts->NbitBits = BitLength;
        if (Size == 0 || StartBit < 0 || StartBit >= 8 * Size || BitLength < 1 ||
            BitLength > StartBit + 1)
            return Check.Refuse(StructureRule::NbitBitsOutsideValues);
    } else if (Coder == CoderCode::SkipHuffman) {
        const uint32_t Skip = Cursor.U32();
        Cursor.Skip(4);
        if (Skip < 1 || Skip > MaxSkipSize)
            return Check.Refuse(StructureRule::SkipHuffmanOddSkipSize);
        Facts->SkipSize = int32_t(Skip);
    } else if (Coder == CoderCode::Deflate) {
        // HCIinit_coder refuses a level above 9, but leaks the element's
        // access and coder records each time: at every SDstart (Hlength of
        // the variable), in the host's process. HDF4's writers never write
        // such a level.
        if (Cursor.U16() > 9)
            return Check.Refuse(StructureRule::DeflateUnknownLevel);
    } else if (Coder == CoderCode::Szip) {
        // This HDF4 build has no szip decoder and refuses such data cleanly;
        // the parameters need only be present.
        Cursor.Skip(14);
    }
    return Cursor.Ok() ? true : Check.Refuse(StructureRule::CompressionHeaderCutShort);
}

// The element that holds a compressed element's bytes: plain, or linked
// blocks, never compressed again. HDF4 reads them only for the values
// (HCPread): *KeptOut gets why it must not. *Bytes gets a reader of them,
// left empty for an element never written (HDF4 hands out fill values).
bool CheckCompressedBytes(StructureCheck& Check, uint16_t Ref,
                          std::optional<StructureRule>* KeptOut,
                          std::optional<ElementReader>* Bytes) {
    const Dd* Element = Check.Find(HdfTag::Compressed, Ref);
    if (Element == nullptr || Element->CannotStart())
        return Check.Refuse(StructureRule::CompressedDataMissing);
    if (Element->IsUnwritten())
        return true;
    if (!HdfTag::IsSpecial(Element->Tag)) {
        Bytes->emplace(Check, *Element);
        return true;
    }
    std::vector<uint8_t> Record;
    int16_t SpecialCode = 0;
    LinkedChain Chain;
    if (!ReadCode(Check, Element, &Record, &SpecialCode) || SpecialCode != SpecialCode::Linked)
        return Check.Refuse(BadSpecial);
    if (!CheckLinked(Check, Record, &Chain))
        return false;
    if (!*KeptOut && Chain.Total > Chain.Reach)
        *KeptOut = ChainTooShort;
    Bytes->emplace(Check, Chain);
    return true;
}

// Where a decoder that reads at or past the end of linked blocks would
// fault there (ElementReader::ReadPastEnd), whether it does: the N-bit
// decoder by the arithmetic of its whole buffers, the run-length and
// skipping-Huffman ones by following their streams. A whole deflate stream
// ends before its bytes do, and inflate is not followed: the check keeps
// no zlib of its own, and a stream that inflate refuses fails cleanly
// where its reads stay within the element.
std::optional<StructureRule> ReadsPastLinkedEnd(ElementReader& Bytes, const CoderFacts& Coder,
                                                int64_t LogicalLength) {
    constexpr int64_t BitReaderBuffer = 4096; // BITBUF_SIZE, Hbitread's refills
    constexpr int64_t Unbounded = INT64_MAX;
    switch (Coder.Coder) {
    case CoderCode::Nbit: {
        const int64_t Beyond = NbitBytesPastEnd(LogicalLength / std::max(Coder.NbitTypeSize, 1),
                                                Coder.NbitTypeSize, Coder.NbitBits, Bytes.Length());
        return Beyond > 0 ? Bytes.ReadPastEnd(Beyond, BitReaderBuffer) : std::nullopt;
    }
    case CoderCode::SkipHuffman:
        return !Bytes.ReadPastEnd(Unbounded, BitReaderBuffer)
                   ? std::nullopt
                   : FollowSkipHuffman(Bytes, LogicalLength, Coder.SkipSize);
    case CoderCode::Rle:
        // HDgetc reads a control byte into a single byte on its stack.
        return !Bytes.ReadPastEnd(Unbounded, 1) ? std::nullopt
                                                : FollowRunLength(Bytes, LogicalLength);
    default:
        return std::nullopt;
    }
}

// A compressed element's header and bytes, of values of ValueSize bytes (0:
// not known).
bool CheckCompressed(StructureCheck& Check, const std::vector<uint8_t>& Record, int32_t ValueSize,
                     int64_t* LogicalLength, std::optional<StructureRule>* KeptOut) {
    ByteCursor Cursor(Record);
    Cursor.Skip(4); // special code, header version
    *LogicalLength = Cursor.I32();
    const uint16_t Ref = Cursor.U16();
    if (!Cursor.Ok() || Record.size() < CompressedRecordSize || *LogicalLength < 0)
        return Check.Refuse(StructureRule::CompressedElementMisread);
    CoderFacts Coder;
    std::optional<ElementReader> Bytes;
    if (!CheckCoder(Check, Cursor, &Coder) || !CheckCompressedBytes(Check, Ref, KeptOut, &Bytes))
        return false;
    if (*KeptOut || !Bytes)
        return true;
    const int64_t Stored = Bytes->Length();
    // The bit decoders (Hbitread, for N-bit and skipping Huffman) read on
    // past the stored bytes of a stream cut short and walk off their 4096-
    // byte buffer. A whole N-bit stream holds its kept bits of every value;
    // a skipping-Huffman one at least a bit per byte.
    const int64_t NeededBits = Coder.Coder == CoderCode::Nbit && Coder.NbitTypeSize > 0
                                   ? *LogicalLength / Coder.NbitTypeSize * Coder.NbitBits
                               : Coder.Coder == CoderCode::SkipHuffman ? *LogicalLength
                                                                       : 0;
    if (Stored * 8 < NeededBits) {
        *KeptOut = StructureRule::CompressedStreamTooShort;
        return true;
    }
    // The N-bit decoder hands out whole values of its own type: of a type
    // larger than the data's, none, and the caller gets its buffer unset.
    if (Coder.Coder == CoderCode::Nbit && ValueSize > 0 && Coder.NbitTypeSize != ValueSize) {
        *KeptOut = StructureRule::NbitTypeOtherThanData;
        return true;
    }
    // The stream's first bytes as HCIcdeflate_decode's first Hread of 4,096
    // delivers them, across blocks where the first is short.
    if (Coder.Coder == CoderCode::Deflate && Stored > 0) {
        std::vector<uint8_t> Head;
        Bytes->Seek(0);
        const ReadResult Read = Bytes->Read(std::min<int64_t>(Stored, 4096), 4096, &Head);
        // What the read returned, of which inflate's header takes 6 at most.
        Head.resize(
            size_t(std::clamp<int64_t>(std::min<int64_t>(Read.Count, 6), 0, int64_t(Head.size()))));
        if (Read.End == ReadEnd::Delivered && JudgeZlibStart(Head) == ZlibStart::WantsDictionary) {
            *KeptOut = StructureRule::DeflateNeedsDictionary;
            return true;
        }
    }
    if (Check.File.OverBudget())
        return true;
    if (Bytes->IsLinked())
        *KeptOut = ReadsPastLinkedEnd(*Bytes, Coder, *LogicalLength);
    return true;
}

// One chunk of a chunked data set: plain or compressed. HMCPchunkread reads
// a chunk's bytes with Hread and ignores how many came back: a plain chunk
// shorter than ChunkBytes would hand out whatever the chunk cache held. A
// missing chunk fails Hstartread or Hread cleanly; both only touch this data
// set's values. A compressed chunk shorter than ChunkBytes fails HCPread's
// own length test, and leaks the cache page it had taken.
bool CheckChunk(StructureCheck& Check, uint16_t Ref, int32_t ValueSize, int64_t ChunkBytes,
                DataElementFacts* Facts) {
    const Dd* Element = Check.Find(HdfTag::Chunk, Ref);
    if (Element == nullptr || Element->HasNoPlace()) {
        Facts->KeptOut = StructureRule::ChunkMissing;
        return true;
    }
    if (!HdfTag::IsSpecial(Element->Tag)) {
        if (Element->Length < ChunkBytes && !Facts->KeptOut)
            Facts->KeptOut = StructureRule::ChunkShorterThanChunkBytes;
        return true;
    }
    std::vector<uint8_t> Record;
    int16_t SpecialCode = 0;
    int64_t Length = 0;
    if (!ReadCode(Check, Element, &Record, &SpecialCode) || SpecialCode != SpecialCode::Compressed)
        return Check.Refuse(BadSpecial);
    if (!CheckCompressed(Check, Record, ValueSize, &Length, &Facts->KeptOut))
        return false;
    // HCPread refuses it cleanly, but the chunk cache then drops the page it
    // had taken for the chunk without freeing it: a leak at every read.
    if (Length < ChunkBytes && !Facts->KeptOut)
        Facts->KeptOut = StructureRule::ChunkShorterThanChunkBytes;
    return true;
}

// The chunk table: a vdata of one record per written chunk, its position in
// the chunk grid and the chunk's tag and ref.
bool CheckChunkTable(StructureCheck& Check, uint16_t Ref, int32_t Rank,
                     const std::vector<int64_t>& Grid, int32_t ValueSize, int64_t ChunkBytes,
                     DataElementFacts* Facts) {
    const VdataHeader* Found = Check.Vdatas.Find(Ref);
    if (Found == nullptr)
        return Check.Refuse(StructureRule::ChunkTableMissing);
    const VdataHeader& Table = *Found;
    if (!RequireReadableFields(Check, Table))
        return false;
    const std::vector<VdataField>& Fields = Table.Fields;
    if (Table.Class.compare(0, 14, "_HDF_CHK_TBL_0") != 0 || Table.Interlace != 0 ||
        Fields.size() != 3 || Fields[0].Name != "origin" || Fields[0].Type != 24 ||
        Fields[0].Order != Rank || Fields[1].Name != "chk_tag" || Fields[1].Type != 23 ||
        Fields[1].Order != 1 || Fields[2].Name != "chk_ref" || Fields[2].Type != 23 ||
        Fields[2].Order != 1)
        return Check.Refuse(StructureRule::ChunkTableMisread);
    std::vector<uint8_t> Records;
    if (!CheckVdataStorage(Check, Ref, Table, int64_t(Table.Records) * Table.RecordSize, &Records))
        return false;
    ByteCursor Cursor(Records);
    // HMCIstaccess files each record in a tree by its origin and ignores the
    // insertion's failure for a second one: that record leaks at every start
    // of the element, SDstart's Hlength among them.
    std::unordered_set<int64_t> Positions;
    for (int32_t R = 0; R < Table.Records; ++R) {
        int64_t Position = 0;
        for (int32_t D = 0; D < Rank; ++D) {
            const int32_t Origin = Cursor.I32();
            if (Origin < 0 || Origin >= Grid[size_t(D)])
                return Check.Refuse(StructureRule::ChunkOutsideDataSet);
            Position = Position * Grid[size_t(D)] + Origin;
        }
        if (!Positions.insert(Position).second)
            return Check.Refuse(StructureRule::TwoChunksAtOnePosition);
        const uint16_t Tag = Cursor.U16();
        const uint16_t ChunkRef = Cursor.U16();
        if (Tag == HdfTag::Null)
            continue;
        // HMCPchunkread refuses it cleanly ("not a valid chunk"), for
        // SDreaddata alone.
        if (HdfTag::Base(Tag) != HdfTag::Chunk) {
            if (!Facts->KeptOut)
                Facts->KeptOut = StructureRule::ChunkTableNamesOther;
            continue;
        }
        if (!CheckChunk(Check, ChunkRef, ValueSize, ChunkBytes, Facts))
            return false;
    }
    return true;
}

bool CheckChunked(StructureCheck& Check, const std::vector<uint8_t>& Record,
                  const DataContext& Data, DataElementFacts* Facts) {
    ByteCursor Cursor(Record);
    Cursor.Skip(2);
    const int32_t HeaderLength = Cursor.I32();
    if (!Cursor.Ok() || HeaderLength < 0 || HeaderLength > Hdf4::ChunkHeaderBufferSize ||
        int64_t(Record.size()) < 6 + int64_t(HeaderLength))
        return Check.Refuse(StructureRule::ChunkedHeaderOverrun);
    ByteCursor Header(Record.data() + 6, size_t(HeaderLength));
    const uint8_t Version = Header.U8();
    const int32_t Flag = Header.I32();
    const int32_t Elements = Header.I32();
    const int32_t ChunkSize = Header.I32();
    const int32_t ValueSize = Header.I32();
    const uint16_t TableTag = Header.U16();
    const uint16_t TableRef = Header.U16();
    Header.Skip(4); // reserved tag and ref
    const int32_t Rank = Header.I32();
    if (!Header.Ok() || Version != 0 || Rank < 1 || (Data.Rank >= 0 && Rank != Data.Rank) ||
        HeaderLength != 33 + 12 * int64_t(Rank) + ValueSize)
        return Check.Refuse(StructureRule::ChunkedHeaderOverrun);
    int64_t Product = 1, Positions = 1;
    std::vector<int64_t> Grid;
    for (int32_t D = 0; D < Rank; ++D) {
        Header.Skip(4); // distribution and unlimited flags
        const int32_t DimLength = Header.I32();
        const int32_t ChunkLength = Header.I32();
        if (DimLength < 0 || ChunkLength < 1)
            return Check.Refuse(StructureRule::ChunkLengthsDivideBy);
        // HMCPseek and HMCPread take positions modulo each dimension's
        // length; writers never store 0.
        if (DimLength == 0 && !Facts->KeptOut)
            Facts->KeptOut = StructureRule::ChunkedDimensionOfLengthZero;
        Product *= ChunkLength;
        Grid.push_back((int64_t(DimLength) + ChunkLength - 1) / ChunkLength);
        Positions *= std::max<int64_t>(Grid.back(), 1);
        // HMCIstaccess sizes the chunk cache's pages as the chunk's values
        // times the value size, in 32 bits.
        if (Product * std::max(ValueSize, 1) > INT32_MAX || Positions > MaxChunkPositions)
            return Check.Refuse(StructureRule::ChunkGridTooLarge);
    }
    Check.ChunkPositionsListed += Positions;
    if (Check.ChunkPositionsListed > MaxChunkPositionsListed)
        return Check.Refuse(StructureRule::ChunkGridsTooLargeTogether);
    if (Positions > MaxChunkPositionsRead && !Facts->KeptOut)
        Facts->KeptOut = StructureRule::ChunkGridTooFineToRead;
    const int32_t FillLength = Header.I32();
    if (!Header.Ok() || ChunkSize != Product || ValueSize < 1 ||
        (Data.ValueSize >= 0 && ValueSize != Data.ValueSize) || FillLength != ValueSize ||
        Elements < 0 || TableTag != HdfTag::Vh)
        return Check.Refuse(StructureRule::ChunkedHeaderInconsistent);
    Facts->LogicalLength = int64_t(Elements) * ValueSize;
    // HMCPinquire gives the length as Elements times the value size in 32
    // bits. Wrapped, SDstart would count an unlimited data set's records
    // from it; of a fixed-size one, SDstart and the listing are unharmed,
    // but hdf_xdr_NCvdata takes the negative length for data never written
    // and hands out fill values.
    if (Facts->LogicalLength > INT32_MAX) {
        if (Data.Unlimited)
            return Check.Refuse(StructureRule::ChunkedHeaderInconsistent);
        Facts->KeptOut = StructureRule::ChunkedDataSetOver2GiB;
    }

    const int32_t ChunksCompressed = 3;
    if ((Flag & 0xFF) == ChunksCompressed) {
        ByteCursor Tail(Record.data() + 6 + HeaderLength, Record.size() - 6 - size_t(HeaderLength));
        const int16_t Marker = Tail.I16();
        const int32_t Length = Tail.I32();
        if (!Tail.Ok() || Marker != ChunksCompressed || Length < 4 ||
            size_t(Length) > Tail.Remaining())
            return Check.Refuse(StructureRule::ChunkCompressionHeaderCutShort);
        ByteCursor Coder(Record.data() + 12 + HeaderLength, size_t(Length));
        CoderFacts Ignored; // each chunk's own header is judged with the chunk
        if (!CheckCoder(Check, Coder, &Ignored))
            return false;
    } else if ((Flag & 0xFF) != 0) {
        return Check.Refuse(StructureRule::ChunkedHeaderInconsistent);
    }
    return CheckChunkTable(Check, TableRef, Rank, Grid, ValueSize, Product * ValueSize, Facts);
}

// HXIstaccess reads the length, offset and name length, then mallocs the
// name length plus one and reads that many bytes: a name length that is
// negative or runs past the record overruns or wraps that buffer. The path
// itself is only opened by HXPread, for SDreaddata: HDF4 would open
// whatever the file names, devices included, so the data set is kept out.
bool CheckExternal(StructureCheck& Check, const std::vector<uint8_t>& Record,
                   DataElementFacts* Facts) {
    ByteCursor Cursor(Record);
    Cursor.Skip(2);
    const int32_t Length = Cursor.I32();
    const int32_t Offset = Cursor.I32();
    const int32_t NameLength = Cursor.I32();
    if (!Cursor.Ok() || Length < 0 || Offset < 0 || NameLength < 0 ||
        int64_t(NameLength) > int64_t(Record.size()) - ExternalRecordSize)
        return Check.Refuse(StructureRule::ExternalElementMisread);
    Facts->LogicalLength = Length;
    Facts->KeptOut = StructureRule::DataInExternalFile;
    return true;
}

} // namespace

bool CheckDataElement(StructureCheck& Check, const Dd* Element, const DataContext& Data,
                      DataElementFacts* Facts) {
    *Facts = DataElementFacts();
    // A ref that names no DD fails Hstartread, cleanly, and Hlength with it;
    // only the values are unreadable.
    if (Element == nullptr) {
        Facts->KeptOut = StructureRule::DataElementMissing;
        return true;
    }
    // Defined but never written: HDF4 starts it as a new element of length
    // -1 and hands out fill values, as for a data set without data.
    if (Element->IsUnwritten()) {
        Facts->Unwritten = true;
        // hdf_read_vars counts an unlimited data set's records from Hlength,
        // -1 here: SDgetinfo reports (2^64 - 1) / record size cut to 32 bits.
        if (Data.Unlimited)
            Facts->KeptOut = StructureRule::UnlimitedOverUnwrittenElement;
        return true;
    }
    Facts->LogicalLength = Element->Length;
    if (!HdfTag::IsSpecial(Element->Tag))
        return true;
    std::vector<uint8_t> Record;
    int16_t SpecialCode = 0;
    if (!ReadCode(Check, Element, &Record, &SpecialCode))
        return Check.Refuse(BadSpecial);
    switch (SpecialCode) {
    case SpecialCode::Linked: {
        LinkedChain Chain;
        if (!CheckLinked(Check, Record, &Chain))
            return false;
        Facts->LogicalLength = Chain.Total;
        if (Chain.Total > Chain.Reach)
            Facts->KeptOut = ChainTooShort;
        // HLPseek sets any position; HLPread then takes its length as the
        // element's less the position, 0 or less past the end: a read of 0
        // bytes fills the caller's buffer with the rest of the block, a
        // negative one memsets a negative size. A fixed-size data set must
        // fit in its element (an unlimited one counts its records from it).
        if (!Facts->KeptOut && Data.Bytes > Chain.Total && Chain.Total > 0)
            Facts->KeptOut = StructureRule::LinkedBlocksShorterThanDataSet;
        return true;
    }
    case SpecialCode::Compressed:
        return CheckCompressed(Check, Record, std::max(Data.ValueSize, 0), &Facts->LogicalLength,
                               &Facts->KeptOut);
    case SpecialCode::Chunked:
        return CheckChunked(Check, Record, Data, Facts);
    case SpecialCode::External:
        return CheckExternal(Check, Record, Facts);
    default:
        return Check.Refuse(BadSpecial);
    }
}

bool CheckVdataStorage(StructureCheck& Check, uint16_t Ref, const VdataHeader& Header,
                       int64_t Length, std::vector<uint8_t>* Out) {
    const Dd* Element = Check.Find(HdfTag::Vs, Ref);
    if (Element == nullptr || Element->CannotStart())
        return Check.Refuse(StructureRule::VdataWithoutStorage);
    const int64_t Needed = int64_t(Header.Records) * Header.RecordSize;
    if (Element->IsUnwritten()) {
        if (Header.Records != 0 || Length > 0)
            return Check.Refuse(StructureRule::VdataRecordsNeverWritten);
        if (Out != nullptr)
            Out->clear();
        return true;
    }
    if (!HdfTag::IsSpecial(Element->Tag)) {
        if (Element->Length < Needed)
            return Check.Refuse(StructureRule::VdataShorterThanRecords);
        if (Out == nullptr)
            return true;
        return Check.File.Read(Element->Offset, Length, Out)
                   ? true
                   : Check.Refuse(StructureRule::VdataCutShort);
    }
    std::vector<uint8_t> Record;
    int16_t SpecialCode = 0;
    if (!ReadCode(Check, Element, &Record, &SpecialCode))
        return Check.Refuse(BadSpecial);
    if (SpecialCode == SpecialCode::External)
        return Check.Refuse(StructureRule::DataInExternalFile);
    if (SpecialCode != SpecialCode::Linked)
        return Check.Refuse(BadSpecial);
    // SDstart reads attributes, dimension values and chunk tables with
    // VSread: a chain too short for those bytes refuses the file.
    LinkedChain Chain;
    if (!CheckLinked(Check, Record, &Chain))
        return false;
    if (Length > Chain.Reach)
        return Check.Refuse(ChainTooShort);
    if (Chain.Total < Needed)
        return Check.Refuse(StructureRule::VdataShorterThanRecords);
    if (Out == nullptr)
        return true;
    if (Length > MaxVdataBytesRead)
        return Check.Refuse(StructureRule::VdataCutShort);
    ElementReader Bytes(Check, Chain);
    return Bytes.ReadFromStart(Length, Out) ? true : Check.Refuse(StructureRule::VdataCutShort);
}
