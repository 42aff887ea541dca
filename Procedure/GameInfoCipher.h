// The enciphered container of a game information file: a 100-byte header
// (magic, CRC-32 text of the body) followed by the plain INI body, every byte
// XORed with a 128-byte key drawn from the run-time generator. The key is made
// anew for each read and never stored. Pure functions over memory; any thread
// (the key generator's state belongs to the calling thread).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr std::size_t kGameInfoKeySize = 128;
constexpr std::size_t kGameInfoHeaderSize = 100;
constexpr std::size_t kGameInfoCrcOffset = 24;
constexpr std::size_t kGameInfoCrcLength = 8;
// Files of this size or more are refused.
constexpr std::size_t kGameInfoSizeLimit = 31457280;

void MakeGameInfoKey(unsigned char* key);

// Deciphers the first 100 bytes of data; true when they open with the magic
// "SEPCIAL_FILE_HD" and a zero byte. Copies the plain header when asked to.
bool CheckGameInfoHeader(const unsigned char* data, const unsigned char* key,
                         unsigned char* header);

enum class GameInfoStatus {
    kOk,
    kTooShort,  // under 100 bytes
    kTooLarge,  // 30 MiB or more
    kBadMagic,
    kCrcMismatch,
};
const char* DescribeGameInfoStatus(GameInfoStatus status);

// XORs bytes that stand at file_offset and after in the file.
void ApplyGameInfoKey(const unsigned char* key, unsigned char* bytes, std::size_t size,
                      std::size_t file_offset);

// Checks the size and the header of a whole enciphered file image and
// deciphers it in place (header and body). The plain header's CRC text is
// then image[24..31].
GameInfoStatus DecipherGameInfoImage(const unsigned char* key, std::string& image);

// Deciphers a whole image and checks the body's CRC; on success image holds
// the plain body alone. headerCrc and bodyCrc receive the two texts compared.
GameInfoStatus DecodeGameInfoImage(const unsigned char* key, std::string& image,
                                   std::string* headerCrc = nullptr,
                                   std::string* bodyCrc = nullptr);

// The enciphered file for a plain body: reserved header bytes zero.
std::string EncodeGameInfoImage(const unsigned char* key, std::string_view body);

// CRC-32 text of bytes in the form of the header (upper case, digest bytes
// least significant first); "00000000" for no bytes.
std::string GameInfoCrcText(std::string_view bytes);
