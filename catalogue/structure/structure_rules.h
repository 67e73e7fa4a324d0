// The structure check's rules: the identifier each is refused or kept out
// with, what it refuses (the file, or one data set's values) and the words
// the user and the logs see, in one list. The module carries only these;
// what each rule keeps from HDF4 (the function and condition it guards, and
// what HDF4 alone did with the tests' damaged files) is told in
// tests/catalogue/structure_rule_guards.cpp and docs/reliability.md.
#ifndef LOADHDF_CATALOGUE_STRUCTURE_STRUCTURE_RULES_H
#define LOADHDF_CATALOGUE_STRUCTURE_STRUCTURE_RULES_H

#include <cstddef>
#include <cstdint>

// RULE(Identifier, Outcome, Words) for every rule, by stage, in the order of
// the rules' table. Two identifiers may share words where two stages refuse
// the same thing for different HDF4 readers (a number type of the SD vgroup
// and of an old-style group).
// clang-format off
#define LOADHDF_STRUCTURE_RULES(RULE) \
    /* dd_blocks.cpp, and the check's own limits (structure_check.cpp) */ \
    RULE(FileUnreadable, File, "file that cannot be read") \
    RULE(HeadersOverBudget, File, "more headers than the check will read") \
    RULE(UnnamedRefusal, File, "unreadable structure") \
    RULE(NoHdfMagic, File, "no HDF magic number") \
    RULE(DdBlockOutsideFile, File, "DD block outside the file") \
    RULE(DdBlockWithoutDds, File, "DD block with no DDs") \
    RULE(DuplicateTagRef, File, "two DDs with the same tag and reference") \
    RULE(DdBlockChainLoops, File, "DD block chain that loops") \
    RULE(TooManyDds, File, "too many DDs") \
    RULE(DdWithRefZero, File, "DD with reference 0") \
    RULE(ElementOutsideFile, File, "element outside the file") \
    RULE(VersionElementSpecial, File, "version element in a special form") \
    RULE(VersionElementTooLong, File, "version element longer than HDF4's buffer") \
    /* vset_headers.cpp */ \
    RULE(VsetHeaderUnreadable, File, "vgroup or vdata header that cannot be read") \
    RULE(VgroupRecordInconsistent, File, "vgroup record that does not add up") \
    RULE(VdataHeaderInconsistent, File, "vdata header that does not add up") \
    RULE(VdataNameTooLong, File, "vdata name or class longer than HDF4's 64-byte field") \
    RULE(VdataFieldsUnconvertible, File, "vdata fields that HDF4 cannot convert") \
    RULE(NumberTypeRecordNotFourBytes, File, "number type record that is not 4 bytes") \
    RULE(NumberTypeUnmapped, File, "number type HDF4 cannot convert") \
    /* sd_variables.cpp */ \
    RULE(DimensionNameUnholdable, File, "dimension name HDF4 cannot hold") \
    RULE(VariableNameUnholdable, File, "variable name HDF4 cannot hold") \
    RULE(SdVgroupRepeatsRef, File, "SD vgroup naming one reference twice") \
    RULE(SdVgroupEntryUnreadable, File, "SD vgroup entry HDF4 cannot read") \
    RULE(DimensionVgroupUnreadable, File, "dimension vgroup HDF4 cannot read") \
    RULE(DimensionWithTwoSizes, File, "dimension with two sizes") \
    RULE(DimensionSizeOverrun, File, "dimension size HDF4 would overrun") \
    RULE(NegativeDimensionSize, File, "negative dimension size") \
    RULE(AttributeFieldNamesSplit, File, "attribute field names HDF4 would split") \
    RULE(AttributeFieldNamesOverrun, File, "attribute field names HDF4 would overrun") \
    RULE(AttributeUnreadable, File, "attribute HDF4 cannot read") \
    RULE(VariableEntryUnreadable, File, "variable entry HDF4 cannot read") \
    RULE(VariableOverUnlistedDimension, File, "variable over an unlisted dimension") \
    RULE(VariableOfTooManyDimensions, File, "variable of too many dimensions") \
    RULE(VariableWithoutNumberType, File, "variable without a number type") \
    RULE(UnlimitedDimensionNotFirst, File, "unlimited dimension that is not the first") \
    RULE(EmptyDimensionNotFirst, File, "dimension of size 0 that is not the first") \
    RULE(DataSetTooLargeForSizes, File, "data set too large for HDF4's sizes") \
    RULE(FillValueOfOtherType, DataSet, "fill value of another type than its data") \
    RULE(DataElementMissing, DataSet, "data element that is missing") \
    RULE(UnlimitedOverUnwrittenElement, DataSet, "unlimited data set over a data element never written") \
    /* storage_forms.cpp, element_reader.cpp, stream_decoders.cpp */ \
    RULE(SpecialElementMisread, File, "special element HDF4 would misread") \
    RULE(LinkedBlocksUnwalkable, File, "linked blocks HDF4 cannot walk") \
    RULE(LinkedBlockTablesLoop, File, "linked-block tables that loop") \
    RULE(LinkedBlockTableUnreadable, File, "linked-block table that cannot be read") \
    RULE(LinkedBlockUnreadable, File, "linked block that cannot be read") \
    RULE(LinkedBlocksEndBeforeElement, DataSet, "linked blocks that end before their element") \
    RULE(LinkedBlocksShorterThanDataSet, DataSet, "linked blocks shorter than their data set") \
    RULE(CompressedElementMisread, File, "compressed element HDF4 would misread") \
    RULE(CompressionHeaderCutShort, File, "compression header cut short") \
    RULE(CompressionUndecodable, File, "compression HDF4 cannot decode") \
    RULE(CompressedDataMissing, File, "compressed data that is missing") \
    RULE(NbitBitsOutsideValues, File, "N-bit compression with bits outside its values") \
    RULE(NbitTypeOtherThanData, DataSet, "N-bit compression of another type than its data") \
    RULE(DeflateNeedsDictionary, DataSet, "deflate stream that needs a dictionary") \
    RULE(CompressedStreamTooShort, DataSet, "compressed stream shorter than its values") \
    RULE(DecoderReadsPastLinkedBlocks, DataSet, "compressed stream whose decoder reads past its linked blocks") \
    RULE(LinkedStreamTooLongToFollow, DataSet, "compressed stream over linked blocks too long to follow") \
    RULE(SkipHuffmanOddSkipSize, File, "skipping-Huffman compression with an odd skip size") \
    RULE(DeflateUnknownLevel, File, "deflate compression with an unknown level") \
    RULE(ChunkedHeaderOverrun, File, "chunked header HDF4 would overrun") \
    RULE(ChunkedHeaderInconsistent, File, "chunked header that does not add up") \
    RULE(ChunkCompressionHeaderCutShort, File, "chunk compression header cut short") \
    RULE(ChunkLengthsDivideBy, File, "chunk lengths HDF4 would divide by") \
    RULE(ChunkGridTooLarge, File, "chunk grid too large") \
    RULE(ChunkGridsTooLargeTogether, File, "chunk grids too large together") \
    RULE(ChunkGridTooFineToRead, DataSet, "chunk grid too fine to read") \
    RULE(ChunkedDimensionOfLengthZero, DataSet, "chunked dimension of length 0") \
    RULE(ChunkedDataSetOver2GiB, DataSet, "chunked data set of more than 2 GiB") \
    RULE(TwoChunksAtOnePosition, File, "two chunks at one position") \
    RULE(ChunkTableMissing, File, "chunk table that is missing") \
    RULE(ChunkTableMisread, File, "chunk table HDF4 would misread") \
    RULE(ChunkOutsideDataSet, File, "chunk outside its data set") \
    RULE(ChunkTableNamesOther, DataSet, "chunk table naming something else") \
    RULE(ChunkShorterThanChunkBytes, DataSet, "chunk shorter than a chunk's bytes") \
    RULE(ChunkMissing, DataSet, "chunk that is missing") \
    RULE(ExternalElementMisread, File, "external element HDF4 would misread") \
    RULE(DataInExternalFile, DataSet, "data stored in an external file") \
    RULE(VdataWithoutStorage, File, "vdata without storage") \
    RULE(VdataRecordsNeverWritten, File, "vdata records that were never written") \
    RULE(VdataShorterThanRecords, File, "vdata shorter than its records") \
    RULE(VdataCutShort, File, "vdata cut short") \
    /* sd_groups.cpp */ \
    RULE(DataSetGroupUnreadable, File, "data-set group that cannot be read") \
    RULE(DataSetGroupDimensionRecords, File, "data-set group without exactly one dimension record") \
    RULE(DimensionRecordUnreadable, File, "dimension record that cannot be read") \
    RULE(DimensionRecordRank, File, "dimension record of a rank HDF4 cannot take") \
    RULE(DimensionRecordExtent, File, "dimension record with an impossible extent") \
    RULE(NumberTypeOverrun, File, "number type HDF4 would overrun") \
    RULE(OldStyleNumberTypeUnconvertible, File, "number type HDF4 cannot convert") \
    RULE(DataSetTextUnreadable, File, "data-set text that cannot be read") \
    RULE(DataSetTextsTooFew, File, "data-set texts fewer than its dimensions") \
    RULE(DimensionScalesUnreadable, File, "dimension scales that cannot be read") \
    RULE(DimensionScalesTooShort, File, "dimension scales shorter than stated") \
    RULE(DataSetGroupMemberOverrun, File, "data-set group member HDF4 would overrun") \
    RULE(TooManyAttributes, File, "more attributes than HDF4 keeps for a data set") \
    RULE(AnnotationUnreadable, File, "annotation that cannot be read")
// clang-format on

enum class RuleOutcome : uint8_t {
    File,   // the file is refused: "Not a valid HDF File"
    DataSet // the data set is kept out: its load ends with the read error
};

enum class StructureRule : uint8_t {
#define LOADHDF_RULE_IDENTIFIER(Identifier, Outcome, Words) Identifier,
    LOADHDF_STRUCTURE_RULES(LOADHDF_RULE_IDENTIFIER)
#undef LOADHDF_RULE_IDENTIFIER
};

#define LOADHDF_RULE_ONE(Identifier, Outcome, Words) +1
constexpr size_t StructureRuleCount = 0 LOADHDF_STRUCTURE_RULES(LOADHDF_RULE_ONE);
#undef LOADHDF_RULE_ONE

// The words StructureVerdict::Rule and DataRule give for Rule: a static
// string, never null.
const char* StructureRuleWords(StructureRule Rule);
RuleOutcome StructureRuleOutcome(StructureRule Rule);

#endif
