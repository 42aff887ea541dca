#include "tools/rescompile/ModuleSource.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace rescompile {

namespace {

std::uint32_t ReadLe32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) |
           (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

std::uint16_t ReadLe16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

// Loads an artwork file and checks that it is the uncompressed 24-bit BMP of
// the stated size that the module's loader expects; the message otherwise.
std::optional<std::string> LoadArtwork(const std::filesystem::path& path, const ImageEntry& entry,
                                       std::vector<std::uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "artwork file " + path.string() + " is missing";
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M' || ReadLe32(bytes, 14) < 40) {
        return "artwork file " + path.string() + " is not a BMP file";
    }
    auto width = static_cast<std::int32_t>(ReadLe32(bytes, 18));
    auto height = static_cast<std::int32_t>(ReadLe32(bytes, 22));
    if (height < 0) {
        height = -height;
    }
    if (ReadLe16(bytes, 28) != 24 || ReadLe32(bytes, 30) != 0) {
        return "artwork file " + path.string() + " is not an uncompressed 24-bit BMP";
    }
    std::uint64_t stride = (static_cast<std::uint64_t>(width) * 3 + 3) / 4 * 4;
    std::uint64_t needed = ReadLe32(bytes, 10) + stride * static_cast<std::uint64_t>(height);
    if (width <= 0 || needed > bytes.size()) {
        return "artwork file " + path.string() + " is cut short";
    }
    if (width != entry.width || height != entry.height) {
        return "artwork " + entry.name + " is " + std::to_string(width) + "x" +
               std::to_string(height) + ", the script says " + std::to_string(entry.width) + "x" +
               std::to_string(entry.height);
    }
    return std::nullopt;
}

void AppendByteLiteral(std::string& out, const std::vector<std::uint8_t>& bytes) {
    constexpr std::size_t kPerLine = 160;
    for (std::size_t i = 0; i < bytes.size(); i += kPerLine) {
        out += "    \"";
        std::size_t end = std::min(bytes.size(), i + kPerLine);
        for (std::size_t k = i; k < end; ++k) {
            std::uint8_t b = bytes[k];
            if (b >= 0x20 && b < 0x7F && b != '"' && b != '\\' && b != '?') {
                out += static_cast<char>(b);
            } else {
                // Always three octal digits, so a following digit is never read into it.
                char escape[5];
                std::snprintf(escape, sizeof escape, "\\%03o", b);
                out += escape;
            }
        }
        out += "\"\n";
    }
}

std::string U16Literal(std::u16string_view text) {
    std::string out = "u\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
            out += static_cast<char>(c);
            continue;
        }
        char escape[16];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            std::uint32_t cp = 0x10000 + ((static_cast<std::uint32_t>(c) - 0xD800) << 10) +
                               (static_cast<std::uint32_t>(text[i + 1]) - 0xDC00);
            std::snprintf(escape, sizeof escape, "\\U%08X", cp);
            ++i;
        } else if (c < 0x80) {
            std::snprintf(escape, sizeof escape, "\\x%02X\" u\"", c);
        } else {
            std::snprintf(escape, sizeof escape, "\\u%04X", c);
        }
        out += escape;
    }
    out += "\"";
    return out;
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08Xu", value);
    return text;
}

void AppendMenuItems(std::string& out, const std::vector<platform::MenuItemTemplate>& items,
                     int depth) {
    std::string indent(static_cast<std::size_t>(8 + depth * 4), ' ');
    out += "{\n";
    for (const auto& item : items) {
        out += indent + "platform::MenuItemTemplate{" + std::to_string(item.command) + ", " +
               U16Literal(item.text) + ", " + (item.separator ? "true" : "false") + ", ";
        if (item.popup.empty()) {
            out += "{}";
        } else {
            AppendMenuItems(out, item.popup, depth + 1);
        }
        out += "},\n";
    }
    out += std::string(static_cast<std::size_t>(4 + depth * 4), ' ') + "}";
}

void AppendDialog(std::string& out, int id, const platform::DialogTemplate& dialog) {
    out += "    static const platform::DialogTemplate dialog" + std::to_string(id) + "{\n";
    out += "        " + Hex(dialog.style) + ", " + Hex(dialog.ex_style) + ", " +
           std::to_string(dialog.x) + ", " + std::to_string(dialog.y) + ", " +
           std::to_string(dialog.width) + ", " + std::to_string(dialog.height) + ",\n";
    out += "        " + U16Literal(dialog.caption) + ", " + std::to_string(dialog.font_points) +
           ", " + U16Literal(dialog.font_face) + ",\n        {\n";
    for (const auto& control : dialog.controls) {
        out += "            platform::DialogControlTemplate{" + U16Literal(control.class_name) +
               ", " + U16Literal(control.text) + ", " + std::to_string(control.id) + ", " +
               Hex(control.style) + ", " + Hex(control.ex_style) + ", " +
               std::to_string(control.x) + ", " + std::to_string(control.y) + ", " +
               std::to_string(control.width) + ", " + std::to_string(control.height) + "},\n";
    }
    out += "        }};\n";
}

}  // namespace

