#include "tools/rescompile/ResourceScript.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <set>
#include <utility>

#include "platform/window/MessageIds.h"

namespace rescompile {

namespace {

struct NamedStyle {
    std::string_view name;
    std::uint32_t value;
};

constexpr NamedStyle kStyles[] = {
    {"kStylePopup", platform::kStylePopup},
    {"kStyleChild", platform::kStyleChild},
    {"kStyleMinimize", platform::kStyleMinimize},
    {"kStyleVisible", platform::kStyleVisible},
    {"kStyleDisabled", platform::kStyleDisabled},
    {"kStyleClipSiblings", platform::kStyleClipSiblings},
    {"kStyleClipChildren", platform::kStyleClipChildren},
    {"kStyleCaption", platform::kStyleCaption},
    {"kStyleSysMenu", platform::kStyleSysMenu},
    {"kStyleGroup", platform::kStyleGroup},
    {"kStyleTabStop", platform::kStyleTabStop},
    {"kButtonPush", platform::kButtonPush},
    {"kButtonDefPush", platform::kButtonDefPush},
    {"kButtonCheckBox", platform::kButtonCheckBox},
    {"kButtonAutoCheckBox", platform::kButtonAutoCheckBox},
    {"kButtonRadio", platform::kButtonRadio},
    {"kButtonAutoRadio", platform::kButtonAutoRadio},
    {"kButtonOwnerDraw", platform::kButtonOwnerDraw},
    {"kStaticNotify", platform::kStaticNotify},
    {"kProgressSmooth", platform::kProgressSmooth},
    {"kExStyleTopmost", platform::kExStyleTopmost},
    {"kExStyleTransparent", platform::kExStyleTransparent},
    {"kExStyleToolWindow", platform::kExStyleToolWindow},
    {"kExStyleAppWindow", platform::kExStyleAppWindow},
    {"kExStyleComposited", platform::kExStyleComposited},
    {"kExStyleNoActivate", platform::kExStyleNoActivate},
};

enum class TokenKind { kWord, kString, kBar };

struct Token {
    TokenKind kind;
    std::string text;  // word as written; string decoded (UTF-8)
};

class Failure {
  public:
    explicit Failure(std::string message) : message(std::move(message)) {}
    std::string message;
};

std::vector<Token> Tokenize(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '|') {
            tokens.push_back({TokenKind::kBar, "|"});
            ++i;
        } else if (c == '"') {
            std::string text;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                char d = line[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d != '\\') {
                    text += d;
                    continue;
                }
                if (i >= line.size()) {
                    break;
                }
                char e = line[i++];
                switch (e) {
                    case '"':
                        text += '"';
                        break;
                    case '\\':
                        text += '\\';
                        break;
                    case 'n':
                        text += '\n';
                        break;
                    case 't':
                        text += '\t';
                        break;
                    default:
                        throw Failure(std::string("unknown escape \\") + e + " in a string");
                }
            }
            if (!closed) {
                throw Failure("string not closed on its line");
            }
            tokens.push_back({TokenKind::kString, std::move(text)});
        } else {
            std::size_t start = i;
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r' &&
                   line[i] != '"' && line[i] != '|' && line[i] != '#') {
                ++i;
            }
            tokens.push_back({TokenKind::kWord, std::string(line.substr(start, i - start))});
        }
    }
    return tokens;
}

