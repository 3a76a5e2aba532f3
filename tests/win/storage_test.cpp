// Folders made on demand (also beyond MAX_PATH), unique names under a held clock, atomic
// writes that never replace and leave no temporary file, retries past a brief other opener,
// and bounded whole-file reads.
#include "pairs/storage.h"
#include "tests/win/scratch_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const UtcStamp HeldStamp{2026, 1, 2, 3, 4, 5, 6};

std::wstring candidate(const std::wstring& folder, int attempt,
                       const wchar_t* extension = L".dpf") {
    return joinPath(folder, uniqueNameCandidate(HeldStamp, attempt, extension));
}

} // namespace

TEST(Storage, EnsureDirectoryAlsoBeyondMaxPath) {
    ScratchFolder root;
    ASSERT_TRUE(writeTestFile(root / L"Pairs", {1}));
    std::wstring deep = root.path();
    for (wchar_t letter = L'a'; deep.size() < 420; ++letter) {
        deep = joinPath(deep, std::wstring(50, letter));
    }
    const struct {
        const char* name;
        std::wstring folder;
        bool made;
    } cases[] = {
        {"empty path", L"", false},
        {"existing, trailing separator", root.path() + L"\\", true},
        {"missing levels, forward slashes", root.path() + L"/a/b\\c", true},
        {"a file where the folder belongs", root / L"Pairs", false},
        {"a file where a parent belongs", root / L"Pairs\\inner", false},
        {"beyond MAX_PATH", deep, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ensureDirectory(c.folder), c.made) << c.name;
        EXPECT_EQ(isFolder(c.folder), c.made) << c.name;
    }
    // The long folder is usable for the whole cycle.
    const std::wstring path = makeUniquePath(deep, L".dpf", HeldStamp);
    EXPECT_EQ(path, candidate(deep, 0));
    EXPECT_TRUE(writeFileAtomically(path, {5, 6}));
    EXPECT_EQ(readWholeFile(path, 2), (Bytes{5, 6}));
}

TEST(Storage, UniqueNamesUnderOneHeldMillisecond) {
    ScratchFolder root;
    EXPECT_EQ(makeUniquePath(root.path(), L".dpf", HeldStamp),
              root / L"pair-20260102-030405-006-000.dpf");
    // Taken by a file, then by a folder: the counter moves on; another extension is free.
    ASSERT_TRUE(writeFileAtomically(candidate(root.path(), 0), {1}));
    EXPECT_EQ(makeUniquePath(root.path(), L".dpf", HeldStamp), candidate(root.path(), 1));
    ASSERT_TRUE(CreateDirectoryW(candidate(root.path(), 1).c_str(), nullptr));
    EXPECT_EQ(makeUniquePath(root.path(), L".dpf", HeldStamp), candidate(root.path(), 2));
    EXPECT_EQ(makeUniquePath(root.path(), L".png", HeldStamp), candidate(root.path(), 0, L".png"));

    // All 1000 taken: an empty path, and the write that gets it writes nothing.
    for (int attempt = 2; attempt < MaxNameAttempts; ++attempt) {
        ASSERT_TRUE(writeTestFile(candidate(root.path(), attempt), {}));
    }
    const std::wstring none = makeUniquePath(root.path(), L".dpf", HeldStamp);
    EXPECT_EQ(none, L"");
    EXPECT_FALSE(writeFileAtomically(none, {1}));
    EXPECT_EQ(folderEntries(root.path()).size(), static_cast<std::size_t>(MaxNameAttempts));
}

TEST(Storage, AtomicWritesNeverReplaceAndLeaveNoTemporaryFile) {
    ScratchFolder root;
    const Bytes bytes(70000, 0x3C);
    const std::wstring fresh = root / L"fresh.dpf";
    ASSERT_TRUE(writeFileAtomically(fresh, bytes));
    EXPECT_EQ(readTestFile(fresh), bytes);
    // An existing final file stays as it was.
    EXPECT_FALSE(writeFileAtomically(fresh, {9}));
    EXPECT_EQ(readTestFile(fresh), bytes);
    // A left-over temporary blocks exactly its name and is left in place.
    const std::wstring blocked = root / L"blocked.dpf";
    ASSERT_TRUE(writeTestFile(blocked + L".tmp", {9, 9}));
    EXPECT_FALSE(writeFileAtomically(blocked, bytes));
    EXPECT_EQ(readTestFile(blocked + L".tmp"), (Bytes{9, 9}));
    EXPECT_FALSE(writeFileAtomically(root / L"missing\\x.dpf", bytes));
    EXPECT_EQ(folderEntries(root.path()),
              (std::vector<std::wstring>{L"blocked.dpf.tmp", L"fresh.dpf"}));
}

TEST(Storage, RenameAndDeleteWaitForABriefOtherOpener) {
    ScratchFolder root;
    const std::wstring from = root / L"a.dpf.tmp";
    const std::wstring to = root / L"a.dpf";
    // Held for 150 ms without delete sharing, as a scanner looking at a fresh file does.
    const auto heldBriefly = [](const std::wstring& path) {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        return std::thread([file] {
            Sleep(150);
            CloseHandle(file);
        });
    };
    ASSERT_TRUE(writeTestFile(from, {1, 2, 3}));
    std::thread scanner = heldBriefly(from);
    EXPECT_TRUE(renameWithoutReplacing(from, to));
    scanner.join();
    EXPECT_EQ(readTestFile(to), (Bytes{1, 2, 3}));
    ASSERT_TRUE(writeTestFile(from, {4}));
    EXPECT_FALSE(renameWithoutReplacing(from, to)) << "an existing target is never replaced";
    scanner = heldBriefly(from);
    EXPECT_TRUE(deleteFileRetrying(from));
    scanner.join();
    EXPECT_FALSE(pathExists(from));
}

TEST(Storage, ReadWholeFileWithinItsLimit) {
    ScratchFolder root;
    const Bytes bytes(1000, 0x7E);
    ASSERT_TRUE(writeTestFile(root / L"thousand", bytes));
    ASSERT_TRUE(writeTestFile(root / L"empty", {}));
    ASSERT_TRUE(CreateDirectoryW((root / L"folder.dpf").c_str(), nullptr));
    // Another program writing the file does not keep it from being read.
    HANDLE writer =
        CreateFileW((root / L"thousand").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const struct {
        const wchar_t* name;
        std::uint64_t limit;
        bool read;
    } cases[] = {{L"thousand", 1000, true},
                 {L"thousand", 999, false},
                 {L"empty", 1000, false},
                 {L"missing", 1000, false},
                 {L"folder.dpf", 1000, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(readWholeFile(root / c.name, c.limit), c.read ? bytes : Bytes{})
            << c.name << " " << c.limit;
    }
    CloseHandle(writer);
}
