// What each rule of the structure check keeps from HDF4: the function and
// condition it guards, and what HDF4 alone (tools/hdf4_alone/) did with the
// damaged files of the rule in the check's tests, in the rows
// docs/reliability.md shows. Only the tests read it: the module carries the
// rules' words alone (catalogue/structure/structure_rules.h).
#include "catalogue/structure_rule_guards.h"

const std::vector<StructureRuleStage>& StructureRuleGuards() {
    using R = StructureRule;
    // clang-format off
    static const std::vector<StructureRuleStage> Table = {
        {"`dd_blocks.cpp`: the container",
         {
             {{R::FileUnreadable, R::HeadersOverBudget, R::UnnamedRefusal},
              "the check's own limits: a file it cannot open, more header bytes than it reads of one file, or a refusal that names no rule"},
             {{R::NoHdfMagic},
              "`Hishdf`/`Hopen`: netCDF and CDF files go to other readers", {Hdf4Fault::Report}},
             {{R::DdBlockOutsideFile, R::DdBlockWithoutDds, R::DuplicateTagRef},
              "`HTPstart` fails (read error, `DFE_CORRUPT`, `DFE_DUPDD`, tag-0 DDs included) and leaves the DD table it read allocated, in the host's process at every try", {Hdf4Fault::Leak}},
             {{R::DdBlockChainLoops},
              "`HTPstart` follows next-block offsets without looking back: a loop through free DDs is walked for ever, allocating", {Hdf4Fault::Leak}},
             {{R::TooManyDds},
              "overlapping blocks let a small file claim endless DDs: a bound on memory and time (2^20 DDs, or one per 12 bytes of the file)"},
             {{R::DdWithRefZero},
              "ref 0 is HDF4's search wildcard: a VG, VH, NDG or SDG DD of ref 0 makes its reader skip every record of that tag, and `SDstart` fall back to the old-style reader; a DD of ref 0 makes `HTPstart` fail (`DFE_DUPDD`), leaving its DD table allocated, unless it is the first DD of its tag (`HTIregister_tag_ref` marks ref 0 taken when it first meets a tag), and no writer writes one", {Hdf4Fault::Report}},
             {{R::ElementOutsideFile},
              "`Hread` takes a negative length as \"the rest of the file\" and copies it into the element's fixed buffer", {Hdf4Fault::Leak, Hdf4Fault::Clean}},
             {{R::VersionElementSpecial, R::VersionElementTooLong},
              "`HIread_version` (in `Hopen`) reads the element of ref 1 whole into 92 bytes on the stack", {Hdf4Fault::Crash, Hdf4Fault::Leak}},
         }},
        {"`vset_headers.cpp`: every vgroup and vdata header (`Vinitialize` in `SDstart`)",
         {
             {{R::VsetHeaderUnreadable},
              "`VPgetinfo`/`VSPgetinfo` allocate the length the DD claims, in a buffer kept for the process"},
             {{R::VgroupRecordInconsistent, R::VdataHeaderInconsistent},
              "`vunpackvg`/`vunpackvs` read the trailer 5 bytes before the end and every count-driven field with no bound: a field past the record reads the previous record's bytes (the SEGV in `VPgetinfo`, `VSPgetinfo`; a version-4 vdata storing its version once); slack after the fields is allowed, a version above 4 is an empty record, as HDF4 has them", {Hdf4Fault::Crash, Hdf4Fault::Leak, Hdf4Fault::Clean}},
             {{R::VdataNameTooLong},
              "`HIstrncpy` copies up to the declared length or first zero byte into a 65-byte array", {Hdf4Fault::Leak}},
             {{R::VdataFieldsUnconvertible},
              "`VSread` converts with the field types, orders and sizes of the header (judged only for the vdatas the SD readers read: dimension sizes, attributes, chunk tables)", {Hdf4Fault::Clean}},
             {{R::NumberTypeRecordNotFourBytes},
              "`Hgetelement` into a 4-byte stack buffer in `hdf_read_vars`"},
             {{R::NumberTypeUnmapped},
              "`hdf_unmap_type` fails and `SDstart` falls back to the old-style reader; another machine's byte order is not refused: `hdf_read_vars` leaves that data set out, and so does the listing", {Hdf4Fault::Crash}},
         }},
        {"`sd_variables.cpp`: the CDF0.0 vgroup and all it names",
         {
             {{R::DimensionNameUnholdable, R::VariableNameUnholdable},
              "`Vinquire` in `hdf_read_dims` and `hdf_read_vars` copies names into 256 bytes on the stack; no name is a null `strcpy` follows; an empty one a string without values that `strcmp` follows in `hdf_read_dims`. The SD vgroup's own name and the classes of vgroups outside it are never copied: `hdf_read_xdr_cdf` finds it with `Vfindclass`, which compares in place (its `Vinquire` and `Vgetclass` copies are compiled only under `DEBUG` and `OLD_WAY`), so a long name (HDF4 names the vgroup after the path its writer opened) or a long class elsewhere is no fault"},
             {{R::SdVgroupRepeatsRef},
              "`hdf_read_dims` walks entries with `Vgetnext`, which finds an entry by ref: a repeated ref loops for ever", {Hdf4Fault::Hang}},
             {{R::SdVgroupEntryUnreadable},
              "a class over 127 bytes overruns `hdf_read_vars`' buffer; an entry whose vgroup is gone is skipped, as HDF4 skips it"},
             {{R::DimensionVgroupUnreadable, R::DimensionWithTwoSizes},
              "`hdf_read_dims` fails on a vdata that is gone (fallback to the old-style reader), keeps a stale size for one of another class, registers a dimension per size in a table as long as the SD vgroup's entries"},
             {{R::DimensionSizeOverrun, R::NegativeDimensionSize},
              "`VSread` of one record into the 4-byte `val` in `hdf_read_dims`", {Hdf4Fault::Leak}},
             {{R::AttributeFieldNamesSplit, R::AttributeFieldNamesOverrun, R::AttributeUnreadable},
              "`hdf_read_attrs` joins field names into 100 bytes on the stack, and sizes its buffer as records x record size in 32 bits"},
             {{R::VariableEntryUnreadable, R::VariableOverUnlistedDimension, R::VariableOfTooManyDimensions, R::VariableWithoutNumberType, R::UnlimitedDimensionNotFirst, R::EmptyDimensionNotFirst, R::DataSetTooLargeForSizes},
              "`hdf_read_vars` fails (fallback to the old-style reader, whose double free is known), indexes a dimension table that does not exist (`NC_dimid`), divides by a record size that wrapped, or gives a variable without a number type the HDF type of the one before it and a value size of -1"},
             {{R::FillValueOfOtherType},
              "`hdf_xdr_NCvdata`, where it must fill (no data element, one never written, or of length 0), copies one value's bytes of the data's type from the first `_FillValue`, whatever its type"},
             {{R::DataElementMissing},
              "`Hstartread` fails, cleanly: only the values cannot be read", {Hdf4Fault::Report}},
             {{R::UnlimitedOverUnwrittenElement},
              "`hdf_read_vars` counts an unlimited data set's records from `Hlength`, -1 for such an element: `SDgetinfo` reports the record count (2^64 - 1) / record size cut to 32 bits: -1, or hundreds of millions"},
         }},
        {"`storage_forms.cpp`: special elements",
         {
             {{R::SpecialElementMisread},
              "a special code or nesting HDF4's writers never make: handlers started where another form is expected", {Hdf4Fault::Crash, Hdf4Fault::Leak}},
             {{R::LinkedBlocksUnwalkable, R::LinkedBlockTablesLoop, R::LinkedBlockTableUnreadable, R::LinkedBlockUnreadable},
              "`HLIstaccess`/`HLPread` divide by the block length and count, walk the table chain, decode a table shorter than its count", {Hdf4Fault::Crash, Hdf4Fault::Hang}},
             {{R::LinkedBlocksEndBeforeElement},
              "`HLPread` puts a position below the first block's length (its DD's) in block 0, else in block (position - first) / block length + 1, and steps one table per blocks-per-table, testing for the chain's end only before each step: a block just past the last table dereferences a null link (SIGSEGV under `SDreaddata`). Where `SDstart` itself reads the element with `VSread` (an attribute, a dimension size, a chunk table) the file is refused", {Hdf4Fault::Crash, Hdf4Fault::Report}},
             {{R::LinkedBlocksShorterThanDataSet},
              "`HLPseek` takes any position, and `HLPread` reads the element's length less the position: 0 bytes at the end reads the rest of a block into the caller's buffer (heap overflow), a negative count memsets a negative size. A fixed-size data set must fit in its element; an unlimited one counts its records from it"},
             {{R::CompressedElementMisread, R::CompressionHeaderCutShort, R::CompressionUndecodable, R::CompressedDataMissing},
              "`HCIread_header` and `HCIinit_model`/`HCIinit_coder` decode past the record or start unknown coders"},
             {{R::NbitBitsOutsideValues},
              "the N-bit coder shifts and masks by the stored bit offsets"},
             {{R::NbitTypeOtherThanData},
              "the N-bit decoder hands out whole values of its own number type (`buf_size / nt_size` in `HCPcnbit_decode`): of a type larger than the data's it hands out none, and the caller's buffer stays unset"},
             {{R::DeflateNeedsDictionary},
              "`HCIcdeflate_decode` calls `inflate` until the stream ends or fails; `Z_NEED_DICT` is neither, so it loops for ever (`SDreaddata` hangs). `inflate` gets there only past its own tests, in its order: the header's check sum, the method, the window size, then the flag and the 4-byte dictionary id; the header is read as HDF4's first `Hread` delivers it, across linked blocks whose first is short", {Hdf4Fault::Hang}},
             {{R::CompressedStreamTooShort},
              "the bit decoders of N-bit and skipping Huffman (`Hbitread`) read on past the stored bytes of a stream cut short and walk off their 4096-byte buffer (SEGV); a whole N-bit stream holds the kept bits of every value (exact), a skipping-Huffman one at least a bit per byte (a lower bound: a stream cut short above it still faults); over linked blocks, a run-length or skipping-Huffman stream whose decoder, followed read by read, reads at or past the element's end (its values would be made of whatever the buffers held)", {Hdf4Fault::Crash, Hdf4Fault::Misread}},
             {{R::DecoderReadsPastLinkedBlocks},
              "HDF4's decoders read at and past the end of a compressed stream: the N-bit decoder decodes whole 1,024-byte buffers (`HCIcnbit_decode`), so a read of the last values decodes up to a buffer less one value beyond them, `Hbitread` refills 4,096 bytes, `HDgetc` reads one byte into a variable on its stack. On linked blocks `HLPread` cuts such a read to 0 bytes, which then means the rest of a block: more than the caller's buffer holds overruns it (heap overflow under `Hbitread`, stack smashing under `HDgetc`); at a chain exactly full it steps past the last table (SIGSEGV); a read further on memsets a negative size. The N-bit decoder's reach is worked out from the values and bits, run-length and skipping-Huffman streams are followed as their decoders read them", {Hdf4Fault::Crash}},
             {{R::LinkedStreamTooLongToFollow},
              "a run-length or skipping-Huffman stream over linked blocks whose end a read would fault at, of more than 16 MiB of values or 4,096 skipping-Huffman trees: the check does not follow it that far"},
             {{R::SkipHuffmanOddSkipSize},
              "a skip size of 0 or above 2^16: `HCIcskphuff_init` allocates about 2.5 KiB per unit in `SDstart`'s `Hlength`, and its pointer arrays' sizes wrap a 32-bit `size_t` from 2^30 units"},
             {{R::DeflateUnknownLevel},
              "`HCIinit_coder` refuses a level above 9, but leaks its records at every `SDstart` (`Hlength`); no writer writes one", {Hdf4Fault::Leak}},
             {{R::ChunkedHeaderOverrun, R::ChunkedHeaderInconsistent, R::ChunkCompressionHeaderCutShort, R::ChunkLengthsDivideBy, R::ChunkGridTooLarge},
              "`HMCIstaccess` reads the header into 256 bytes on the stack, divides by chunk lengths, sizes the chunk cache's pages as a chunk's values times the value size in 32 bits, and allocates an entry per position of the chunk grid at every start of the element, `SDstart`'s `Hlength` among them (about 32 bytes and 0.1 to 0.18 us each: above 2^22 positions a listing takes hundreds of megabytes and seconds, and a grid of hundreds of millions does not finish); `HMCPinquire` gives the element's length as its values times the value size in 32 bits, from which `SDstart` counts an unlimited data set's records", {Hdf4Fault::Crash, Hdf4Fault::Hang, Hdf4Fault::Leak}},
             {{R::ChunkGridsTooLargeTogether},
              "`SDstart` starts every chunked data set's element, and `HMCIstaccess` allocates an entry per position of its grid each time: a file's grids of more than 2^24 positions together keep `SDstart` for seconds (ten grids of 2^20 took 1.3 s)", {Hdf4Fault::Hang}},
             {{R::ChunkGridTooFineToRead},
              "`mcache_get` looks each chunk up in one of 128 lists that hold the whole grid between them, so reading a grid takes time in the square of its positions: one `SDreaddata` of 1 x 1 chunks took 0.3 s at 2^16 positions, 1.9 s at 2^17, 8.3 s at 2^18 and over 100 s at 2^20, and the user cannot stop it; the listing is unharmed", {Hdf4Fault::Hang}},
             {{R::ChunkedDimensionOfLengthZero},
              "`HMCPseek` and `HMCPread` take positions modulo each dimension's length (SIGFPE); writers never store 0"},
             {{R::ChunkedDataSetOver2GiB},
              "`HMCPinquire`'s 32-bit length of a fixed-size chunked data set goes negative, and `hdf_xdr_NCvdata` hands out fill values for it; `SDstart` and the listing are unharmed, and the file's other data sets read correctly"},
             {{R::TwoChunksAtOnePosition},
              "`HMCIstaccess` files each chunk record in a tree by its origin and ignores the failed insertion of a second: the record leaks at every start of the element, `SDstart`'s `Hlength` among them", {Hdf4Fault::Misread}},
             {{R::ChunkTableMissing, R::ChunkTableMisread, R::ChunkOutsideDataSet},
              "the chunk table is read with `VSread`; an origin outside the grid overruns the chunk cache (`SDreaddata`)"},
             {{R::ChunkTableNamesOther},
              "`HMCPchunkread` refuses a chunk record of another tag cleanly (\"not a valid chunk\"), for `SDreaddata` alone", {Hdf4Fault::Leak}},
             {{R::ChunkShorterThanChunkBytes, R::ChunkMissing},
              "`HMCPchunkread` ignores a short `Hread`: the cache's old bytes would reach the host; a compressed chunk of fewer bytes fails `HCPread`'s own test, but the cache then drops the page it took for it without freeing it, at every read", {Hdf4Fault::Misread, Hdf4Fault::Leak}},
             {{R::ExternalElementMisread},
              "`HXIstaccess` allocates the name length + 1 and reads that many bytes", {Hdf4Fault::Misread}},
             {{R::DataInExternalFile},
              "`HXPread` opens whatever path the file names, devices included", {Hdf4Fault::Report}},
             {{R::VdataWithoutStorage, R::VdataRecordsNeverWritten, R::VdataShorterThanRecords, R::VdataCutShort},
              "`VSattach` and `VSread` of the attributes, dimension sizes and chunk tables that `SDstart` reads, a special form with offset and length -1 among them (`VSattach` fails, and the old-style reader `SDstart` falls back to fails in turn, freeing its static member buffer `ptbuf` without clearing it: the next old-style file's `SDstart` frees it again); a vdata stored in an external file is refused with \"data stored in an external file\"", {Hdf4Fault::Leak}},
         }},
        {"`sd_groups.cpp`: old-style NDG/SDG groups, only in files without a CDF0.0 vgroup (`SDstart` reads them nowhere else)",
         {
             {{R::DataSetGroupUnreadable, R::DataSetGroupDimensionRecords, R::DimensionRecordUnreadable, R::DimensionRecordRank, R::DimensionRecordExtent},
              "`hdf_read_ndgs` frees a group's arrays twice when a later group lacks its dimension record (the double free in `hdf_read_sds_cdf`)", {Hdf4Fault::Crash, Hdf4Fault::Clean}},
             {{R::NumberTypeOverrun, R::OldStyleNumberTypeUnconvertible},
              "number types read into 4 bytes by tag and ref from the file"},
             {{R::DataSetTextUnreadable, R::DataSetTextsTooFew, R::DimensionScalesUnreadable, R::DimensionScalesTooShort, R::DataSetGroupMemberOverrun},
              "label, unit, format and scale members walked unchecked, others read into a 1024-byte buffer"},
             {{R::TooManyAttributes},
              "at most 100 attributes per group, annotations counted among them"},
             {{R::AnnotationUnreadable},
              "`ANIcreate_ann_tree` reads every data label and description of the file, by the plain form of its tag: a special form starts a handler that fails, and the access it never got is ended (SEGV in `Hendaccess`)"},
         }},
    };
    // clang-format on
    return Table;
}

const StructureRuleRow* FindStructureRuleRow(StructureRule Rule) {
    for (const StructureRuleStage& Stage : StructureRuleGuards())
        for (const StructureRuleRow& Row : Stage.Rows)
            for (StructureRule Listed : Row.Rules)
                if (Listed == Rule)
                    return &Row;
    return nullptr;
}