std::u16string Utf8ToUtf16(const std::string& text) {
    std::u16string out;
    std::size_t i = 0;
    auto bad = [] { return Failure("string is not valid UTF-8"); };
    while (i < text.size()) {
        auto b0 = static_cast<unsigned char>(text[i]);
        std::uint32_t cp = 0;
        int extra = 0;
        if (b0 < 0x80) {
            cp = b0;
        } else if ((b0 & 0xE0) == 0xC0) {
            cp = b0 & 0x1F;
            extra = 1;
        } else if ((b0 & 0xF0) == 0xE0) {
            cp = b0 & 0x0F;
            extra = 2;
        } else if ((b0 & 0xF8) == 0xF0) {
            cp = b0 & 0x07;
            extra = 3;
        } else {
            throw bad();
        }
        if (i + static_cast<std::size_t>(extra) >= text.size()) {
            throw bad();
        }
        for (int k = 1; k <= extra; ++k) {
            auto b = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((b & 0xC0) != 0x80) {
                throw bad();
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        constexpr std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            throw bad();
        }
        i += static_cast<std::size_t>(extra) + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

// Reads the statement's tokens left to right and names what it expected.
class Cursor {
  public:
    explicit Cursor(const std::vector<Token>& tokens) : tokens_(tokens) {}

    bool AtEnd() const { return at_ >= tokens_.size(); }

    std::string Word(std::string_view what) {
        if (AtEnd() || tokens_[at_].kind != TokenKind::kWord) {
            throw Failure("expected " + std::string(what));
        }
        return tokens_[at_++].text;
    }

    std::u16string String(std::string_view what) {
        if (AtEnd() || tokens_[at_].kind != TokenKind::kString) {
            throw Failure("expected " + std::string(what) + " in double quotes");
        }
        return Utf8ToUtf16(tokens_[at_++].text);
    }

    std::string RawString(std::string_view what) {
        if (AtEnd() || tokens_[at_].kind != TokenKind::kString) {
            throw Failure("expected " + std::string(what) + " in double quotes");
        }
        return tokens_[at_++].text;
    }

    // A word or a string: class names may be written either way.
    std::u16string Name(std::string_view what) {
        if (!AtEnd() && tokens_[at_].kind == TokenKind::kString) {
            return String(what);
        }
        return Utf8ToUtf16(Word(what));
    }

    int Number(std::string_view what, long long min = std::numeric_limits<int>::min(),
               long long max = std::numeric_limits<int>::max()) {
        std::string word = Word(what);
        std::optional<long long> value = ParseNumber(word);
        if (!value) {
            throw Failure("expected " + std::string(what) + ", found \"" + word + "\"");
        }
        if (*value < min || *value > max) {
            throw Failure(std::string(what) + " " + word + " is out of range");
        }
        return static_cast<int>(*value);
    }

    std::uint32_t Style(std::string_view what) {
        std::uint32_t value = 0;
        while (true) {
            std::string word = Word(what);
            if (std::optional<long long> number = ParseNumber(word)) {
                if (*number < 0 || *number > 0xFFFFFFFFll) {
                    throw Failure(std::string(what) + " " + word + " is out of range");
                }
                value |= static_cast<std::uint32_t>(*number);
            } else {
                bool found = false;
                for (const NamedStyle& style : kStyles) {
                    if (style.name == word) {
                        value |= style.value;
                        found = true;
                        break;
                    }
                }
                if (!found) {
                    throw Failure("unknown style name \"" + word + "\"");
                }
            }
            if (AtEnd() || tokens_[at_].kind != TokenKind::kBar) {
                return value;
            }
            ++at_;
        }
    }

    void Finish() {
        if (!AtEnd()) {
            throw Failure("unexpected \"" + tokens_[at_].text + "\" at the end of the line");
        }
    }

    static std::optional<long long> ParseNumber(const std::string& word) {
        std::string_view digits = word;
        bool negative = false;
        if (!digits.empty() && digits[0] == '-') {
            negative = true;
            digits.remove_prefix(1);
        }
        int base = 10;
        if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
            base = 16;
            digits.remove_prefix(2);
        }
        if (digits.empty()) {
            return std::nullopt;
        }
        unsigned long long value = 0;
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
        if (ec != std::errc() || end != digits.data() + digits.size() || value > (1ull << 40)) {
            return std::nullopt;
        }
        long long signed_value = static_cast<long long>(value);
        return negative ? -signed_value : signed_value;
    }

  private:
    const std::vector<Token>& tokens_;
    std::size_t at_ = 0;
};

std::pair<int, int> ParseSize(const std::string& word) {
    std::size_t x = word.find('x');
    if (x == std::string::npos) {
        throw Failure("expected a size such as 37x37, found \"" + word + "\"");
    }
    auto w = Cursor::ParseNumber(word.substr(0, x));
    auto h = Cursor::ParseNumber(word.substr(x + 1));
    if (!w || !h || *w <= 0 || *h <= 0 || *w > 16384 || *h > 16384) {
        throw Failure("expected a size such as 37x37, found \"" + word + "\"");
    }
    return {static_cast<int>(*w), static_cast<int>(*h)};
}

bool ValidArtworkName(const std::string& name) {
    if (name.empty()) {
        return false;
    }
    for (char c : name) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == '_' || c == '-' || c == '.';
        if (!ok) {
            return false;
        }
    }
    return name[0] != '.';
}

bool ValidIdentifier(const std::string& name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) {
        return false;
    }
    for (char c : name) {
        bool ok =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok) {
            return false;
        }
    }
    return true;
}

