// Folders on demand, unique UTC-stamped names, atomic writes and bounded reads on Windows.
#include "pairs/storage.h"

#include "app/commands.h"
#include "core/app_state.h"
#include "core/handles_win.h"

#include <shellapi.h>

#include <limits>

namespace {

// A virus scanner or indexer may open a fresh file for a moment; a rename or delete that
// meets it fails with a sharing violation (or access denied while a delete is pending).
// These are retried for up to about half a second before the operation counts as failed.
constexpr int InUseAttempts = 10;
constexpr DWORD InUseDelayMs = 50;

// CreateDirectoryW refuses paths of MAX_PATH - 12 characters and more without the prefix
// (room for an 8.3 file name inside); the other calls only at MAX_PATH. The lower bound
// serves both.
constexpr std::size_t ClassicPathLimit = MAX_PATH - 12;

std::wstring fullPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return path;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return path;
    }
    full.resize(length);
    return full;
}

bool isDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(extendedLengthPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder that holds path ("C:\a" for "C:\a\b\"), or empty at a root.
std::wstring parentFolder(const std::wstring& path) {
    std::size_t end = path.size();
    while (end > 0 && isPathSeparator(path[end - 1])) {
        --end;
    }
    while (end > 0 && !isPathSeparator(path[end - 1])) {
        --end;
    }
    if (end == 0) {
        return {};
    }
    std::wstring parent = path.substr(0, end);
    // Keep the separator after a drive ("C:\"), drop it elsewhere.
    while (parent.size() > 3 && isPathSeparator(parent.back())) {
        parent.pop_back();
    }
    return parent == path ? std::wstring() : parent;
}

bool createOneFolder(const std::wstring& folder) {
    if (CreateDirectoryW(extendedLengthPath(folder).c_str(), nullptr)) {
        return true;
    }
    return GetLastError() == ERROR_ALREADY_EXISTS && isDirectory(folder);
}

bool isNotFound(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_NETNAME_DELETED:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
        return true;
    default:
        return false;
    }
}

template <typename Operation> bool retryWhileInUse(Operation operation) {
    for (int attempt = 1;; ++attempt) {
        if (operation()) {
            return true;
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) ||
            attempt >= InUseAttempts) {
            return false;
        }
        Sleep(InUseDelayMs);
    }
}

UtcStamp currentUtcStamp() {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    return {now.wYear,   now.wMonth,  now.wDay,         now.wHour,
            now.wMinute, now.wSecond, now.wMilliseconds};
}

} // namespace

std::wstring extendedLengthPath(const std::wstring& path) {
    if (path.size() < ClassicPathLimit || path.starts_with(L"\\\\?\\") ||
        path.starts_with(L"\\\\.\\")) {
        return path;
    }
    // The prefix turns off the usual clean-up of "." and ".." and of forward slashes, so
    // the path is made full first.
    const std::wstring full = fullPath(path);
    if (full.size() >= 2 && isPathSeparator(full[0]) && isPathSeparator(full[1])) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    if (full.size() >= 3 && full[1] == L':' && isPathSeparator(full[2])) {
        return L"\\\\?\\" + full;
    }
    return path;
}

bool ensureDirectory(const std::wstring& folder) {
    if (folder.empty()) {
        return false;
    }
    // SHCreateDirectoryExW stops at MAX_PATH, so the parents are made one by one: go up
    // until a folder can be made or already exists, then make the missing ones downwards.
    std::vector<std::wstring> missing{fullPath(folder)};
    for (;;) {
        const std::wstring& current = missing.back();
        if (CreateDirectoryW(extendedLengthPath(current).c_str(), nullptr)) {
            missing.pop_back();
            break;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) {
            std::wstring parent = parentFolder(current);
            if (parent.empty()) {
                return false;
            }
            missing.push_back(std::move(parent));
            continue;
        }
        // Exists already (a drive root answers access denied): only a folder will do.
        if (!isDirectory(current)) {
            return false;
        }
        missing.pop_back();
        break;
    }
    while (!missing.empty()) {
        if (!createOneFolder(missing.back())) {
            return false;
        }
        missing.pop_back();
    }
    return true;
}

std::wstring makeUniquePath(const std::wstring& folder, std::wstring_view extension) {
    return makeUniquePath(folder, extension, currentUtcStamp());
}

std::wstring makeUniquePath(const std::wstring& folder, std::wstring_view extension,
                            const UtcStamp& stamp) {
    if (folder.empty()) {
        return {};
    }
    for (int attempt = 0; attempt < MaxNameAttempts; ++attempt) {
        std::wstring candidate = joinPath(folder, uniqueNameCandidate(stamp, attempt, extension));
        // GetFileAttributesW answers for a link itself, so a dangling link counts as taken
        // too; anything but a clear "not found" does.
        if (GetFileAttributesW(extendedLengthPath(candidate).c_str()) == INVALID_FILE_ATTRIBUTES &&
            isNotFound(GetLastError())) {
            return candidate;
        }
    }
    return {};
}

bool writeFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    // WriteFile takes a 32-bit count; a longer buffer cannot be written in one piece.
    if (path.empty() || bytes.size() > std::numeric_limits<DWORD>::max()) {
        return false;
    }
    const std::wstring temporaryPath = extendedLengthPath(path + TemporarySuffix);
    {
        // CREATE_NEW: a temporary file left by another writer (or an earlier crash) blocks
        // this name and is left alone.
        UniqueHandle file =
            adoptHandle(CreateFileW(temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return false;
        }
        // Wine reports a full disk as success with a short count, so the count decides.
        DWORD written = 0;
        const bool complete = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                        &written, nullptr) &&
                              written == bytes.size() && FlushFileBuffers(file.get());
        if (!complete) {
            file.reset();
            deleteFileRetrying(temporaryPath);
            return false;
        }
    }
    if (!renameWithoutReplacing(temporaryPath, path)) {
        deleteFileRetrying(temporaryPath);
        return false;
    }
    return true;
}

bool renameWithoutReplacing(const std::wstring& from, const std::wstring& to) {
    const std::wstring source = extendedLengthPath(from);
    const std::wstring target = extendedLengthPath(to);
    // No MOVEFILE_REPLACE_EXISTING: an existing file under the target name makes this fail.
    return retryWhileInUse([&] {
        return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
    });
}

bool deleteFileRetrying(const std::wstring& path) {
    const std::wstring target = extendedLengthPath(path);
    return retryWhileInUse([&] { return DeleteFileW(target.c_str()) != FALSE; });
}

std::vector<std::uint8_t> readWholeFile(const std::wstring& path, std::uint64_t limit) {
    if (path.empty()) {
        return {};
    }
    // The size comes from the opened handle, not from the path's attributes: those describe
    // a symbolic link itself (size 0), and a file replaced between the two calls would be
    // measured as one file and read as another.
    UniqueHandle file = adoptHandle(CreateFileW(extendedLengthPath(path).c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // Only files on disk: a pipe or a device could block the read or never end.
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK) {
        return {};
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > limit ||
        static_cast<std::uint64_t>(size.QuadPart) > std::numeric_limits<DWORD>::max()) {
        return {};
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size()) {
        return {};
    }
    return bytes;
}

void openAppDataFolder() {
    if (appState.appDataDir.empty() || !ensureDirectory(appState.appDataDir)) {
        setStatus(TextId::CannotSave, true);
        return;
    }
    // The shell reports its own failures; the status line stays as it was.
    ShellExecuteW(appState.mainWindow, L"open", appState.appDataDir.c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
}
