// Reading the 24-byte header of a pair file on disk for the saved-pairs list.
#include "pairs/pair_file.h"

#include "core/handles_win.h"
#include "pairs/storage.h"

std::optional<PairFileHeader> readPairHeader(const std::wstring& path) {
    UniqueHandle file = adoptHandle(CreateFileW(extendedLengthPath(path).c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // A pipe or device named like a pair file could block the read.
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK) {
        return std::nullopt;
    }
    std::uint8_t bytes[PairHeaderSize] = {};
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes, sizeof bytes, &read, nullptr) || read != sizeof bytes) {
        return std::nullopt;
    }
    return parsePairHeader(bytes);
}