// An open menu, popup or dialog and the line that opened it.
struct Block {
    enum Kind { kMenu, kPopup, kDialog } kind;
    int line;
    std::vector<platform::MenuItemTemplate>* items = nullptr;  // menu and popup
    platform::DialogTemplate* dialog = nullptr;
};

class Parser {
  public:
    explicit Parser(ResourceScript& script) : script_(script) {}

    void Statement(const std::vector<Token>& tokens, int line) {
        Cursor cursor(tokens);
        std::string keyword = cursor.Word("a statement");
        if (blocks_.empty()) {
            TopLevel(keyword, cursor, line);
        } else if (blocks_.back().kind == Block::kDialog) {
            InDialog(keyword, cursor);
        } else {
            InMenu(keyword, cursor, line);
        }
        cursor.Finish();
    }

    // The block left open at the end, if any: its opening line.
    std::optional<int> OpenBlock() const {
        if (blocks_.empty()) {
            return std::nullopt;
        }
        return blocks_.back().line;
    }

  private:
    void TopLevel(const std::string& keyword, Cursor& cursor, int line) {
        if (keyword == "program") {
            script_.program = cursor.String("the program name");
        } else if (keyword == "function") {
            script_.function = cursor.Word("the function name");
            if (!ValidIdentifier(script_.function)) {
                throw Failure("\"" + script_.function + "\" is not a C++ name");
            }
        } else if (keyword == "header") {
            script_.header = cursor.RawString("the header path");
        } else if (keyword == "bitmap" || keyword == "icon") {
            ImageEntry entry;
            entry.line = line;
            entry.id = cursor.Number("an identifier", 1, 65535);
            entry.name = cursor.Word("the artwork name");
            if (!ValidArtworkName(entry.name)) {
                throw Failure("\"" + entry.name + "\" is not an artwork name");
            }
            std::tie(entry.width, entry.height) = ParseSize(cursor.Word("a size such as 37x37"));
            bool bitmap = keyword == "bitmap";
            Claim(bitmap ? bitmap_ids_ : icon_ids_, entry.id, keyword);
            (bitmap ? script_.bitmaps : script_.icons).push_back(std::move(entry));
        } else if (keyword == "string") {
            int id = cursor.Number("an identifier", 0, 65535);
            Claim(string_ids_, id, keyword);
            script_.strings.emplace_back(id, cursor.String("the text"));
        } else if (keyword == "menu") {
            int id = cursor.Number("an identifier", 1, 65535);
            Claim(menu_ids_, id, keyword);
            script_.menus.emplace_back(id, platform::MenuTemplate{});
            blocks_.push_back({Block::kMenu, line, &script_.menus.back().second.items, nullptr});
        } else if (keyword == "dialog") {
            int id = cursor.Number("an identifier", 1, 65535);
            Claim(dialog_ids_, id, keyword);
            platform::DialogTemplate dialog;
            dialog.x = cursor.Number("the left edge");
            dialog.y = cursor.Number("the top edge");
            dialog.width = cursor.Number("the width", 0);
            dialog.height = cursor.Number("the height", 0);
            script_.dialogs.emplace_back(id, std::move(dialog));
            blocks_.push_back({Block::kDialog, line, nullptr, &script_.dialogs.back().second});
        } else if (keyword == "end") {
            throw Failure("\"end\" without an open menu or dialog");
        } else {
            throw Failure("unknown statement \"" + keyword + "\"");
        }
    }

