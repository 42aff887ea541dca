// A small INI reader for the plain text of a game information file. It keeps
// sections and entries in file order with the comments above them; lookups
// match section and key names exactly and take the first entry of a key.
// A section that is searched repeatedly builds a key index on the way, so
// looking up thousands of numbered entries stays linear while a single lookup
// costs no index. One reader belongs to one thread at a time.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

enum IniResult {
    INI_OK = 0,
    INI_NO_CLOSING_BRACKET = 2,
    INI_EMPTY_SECTION_NAME = 3,
    INI_DUPLICATE_SECTION = 4,
    INI_BAD_LINE = 5,
    INI_OPEN_FAILED = 6,
    INI_KEY_NOT_FOUND = 8,
    INI_SECTION_NOT_FOUND = 9,
};

struct IniEntry {
    std::string m_strKey;
    std::string m_strValue;
    std::string m_strComment;          // comment and blank lines above the entry
    std::string m_strTrailingComment;  // text after the comment marker on its line
};

// Lets the indexes be searched with a string_view, without a copy of the key.
struct IniNameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const {
        return std::hash<std::string_view>{}(name);
    }
};
template <class T>
using IniNameMap = std::unordered_map<std::string, T, IniNameHash, std::equal_to<>>;

class IniSection {
  public:
    IniSection(std::string name, std::string comment, std::string trailingComment);

    const std::string& GetName() const { return m_strName; }
    const std::string& GetComment() const { return m_strComment; }
    const std::string& GetTrailingComment() const { return m_strTrailingComment; }
    const std::deque<IniEntry>& GetEntries() const { return m_entries; }

    // Keys are not unique; a later entry of a key never hides the first.
    void Append(IniEntry entry);
    const IniEntry* FindFirst(std::string_view key) const;

  private:
    std::string m_strName;
    std::string m_strComment;
    std::string m_strTrailingComment;
    std::deque<IniEntry> m_entries;  // grows without moving what it holds
    // Built on the first lookup after a few linear ones.
    mutable IniNameMap<std::size_t> m_firstEntryOfKey;
    mutable int m_nLinearLookups = 0;
};

class IniReader {
  public:
    explicit IniReader(std::string commentMarker = "#");

    // Clears the reader and parses the file; on a syntax error the sections
    // read so far stay and the failure text is kept.
    int Load(const std::string& fileName);
    // The same parse over text already in memory.
    int Parse(std::string_view text);

    int GetValue(std::string_view section, std::string_view key, std::string& value,
                 std::string& comment) const;
    int GetIntValue(std::string_view section, std::string_view key, int& number) const;
    const IniSection* FindSection(std::string_view name) const;

    void Clear();

    const std::string& GetLastError() const { return m_strLastError; }
    const std::string& GetFileName() const { return m_strFileName; }
    const std::vector<std::unique_ptr<IniSection>>& GetSections() const { return m_sections; }

  private:
    int Fail(int result, std::string text) const;
    int ParseSectionHeader(std::string_view content, std::string& pendingComment,
                           std::string_view trailingComment, IniSection*& current);

    std::vector<std::unique_ptr<IniSection>> m_sections;
    IniNameMap<IniSection*> m_sectionByName;
    std::string m_strFileName;
    std::string m_strCommentMarker;
    mutable std::string m_strLastError;
};
