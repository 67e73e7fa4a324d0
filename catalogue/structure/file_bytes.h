// Bounded reading of a file's bytes for the structure check: every read names
// an offset and a length, is compared with the file's size first, and comes
// back whole or not at all. Pages of the file are kept between reads. ByteCursor decodes HDF4's
// big-endian integers from a buffer and fails, instead of reading on, at the buffer's end.
#ifndef LOADHDF_CATALOGUE_STRUCTURE_FILE_BYTES_H
#define LOADHDF_CATALOGUE_STRUCTURE_FILE_BYTES_H

#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <vector>

class FileBytes {
  public:
    // Opens Path for reading; IsOpen() says whether that and finding the
    // size worked.
    explicit FileBytes(const char* Path);
    ~FileBytes();
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    bool IsOpen() const { return File != nullptr; }
    int64_t Size() const { return FileSize; }
    // True when [Offset, Offset + Length) lies inside the file.
    bool Holds(int64_t Offset, int64_t Length) const {
        return Offset >= 0 && Length >= 0 && Length <= FileSize && Offset <= FileSize - Length;
    }
    // Replaces *Out with the Length bytes at Offset; false (and *Out empty)
    // when they are not all in the file or cannot be read.
    bool Read(int64_t Offset, int64_t Length, std::vector<uint8_t>* Out);

    // True once the reads together have passed the check's budget: a file
    // whose headers point many times at the same large element could
    // otherwise keep the check reading for hours.
    bool OverBudget() const { return BytesRead > ReadBudget; }

  private:
    static constexpr int64_t ReadBudget = int64_t(256) << 20;
    // Headers lie close together and are read many times (a vgroup, then
    // each record it names), so the file is read in pages that are kept.
    static constexpr int64_t PageSize = 64 << 10;
    static constexpr size_t MaxPages = 256;
    const std::vector<uint8_t>* Page(int64_t Number);

    std::FILE* File = nullptr;
    int64_t FileSize = 0;
    int64_t BytesRead = 0;
    std::unordered_map<int64_t, std::vector<uint8_t>> Pages;
};

// Reads big-endian fields from a byte range. Once a read would pass the end,
// every later read fails too and Ok() stays false, so a parser may read a
// whole record and test once.
class ByteCursor {
  public:
    ByteCursor(const uint8_t* Data, size_t Length) : Data(Data), Length(Length) {}
    explicit ByteCursor(const std::vector<uint8_t>& Bytes)
        : ByteCursor(Bytes.data(), Bytes.size()) {}

    bool Ok() const { return !Failed; }
    size_t Position() const { return Pos; }
    size_t Remaining() const { return Failed ? 0 : Length - Pos; }
    void Seek(size_t To) {
        if (To > Length)
            Failed = true;
        else
            Pos = To;
    }

    uint8_t U8() { return uint8_t(Take(1)); }
    uint16_t U16() { return uint16_t(Take(2)); }
    int16_t I16() { return int16_t(uint16_t(Take(2))); }
    uint32_t U32() { return uint32_t(Take(4)); }
    int32_t I32() { return int32_t(uint32_t(Take(4))); }
    // Skips Count bytes; returns where they start (meaningless once failed).
    const uint8_t* Skip(size_t Count) {
        if (Failed || Count > Length - Pos) {
            Failed = true;
            return Data;
        }
        const uint8_t* Start = Data + Pos;
        Pos += Count;
        return Start;
    }

  private:
    uint64_t Take(size_t Width) {
        const uint8_t* Bytes = Skip(Width);
        if (Failed)
            return 0;
        uint64_t Value = 0;
        for (size_t I = 0; I < Width; ++I)
            Value = (Value << 8) | Bytes[I];
        return Value;
    }

    const uint8_t* Data;
    size_t Length;
    size_t Pos = 0;
    bool Failed = false;
};

#endif
