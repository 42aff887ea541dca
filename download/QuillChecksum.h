// A digest object: turns a byte buffer, a string or a file into a CRC-32, MD5
// or SHA-1 digest, as raw bytes or as hexadecimal text (two digits per digest
// byte, no separators). Implementations are stateless and may be used from
// any thread at once.
//
// Every operation but GetType returns 1 on success and 0 on failure, and
// leaves its outputs untouched on failure. Hex operations append to hex.
// Paths are narrow code page 936 text.
#pragma once

#include <cstddef>
#include <string>

class QuillChecksum {
  public:
    // A small kind code; nothing depends on it.
    virtual int GetType() = 0;
    virtual int CalcBuffer(const unsigned char* data, std::size_t length,
                           unsigned char* digest) = 0;
    virtual int CalcBufferHex(const unsigned char* data, std::size_t length, std::string& hex) = 0;
    virtual int CalcString(const std::string& text, unsigned char* digest) = 0;
    virtual int CalcStringHex(const std::string& text, std::string& hex) = 0;
    virtual int CalcFile(const std::string& path, unsigned char* digest) = 0;
    virtual int CalcFileHex(const std::string& path, std::string& hex) = 0;
    virtual ~QuillChecksum();
};
