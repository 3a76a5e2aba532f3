// SHA-256 through BCrypt against known answers, including digests that begin with a byte
// below 0x10 and an input as large as the biggest accepted download.
#include "download/sha256.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

// 40 MiB from a 32-bit linear congruential generator, the top byte of each state. The same
// bytes come from the benchmark, which writes them out for sha256sum.
std::vector<std::uint8_t> generatedBytes(std::size_t count) {
    std::vector<std::uint8_t> out(count);
    std::uint32_t state = 0x2545F491u;
    for (std::uint8_t& byte : out) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return out;
}

} // namespace

TEST(Sha256KnownAnswers, ShortMessages) {
    struct Case {
        std::string input;
        std::string digest;
    };
    // FIPS 180-4 examples and digests from sha256sum (printf '%s' TEXT | sha256sum).
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        // First digest byte below 0x10: the text must keep its leading zero.
        {"Driftpane 14", "046a9886305d3b16b48ec0537da620c0604adb9aeaf58262656f503d611e8935"},
        {"Driftpane 39", "0887d51f1405bbdca24b576decc84492ddbbff113e051eae6a611ff4ba01612c"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sha256Hex(bytesOf(c.input)), c.digest) << '"' << c.input << '"';
    }
}

TEST(Sha256KnownAnswers, MillionLetters) {
    EXPECT_EQ(sha256Hex(std::vector<std::uint8_t>(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Sha256KnownAnswers, FortyMebibytesInOneCall) {
    // From the same generator in Python:
    //   s = 0x2545F491; for each byte: s = (s * 1664525 + 1013904223) & 0xFFFFFFFF; s >> 24
    // written to a file of 41,943,040 bytes and hashed with sha256sum.
    EXPECT_EQ(sha256Hex(generatedBytes(40u << 20)),
              "0142d572c04cc91147d933ca12d41b8bacf902e3b291b5634ec08d26cb59e003");
}

TEST(Sha256Limits, InputBeyondThirtyTwoBitCountIsRefused) {
    // 2^32 bytes: passed as a 32-bit count this would hash nothing and give the digest of
    // the empty message for data that is not empty.
    std::vector<std::uint8_t> huge;
    try {
        huge.resize(std::size_t{1} << 32);
    } catch (const std::bad_alloc&) {
        GTEST_SKIP() << "4 GiB not available";
    }
    EXPECT_EQ(sha256Hex(huge), "");
}
