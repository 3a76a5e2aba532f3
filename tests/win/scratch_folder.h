// A fresh folder under the temporary folder for one test, removed with everything in it
// (also beyond MAX_PATH) when the test ends; and plain file helpers that do not go through
// the code under test.
#pragma once

#include "pairs/storage.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// The entry names of a folder, sorted, without "." and "..".
inline std::vector<std::wstring> folderEntries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW(extendedLengthPath(joinPath(folder, L"*")).c_str(), &entry);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &entry)) {
        if (std::wstring(entry.cFileName) != L"." && std::wstring(entry.cFileName) != L"..") {
            names.push_back(entry.cFileName);
        }
    }
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline void removeTree(const std::wstring& path) {
    for (const std::wstring& name : folderEntries(path)) {
        removeTree(joinPath(path, name));
    }
    const std::wstring target = extendedLengthPath(path);
    if (!RemoveDirectoryW(target.c_str())) {
        DeleteFileW(target.c_str());
    }
}

class ScratchFolder {
  public:
    ScratchFolder() {
        static int counter = 0;
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        path_ = joinPath(temp, L"driftpane-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(++counter));
        removeTree(path_);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { removeTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return joinPath(path_, name); }

  private:
    std::wstring path_;
};

inline bool pathExists(const std::wstring& path) {
    return GetFileAttributesW(extendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool isFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(extendedLengthPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

inline bool writeTestFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    HANDLE file = CreateFileW(extendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok =
        file != INVALID_HANDLE_VALUE &&
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    return ok;
}

// The whole file, however large; empty when it cannot be read.
inline std::vector<std::uint8_t> readTestFile(const std::wstring& path) {
    HANDLE file = CreateFileW(extendedLengthPath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size{};
    std::vector<std::uint8_t> bytes;
    DWORD read = 0;
    if (file != INVALID_HANDLE_VALUE && GetFileSizeEx(file, &size)) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        const BOOL ok =
            ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        bytes.resize(ok ? read : 0);
    }
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    return bytes;
}
