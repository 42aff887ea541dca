#include "Procedure/GameInfoCipher.h"

#include <cstring>

#include "VelaConfig.h"
#include "download/QuillChecksums.h"
#include "platform/runtime/Random.h"

namespace {

constexpr char kGameInfoMagic[] = "SEPCIAL_FILE_HD";  // with its zero byte: 16 bytes

}  // namespace

void MakeGameInfoKey(unsigned char* key) {
    platform::RuntimeSrand(VELA_GAMEINFO_KEY_SEED);
    for (std::size_t i = 0; i < kGameInfoKeySize; ++i) {
        key[i] = static_cast<unsigned char>(platform::RuntimeRand() % 255);
    }
}

void ApplyGameInfoKey(const unsigned char* key, unsigned char* bytes, std::size_t size,
                      std::size_t file_offset) {
    std::size_t i = 0;
    // Up to the next key period, then whole periods, which the compiler vectorises.
    for (; i < size && (file_offset + i) % kGameInfoKeySize != 0; ++i) {
        bytes[i] ^= key[(file_offset + i) % kGameInfoKeySize];
    }
    for (; i + kGameInfoKeySize <= size; i += kGameInfoKeySize) {
        for (std::size_t k = 0; k < kGameInfoKeySize; ++k) {
            bytes[i + k] ^= key[k];
        }
    }
    for (std::size_t k = 0; i < size; ++i, ++k) {
        bytes[i] ^= key[k];
    }
}

bool CheckGameInfoHeader(const unsigned char* data, const unsigned char* key,
                         unsigned char* header) {
    unsigned char plain[kGameInfoHeaderSize];
    std::memcpy(plain, data, kGameInfoHeaderSize);
    ApplyGameInfoKey(key, plain, kGameInfoHeaderSize, 0);
    if (std::memcmp(plain, kGameInfoMagic, sizeof(kGameInfoMagic)) != 0) {
        return false;
    }
    if (header != nullptr) {
        std::memcpy(header, plain, kGameInfoHeaderSize);
    }
    return true;
}

const char* DescribeGameInfoStatus(GameInfoStatus status) {
    switch (status) {
        case GameInfoStatus::kOk:
            return "valid";
        case GameInfoStatus::kTooShort:
            return "shorter than the 100-byte header";
        case GameInfoStatus::kTooLarge:
            return "30 MiB or larger";
        case GameInfoStatus::kBadMagic:
            return "not a game information file (bad magic)";
        case GameInfoStatus::kCrcMismatch:
            return "CRC of the body does not match the header";
    }
    return "unknown status";
}

GameInfoStatus DecipherGameInfoImage(const unsigned char* key, std::string& image) {
    if (image.size() >= kGameInfoSizeLimit) {
        return GameInfoStatus::kTooLarge;
    }
    if (image.size() < kGameInfoHeaderSize) {
        return GameInfoStatus::kTooShort;
    }
    auto* bytes = reinterpret_cast<unsigned char*>(image.data());
    if (!CheckGameInfoHeader(bytes, key, nullptr)) {
        return GameInfoStatus::kBadMagic;
    }
    ApplyGameInfoKey(key, bytes, image.size(), 0);
    return GameInfoStatus::kOk;
}

GameInfoStatus DecodeGameInfoImage(const unsigned char* key, std::string& image,
                                   std::string* headerCrc, std::string* bodyCrc) {
    GameInfoStatus status = DecipherGameInfoImage(key, image);
    if (status != GameInfoStatus::kOk) {
        return status;
    }
    std::string expected = image.substr(kGameInfoCrcOffset, kGameInfoCrcLength);
    image.erase(0, kGameInfoHeaderSize);
    std::string actual = GameInfoCrcText(image);
    bool matches = actual == expected;
    if (headerCrc != nullptr) {
        *headerCrc = expected.substr(0, expected.find('\0'));
    }
    if (bodyCrc != nullptr) {
        *bodyCrc = std::move(actual);
    }
    return matches ? GameInfoStatus::kOk : GameInfoStatus::kCrcMismatch;
}

std::string EncodeGameInfoImage(const unsigned char* key, std::string_view body) {
    std::string image(kGameInfoHeaderSize, '\0');
    std::memcpy(image.data(), kGameInfoMagic, sizeof(kGameInfoMagic));
    std::string crc = GameInfoCrcText(body);
    std::memcpy(image.data() + kGameInfoCrcOffset, crc.data(), kGameInfoCrcLength);
    image.append(body);
    ApplyGameInfoKey(key, reinterpret_cast<unsigned char*>(image.data()), image.size(), 0);
    return image;
}

std::string GameInfoCrcText(std::string_view bytes) {
    if (bytes.empty()) {
        return "00000000";  // the register's initial and final complements cancel
    }
    std::string hex;
    QuillChecksum_CRC::GetInstance()->CalcBufferHex(
        reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), hex);
    return hex;
}
