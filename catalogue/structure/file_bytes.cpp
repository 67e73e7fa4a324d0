// FileBytes: the structure check's only way into a file.
#include "catalogue/structure/file_bytes.h"

#include <algorithm>
#include <climits>

FileBytes::FileBytes(const char* Path) {
    File = std::fopen(Path, "rb");
    if (File == nullptr)
        return;
    // HDF4 keeps offsets in signed 32-bit fields, so nothing it can read lies
    // past 2 GiB; a size that std::ftell cannot report is refused with it.
    if (std::fseek(File, 0, SEEK_END) != 0) {
        std::fclose(File);
        File = nullptr;
        return;
    }
    const long End = std::ftell(File);
    if (End < 0) {
        std::fclose(File);
        File = nullptr;
        return;
    }
    FileSize = End;
}

FileBytes::~FileBytes() {
    if (File != nullptr)
        std::fclose(File);
}

const std::vector<uint8_t>* FileBytes::Page(int64_t Number) {
    auto Found = Pages.find(Number);
    if (Found != Pages.end())
        return &Found->second;
    if (Pages.size() >= MaxPages)
        Pages.clear(); // the check's reads move forward: old pages are seldom needed
    const int64_t Offset = Number * PageSize;
    std::vector<uint8_t> Bytes(size_t(std::min(PageSize, FileSize - Offset)));
    if (Offset > LONG_MAX || std::fseek(File, long(Offset), SEEK_SET) != 0 ||
        std::fread(Bytes.data(), 1, Bytes.size(), File) != Bytes.size())
        return nullptr;
    return &Pages.emplace(Number, std::move(Bytes)).first->second;
}

bool FileBytes::Read(int64_t Offset, int64_t Length, std::vector<uint8_t>* Out) {
    Out->clear();
    if (File == nullptr || !Holds(Offset, Length))
        return false;
    BytesRead += Length;
    if (OverBudget())
        return false;
    Out->reserve(size_t(Length));
    for (int64_t At = Offset; At < Offset + Length;) {
        const std::vector<uint8_t>* Bytes = Page(At / PageSize);
        if (Bytes == nullptr) {
            Out->clear();
            return false;
        }
        const int64_t Start = At % PageSize;
        const int64_t Count = std::min(Offset + Length - At, int64_t(Bytes->size()) - Start);
        Out->insert(Out->end(), Bytes->begin() + Start, Bytes->begin() + Start + Count);
        At += Count;
    }
    return true;
}
