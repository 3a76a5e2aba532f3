// Folders made on demand (also beyond MAX_PATH), unique names under a held clock, atomic
// writes that never replace and never leave a temporary file, and bounded whole-file reads.
#include "pairs/storage.h"
#include "tests/win/scratch_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const UtcStamp HeldStamp{2026, 1, 2, 3, 4, 5, 6};

Bytes sampleBytes(std::size_t size, std::uint8_t seed = 7) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(seed + i * 31);
    }
    return bytes;
}

// A folder chain whose full path is well beyond MAX_PATH.
std::wstring deepFolder(const ScratchFolder& root) {
    std::wstring path = root.path();
    for (int level = 0; path.size() < 420; ++level) {
        path = joinPath(path, std::wstring(50, static_cast<wchar_t>(L'a' + level)));
    }
    return path;
}

} // namespace

TEST(Storage, EnsureDirectory) {
    ScratchFolder root;
    ASSERT_TRUE(writeTestFile(root / L"Pairs", {1}));
    struct Case {
        const char* name;
        std::wstring folder;
        bool expected;
    } cases[] = {
        {"empty path", L"", false},
        {"existing folder", root.path(), true},
        {"existing with trailing separator", root.path() + L"\\", true},
        {"three missing levels", root / L"a\\b\\c", true},
        {"forward slashes", root.path() + L"/d/e", true},
        {"file where the folder belongs", root / L"Pairs", false},
        {"file where a parent belongs", root / L"Pairs\\inner", false},
        {"beyond MAX_PATH", deepFolder(root), true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ensureDirectory(c.folder), c.expected) << c.name;
        if (c.expected) {
            EXPECT_TRUE(isFolder(c.folder)) << c.name;
        }
    }
    EXPECT_EQ(readTestFile(root / L"Pairs"), Bytes{1}) << "the blocking file is untouched";
}

TEST(Storage, LongPathsWriteAndRead) {
    ScratchFolder root;
    const std::wstring folder = deepFolder(root);
    ASSERT_GT(folder.size(), 400u);
    ASSERT_TRUE(ensureDirectory(folder));
    const Bytes bytes = sampleBytes(5000);
    const std::wstring path = makeUniquePath(folder, L".dpf", HeldStamp);
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(writeFileAtomically(path, bytes));
    EXPECT_EQ(readWholeFile(path, 5000), bytes);
    EXPECT_EQ(makeUniquePath(folder, L".dpf", HeldStamp), joinPath(folder, L"pair-20260102-030405-006-001.dpf"));
}

TEST(Storage, UniqueNamesUnderOneMillisecond) {
    ScratchFolder root;
    const auto candidate = [&](int attempt) {
        return root / uniqueNameCandidate(HeldStamp, attempt, L".dpf");
    };
    EXPECT_EQ(candidate(0), root / L"pair-20260102-030405-006-000.dpf");
    EXPECT_EQ(uniqueNameCandidate({1999, 12, 31, 23, 59, 59, 999}, 999, L".png"),
              L"pair-19991231-235959-999-999.png");
    EXPECT_EQ(joinPath(L"C:\\x\\", L"n"), L"C:\\x\\n");
    EXPECT_EQ(joinPath(L"C:\\x", L"n"), L"C:\\x\\n");

    // Two saves in one millisecond take 000 and 001.
    ASSERT_EQ(makeUniquePath(root.path(), L".dpf", HeldStamp), candidate(0));
    ASSERT_TRUE(writeFileAtomically(candidate(0), {1, 2}));
    EXPECT_EQ(makeUniquePath(root.path(), L".dpf", HeldStamp), candidate(1));

    // A folder named like a candidate is taken as well; so is a left-over temporary's final
    // name only once the final exists (the temporary itself blocks the write, not the name).
    ASSERT_TRUE(CreateDirectoryW(candidate(1).c_str(), nullptr));
    EXPECT_EQ(makeUniquePath(root.path(), L".dpf", HeldStamp), candidate(2));
    EXPECT_EQ(makeUniquePath(root.path(), L".png", HeldStamp),
              root / uniqueNameCandidate(HeldStamp, 0, L".png"));

    // A missing folder answers "not found" for the candidate: the name is free.
    EXPECT_EQ(makeUniquePath(root / L"missing", L".dpf", HeldStamp),
              joinPath(root / L"missing", uniqueNameCandidate(HeldStamp, 0, L".dpf")));
    EXPECT_EQ(makeUniquePath(L"", L".dpf", HeldStamp), L"");
}

