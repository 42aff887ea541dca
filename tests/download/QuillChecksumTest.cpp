#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <locale>
#include <string>
#include <vector>

#include "download/QuillChecksums.h"
#include "tests/support/Sandbox.h"

namespace {

namespace fs = std::filesystem;

struct Kind {
    const char* name;
    QuillChecksum* checksum;
    std::size_t digest_size;
    const char* empty_file_hex;
};

std::vector<Kind> Kinds() {
    return {
        {"CRC", QuillChecksum_CRC::GetInstance(), 4, "00000000"},
        {"MD5", QuillChecksum_MD5::GetInstance(), 16, "D41D8CD98F00B204E9800998ECF8427E"},
        {"SHA1", QuillChecksum_SHA1::GetInstance(), 20, "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
    };
}

const unsigned char* Bytes(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
}

class QuillChecksumTest : public testsupport::SandboxTest {};

TEST(QuillChecksumTextTest, CrcOfTheCheckInputIsStoredLeastSignificantByteFirst) {
    QuillChecksum* crc = QuillChecksum_CRC::GetInstance();
    unsigned char digest[4] = {};
    ASSERT_EQ(crc->CalcString("123456789", digest), 1);
    EXPECT_EQ(std::vector<unsigned char>(digest, digest + 4),
              (std::vector<unsigned char>{0x26, 0x39, 0xF4, 0xCB}));
    std::string hex;
    EXPECT_EQ(crc->CalcStringHex("123456789", hex), 1);
    EXPECT_EQ(hex, "2639F4CB");
}

TEST(QuillChecksumTextTest, StringAndBufferTextsHaveTheirExactForms) {
    struct Case {
        QuillChecksum* checksum;
        std::string text;
        std::string string_hex;
        std::string buffer_hex;
    };
    const std::vector<Case> cases = {
        {QuillChecksum_CRC::GetInstance(), "abc", "C2412435", "C2412435"},
        {QuillChecksum_MD5::GetInstance(), "abc", "900150983CD24FB0D6963F7D28E17F72",
         "900150983CD24FB0D6963F7D28E17F72"},
        {QuillChecksum_SHA1::GetInstance(), "abc", "a9993e364706816aba3e25717850c26c9cd0d89d",
         "A9993E364706816ABA3E25717850C26C9CD0D89D"},
        // Blanks and leading white space are hashed like any other byte.
        {QuillChecksum_MD5::GetInstance(), " a b", "38931AB3BA363B33D7FB0F21C24F5AA7",
         "38931AB3BA363B33D7FB0F21C24F5AA7"},
        {QuillChecksum_SHA1::GetInstance(), " a b", "997e3968f943efcd6847c9bb665d7721b8632a6b",
         "997E3968F943EFCD6847C9BB665D7721B8632A6B"},
    };
    for (const Case& c : cases) {
        std::string from_string = "old:";
        EXPECT_EQ(c.checksum->CalcStringHex(c.text, from_string), 1);
        EXPECT_EQ(from_string, "old:" + c.string_hex);
        std::string from_buffer = "old:";
        EXPECT_EQ(c.checksum->CalcBufferHex(Bytes(c.text), c.text.size(), from_buffer), 1);
        EXPECT_EQ(from_buffer, "old:" + c.buffer_hex);
    }
}

TEST(QuillChecksumTextTest, RefusesMissingInputWithoutTouchingOutputs) {
    const std::string text = "abc";
    for (const Kind& kind : Kinds()) {
        std::vector<unsigned char> digest(kind.digest_size, 0xAA);
        std::string hex = "kept";
        EXPECT_EQ(kind.checksum->CalcStringHex("", hex), 0) << kind.name;
        EXPECT_EQ(kind.checksum->CalcString("", digest.data()), 0) << kind.name;
        EXPECT_EQ(kind.checksum->CalcString(text, nullptr), 0) << kind.name;
        EXPECT_EQ(kind.checksum->CalcBuffer(nullptr, 3, digest.data()), 0) << kind.name;
        EXPECT_EQ(kind.checksum->CalcBuffer(Bytes(text), 0, digest.data()), 0) << kind.name;
        EXPECT_EQ(kind.checksum->CalcBuffer(Bytes(text), 3, nullptr), 0) << kind.name;
        EXPECT_EQ(kind.checksum->CalcBufferHex(Bytes(text), 0, hex), 0) << kind.name;
        EXPECT_EQ(hex, "kept") << kind.name;
        EXPECT_EQ(digest, std::vector<unsigned char>(kind.digest_size, 0xAA)) << kind.name;
    }
}

TEST(QuillChecksumTextTest, EachClassHasOneInstanceAndItsKindCode) {
    EXPECT_EQ(QuillChecksum_CRC::GetInstance(), QuillChecksum_CRC::GetInstance());
    EXPECT_EQ(QuillChecksum_MD5::GetInstance(), QuillChecksum_MD5::GetInstance());
    EXPECT_EQ(QuillChecksum_SHA1::GetInstance(), QuillChecksum_SHA1::GetInstance());
    EXPECT_EQ(QuillChecksum_CRC::GetInstance()->GetType(), 1);
    EXPECT_EQ(QuillChecksum_MD5::GetInstance()->GetType(), 3);
    EXPECT_EQ(QuillChecksum_SHA1::GetInstance()->GetType(), 3);
}

TEST_F(QuillChecksumTest, EmptyFilesHaveADigest) {
    WriteFile(work() / "empty.bin", "");
    for (const Kind& kind : Kinds()) {
        std::string hex = "old:";
        EXPECT_EQ(kind.checksum->CalcFileHex("empty.bin", hex), 1) << kind.name;
        EXPECT_EQ(hex, std::string("old:") + kind.empty_file_hex) << kind.name;
    }
}

// Files span several read blocks; the file digest must equal the digest of
// the same bytes in memory, raw and as text.
TEST_F(QuillChecksumTest, FileDigestsMatchTheBufferDigests) {
    std::string contents;
    for (std::size_t i = 0; contents.size() < (5u << 19) + 77; ++i) {
        contents += static_cast<char>((i * 7919) >> 3);
    }
    WriteFile(work() / "data.bin", contents);
    const std::string locale_before = std::locale().name();
    for (const Kind& kind : Kinds()) {
        std::string buffer_hex;
        ASSERT_EQ(kind.checksum->CalcBufferHex(Bytes(contents), contents.size(), buffer_hex), 1);
        std::string file_hex;
        EXPECT_EQ(kind.checksum->CalcFileHex("data.bin", file_hex), 1) << kind.name;
        EXPECT_EQ(file_hex, buffer_hex) << kind.name;

        std::vector<unsigned char> expected(kind.digest_size);
        ASSERT_EQ(kind.checksum->CalcBuffer(Bytes(contents), contents.size(), expected.data()), 1);
        std::vector<unsigned char> digest(kind.digest_size + 4, 0xAA);
        EXPECT_EQ(kind.checksum->CalcFile("data.bin", digest.data()), 1) << kind.name;
        EXPECT_EQ(std::vector<unsigned char>(digest.begin(), digest.begin() + kind.digest_size),
                  expected)
            << kind.name;
        EXPECT_EQ(std::vector<unsigned char>(digest.begin() + kind.digest_size, digest.end()),
                  std::vector<unsigned char>(4, 0xAA))
            << kind.name << ": wrote past the digest";
    }
    EXPECT_EQ(std::locale().name(), locale_before);
}

TEST_F(QuillChecksumTest, PathsAreCodePage936) {
    WriteFile(work() / "设" / "a.bin", "abc");
    std::string hex;
    EXPECT_EQ(QuillChecksum_MD5::GetInstance()->CalcFileHex("\xC9\xE8\\a.bin", hex), 1);
    EXPECT_EQ(hex, "900150983CD24FB0D6963F7D28E17F72");
}

TEST_F(QuillChecksumTest, UnreadableFilesFailAndLeaveOutputsAlone) {
    fs::create_directory(work() / "dir");
    for (const Kind& kind : Kinds()) {
        for (const std::string path : {"", "missing.bin", "dir", "no_dir/x.bin"}) {
            std::string hex = "kept";
            std::vector<unsigned char> digest(kind.digest_size, 0xAA);
            EXPECT_EQ(kind.checksum->CalcFileHex(path, hex), 0) << kind.name << " " << path;
            EXPECT_EQ(kind.checksum->CalcFile(path, digest.data()), 0) << kind.name << " " << path;
            EXPECT_EQ(hex, "kept") << kind.name << " " << path;
            EXPECT_EQ(digest, std::vector<unsigned char>(kind.digest_size, 0xAA)) << kind.name;
        }
    }
}

}  // namespace
