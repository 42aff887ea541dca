// The three digest classes, CRC-32, MD5 and SHA-1, each with one process-wide
// instance. They share one implementation, a template over the class; the
// source file picks the hash for each class and instantiates the template,
// so callers never see the digest library.
//
// Stateless: every operation builds its hash on the stack, so an instance may
// be used on any number of threads at once. GetInstance creates the instance
// on first use (thread-safe) and it is never destroyed.
#pragma once

#include "download/QuillChecksum.h"

template <class Self, std::size_t DigestSize>
class QuillChecksumDigest : public QuillChecksum {
  public:
    static constexpr std::size_t kDigestSize = DigestSize;

    static Self* GetInstance() {
        static Self* const instance = new Self;
        return instance;
    }

    int GetType() override;
    int CalcBuffer(const unsigned char* data, std::size_t length, unsigned char* digest) override;
    int CalcBufferHex(const unsigned char* data, std::size_t length, std::string& hex) override;
    int CalcString(const std::string& text, unsigned char* digest) override;
    int CalcStringHex(const std::string& text, std::string& hex) override;
    int CalcFile(const std::string& path, unsigned char* digest) override;
    int CalcFileHex(const std::string& path, std::string& hex) override;
};

// CRC-32 of IEEE 802.3; the digest is the CRC value least significant byte
// first, so its text shows the value byte-reversed.
class QuillChecksum_CRC final : public QuillChecksumDigest<QuillChecksum_CRC, 4> {};
class QuillChecksum_MD5 final : public QuillChecksumDigest<QuillChecksum_MD5, 16> {};
// CalcStringHex writes lower-case letters, unlike every other text here.
class QuillChecksum_SHA1 final : public QuillChecksumDigest<QuillChecksum_SHA1, 20> {};

extern template class QuillChecksumDigest<QuillChecksum_CRC, 4>;
extern template class QuillChecksumDigest<QuillChecksum_MD5, 16>;
extern template class QuillChecksumDigest<QuillChecksum_SHA1, 20>;