    void InMenu(const std::string& keyword, Cursor& cursor, int line) {
        std::vector<platform::MenuItemTemplate>& items = *blocks_.back().items;
        if (keyword == "item") {
            platform::MenuItemTemplate item;
            item.command = static_cast<std::uint32_t>(cursor.Number("a command", 1, 65535));
            item.text = cursor.String("the item text");
            items.push_back(std::move(item));
        } else if (keyword == "separator") {
            platform::MenuItemTemplate item;
            item.separator = true;
            items.push_back(std::move(item));
        } else if (keyword == "popup") {
            platform::MenuItemTemplate item;
            item.text = cursor.String("the popup text");
            items.push_back(std::move(item));
            // Items are appended only to the innermost open list, so this
            // pointer stays valid until its "end".
            blocks_.push_back({Block::kPopup, line, &items.back().popup, nullptr});
        } else if (keyword == "end") {
            if (blocks_.back().kind == Block::kPopup && blocks_.back().items->empty()) {
                throw Failure("a popup needs at least one item");
            }
            blocks_.pop_back();
        } else {
            throw Failure("unknown menu statement \"" + keyword + "\"");
        }
    }

    void InDialog(const std::string& keyword, Cursor& cursor) {
        platform::DialogTemplate& dialog = *blocks_.back().dialog;
        if (keyword == "style") {
            dialog.style = cursor.Style("a style");
        } else if (keyword == "exstyle") {
            dialog.ex_style = cursor.Style("an extended style");
        } else if (keyword == "caption") {
            dialog.caption = cursor.String("the caption");
        } else if (keyword == "font") {
            dialog.font_points = cursor.Number("the font size in points", 1, 96);
            dialog.font_face = cursor.String("the font face");
        } else if (keyword == "control") {
            platform::DialogControlTemplate control;
            control.class_name = cursor.Name("the control class");
            control.id = cursor.Number("the control identifier", -1, 65535);
            control.text = cursor.String("the control text");
            control.x = cursor.Number("the left edge");
            control.y = cursor.Number("the top edge");
            control.width = cursor.Number("the width", 0);
            control.height = cursor.Number("the height", 0);
            while (!cursor.AtEnd()) {
                std::string key = cursor.Word("style or exstyle");
                if (key == "style") {
                    control.style = cursor.Style("a style");
                } else if (key == "exstyle") {
                    control.ex_style = cursor.Style("an extended style");
                } else {
                    throw Failure("expected style or exstyle, found \"" + key + "\"");
                }
            }
            dialog.controls.push_back(std::move(control));
        } else if (keyword == "end") {
            blocks_.pop_back();
        } else {
            throw Failure("unknown dialog statement \"" + keyword + "\"");
        }
    }

    static void Claim(std::set<int>& ids, int id, const std::string& kind) {
        if (!ids.insert(id).second) {
            throw Failure(kind + " " + std::to_string(id) + " is defined twice");
        }
    }

    ResourceScript& script_;
    std::vector<Block> blocks_;
    std::set<int> bitmap_ids_, icon_ids_, string_ids_, menu_ids_, dialog_ids_;
};

}  // namespace

bool ParseResourceScript(std::string_view text, ResourceScript& script, ScriptError& error) {
    // Open blocks point into the lists they fill; new menus and dialogs start
    // only when no block is open, so those pointers never dangle.
    script = ResourceScript{};
    Parser parser(script);
    int line = 0;
    std::size_t start = 0;
    try {
        while (start <= text.size()) {
            ++line;
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos) {
                end = text.size();
            }
            std::vector<Token> tokens = Tokenize(text.substr(start, end - start));
            if (!tokens.empty()) {
                parser.Statement(tokens, line);
            }
            start = end + 1;
        }
        if (std::optional<int> open = parser.OpenBlock()) {
            line = *open;
            throw Failure("block opened here is not closed by \"end\"");
        }
        if (script.program.empty()) {
            line = 1;
            throw Failure("the script names no program (program \"...\")");
        }
        if (script.function.empty()) {
            line = 1;
            throw Failure("the script names no function (function Name)");
        }
    } catch (const Failure& failure) {
        error = ScriptError{line, failure.message};
        return false;
    }
    return true;
}

}  // namespace rescompile
