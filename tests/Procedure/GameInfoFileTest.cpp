#include "Procedure/GameInfoFile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "Procedure/GameInfoCipher.h"
#include "app/RunLog.h"
#include "tests/support/Sandbox.h"

namespace {

namespace fs = std::filesystem;

std::string Encode(std::string_view body) {
    unsigned char key[kGameInfoKeySize];
    MakeGameInfoKey(key);
    return EncodeGameInfoImage(key, body);
}

class GameInfoFile : public testsupport::SandboxTest {
  protected:
    void SetUp() override {
        SandboxTest::SetUp();
        ConfigureRunLog(RunLogOptions{.echo_to_stdout = false, .write_file = true});
    }

    // The plain copy must be gone after every read, successful or not.
    void ExpectNoPlainCopy() {
        std::string copy = GameInfoPlainCopyPath();
        ASSERT_FALSE(copy.empty());
        EXPECT_FALSE(fs::exists(copy)) << copy;
    }

    std::vector<RepairFileRecord> ReadList(const std::string& body, std::string* version = nullptr,
                                           bool expectOk = true) {
        WriteFile(work() / "GameInfo.ini", Encode(body));
        std::string readVersion;
        std::vector<RepairFileRecord> records;
        EXPECT_EQ(ReadGameInfoFileList("GameInfo.ini", readVersion, records), expectOk);
        ExpectNoPlainCopy();
        if (version) {
            *version = readVersion;
        }
        return records;
    }
};

TEST_F(GameInfoFile, KeyIsTheFixedDrawOfTheRuntimeGenerator) {
    unsigned char key[kGameInfoKeySize];
    MakeGameInfoKey(key);
    // Shared with every file already published: a change here breaks them all.
    const unsigned char expected[8] = {0xB1, 0x3B, 0xA5, 0xEF, 0xD7, 0xD2, 0xF9, 0x78};
    EXPECT_EQ(std::vector<unsigned char>(key, key + 8),
              std::vector<unsigned char>(expected, expected + 8));
    for (unsigned char byte : key) {
        EXPECT_LT(byte, 255);
    }
}

TEST_F(GameInfoFile, CipherUsesTheAbsoluteFileOffset) {
    unsigned char key[kGameInfoKeySize];
    MakeGameInfoKey(key);
    std::string body(40, 'x');
    std::string image = EncodeGameInfoImage(key, body);
    ASSERT_EQ(image.size(), 140u);
    EXPECT_EQ(static_cast<unsigned char>(image[100]), 'x' ^ key[100]);
    EXPECT_EQ(static_cast<unsigned char>(image[128]), 'x' ^ key[0]);
}

TEST_F(GameInfoFile, KeyAppliedInPiecesEqualsKeyAppliedWhole) {
    unsigned char key[kGameInfoKeySize];
    MakeGameInfoKey(key);
    std::string whole(700, '\0');
    for (std::size_t i = 0; i < whole.size(); ++i) {
        whole[i] = static_cast<char>(i * 31);
    }
    std::string expected = whole;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        expected[i] = static_cast<char>(expected[i] ^ key[i % kGameInfoKeySize]);
    }
    for (std::size_t cut : {0u, 1u, 99u, 100u, 127u, 128u, 129u, 300u, 699u}) {
        std::string pieces = whole;
        auto* bytes = reinterpret_cast<unsigned char*>(pieces.data());
        ApplyGameInfoKey(key, bytes, cut, 0);
        ApplyGameInfoKey(key, bytes + cut, pieces.size() - cut, cut);
        EXPECT_EQ(pieces, expected) << "cut at " << cut;
    }
}

TEST_F(GameInfoFile, DecipherRewritesTheFileAsItsBody) {
    unsigned char key[kGameInfoKeySize];
    MakeGameInfoKey(key);
    WriteFile(work() / "g.ini", EncodeGameInfoImage(key, "[Version]\r\nVersion=1.0\r\n"));
    ASSERT_TRUE(DecipherGameInfoFile(key, "g.ini"));
    EXPECT_EQ(ReadFile(work() / "g.ini"), "[Version]\r\nVersion=1.0\r\n");
}

TEST_F(GameInfoFile, HeaderOnlyFileIsAnEmptyBody) {
    std::string image = Encode("");
    ASSERT_EQ(image.size(), kGameInfoHeaderSize);
    WriteFile(work() / "GameInfo.ini", image);
    std::string version = "old";
    EXPECT_TRUE(ReadGameInfoVersion("GameInfo.ini", version));
    EXPECT_EQ(version, "");
    ExpectNoPlainCopy();
}

