#include "Procedure/IniReader.h"

#include <gtest/gtest.h>

#include "tests/support/Sandbox.h"

namespace {

TEST(IniReader, ParseResultsAndFailureTexts) {
    struct Case {
        const char* text;
        int result;
        const char* error;
    };
    const Case cases[] = {
        {"", INI_OK, ""},
        {"a=1\n[S]\nb=2", INI_OK, ""},  // entries above the first header
        {"[]", INI_EMPTY_SECTION_NAME, "section name is empty"},
        // Trimmed to the empty name, which the unnamed section already has.
        {"[ ]", INI_DUPLICATE_SECTION, "section already exist"},
        {"[A]\n[A]", INI_DUPLICATE_SECTION, "section Aalready exist"},
        {"[Version", INI_NO_CLOSING_BRACKET, "no matched ] found"},
        {";note", INI_BAD_LINE, "parse line failed:;note"},  // ';' is no comment
        {"junk # x", INI_BAD_LINE, "parse line failed:junk"},
        {"  [S]  \r\n\t k = v \r\n# c\r\n", INI_OK, ""},
    };
    for (const Case& c : cases) {
        IniReader reader("#");
        EXPECT_EQ(reader.Parse(c.text), c.result) << c.text;
        EXPECT_EQ(reader.GetLastError(), c.error) << c.text;
    }
}

TEST(IniReader, EntryLineSplitsAtFirstEqualsAndAtTheMarker) {
    IniReader reader("#");
    ASSERT_EQ(reader.Parse("[S]\nkey = a=b # note\n"), INI_OK);
    const IniEntry& entry = reader.FindSection("S")->GetEntries().at(0);
    EXPECT_EQ(entry.m_strKey, "key");
    EXPECT_EQ(entry.m_strValue, "a=b");
    EXPECT_EQ(entry.m_strTrailingComment, "note");
}

TEST(IniReader, HeaderKeepsCommentsAndIgnoresTextAfterBracket) {
    IniReader reader("#");
    ASSERT_EQ(reader.Parse("# top\n\n[Version] more text # tail\nVersion=1\n# dropped\n"), INI_OK);
    const IniSection* section = reader.FindSection("Version");
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->GetComment(), "# top\n\n");
    EXPECT_EQ(section->GetTrailingComment(), "tail");
    ASSERT_EQ(reader.GetSections().size(), 2u);
    EXPECT_EQ(reader.GetSections()[0]->GetName(), "");
}

TEST(IniReader, LookupsAreExactAndTakeTheFirstEntry) {
    IniReader reader("#");
    ASSERT_EQ(reader.Parse("[FileList]\n# first\n0=a\n0=b\nFileCount = 12abc\n"), INI_OK);
    std::string value = "untouched";
    std::string comment = "untouched";
    EXPECT_EQ(reader.GetValue("FileList", "0", value, comment), INI_OK);
    EXPECT_EQ(value, "a");
    EXPECT_EQ(comment, "# first\n");

    value = comment = "untouched";
    EXPECT_EQ(reader.GetValue("fileList", "0", value, comment), INI_SECTION_NOT_FOUND);
    EXPECT_EQ(reader.GetLastError(), "not find the section fileList");
    EXPECT_EQ(reader.GetValue("FileList", "filecount", value, comment), INI_KEY_NOT_FOUND);
    EXPECT_EQ(reader.GetLastError(), "not find the key filecount");
    EXPECT_EQ(value, "untouched");

    int number = -1;
    EXPECT_EQ(reader.GetIntValue("FileList", "FileCount", number), INI_OK);
    EXPECT_EQ(number, 12);
    EXPECT_EQ(reader.GetIntValue("FileList", "Missing", number), INI_KEY_NOT_FOUND);
    EXPECT_EQ(number, 0);
}

TEST(IniReader, RepeatedLookupsKeepTheFirstEntryRule) {
    std::string text = "[S]\n";
    for (int i = 0; i < 50; ++i) {
        text += std::to_string(i) + "=first" + std::to_string(i) + "\n";
    }
    text += "7=second\n";
    IniReader reader("#");
    ASSERT_EQ(reader.Parse(text), INI_OK);
    // Enough lookups that the section indexes its keys on the way.
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 50; ++i) {
            std::string value;
            std::string comment;
            ASSERT_EQ(reader.GetValue("S", std::to_string(i), value, comment), INI_OK);
            EXPECT_EQ(value, "first" + std::to_string(i));
        }
        std::string value;
        std::string comment;
        EXPECT_EQ(reader.GetValue("S", "50", value, comment), INI_KEY_NOT_FOUND);
    }
}

TEST(IniReader, ParseStopsAtFirstBadLineAndKeepsWhatCameBefore) {
    IniReader reader("#");
    EXPECT_EQ(reader.Parse("[A]\nx=1\nbroken\n[B]\ny=2\n"), INI_BAD_LINE);
    std::string value;
    std::string comment;
    EXPECT_EQ(reader.GetValue("A", "x", value, comment), INI_OK);
    EXPECT_EQ(reader.GetValue("B", "y", value, comment), INI_SECTION_NOT_FOUND);
}

class IniReaderFile : public testsupport::SandboxTest {};

TEST_F(IniReaderFile, LoadReadsTheFileAndNamesAMissingOne) {
    WriteFile(work() / "a.ini", "[S]\r\nk=v\r\n");
    IniReader reader("#");
    ASSERT_EQ(reader.Load("a.ini"), INI_OK);
    EXPECT_EQ(reader.GetFileName(), "a.ini");
    std::string value;
    std::string comment;
    EXPECT_EQ(reader.GetValue("S", "k", value, comment), INI_OK);
    EXPECT_EQ(value, "v");

    EXPECT_EQ(reader.Load("missing.ini"), INI_OPEN_FAILED);
    EXPECT_EQ(reader.GetLastError(), "openmissing.ini file failed");
    EXPECT_TRUE(reader.GetSections().empty());
}

}  // namespace