TEST(Storage, AllCandidatesTakenGivesEmptyPathAndNothingIsWritten) {
    ScratchFolder root;
    for (int attempt = 0; attempt < MaxNameAttempts; ++attempt) {
        ASSERT_TRUE(writeTestFile(root / uniqueNameCandidate(HeldStamp, attempt, L".dpf"), {}));
    }
    const std::wstring path = makeUniquePath(root.path(), L".dpf", HeldStamp);
    EXPECT_EQ(path, L"");
    EXPECT_FALSE(writeFileAtomically(path, sampleBytes(10)));
    EXPECT_EQ(folderEntries(root.path()).size(), static_cast<std::size_t>(MaxNameAttempts));
    // One more millisecond frees the names again.
    UtcStamp later = HeldStamp;
    later.millisecond += 1;
    EXPECT_FALSE(makeUniquePath(root.path(), L".dpf", later).empty());
}

TEST(Storage, AtomicWrites) {
    ScratchFolder root;
    const Bytes bytes = sampleBytes(70000);

    // A plain write: the exact bytes, and no temporary file beside them.
    const std::wstring fresh = root / L"fresh.dpf";
    ASSERT_TRUE(writeFileAtomically(fresh, bytes));
    EXPECT_EQ(readTestFile(fresh), bytes);
    EXPECT_FALSE(pathExists(fresh + L".tmp"));

    // An existing final file is never replaced; the temporary goes again.
    EXPECT_FALSE(writeFileAtomically(fresh, sampleBytes(10, 99)));
    EXPECT_EQ(readTestFile(fresh), bytes);
    EXPECT_FALSE(pathExists(fresh + L".tmp"));

    // A left-over temporary blocks exactly that name, stays as it was, and no final appears.
    const std::wstring blocked = root / L"blocked.dpf";
    ASSERT_TRUE(writeTestFile(blocked + L".tmp", {9, 9, 9}));
    EXPECT_FALSE(writeFileAtomically(blocked, bytes));
    EXPECT_EQ(readTestFile(blocked + L".tmp"), (Bytes{9, 9, 9}));
    EXPECT_FALSE(pathExists(blocked));

    // A folder that is not there, and an empty path.
    EXPECT_FALSE(writeFileAtomically(root / L"missing\\x.dpf", bytes));
    EXPECT_FALSE(pathExists(root / L"missing"));
    EXPECT_FALSE(writeFileAtomically(L"", bytes));
    EXPECT_EQ(folderEntries(root.path()).size(), 2u) << "fresh.dpf and blocked.dpf.tmp only";
}

TEST(Storage, ReadWholeFileWithinItsLimit) {
    ScratchFolder root;
    const Bytes bytes = sampleBytes(1000);
    ASSERT_TRUE(writeTestFile(root / L"thousand", bytes));
    ASSERT_TRUE(writeTestFile(root / L"empty", {}));
    ASSERT_TRUE(CreateDirectoryW((root / L"folder.dpf").c_str(), nullptr));
    struct Case {
        const char* name;
        std::wstring path;
        std::uint64_t limit;
        Bytes expected;
    } cases[] = {
        {"exactly the limit", root / L"thousand", 1000, bytes},
        {"well within", root / L"thousand", 83886104, bytes},
        {"one byte over", root / L"thousand", 999, {}},
        {"empty file", root / L"empty", 1000, {}},
        {"missing file", root / L"missing", 1000, {}},
        {"a folder", root / L"folder.dpf", 1000, {}},
        {"empty path", L"", 1000, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readWholeFile(c.path, c.limit), c.expected) << c.name;
    }

    // Another program writing the file at the same time does not keep it from being read.
    HANDLE writer = CreateFileW((root / L"thousand").c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(readWholeFile(root / L"thousand", 1000), bytes);
    CloseHandle(writer);
}

TEST(Storage, RenameAndDeleteWaitForABriefOtherOpener) {
    ScratchFolder root;
    const std::wstring from = root / L"a.dpf.tmp";
    const std::wstring to = root / L"a.dpf";
    // Another program holds each file for 150 ms without sharing delete access, as a
    // scanner looking at a fresh file does; the operation waits it out.
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
    EXPECT_FALSE(pathExists(from));

    ASSERT_TRUE(writeTestFile(from, {4}));
    EXPECT_FALSE(renameWithoutReplacing(from, to)) << "an existing target is never replaced";
    EXPECT_EQ(readTestFile(to), (Bytes{1, 2, 3}));

    scanner = heldBriefly(from);
    EXPECT_TRUE(deleteFileRetrying(from));
    scanner.join();
    EXPECT_FALSE(pathExists(from));
}