TEST_F(GameInfoFile, InvalidFilesAreRefused) {
    unsigned char key[kGameInfoKeySize];
    MakeGameInfoKey(key);
    std::string valid = EncodeGameInfoImage(key, "[Version]\nVersion=2\n");

    std::string magic = valid;
    magic[15] ^= 0x01;  // the zero byte after the magic text
    std::string lowerCrc = valid;
    for (std::size_t i = kGameInfoCrcOffset; i < kGameInfoCrcOffset + 8; ++i) {
        lowerCrc[i] ^= key[i];
        lowerCrc[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(lowerCrc[i])));
        lowerCrc[i] ^= key[i];
    }
    ASSERT_NE(lowerCrc, valid) << "the CRC of the fixture must hold letters";
    std::string tooLarge = EncodeGameInfoImage(
        key, "[Version]\nVersion=2\n" + std::string(kGameInfoSizeLimit - 100 - 20, '#'));
    ASSERT_EQ(tooLarge.size(), kGameInfoSizeLimit);

    for (const std::string& image : {valid.substr(0, 99), magic, lowerCrc, tooLarge}) {
        WriteFile(work() / "GameInfo.ini", image);
        std::string version = "kept";
        EXPECT_FALSE(ReadGameInfoVersion("GameInfo.ini", version)) << image.size();
        EXPECT_EQ(version, "kept");
        EXPECT_EQ(ReadFile(work() / "GameInfo.ini"), image) << "the source stays enciphered";
        ExpectNoPlainCopy();
    }
    std::string missingVersion = "kept";
    EXPECT_FALSE(ReadGameInfoVersion("absent.ini", missingVersion));
    ExpectNoPlainCopy();

    // Only the CRC mismatch is logged.
    std::string log = ReadFile(work() / "Launch.log");
    EXPECT_NE(log.find("memcmp Error strCrc = "), std::string::npos) << log;
    EXPECT_EQ(log.find("memcmp Error", log.find("memcmp Error") + 1), std::string::npos) << log;
}

TEST_F(GameInfoFile, FileListFollowsTheEntryRules) {
    std::string version;
    auto records = ReadList(
        "[Version]\r\nVersion=1.0.7\r\n"
        "[FileList]\r\nFileCount=6\r\n"
        "0=a.txt,MD5A,CRCA,12,0\r\n"
        "0=shadowed.txt,X,Y,1,0\r\n"
        "2=sub\\b.bin, MD5B,CRCB,  34 ,1\r\n"
        "1=skipped.txt,MD5,CRC,,0\r\n"
        "3=toofew,MD5,CRC,1\r\n"
        "5=last.txt,M,C,7x,-3\r\n"
        "04=leadingzero.txt,M,C,1,0\r\n",
        &version);
    EXPECT_EQ(version, "1.0.7");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].path, "a.txt");
    EXPECT_EQ(records[0].size, 12);
    EXPECT_EQ(records[1].path, "sub\\b.bin");
    EXPECT_EQ(records[1].md5, " MD5B") << "fields are not trimmed";
    EXPECT_EQ(records[1].size, 34);
    EXPECT_EQ(records[1].flag, 1);
    EXPECT_EQ(records[2].path, "last.txt");
    EXPECT_EQ(records[2].size, 7);
    EXPECT_EQ(records[2].flag, -3);
}

TEST_F(GameInfoFile, FileCountBoundsTheList) {
    const std::string entries = "0=a,M,C,1,0\r\n1=b,M,C,1,0\r\n";
    for (const char* count : {"", "FileCount=0\r\n", "FileCount=-5\r\n"}) {
        EXPECT_TRUE(ReadList("[FileList]\r\n" + std::string(count) + entries).empty()) << count;
    }
    // A huge count costs nothing more than the entries present.
    EXPECT_EQ(ReadList("[FileList]\r\nFileCount=2000000000\r\n" + entries).size(), 2u);
    EXPECT_EQ(ReadList("[FileList]\r\nFileCount=1\r\n" + entries).size(), 1u);
    EXPECT_TRUE(ReadList("[fileList]\r\nFileCount=2\r\n" + entries).empty());
}

TEST_F(GameInfoFile, SyntaxErrorKeepsWhatCameBefore) {
    std::string version;
    auto records = ReadList(
        "[Version]\nVersion=3\n[FileList]\nFileCount=2\n0=a,M,C,1,0\n"
        "bad line\n1=b,M,C,1,0\n",
        &version);
    EXPECT_EQ(version, "3");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].path, "a");
}

}  // namespace
