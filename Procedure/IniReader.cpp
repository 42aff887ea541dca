#include "Procedure/IniReader.h"

#include "platform/files/FileSystem.h"
#include "platform/text/DecimalText.h"

namespace {

constexpr std::string_view kIniWhitespace = " \t\n\v\f\r";

std::string_view Trim(std::string_view text) {
    std::size_t first = text.find_first_not_of(kIniWhitespace);
    if (first == std::string_view::npos) {
        return {};
    }
    std::size_t last = text.find_last_not_of(kIniWhitespace);
    return text.substr(first, last - first + 1);
}

}  // namespace

IniSection::IniSection(std::string name, std::string comment, std::string trailingComment)
    : m_strName(std::move(name)),
      m_strComment(std::move(comment)),
      m_strTrailingComment(std::move(trailingComment)) {}

namespace {

constexpr int kLinearLookupsBeforeIndex = 4;

}  // namespace

void IniSection::Append(IniEntry entry) {
    if (!m_firstEntryOfKey.empty()) {
        m_firstEntryOfKey.emplace(entry.m_strKey, m_entries.size());
    }
    m_entries.push_back(std::move(entry));
}

const IniEntry* IniSection::FindFirst(std::string_view key) const {
    if (m_firstEntryOfKey.empty() && m_nLinearLookups < kLinearLookupsBeforeIndex) {
        ++m_nLinearLookups;
        for (const IniEntry& entry : m_entries) {
            if (entry.m_strKey == key) {
                return &entry;
            }
        }
        return nullptr;
    }
    if (m_firstEntryOfKey.empty()) {
        m_firstEntryOfKey.reserve(m_entries.size());
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            m_firstEntryOfKey.emplace(m_entries[i].m_strKey, i);  // keeps the first of a key
        }
    }
    auto it = m_firstEntryOfKey.find(key);
    return it == m_firstEntryOfKey.end() ? nullptr : &m_entries[it->second];
}

IniReader::IniReader(std::string commentMarker) : m_strCommentMarker(std::move(commentMarker)) {}

void IniReader::Clear() {
    m_sections.clear();
    m_sectionByName.clear();
    m_strFileName.clear();
}

int IniReader::Fail(int result, std::string text) const {
    m_strLastError = std::move(text);
    return result;
}

int IniReader::Load(const std::string& fileName) {
    Clear();
    m_strFileName = fileName;
    std::string text;
    if (!platform::ReadWholeFile(fileName, text)) {
        return Fail(INI_OPEN_FAILED, "open" + fileName + " file failed");
    }
    return Parse(text);
}

int IniReader::ParseSectionHeader(std::string_view content, std::string& pendingComment,
                                  std::string_view trailingComment, IniSection*& current) {
    std::size_t close = content.find(']');
    if (close == std::string_view::npos) {
        return Fail(INI_NO_CLOSING_BRACKET, "no matched ] found");
    }
    if (close == 1) {
        return Fail(INI_EMPTY_SECTION_NAME, "section name is empty");
    }
    std::string name(Trim(content.substr(1, close - 1)));
    if (m_sectionByName.count(name) != 0) {
        return Fail(INI_DUPLICATE_SECTION, "section " + name + "already exist");
    }
    auto section =
        std::make_unique<IniSection>(name, std::move(pendingComment), std::string(trailingComment));
    current = section.get();
    m_sectionByName.emplace(std::move(name), current);
    m_sections.push_back(std::move(section));
    return INI_OK;
}

int IniReader::Parse(std::string_view text) {
    std::string keptName = m_strFileName;
    Clear();
    m_strFileName = std::move(keptName);
    m_strLastError.clear();

    auto unnamed = std::make_unique<IniSection>("", "", "");
    IniSection* current = unnamed.get();
    m_sectionByName.emplace("", current);
    m_sections.push_back(std::move(unnamed));

    const std::string_view marker = m_strCommentMarker;
    std::string pendingComment;
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        std::size_t lineEnd = text.find('\n', lineStart);
        std::size_t next = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
        std::string_view line = Trim(text.substr(lineStart, next - lineStart));
        lineStart = next;

        if (line.empty()) {
            pendingComment += '\n';
            continue;
        }
        // An empty marker would make every line a comment: it means "no comments".
        if (!marker.empty() && line.substr(0, marker.size()) == marker) {
            pendingComment.append(line);
            pendingComment += '\n';
            continue;
        }
        std::string_view content = line;
        std::string_view trailing;
        if (std::size_t at = marker.empty() ? std::string_view::npos : line.find(marker);
            at != std::string_view::npos) {
            content = Trim(line.substr(0, at));
            trailing = Trim(line.substr(at + 1));
        }

        if (!content.empty() && content.front() == '[') {
            if (int result = ParseSectionHeader(content, pendingComment, trailing, current)) {
                return result;
            }
        } else {
            std::size_t equals = content.find('=');
            if (equals == std::string_view::npos) {
                return Fail(INI_BAD_LINE, "parse line failed:" + std::string(content));
            }
            current->Append(IniEntry{std::string(Trim(content.substr(0, equals))),
                                     std::string(Trim(content.substr(equals + 1))),
                                     std::move(pendingComment), std::string(trailing)});
        }
        pendingComment.clear();
    }
    return INI_OK;
}

const IniSection* IniReader::FindSection(std::string_view name) const {
    auto it = m_sectionByName.find(name);
    return it == m_sectionByName.end() ? nullptr : it->second;
}

int IniReader::GetValue(std::string_view section, std::string_view key, std::string& value,
                        std::string& comment) const {
    const IniSection* found = FindSection(section);
    if (found == nullptr) {
        return Fail(INI_SECTION_NOT_FOUND, "not find the section " + std::string(section));
    }
    const IniEntry* entry = found->FindFirst(key);
    if (entry == nullptr) {
        return Fail(INI_KEY_NOT_FOUND, "not find the key " + std::string(key));
    }
    value = entry->m_strValue;
    comment = entry->m_strComment;
    return INI_OK;
}

int IniReader::GetIntValue(std::string_view section, std::string_view key, int& number) const {
    std::string value;
    std::string comment;
    int result = GetValue(section, key, value, comment);
    number = platform::ParseIntLikeAtoi(value);
    return result;
}
