// The pair file format against a known example and every refusal of a file image, and the
// list's own rules that the window tests cannot reach: which names count as pair files and
// how paths are ordered.
#include "pairs/pair_file.h"
#include "pairs/saved_pairs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// 2000 / 2018 with blocks of 100 and 200 bytes, optionally one little-endian field changed.
Bytes example(std::size_t at = 0, std::uint32_t value = 0) {
    Bytes image = encodePairFile(2000, 2018, Bytes(100, 0x11), Bytes(200, 0x22));
    for (int i = 0; at > 0 && i < 4; ++i) {
        image[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    return image;
}

} // namespace

TEST(PairFile, KnownExampleAndItsRoundTrip) {
    const Bytes image = example();
    ASSERT_EQ(image.size(), 324u);
    EXPECT_EQ(Bytes(image.begin(), image.begin() + 24),
              (Bytes{'D',  'P',  'F',  '1',  0x01, 0x00, 0x00, 0x00, 0xD0, 0x07, 0x00, 0x00,
                     0xE2, 0x07, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0xC8, 0x00, 0x00, 0x00}));
    const auto contents = decodePairFile(image);
    ASSERT_TRUE(contents.has_value());
    EXPECT_EQ(std::tuple(contents->firstYear, contents->secondYear), std::tuple(2000, 2018));
    EXPECT_EQ(contents->firstBytes, Bytes(100, 0x11));
    EXPECT_EQ(contents->secondBytes, Bytes(200, 0x22));
    // The largest file read at all passes the format checks.
    const Bytes block(MaxPhotoBytes, 0xAB);
    Bytes largest = encodePairFile(2200, 1800, block, block);
    ASSERT_EQ(largest.size(), MaxPairFileBytes);
    EXPECT_TRUE(decodePairFile(std::move(largest)).has_value());
}

TEST(PairFile, RefusedImages) {
    Bytes cut = example();
    cut.pop_back();
    Bytes trailing = example();
    trailing.push_back(0);
    Bytes lowerMagic = example();
    lowerMagic[0] = 'd';
    Bytes lastMagicByte = example();
    lastMagicByte[3] = '2';
    // Over 40 MiB with the sizes adding up, so only the per-photo limit refuses them.
    const Bytes overLimit(MaxPhotoBytes + 1, 0x11);
    const struct {
        const char* name;
        Bytes image;
    } cases[] = {
        {"empty", {}},
        {"23 bytes", Bytes(cut.begin(), cut.begin() + 23)},
        {"truncated by one byte", cut},
        {"one trailing byte", trailing},
        {"magic in lower case", lowerMagic},
        {"magic DPF2", lastMagicByte},
        {"version 2", example(4, 2)},
        {"first year 1799", example(8, 1799)},
        {"second year 2201", example(12, 2201)},
        {"first year -1", example(8, 0xFFFFFFFFu)},
        {"equal years", example(12, 2000)},
        {"header alone, lengths 0", encodePairFile(2000, 2018, {}, {})},
        {"first photo 0 bytes", encodePairFile(2000, 2018, {}, Bytes(200, 0x22))},
        {"second photo 0 bytes", encodePairFile(2000, 2018, Bytes(100, 0x11), {})},
        {"second length 0, blocks kept", example(20, 0)},
        {"first photo over 40 MiB", encodePairFile(2000, 2018, overLimit, Bytes(1, 0x22))},
        {"second photo over 40 MiB", encodePairFile(2000, 2018, Bytes(1, 0x11), overLimit)},
        {"first length over 40 MiB", example(16, 41943041)},
        {"lengths at the limit, blocks missing",
         [] {
             Bytes image = example(16, 41943040);
             image[20] = 0, image[21] = 0, image[22] = 0x80, image[23] = 0x02;
             return image;
         }()},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(decodePairFile(c.image).has_value()) << c.name;
    }
}

TEST(SavedPairList, ItemTextShowsTheYearsOnlyWhenTheyMakeAPair) {
    const auto header = [](std::int32_t first, std::int32_t second) {
        PairFileHeader h{{'D', 'P', 'F', '1'}, 1, first, second, 100, 200};
        return std::optional<PairFileHeader>(h);
    };
    // Magic, version and lengths are not looked at: such a file is refused when opened.
    std::optional<PairFileHeader> foreign = header(1990, 2010);
    foreign->magic[0] = 'X';
    foreign->version = 7;
    foreign->firstLength = 0;
    const struct {
        int position;
        std::optional<PairFileHeader> header;
        const wchar_t* text;
    } cases[] = {
        {1, header(2000, 2018), L"1  |  2000 / 2018"},
        {2, header(2018, 2000), L"2  |  2018 / 2000"},
        {3, header(1800, 2200), L"3  |  1800 / 2200"},
        {4, std::nullopt, L"4  |  ?"},
        {5, header(2000, 2000), L"5  |  ?"},
        {6, header(1799, 2000), L"6  |  ?"},
        {7, header(2000, 2201), L"7  |  ?"},
        {8, header(-1, 2000), L"8  |  ?"},
        {12, foreign, L"12  |  1990 / 2010"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(savedPairItemText(c.position, c.header), c.text) << c.position;
    }
}

TEST(SavedPairList, ExtensionRuleAndOrder) {
    const struct {
        const wchar_t* name;
        bool kept;
    } names[] = {
        {L"pair-20260102-030405-006-000.dpf", true},
        {L".x.dpf", true},
        {L".dpf", false},
        {L"x.DPF", false},
        {L"x.dpf.tmp", false},
        {L"x.dpfx", false},
        {L"PAIR-0~1.DPF", false},
        {L"xdpf", false},
        {L"..", false},
        {L"", false},
    };
    for (const auto& c : names) {
        EXPECT_EQ(hasPairExtension(c.name), c.kept) << c.name;
    }

    std::vector<std::wstring> paths = {
        L"C:\\P\\pair-20260102-030405-006-000.dpf",
        L"C:\\P\\Z.dpf",
        L"C:\\P\\pair-20260102-030405-006-001.dpf",
        L"C:\\P\\pair\\x.dpf",
        L"C:\\P\\pair-20251231-235959-999-000.dpf",
        L"C:\\P\\a.dpf",
        L"C:\\P\\\u00e9.dpf",
    };
    sortPathsDescending(paths);
    EXPECT_EQ(paths, (std::vector<std::wstring>{
                         L"C:\\P\\\u00e9.dpf", // code unit 0xE9 is above every ASCII letter
                         L"C:\\P\\pair-20260102-030405-006-001.dpf",
                         L"C:\\P\\pair-20260102-030405-006-000.dpf",
                         L"C:\\P\\pair-20251231-235959-999-000.dpf",
                         // Element by element: "pair" is a shorter element than "pair-...",
                         // although the separator's code unit is above the hyphen's.
                         L"C:\\P\\pair\\x.dpf",
                         L"C:\\P\\a.dpf", // no case folding: lower case above upper case
                         L"C:\\P\\Z.dpf",
                     }));
}
