// The pair file format: the byte layout against a known example, the round trip, every
// refusal of a file image, and the header read for the list. Also the list's own rules:
// which entries count as pair files, their order and their item texts.
#include "pairs/pair_file.h"
#include "pairs/saved_pairs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes filled(std::size_t size, std::uint8_t first) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(first + i);
    }
    return bytes;
}

void putLe(Bytes& image, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        image[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// A valid 2000 / 2018 image with blocks of 100 and 200 bytes, then one field changed.
Bytes validImage() {
    return encodePairFile(2000, 2018, filled(100, 1), filled(200, 9));
}
Bytes withField(std::size_t at, std::uint32_t value) {
    Bytes image = validImage();
    putLe(image, at, value);
    return image;
}

} // namespace

TEST(PairFile, LayoutOfTheKnownExample) {
    const Bytes image = validImage();
    ASSERT_EQ(image.size(), 324u);
    const Bytes header(image.begin(), image.begin() + 24);
    EXPECT_EQ(header, (Bytes{'D',  'P',  'F',  '1',  0x01, 0x00, 0x00, 0x00, 0xD0, 0x07, 0x00, 0x00,
                             0xE2, 0x07, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0xC8, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Bytes(image.begin() + 24, image.begin() + 124), filled(100, 1));
    EXPECT_EQ(Bytes(image.begin() + 124, image.end()), filled(200, 9));
}

TEST(PairFile, RoundTripKeepsOrderAndBytes) {
    const struct {
        std::int32_t first, second;
        std::size_t firstSize, secondSize;
    } cases[] = {{2018, 2000, 1, 1}, {1800, 2200, 3, 70000}, {2200, 1800, 65536, 2}};
    for (const auto& c : cases) {
        const Bytes first = filled(c.firstSize, 3);
        const Bytes second = filled(c.secondSize, 250);
        const auto contents = decodePairFile(encodePairFile(c.first, c.second, first, second));
        ASSERT_TRUE(contents.has_value()) << c.first << " / " << c.second;
        EXPECT_EQ(contents->firstYear, c.first);
        EXPECT_EQ(contents->secondYear, c.second);
        EXPECT_EQ(contents->firstBytes, first);
        EXPECT_EQ(contents->secondBytes, second);
    }
}

TEST(PairFile, RefusedImages) {
    Bytes truncated = validImage();
    truncated.pop_back();
    Bytes trailing = validImage();
    trailing.push_back(0);
    Bytes lowerMagic = validImage();
    lowerMagic[0] = 'd';
    Bytes lengthsZero = encodePairFile(2000, 2018, {}, {});
    const struct {
        const char* name;
        Bytes image;
    } cases[] = {
        {"empty", {}},
        {"23 bytes", Bytes(truncated.begin(), truncated.begin() + 23)},
        {"truncated by one byte", truncated},
        {"one trailing byte", trailing},
        {"magic in lower case", lowerMagic},
        {"version 2", withField(4, 2)},
        {"version 0", withField(4, 0)},
        {"first year 1799", withField(8, 1799)},
        {"first year 2201", withField(8, 2201)},
        {"first year -1", withField(8, 0xFFFFFFFFu)},
        {"second year 1799", withField(12, 1799)},
        {"second year 2201", withField(12, 2201)},
        {"equal years", withField(12, 2000)},
        {"both lengths 0, header only", lengthsZero},
        {"first length 0", withField(16, 0)},
        {"second length 0", withField(20, 0)},
        {"first length over 40 MiB", withField(16, 41943041)},
        {"second length over 40 MiB", withField(20, 41943041)},
        {"lengths at their limit, blocks missing", [] {
             Bytes image = withField(16, 41943040);
             putLe(image, 20, 41943040);
             return image;
         }()},
        {"lengths that miss the size by one", withField(16, 101)},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(decodePairFile(c.image).has_value()) << c.name;
    }
}

TEST(PairFile, LargestFilePassesTheFormatChecks) {
    const Bytes block(MaxPhotoBytes, 0xAB);
    Bytes image = encodePairFile(1900, 2100, block, block);
    ASSERT_EQ(image.size(), MaxPairFileBytes);
    const auto contents = decodePairFile(std::move(image));
    ASSERT_TRUE(contents.has_value());
    EXPECT_EQ(contents->firstBytes.size(), MaxPhotoBytes);
    EXPECT_EQ(contents->secondBytes.size(), MaxPhotoBytes);
}

TEST(PairFile, HeaderIsParsedUnchecked) {
    const Bytes image = validImage();
    EXPECT_FALSE(parsePairHeader(Bytes(10, 'D')).has_value());
    EXPECT_FALSE(parsePairHeader(Bytes(image.begin(), image.begin() + 23)).has_value());
    Bytes odd = withField(4, 7);
    odd[0] = 'X';
    putLe(odd, 8, 0xFFFFFFFEu); // -2
    putLe(odd, 16, 0x80000001u);
    const auto header = parsePairHeader(Bytes(odd.begin(), odd.begin() + 24));
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->magic[0], 'X');
    EXPECT_EQ(header->version, 7u);
    EXPECT_EQ(header->firstYear, -2);
    EXPECT_EQ(header->secondYear, 2018);
    EXPECT_EQ(header->firstLength, 0x80000001u);
    EXPECT_EQ(header->secondLength, 200u);
}

TEST(SavedPairList, PairExtensionRule) {
    const struct {
        const wchar_t* name;
        bool kept;
    } cases[] = {
        {L"pair-20260102-030405-006-000.dpf", true},
        {L"x.dpf", true},
        {L"a.b.dpf", true},
        {L".x.dpf", true},
        {L".dpf", false}, // the only dot is the first character: no extension
        {L"x.DPF", false},
        {L"x.Dpf", false},
        {L"x.dpf.tmp", false},
        {L"x.dpfx", false},
        {L"x.dp", false},
        {L"xdpf", false},
        {L"x.dpf ", false},
        {L"PAIR-0~1.DPF", false}, // a short 8.3 alias
        {L".", false},
        {L"..", false},
        {L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hasPairExtension(c.name), c.kept) << c.name;
    }
}

TEST(SavedPairList, NewestFirstByCodeUnits) {
    std::vector<std::wstring> paths = {
        L"C:\\P\\pair-20260102-030405-006-000.dpf",
        L"C:\\P\\pair-20260102-030405-006-001.dpf",
        L"C:\\P\\pair-20251231-235959-999-000.dpf",
        L"C:\\P\\pair-20260102-030405-007-000.dpf",
        L"C:\\P\\Z.dpf",
        L"C:\\P\\a.dpf",
        L"C:\\P\\\u00e9.dpf",
        L"C:\\P\\pair\\x.dpf",
    };
    sortPathsDescending(paths);
    const std::vector<std::wstring> expected = {
        L"C:\\P\\\u00e9.dpf", // code unit 0xE9 sorts above every ASCII letter
        L"C:\\P\\pair-20260102-030405-007-000.dpf",
        L"C:\\P\\pair-20260102-030405-006-001.dpf",
        L"C:\\P\\pair-20260102-030405-006-000.dpf",
        L"C:\\P\\pair-20251231-235959-999-000.dpf",
        // Element by element: "pair" is a shorter element than "pair-...", although the
        // separator's code unit is above the hyphen's.
        L"C:\\P\\pair\\x.dpf",
        L"C:\\P\\a.dpf", // no case folding: lower case above upper case
        L"C:\\P\\Z.dpf",
    };
    EXPECT_EQ(paths, expected);
}

TEST(SavedPairList, ItemTexts) {
    const auto header = [](std::int32_t first, std::int32_t second) {
        PairFileHeader h;
        h.firstYear = first;
        h.secondYear = second;
        return std::optional<PairFileHeader>(h);
    };
    const struct {
        int position;
        std::optional<PairFileHeader> header;
        const wchar_t* text;
    } cases[] = {
        {1, header(2000, 2018), L"1  |  2000 / 2018"},
        {12, header(2018, 2000), L"12  |  2018 / 2000"},
        {2, header(1800, 2200), L"2  |  1800 / 2200"},
        {3, std::nullopt, L"3  |  ?"},
        {4, header(1799, 2000), L"4  |  ?"},
        {5, header(2000, 2201), L"5  |  ?"},
        {6, header(-1, 2000), L"6  |  ?"},
        {7, header(2000, 2000), L"7  |  ?"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(savedPairItemText(c.position, c.header), c.text) << c.position;
    }
}
