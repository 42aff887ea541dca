#include "download/QuillChecksums.h"

#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <cryptopp/crc.h>
#include <cryptopp/filters.h>
#include <cryptopp/hex.h>
#include <cryptopp/md5.h>
#include <cryptopp/sha.h>

#include <cstring>
#include <exception>
#include <memory>

#include "platform/files/FileSystem.h"

namespace {

// Large blocks keep the per-block cost of the filter chain out of the figure.
// One block per thread, kept: the repair run digests file after file, and a
// fresh block each time would cost its page faults each time.
constexpr std::size_t kFileBlockSize = 1 << 18;

unsigned char* ThreadFileBlock() {
    thread_local std::unique_ptr<unsigned char[]> block(new unsigned char[kFileBlockSize]);
    return block.get();
}

template <class Self>
struct DigestTraits;

template <>
struct DigestTraits<QuillChecksum_CRC> {
    using Hash = CryptoPP::CRC32;
    static constexpr int kType = 1;
    static constexpr bool kLowerStringHex = false;
};

template <>
struct DigestTraits<QuillChecksum_MD5> {
    using Hash = CryptoPP::Weak1::MD5;
    static constexpr int kType = 3;
    static constexpr bool kLowerStringHex = false;
};

template <>
struct DigestTraits<QuillChecksum_SHA1> {
    using Hash = CryptoPP::SHA1;
    static constexpr int kType = 3;
    static constexpr bool kLowerStringHex = true;
};

// The encoder appends to text: a StringSink never clears its string.
CryptoPP::HexEncoder* NewHexEncoder(std::string& text, bool upper_case) {
    return new CryptoPP::HexEncoder(new CryptoPP::StringSink(text), upper_case, 0, ":", "");
}

void AppendHex(const unsigned char* bytes, std::size_t size, bool upper_case, std::string& hex) {
    CryptoPP::StringSource source(bytes, size, true, NewHexEncoder(hex, upper_case));
}

// Hashes through the object's own CalcBuffer and appends the digest's text.
template <std::size_t DigestSize>
int AppendDigestHex(QuillChecksum& checksum, const unsigned char* data, std::size_t length,
                    bool upper_case, std::string& hex) {
    unsigned char digest[DigestSize];
    if (!checksum.CalcBuffer(data, length, digest)) {
        return 0;
    }
    AppendHex(digest, DigestSize, upper_case, hex);
    return 1;
}

std::string DecodeHex(const std::string& text) {
    std::string bytes;
    CryptoPP::StringSource source(text, true,
                                  new CryptoPP::HexDecoder(new CryptoPP::StringSink(bytes)));
    return bytes;
}

const unsigned char* Bytes(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

}  // namespace

template <class Self, std::size_t DigestSize>
int QuillChecksumDigest<Self, DigestSize>::GetType() {
    return DigestTraits<Self>::kType;
}

template <class Self, std::size_t DigestSize>
int QuillChecksumDigest<Self, DigestSize>::CalcBuffer(const unsigned char* data, std::size_t length,
                                                      unsigned char* digest) {
    using Hash = typename DigestTraits<Self>::Hash;
    static_assert(Hash::DIGESTSIZE == DigestSize);
    if (data == nullptr || length == 0 || digest == nullptr) {
        return 0;
    }
    Hash hash;
    hash.Update(data, length);
    hash.Final(digest);
    return 1;
}

template <class Self, std::size_t DigestSize>
int QuillChecksumDigest<Self, DigestSize>::CalcBufferHex(const unsigned char* data,
                                                         std::size_t length, std::string& hex) {
    if (data == nullptr || length == 0) {
        return 0;
    }
    return AppendDigestHex<DigestSize>(*this, data, length, true, hex);
}

template <class Self, std::size_t DigestSize>
int QuillChecksumDigest<Self, DigestSize>::CalcString(const std::string& text,
                                                      unsigned char* digest) {
    if (text.empty() || digest == nullptr) {
        return 0;
    }
    return this->CalcBuffer(Bytes(text), text.size(), digest);
}

template <class Self, std::size_t DigestSize>
int QuillChecksumDigest<Self, DigestSize>::CalcStringHex(const std::string& text,
                                                         std::string& hex) {
    if (text.empty()) {
        return 0;
    }
    return AppendDigestHex<DigestSize>(*this, Bytes(text), text.size(),
                                       !DigestTraits<Self>::kLowerStringHex, hex);
}

template <class Self, std::size_t DigestSize>
int QuillChecksumDigest<Self, DigestSize>::CalcFile(const std::string& path,
                                                    unsigned char* digest) {
    if (path.empty() || digest == nullptr) {
        return 0;
    }
    std::string text;
    if (!this->CalcFileHex(path, text)) {
        return 0;
    }
    try {
        const std::string bytes = DecodeHex(text);
        if (bytes.empty() || bytes.size() > DigestSize) {
            return 0;
        }
        std::memcpy(digest, bytes.data(), bytes.size());
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

template <class Self, std::size_t DigestSize>
int QuillChecksumDigest<Self, DigestSize>::CalcFileHex(const std::string& path, std::string& hex) {
    if (path.empty() || platform::GetAttributes(path) == platform::kInvalidAttributes) {
        return 0;
    }
    platform::FileReader reader;
    if (!reader.Open(path)) {
        return 0;
    }
    try {
        std::string text;
        typename DigestTraits<Self>::Hash hash;
        CryptoPP::HashFilter filter(hash, NewHexEncoder(text, true));
        unsigned char* block = ThreadFileBlock();
        for (;;) {
            const long long got = reader.Read(block, kFileBlockSize);
            if (got < 0) {
                return 0;
            }
            if (got == 0) {
                break;
            }
            filter.Put(block, static_cast<std::size_t>(got));
        }
        filter.MessageEnd();
        hex += text;
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

template class QuillChecksumDigest<QuillChecksum_CRC, 4>;
template class QuillChecksumDigest<QuillChecksum_MD5, 16>;
template class QuillChecksumDigest<QuillChecksum_SHA1, 20>;