bool WriteModuleSource(const ResourceScript& script, const std::filesystem::path& artwork_dir,
                       const std::string& script_name, std::string& source, ScriptError& error) {
    std::string data;
    std::string tables;
    auto images = [&](const std::vector<ImageEntry>& entries, const char* kind) -> bool {
        if (entries.empty()) {
            return true;
        }
        std::string list =
            std::string("    static const platform::ResourceModule::Blob ") + kind + "s[] = {\n";
        for (const ImageEntry& entry : entries) {
            std::vector<std::uint8_t> bytes;
            if (auto problem = LoadArtwork(artwork_dir / (entry.name + ".bmp"), entry, bytes)) {
                error = ScriptError{entry.line, *problem};
                return false;
            }
            std::string name =
                std::string("k") + (kind[0] == 'b' ? "Bitmap" : "Icon") + std::to_string(entry.id);
            data += "// " + entry.name + ".bmp, " + std::to_string(entry.width) + "x" +
                    std::to_string(entry.height) + "\n";
            data +=
                "const unsigned char " + name + "[" + std::to_string(bytes.size()) + " + 1] =\n";
            AppendByteLiteral(data, bytes);
            data += "    ;\n\n";
            list += "        {" + std::to_string(entry.id) + ", {" + name + ", " +
                    std::to_string(bytes.size()) + "}},\n";
        }
        tables += list + "    };\n";
        return true;
    };
    if (!images(script.bitmaps, "bitmap") || !images(script.icons, "icon")) {
        return false;
    }
    if (!script.strings.empty()) {
        tables += "    static const std::pair<int, std::u16string_view> strings[] = {\n";
        for (const auto& [id, text] : script.strings) {
            tables += "        {" + std::to_string(id) + ", " + U16Literal(text) + "},\n";
        }
        tables += "    };\n";
    }
    for (const auto& [id, menu] : script.menus) {
        tables += "    static const platform::MenuTemplate menu" + std::to_string(id) + "{";
        AppendMenuItems(tables, menu.items, 0);
        tables += "};\n";
    }
    if (!script.menus.empty()) {
        tables += "    static const std::pair<int, const platform::MenuTemplate*> menus[] = {\n";
        for (const auto& entry : script.menus) {
            tables += "        {" + std::to_string(entry.first) + ", &menu" +
                      std::to_string(entry.first) + "},\n";
        }
        tables += "    };\n";
    }
    for (const auto& [id, dialog] : script.dialogs) {
        AppendDialog(tables, id, dialog);
    }
    if (!script.dialogs.empty()) {
        tables +=
            "    static const std::pair<int, const platform::DialogTemplate*> dialogs[] = {\n";
        for (const auto& entry : script.dialogs) {
            tables += "        {" + std::to_string(entry.first) + ", &dialog" +
                      std::to_string(entry.first) + "},\n";
        }
        tables += "    };\n";
    }

    source = "// Generated by vela-rescompile from " + script_name + "; do not edit.\n";
    if (!script.header.empty()) {
        source += "#include \"" + script.header + "\"\n\n";
    }
    source += "#include <cstdint>\n#include <string_view>\n#include <utility>\n\n";
    source += "#include \"platform/resources/Resources.h\"\n\nnamespace {\n\n";
    source += data;
    source += "}  // namespace\n\n";
    source += "const platform::ResourceModule& " + script.function + "() {\n";
    source += tables;
    auto span = [](bool present, const char* name) {
        return present ? std::string(name) : std::string("{}");
    };
    source += "    static const platform::ResourceModule module{\n        " +
              U16Literal(script.program) + ",\n        " +
              span(!script.bitmaps.empty(), "bitmaps") + ",\n        " +
              span(!script.icons.empty(), "icons") + ",\n        " +
              span(!script.strings.empty(), "strings") + ",\n        " +
              span(!script.menus.empty(), "menus") + ",\n        " +
              span(!script.dialogs.empty(), "dialogs") + ",\n    };\n";
    source += "    return module;\n}\n";
    return true;
}

}  // namespace rescompile
