// SHA-256 through BCrypt against known answers, including digests that begin with a byte
// below 0x10 and an input as large as the biggest accepted download.
#include "download/sha256.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

TEST(Sha256, KnownAnswers) {
    // 40 MiB from a 32-bit linear congruential generator, the top byte of each state; the
    // benchmark writes the same bytes out, and sha256sum gave the digest below.
    std::vector<std::uint8_t> generated(40u << 20);
    std::uint32_t state = 0x2545F491u;
    for (std::uint8_t& byte : generated) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    auto bytes = [](const std::string& text) {
        return std::vector<std::uint8_t>(text.begin(), text.end());
    };
    const std::pair<std::vector<std::uint8_t>, std::string> cases[] = {
        {bytes(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {bytes("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {bytes("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        // The first digest byte below 0x10: the text keeps its leading zero.
        {bytes("Driftpane 14"), "046a9886305d3b16b48ec0537da620c0604adb9aeaf58262656f503d611e8935"},
        {bytes("Driftpane 39"), "0887d51f1405bbdca24b576decc84492ddbbff113e051eae6a611ff4ba01612c"},
        {std::vector<std::uint8_t>(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {generated, "0142d572c04cc91147d933ca12d41b8bacf902e3b291b5634ec08d26cb59e003"},
    };
    for (const auto& [input, digest] : cases) {
        EXPECT_EQ(sha256Hex(input), digest) << input.size() << " bytes";
    }
}
