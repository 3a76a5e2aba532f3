// SHA-256 of a byte vector through Windows CNG (BCrypt), as lower-case hexadecimal text.
#include "download/sha256.h"

#include "core/handles_win.h"

#include <limits>
#include <memory>

namespace {

constexpr ULONG DigestSize = 32;

bool succeeded(NTSTATUS status) {
    return status >= 0;
}

std::string lowerHex(const UCHAR* digest, ULONG size) {
    constexpr char Digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(std::string::size_type{size} * 2);
    for (ULONG i = 0; i < size; ++i) {
        text.push_back(Digits[digest[i] >> 4]);
        text.push_back(Digits[digest[i] & 0x0F]);
    }
    return text;
}

} // namespace

std::string sha256Hex(const std::vector<std::uint8_t>& bytes) {
    // BCryptHashData takes a 32-bit count; a longer input would be hashed only in part and
    // its digest would describe other bytes.
    if (bytes.size() > std::numeric_limits<ULONG>::max()) {
        return {};
    }
    // Declared first so it is freed last, after the hash that lives in it is destroyed.
    std::unique_ptr<UCHAR[]> hashObject;

    BCRYPT_ALG_HANDLE rawProvider = nullptr;
    if (!succeeded(
            BCryptOpenAlgorithmProvider(&rawProvider, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
        return {};
    }
    UniqueAlgorithm provider(rawProvider);

    DWORD objectLength = 0;
    ULONG written = 0;
    if (!succeeded(BCryptGetProperty(provider.get(), BCRYPT_OBJECT_LENGTH,
                                     reinterpret_cast<PUCHAR>(&objectLength), sizeof objectLength,
                                     &written, 0))) {
        return {};
    }
    if (objectLength > 0) {
        hashObject = std::make_unique<UCHAR[]>(objectLength);
    }

    BCRYPT_HASH_HANDLE rawHash = nullptr;
    if (!succeeded(BCryptCreateHash(provider.get(), &rawHash, hashObject.get(), objectLength,
                                    nullptr, 0, 0))) {
        return {};
    }
    UniqueHash hash(rawHash);

    // BCrypt never writes through the input pointer; its signature just lacks const.
    UCHAR* input = const_cast<UCHAR*>(bytes.data());
    UCHAR digest[DigestSize] = {};
    if (!succeeded(BCryptHashData(hash.get(), input, static_cast<ULONG>(bytes.size()), 0)) ||
        !succeeded(BCryptFinishHash(hash.get(), digest, DigestSize, 0))) {
        return {};
    }
    return lowerHex(digest, DigestSize);
}
