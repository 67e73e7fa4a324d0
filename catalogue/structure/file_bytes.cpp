// FileBytes: the structure check's only way into a file.
#include "catalogue/structure/file_bytes.h"

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

bool FileBytes::Read(int64_t Offset, int64_t Length, std::vector<uint8_t>* Out) {
    Out->clear();
    if (File == nullptr || !Holds(Offset, Length) || Offset > LONG_MAX)
        return false;
    BytesRead += Length;
    if (OverBudget())
        return false;
    Out->resize(size_t(Length));
    if (Length == 0)
        return true;
    if (std::fseek(File, long(Offset), SEEK_SET) != 0 ||
        std::fread(Out->data(), 1, Out->size(), File) != Out->size()) {
        Out->clear();
        return false;
    }
    return true;
}
